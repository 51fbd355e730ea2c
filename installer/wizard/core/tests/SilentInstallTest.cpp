#include "installer/wizard/core/SilentInstall.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/engine/EngineTexts.h"
#include "installer/package/Messages.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/Trailer.h"
#include "installer/package/tests/FakePlatform.h"
#include "installer/package/tests/SamplePackage.h"
#include "installer/wizard/core/WizardTexts.h"

namespace vela::test {
namespace {

// ---- Switches --------------------------------------------------------------

SilentSwitches Parse(const std::string& commandLine)
{
    SilentSwitches s;
    ParseSilentSwitches(commandLine.c_str(), s);
    return s;
}

// 中文 in GB2312; 錦 ends in 0x5C.
const std::string kZhongWen = "\xD6\xD0\xCE\xC4";
const std::string kJin = "\xE5\x5C";

TEST(SilentSwitches, SilentOnlyWithSlashS)
{
    struct Row {
        std::string commandLine;
        bool silent;
        bool unknownSwitch;
    };
    const Row rows[] = {
        {"setup.exe", false, false},
        {"\"C:\\My Setup\\setup.exe\"", false, false},
        {"\"C:\\a /S\\setup.exe\"", false, false},  // a /S inside the program's name
        {"setup.exe /S", true, false},
        {"\"C:\\My Setup\\setup.exe\"  /s", true, false},
        {"setup.exe /SILENT", false, true},
        {"setup.exe /S /X", true, true},  // each switch is taken on its own
    };
    for (const Row& r : rows) {
        const SilentSwitches s = Parse(r.commandLine);
        EXPECT_EQ(s.silent, r.silent) << r.commandLine;
        EXPECT_EQ(s.unknownSwitch, r.unknownSwitch) << r.commandLine;
    }
}

TEST(SilentSwitches, FolderIsTheRestOfTheLineAndLogMayBeQuoted)
{
    const SilentSwitches s = Parse("\"C:\\My Setup\\setup.exe\" /S /LOG=\"C:\\my logs\\" + kZhongWen +
                                   ".log\" /D=C:\\Program Files\\" + kZhongWen + " App\\" + kJin + "  ");
    EXPECT_TRUE(s.silent);
    EXPECT_TRUE(s.hasLog);
    EXPECT_EQ(std::string(s.logPath), "C:\\my logs\\" + kZhongWen + ".log");
    EXPECT_TRUE(s.hasFolder);
    EXPECT_EQ(std::string(s.folder), "C:\\Program Files\\" + kZhongWen + " App\\" + kJin);
    EXPECT_FALSE(s.unknownSwitch);

    // Quoted as a whole, as launchers quote an argument with blanks.
    const SilentSwitches quoted = Parse("setup.exe /S \"/D=C:\\" + kZhongWen + " A\"");
    EXPECT_EQ(std::string(quoted.folder), "C:\\" + kZhongWen + " A");
    EXPECT_FALSE(quoted.unknownSwitch);

    // /D= is the last switch: what follows belongs to the folder.
    const SilentSwitches last = Parse("setup.exe /D=C:\\x /S");
    EXPECT_EQ(std::string(last.folder), "C:\\x /S");
    EXPECT_FALSE(last.silent);
    EXPECT_TRUE(Parse("setup.exe /S /d=").hasFolder);
    EXPECT_EQ(std::string(Parse("setup.exe /S /d=").folder), "");

    // A log name of double-byte characters is never cut inside one.
    const SilentSwitches chinese = Parse("setup.exe /S /LOG=" + kJin + kZhongWen + ".log");
    EXPECT_EQ(std::string(chinese.logPath), kJin + kZhongWen + ".log");
    std::string many;
    while (many.size() + 2 < kSilentLogPathSize + 40) many += kZhongWen;
    const struct {
        std::string commandLine;
        bool tooLong;
    } lengths[] = {
        {"setup.exe /S /LOG=" + many, true},
        {"setup.exe /S /D=C:\\" + std::string(kSilentFolderSize, 'a'), true},
        {"setup.exe /S /LOG=C:\\" + std::string(kSilentLogPathSize, 'a'), true},
        {"setup.exe /S /D=C:\\" + std::string(kSilentFolderSize - 5, 'a'), false},
    };
    for (const auto& l : lengths) EXPECT_EQ(Parse(l.commandLine).tooLong, l.tooLong) << l.commandLine.substr(0, 24);
}

// ---- Silent runs -------------------------------------------------------------

// An engine system whose folders become enterable when made; the Uninstall
// key opens unless told otherwise.
class SilentEngine final : public IEngineSystem {
public:
    explicit SilentEngine(FakePlatform& platform) : platform_(platform) {}
    std::vector<std::string> runs;
    std::vector<std::string> links;
    std::map<std::string, std::string> values;
    bool uninstallKeyOpens = true;
    InstallContext* cancelOnFolder = nullptr;  // a cancel request arrives while folders are made

    bool CreateFolder(std::string_view pathText) override
    {
        const std::string path(pathText);
        if (cancelOnFolder) RequestCancel(*cancelOnFolder);
        return platform_.folders.insert(path).second;
    }
    bool ClearFileAttributes(std::string_view) override { return false; }
    bool IsFile(std::string_view path) override { return platform_.files.count(std::string(path)) > 0; }
    // A target the platform cannot create cannot be replaced either.
    bool PutFileInPlace(std::string_view fromText, std::string_view toText) override
    {
        const std::string from(fromText);
        const std::string to(toText);
        auto it = platform_.files.find(from);
        if (it == platform_.files.end() || platform_.uncreatable.count(to)) return false;
        platform_.files[to] = it->second;
        platform_.files.erase(from);
        return true;
    }
    bool RunProcessAndWait(const ProcessCommand& command, int, std::uint32_t& exitCode) override
    {
        runs.push_back(std::string(command.commandLine));
        exitCode = 0;
        return true;
    }
    bool ShellOpen(std::string_view pathText, int) override
    {
        const std::string path(pathText);
        runs.push_back(path);
        return true;
    }
    RegistryKey OpenRegistryKey(RegistryRoot, std::string_view) override
    {
        return uninstallKeyOpens ? 1 : kNoRegistryKey;
    }
    RegistryKey CreateRegistrySubKey(RegistryKey, std::string_view) override { return 2; }
    bool SetRegistryString(RegistryKey, std::string_view nameText, std::string_view textText) override
    {
        const std::string name(nameText);
        const std::string text(textText);
        values[name] = text;
        return true;
    }
    void CloseRegistryKey(RegistryKey) override {}
    ShellLinkOutcome SaveShellLink(const ShellLinkFields&, std::string_view linkPathText) override
    {
        const std::string linkPath(linkPathText);
        links.push_back(linkPath);
        return ShellLinkOutcome::Saved;
    }

private:
    FakePlatform& platform_;
};

class RecordingLog final : public ISilentLog {
public:
    std::vector<std::string> lines;
    void WriteLine(const char* text) override { lines.push_back(text); }
    bool Has(const std::string& line) const
    {
        for (const std::string& l : lines)
            if (l == line) return true;
        return false;
    }
};

constexpr std::uint64_t kOffset = 4096;

PackageDescription SilentDescription()
{
    PackageDescription d;
    d.displayName = "App";
    d.defaultFolder = "[Program Files]\\App";
    d.menuGroup = "App";
    d.shortcuts = {{"App", "[InstallDir]\\app.exe", "", true}};
    d.runCaption = "Start App";
    d.runCommand = "[InstallDir]\\app.exe";
    d.directories = {"[InstallDir]", "[InstallDir]\\data"};
    d.welcomePicture = Pattern(300, 1);
    d.files = {{"[InstallDir]\\app.exe", '0', Pattern(3000, 2)},
               {"[InstallDir]\\data\\big.bin", '0', Pattern(70000, 3)},
               {"[InstallDir]\\notes.txt", '4', "notes"}};
    return d;
}

class SilentRun : public ::testing::Test {
protected:
    FakePlatform platform;
    SilentEngine engine{platform};
    RecordingLog log;
    CSilentReport report{log};
    std::unique_ptr<InstallContext> context = std::make_unique<InstallContext>();
    PackageDescription description = SilentDescription();

    void SetUp() override { Reset(); }
    // A clean machine and a new run, for tests that install more than once.
    void Reset()
    {
        platform.files.clear();
        platform.folders = {"C:\\WINDOWS\\Start Menu\\Programs"};
        engine.values.clear();
        log.lines.clear();
        context = std::make_unique<InstallContext>();
    }

    void Install(bool trailer = true, int flipAt = -1)
    {
        std::string package, problem;
        ASSERT_TRUE(BuildPackage(description, package, problem)) << problem;
        std::string installer = Pattern(kOffset, 9) + package;
        if (trailer) {
            char bytes[kTrailerSize];
            FormatTrailer(Crc32(0, package.data(), package.size()), package.size(), bytes);
            installer.append(bytes, sizeof bytes);
        }
        if (flipAt >= 0) installer[kOffset + flipAt] ^= 0x04;
        platform.files[platform.moduleFileName] = installer;
    }
    int Run(const std::string& commandLine)
    {
        SilentSwitches switches;
        ParseSilentSwitches(commandLine.c_str(), switches);
        CSilentPlatform silent(platform, report);
        return RunSilentInstall(silent, engine, *context, kOffset, switches, report);
    }
    // Files whose path starts with prefix.
    std::vector<std::string> FilesUnder(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const auto& [path, bytes] : platform.files)
            if (path.compare(0, prefix.size(), prefix) == 0) found.push_back(path);
        return found;
    }
};

std::string Status(const std::string& name) { return std::string(kStatusCopyStart) + name + kStatusCopyEnd; }

TEST_F(SilentRun, InstallsIntoTheGivenFolderWithTheSameWorkerAndNoWindow)
{
    Install();
    const std::string folder = "C:\\Program Files\\" + kZhongWen + " App";
    ASSERT_EQ(Run("setup.exe /S /D=" + folder), kSilentInstalled);

    EXPECT_TRUE(platform.messages.empty()) << "no message box";
    EXPECT_EQ(std::string(context->installPath), folder);
    for (const PackageItem& item : description.files) {
        const std::string target = folder + item.target.substr(std::string("[InstallDir]").size());
        EXPECT_EQ(platform.files[target], item.bytes) << target;
    }
    EXPECT_EQ(platform.files[folder + "\\Appfile.ini"],
              folder + "\\app.exe\r\n" + folder + "\\data\\big.bin\r\n" + "C:\\WINDOWS\\Start Menu\\Programs\\App\\App.lnk\r\n" +
                  "C:\\WINDOWS\\Desktop\\App.lnk\r\n" + "C:\\WINDOWS\\Start Menu\\Programs\\App\\" + kUninstallPrefix + "App.lnk\r\n");
    EXPECT_EQ(platform.files[folder + "\\Appdir.ini"], folder + "\\data\r\n" + folder + "\r\n");
    EXPECT_EQ(engine.values["UninstallString"], "C:\\WINDOWS\\VelaUnInsApp.exe " + folder + "\\Appfile.ini");
    EXPECT_TRUE(engine.runs.empty()) << "the run entry is not started";
    EXPECT_TRUE(FilesUnder("C:\\Temp\\").empty()) << "script and pictures are removed";

    // The log: what the progress page would have shown, then the completion.
    const std::vector<std::string> expected = {Status("app.exe"), Status("big.bin"), Status("notes.txt"),
                                               kStatusRegistering, kStatusShortcuts, kStatusUpdating,
                                               std::string("App") + kCompletionSuffix};
    EXPECT_EQ(log.lines, expected);
}

TEST_F(SilentRun, WithoutAFolderTheScriptsFolderIsTaken)
{
    description.showWelcomePages = false;
    Install(false);
    EXPECT_EQ(Run("\"C:\\Setup\\VelaInstall.exe\" /S"), kSilentInstalled);
    EXPECT_EQ(platform.files["C:\\Program Files\\App\\app.exe"], description.files[0].bytes);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SilentRun, BadFoldersSwitchesAndPackagesAreRefusedWithNothingInstalled)
{
    const struct {
        std::string commandLine;
        int flipAt;
        std::string message;
    } cases[] = {
        {"setup.exe /S /D=C:", -1, kMsgPathTooShort},
        {"setup.exe /S /D=C\\Program Files\\App", -1, kMsgPathWrong},
        {"setup.exe /S /D=\\\\server\\share\\App", -1, kMsgPathWrong},
        {"setup.exe /S /D=Q:\\" + std::string(300, 'a'), -1, kMsgPathWrong},  // longer than the path box
        {"setup.exe /S /D=", -1, kSilentBadSwitches},
        {"setup.exe /S /Q", -1, kSilentBadSwitches},
        {"setup.exe /S", 2000, kMsgPackageCorrupt},  // one flipped byte in a stored file
    };
    for (const auto& c : cases) {
        Reset();
        Install(true, c.flipAt);
        EXPECT_EQ(Run(c.commandLine), kSilentRefused) << c.commandLine;
        EXPECT_TRUE(platform.messages.empty()) << c.commandLine;
        EXPECT_TRUE(log.Has(std::string(kCaptionError) + ": " + c.message)) << c.commandLine;
        EXPECT_EQ(platform.files.size() - FilesUnder("C:\\Temp\\").size(), 1u) << c.commandLine << ": nothing installed";
        EXPECT_TRUE(engine.values.empty()) << c.commandLine;
    }
}

TEST_F(SilentRun, FailuresDuringTheInstallEndWithThree)
{
    Install();
    engine.uninstallKeyOpens = false;
    EXPECT_EQ(Run("setup.exe /S"), kSilentFailed);
    EXPECT_TRUE(log.Has(kMsgRegistryWriteError)) << "the framework's message box has no caption of its own";
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.files["C:\\Program Files\\App\\app.exe"], description.files[0].bytes) << "the install went on";

    // A file that cannot be written ends the install; its message, which
    // the page shows on two lines, is one line of the log.
    Reset();
    engine.uninstallKeyOpens = true;
    Install();
    platform.uncreatable.insert("C:\\Program Files\\App\\data\\big.bin");
    EXPECT_EQ(Run("setup.exe /S"), kSilentFailed);
    EXPECT_TRUE(log.Has(std::string(kCaptionError) + ": " + kMsgInstallFailed + " C:\\Program Files\\App\\data\\big.bin"))
        << log.lines.back();
    EXPECT_TRUE(engine.values.empty()) << "no Uninstall entry for a failed install";
    EXPECT_TRUE(FilesUnder("C:\\Temp\\").empty());
}

TEST_F(SilentRun, ACancelRequestStandsWithoutAQuestion)
{
    Install();
    engine.cancelOnFolder = context.get();
    EXPECT_EQ(Run("setup.exe /S"), kSilentCancelled);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.files.count("C:\\Program Files\\App\\app.exe"), 0u) << "stopped before the first file";
    EXPECT_TRUE(FilesUnder("C:\\Temp\\").empty());
}

} // namespace
} // namespace vela::test
