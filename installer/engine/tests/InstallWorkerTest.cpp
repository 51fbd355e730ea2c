#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "installer/engine/EngineTexts.h"
#include "installer/engine/InstallWorker.h"
#include "installer/engine/tests/WorkerFakes.h"
#include "installer/package/Messages.h"
#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/TextFields.h"
#include "installer/package/tests/BuildOrFail.h"
#include "installer/package/tests/SamplePackage.h"

namespace vela::test {
namespace {

constexpr std::size_t kStubSize = 4096;
const std::string kScript = "C:\\TEMP\\~temp202612754328123.ini";
const std::string kInstall = "C:\\Program Files\\Relievo";
const std::string kGroup = "C:\\WINDOWS\\Start Menu\\Programs\\Relievo\\";
const std::string kUninstallName = std::string(kUninstallPrefix) + "Relievo";  // 卸载Relievo
const std::string kStartMenuLine = "C:\\WINDOWS\\Start Menu\\Programs\\Relievo\r\n";
const std::string kRegScript = "[HKEY_CURRENT_USER\\Software\\Vela]\r\n\"a\"=\"b\"\r\n";

// 錦 (0xE5 0x5C): its trail byte is a backslash.
const std::string kJin = "\xE5\x5C";

PackageDescription Description()
{
    PackageDescription d;
    d.displayName = "Relievo";
    d.defaultFolder = "[Program Files]\\Relievo";
    d.autoReg = {"[InstallDir]\\comp.ocx"};
    d.clearFile = {"[Windows Directory]\\old.tmp"};
    d.menuGroup = "Relievo";
    d.shortcuts = {{"Relievo", "[InstallDir]\\Relievo.exe", "", true},
                   {"Help", "[Windows Directory]\\hh.exe", "[InstallDir]\\readme.chm", false}};
    d.runCaption = "Start Relievo now";
    d.runCommand = "[InstallDir]\\Relievo.exe";
    d.directories = {"[InstallDir]", "[InstallDir]\\back", "[InstallDir]\\" + kJin, "[Start Menu]\\Relievo",
                     "[Windows Desktop]\\Relievo Pictures"};
    d.welcomePicture = Pattern(100, 1);
    d.files = {{"[InstallDir]\\Relievo.exe", '0', Pattern(5000, 3)},
               {"[InstallDir]\\back\\b1.bmp", '4', Pattern(2047, 4)},
               {"[InstallDir]\\empty.txt", '0', ""},
               {"[InstallDir]\\comp.ocx", '1', Pattern(2048, 5)},
               {"[InstallDir]\\keys.reg", '2', kRegScript},
               {"[Windows Directory]\\VelaUnInsApp.exe", '0', Pattern(300, 6)},
               {"[Windows Desktop]\\Relievo Pictures\\p.bmp", '0', Pattern(10, 7)},
               {"[InstallDir]\\" + kJin + "\\" + kJin + ".txt", '0', Pattern(20, 8)}};
    d.licence = "Licence";
    return d;
}

struct WorkerFixture {
    EventLog log;
    WorkerPlatform platform{log};
    RecordingSystem system{log, platform};
    RecordingPage page{log};
    InstallContext context;

    explicit WorkerFixture(const PackageDescription& d = Description())
    {
        const std::string package = BuildOrFail(d);
        platform.files[std::string(platform.ModuleFileName())] =
            std::make_shared<std::string>(std::string(kStubSize, 'S') + package);
        platform.files[kScript] = std::make_shared<std::string>(StoredScript(package));
        CopyText(context.packagePath, platform.ModuleFileName());
        CopyText(context.scriptFilePath, kScript);
        context.packageDataBase = static_cast<std::int64_t>(kStubSize + ScriptLength(package));
        context.packageFileCount = static_cast<std::int32_t>(d.files.size());
        CopyText(context.displayName, d.displayName);
        CopyText(context.installPath, kInstall);
        context.registerUninstall = d.registerUninstall;
        system.inner.AddKey(RegistryRoot::LocalMachine, kUninstallKey);
        system.inner.AddKey(RegistryRoot::CurrentUser, "Software");
    }

    // Prepares and runs the worker as the page would.
    WorkerEnd Install()
    {
        CInstallWorker worker(platform, system, context, page);
        EXPECT_TRUE(worker.Prepare());
        return worker.Run();
    }

    // Cuts the package 100 bytes into comp.ocx (2,048 bytes, then the items
    // after it), so that its copy comes up short.
    void CutPackageInsideTheComponent()
    {
        std::string& package = *platform.files[std::string(platform.ModuleFileName())];
        package.resize(package.size() - (2048 + kRegScript.size() + 300 + 10 + 20) + 100);
    }

    std::string DirLog() const { return platform.Text(kInstall + "\\Relievodir.ini"); }
    std::string FileLog() const { return platform.Text(kInstall + "\\Relievofile.ini"); }
};

std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// ---- A whole install ------------------------------------------------------

TEST(InstallWorkerRun, InstallsEveryStoredFileByteForByte)
{
    WorkerFixture f;
    EXPECT_EQ(f.Install(), WorkerEnd::Completed);
    EXPECT_EQ(f.platform.Text(kInstall + "\\Relievo.exe"), Pattern(5000, 3));
    EXPECT_EQ(f.platform.Text(kInstall + "\\back\\b1.bmp"), Pattern(2047, 4));
    EXPECT_EQ(f.platform.Text(kInstall + "\\empty.txt"), "");
    EXPECT_EQ(f.platform.Text(kInstall + "\\comp.ocx"), Pattern(2048, 5));
    EXPECT_EQ(f.platform.Text("C:\\WINDOWS\\VelaUnInsApp.exe"), Pattern(300, 6));
    EXPECT_EQ(f.platform.Text("C:\\WINDOWS\\Desktop\\Relievo Pictures\\p.bmp"), Pattern(10, 7));
    EXPECT_EQ(f.platform.Text(kInstall + "\\" + kJin + "\\" + kJin + ".txt"), Pattern(20, 8));
    EXPECT_EQ(f.context.progressCount.load(), 9) << "eight files and the end";
    EXPECT_FALSE(f.context.installAborted.load());
    EXPECT_EQ(f.platform.openStreams, 0) << "package, script and logs are closed";
    EXPECT_TRUE(f.page.messages.empty());
    EXPECT_TRUE(f.platform.messages.empty());
}

TEST(InstallWorkerRun, DirectoryLogLeavesOutDesktopFoldersAndEndsLongestFirst)
{
    WorkerFixture f;
    f.Install();
    EXPECT_EQ(f.DirLog(), Lines({"C:\\WINDOWS\\Start Menu\\Programs\\Relievo", kInstall + "\\back",
                                 kInstall + "\\" + kJin, kInstall}));
    // Every folder, desktop ones included, is created before the first file.
    const int firstFile = f.log.Find("create " + kInstall + "\\Relievo.exe");
    for (const char* folder : {"C:\\Program Files\\Relievo\\back", "C:\\WINDOWS\\Desktop\\Relievo Pictures",
                               "C:\\WINDOWS\\Start Menu\\Programs\\Relievo"}) {
        const int made = f.log.Find(std::string("folder ") + folder);
        EXPECT_GE(made, 0) << folder;
        EXPECT_LT(made, firstFile) << folder;
    }
}

TEST(InstallWorkerRun, DirectoryLogIsWrittenInScriptOrderBeforeTheSort)
{
    // Seen by the log's own stream before the sort rewrites it: stop the
    // install at the first file and read what the folders step wrote.
    WorkerFixture f;
    f.page.answers = {true};
    f.context.cancelRequested = true;
    EXPECT_EQ(f.Install(), WorkerEnd::Cancelled);
    EXPECT_EQ(f.DirLog(), Lines({kInstall, kInstall + "\\back", kInstall + "\\" + kJin,
                                 "C:\\WINDOWS\\Start Menu\\Programs\\Relievo"}));
}

TEST(InstallWorkerRun, FileLogHoldsFilesThenShortcutsInWorkOrder)
{
    WorkerFixture f;
    f.Install();
    EXPECT_EQ(f.FileLog(), Lines({kInstall + "\\Relievo.exe", kInstall + "\\empty.txt", kInstall + "\\comp.ocx",
                                  kInstall + "\\keys.reg", "C:\\WINDOWS\\Desktop\\Relievo Pictures\\p.bmp",
                                  kInstall + "\\" + kJin + "\\" + kJin + ".txt", kGroup + "Relievo.lnk",
                                  "C:\\WINDOWS\\Desktop\\Relievo.lnk", kGroup + "Help.lnk",
                                  kGroup + kUninstallName + ".lnk"}))
        << "flag 4 and the Windows folder (outside the desktop) are not recorded";
}

TEST(InstallWorkerRun, StatusLineNamesEachFileThenEachPhase)
{
    WorkerFixture f;
    f.Install();
    auto copying = [](const std::string& name) {
        return std::string(kStatusCopyStart) + name + kStatusCopyEnd;
    };
    EXPECT_EQ(f.page.statuses,
              (std::vector<std::string>{copying("Relievo.exe"), copying("b1.bmp"), copying("empty.txt"),
                                        copying("comp.ocx"), copying("keys.reg"), copying("VelaUnInsApp.exe"),
                                        copying("p.bmp"), copying(kJin + ".txt"), kStatusRegistering,
                                        kStatusShortcuts, kStatusUpdating}));
}

TEST(InstallWorkerRun, EachFileIsAnnouncedClearedThenWrittenAndCounted)
{
    WorkerFixture f;
    std::vector<std::int32_t> countAtCreate;
    f.log.onEvent = [&](const std::string& e) {
        if (e.rfind("create " + kInstall + "\\", 0) == 0 && e.find(".ini") == std::string::npos)
            countAtCreate.push_back(f.context.progressCount.load());
    };
    f.Install();
    const std::string target = kInstall + "\\comp.ocx";
    const int status = f.log.Find(std::string("status ") + kStatusCopyStart + "comp.ocx" + kStatusCopyEnd);
    const int cleared = f.log.Find("clear " + target);
    const int created = f.log.Find("create " + target);
    EXPECT_LT(status, cleared);
    EXPECT_LT(cleared, created);
    EXPECT_EQ(f.system.inner.attributesCleared.size(), 8u);
    // The count goes up after each file is written.
    EXPECT_EQ(countAtCreate, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 7}));
}

TEST(InstallWorkerRun, FlagActionsFollowTheirCopy)
{
    WorkerFixture f;
    f.Install();
    const std::string ocx = kInstall + "\\comp.ocx";
    const std::string registerOcx = "run C:\\WINDOWS\\system32\\regsvr32.exe \"" + ocx + "\" /s";
    // Flag 1 registers right after the copy, [AutoReg] again after all files.
    const int copied = f.log.Find("create " + ocx);
    const int registered = f.log.Find(registerOcx);
    EXPECT_GT(registered, copied);
    EXPECT_LT(registered, f.log.Find("create " + kInstall + "\\keys.reg"));
    int registrations = 0;
    for (const std::string& e : f.log.events) registrations += e == registerOcx;
    EXPECT_EQ(registrations, 2);

    // Flag 2 applies the registry script, then deletes it.
    EXPECT_EQ(f.system.inner.Value(RegistryRoot::CurrentUser, "Software\\Vela", "a"), "b");
    EXPECT_GT(f.log.Find("remove " + kInstall + "\\keys.reg"), f.log.Find("regset a=b"));
    EXPECT_EQ(f.platform.Text(kInstall + "\\keys.reg"), "<missing>");
}

TEST(InstallWorkerRun, RegistrationsDeletionsAndShortcutsComeAfterTheCopy)
{
    WorkerFixture f;
    f.platform.files["C:\\WINDOWS\\old.tmp"] = std::make_shared<std::string>("old");
    f.Install();
    const int lastFile = f.log.Find("create " + kInstall + "\\" + kJin + "\\" + kJin + ".txt");
    const int registering = f.log.Find(std::string("status ") + kStatusRegistering);
    const int deleted = f.log.Find("remove C:\\WINDOWS\\old.tmp");
    const int linking = f.log.Find(std::string("status ") + kStatusShortcuts);
    const int firstLink = f.log.Find("link " + kGroup + "Relievo.lnk");
    EXPECT_LT(lastFile, registering);
    EXPECT_LT(registering, deleted);
    EXPECT_LT(deleted, linking);
    EXPECT_LT(linking, firstLink);
    EXPECT_EQ(f.platform.Text("C:\\WINDOWS\\old.tmp"), "<missing>");

    ASSERT_EQ(f.system.inner.links.size(), 4u);
    const auto& help = f.system.inner.links[2];
    EXPECT_EQ(help.path, kGroup + "Help.lnk");
    EXPECT_EQ(help.fields.program, "C:\\WINDOWS\\hh.exe");
    EXPECT_EQ(help.fields.arguments, kInstall + "\\readme.chm") << "arguments are expanded too";
    EXPECT_EQ(std::string(f.context.startMenuGroupPath), kGroup);
}

TEST(InstallWorkerRun, UninstallShortcutAndEntryNameTheFileLog)
{
    WorkerFixture f;
    f.Install();
    const auto& link = f.system.inner.links.back();
    EXPECT_EQ(link.path, kGroup + kUninstallName + ".lnk");
    EXPECT_EQ(link.fields.program, "C:\\WINDOWS\\VelaUnInsApp.exe");
    EXPECT_EQ(link.fields.arguments, kInstall + "\\Relievofile.ini");
    EXPECT_EQ(link.fields.description, kUninstallName);

    const std::string key = std::string(kUninstallKey) + "\\Relievo";
    EXPECT_EQ(f.system.inner.Value(RegistryRoot::LocalMachine, key, "DisplayName"), "Relievo");
    EXPECT_EQ(f.system.inner.Value(RegistryRoot::LocalMachine, key, "UninstallString"),
              "C:\\WINDOWS\\VelaUnInsApp.exe " + kInstall + "\\Relievofile.ini");
    EXPECT_EQ(f.system.inner.OpenKeyCount(), 0u) << "every key is closed";
    // The entry is written after the logs are closed and before the sort.
    EXPECT_GT(f.log.Find("regset DisplayName=Relievo"), f.log.Find("link " + kGroup + kUninstallName + ".lnk"));
}

TEST(InstallWorkerRun, WithoutUninstallSupportTheKeyIsStillOpenedButNothingWritten)
{
    PackageDescription d = Description();
    d.registerUninstall = false;
    WorkerFixture f(d);
    EXPECT_EQ(f.Install(), WorkerEnd::Completed);
    EXPECT_EQ(f.system.inner.links.size(), 3u);
    EXPECT_EQ(f.FileLog().find(kUninstallName), std::string::npos);
    EXPECT_FALSE(f.system.inner.HasKey(RegistryRoot::LocalMachine, std::string(kUninstallKey) + "\\Relievo"));
    EXPECT_GE(f.log.Find(std::string("regopen ") + kUninstallKey), 0);
}

// ---- Failures -------------------------------------------------------------

TEST(InstallWorkerFailures, ALogThatCannotBeCreatedEndsTheProgram)
{
    for (const char* log : {"dir.ini", "file.ini"}) {
        SCOPED_TRACE(log);
        WorkerFixture f;
        f.platform.uncreatable.insert(kInstall + "\\Relievo" + log);
        CInstallWorker worker(f.platform, f.system, f.context, f.page);
        EXPECT_FALSE(worker.Prepare());
        ASSERT_EQ(f.page.messages.size(), 1u);
        EXPECT_EQ(f.page.messages[0].text, kMsgInstallFailed);
        EXPECT_EQ(f.page.messages[0].caption, kCaptionError);
        EXPECT_TRUE(f.page.quitRequested);
        EXPECT_EQ(f.platform.openStreams, 0);
    }
}

TEST(InstallWorkerRun, PrepareMakesTheInstallFolderAndNamesTheLogs)
{
    WorkerFixture f;
    CInstallWorker worker(f.platform, f.system, f.context, f.page);
    ASSERT_TRUE(worker.Prepare());
    EXPECT_EQ(std::string(f.context.dirLogPath), kInstall + "\\Relievodir.ini");
    EXPECT_EQ(std::string(f.context.fileLogPath), kInstall + "\\Relievofile.ini");
    EXPECT_EQ(f.system.inner.foldersCreated, (std::vector<std::string>{"C:\\Program Files", kInstall}));
    EXPECT_LT(f.log.Find("folder " + kInstall), f.log.Find("create " + kInstall + "\\Relievodir.ini"));
}

TEST(InstallWorkerFailures, UnreadablePackageIsReportedAndEndsTheWorker)
{
    WorkerFixture f;
    f.platform.readOpensLeft[std::string(f.platform.ModuleFileName())] = 0;
    EXPECT_EQ(f.Install(), WorkerEnd::PackageUnreadable);
    ASSERT_EQ(f.page.messages.size(), 1u);
    EXPECT_EQ(f.page.messages[0].text, kMsgPackageOpenError);
    EXPECT_EQ(f.page.messages[0].caption, kCaptionError);
    EXPECT_TRUE(f.context.installAborted.load()) << "the page ends the program instead of waiting forever";
    EXPECT_EQ(f.context.progressCount.load(), 0);
    EXPECT_EQ(f.platform.openStreams, 0);
}

TEST(InstallWorkerFailures, UnreadableScriptIsReported)
{
    WorkerFixture f;
    f.platform.readOpensLeft[kScript] = 0;
    EXPECT_EQ(f.Install(), WorkerEnd::ScriptUnreadable);
    ASSERT_EQ(f.page.messages.size(), 1u);
    EXPECT_EQ(f.page.messages[0].text, kMsgInstallScriptError);
    EXPECT_EQ(f.page.messages[0].caption, kCaptionError);
    EXPECT_TRUE(f.context.installAborted.load());
    EXPECT_EQ(f.platform.openStreams, 0);
}

// A stored file that cannot be put in place whole ends the install. An old
// file stays as it was and nothing is left beside it; a new one is written in
// its place and removed again. Either way nothing after it runs, and neither
// the completion nor the Uninstall entry follows.
TEST(InstallWorkerFailures, AFileNotWrittenWholeEndsTheInstallAndLeavesNoTrace)
{
    const std::string ocx = kInstall + "\\comp.ocx";
    // The disk fills up 1,000 bytes into the file written.
    auto fillDiskAt = [](const std::string& written) {
        return [written](WorkerFixture& f) {
            f.log.onEvent = [&f, written](const std::string& e) {
                if (e == "create " + written) f.platform.diskRoom = 1000;
            };
        };
    };
    struct Case {
        const char* what;
        bool oldFile;  // comp.ocx is there before the install
        std::function<void(WorkerFixture&)> arrange;
    };
    const Case cases[] = {
        {"full disk, old file", true, fillDiskAt(ocx + ".new~")},
        {"target in use", true, [&](WorkerFixture& f) { f.system.inUse.insert(ocx); }},
        {"package cut short, old file", true, [](WorkerFixture& f) { f.CutPackageInsideTheComponent(); }},
        {"nothing can be written beside it", true,
         [&](WorkerFixture& f) {
             f.platform.uncreatable.insert(ocx + ".new~");
             for (int n = 1; n < 10; ++n) f.platform.uncreatable.insert(ocx + ".new~" + std::to_string(n));
         }},
        {"full disk, new file", false, fillDiskAt(ocx)},
        {"package cut short, new file", false, [](WorkerFixture& f) { f.CutPackageInsideTheComponent(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WorkerFixture f;
        if (c.oldFile) f.platform.files[ocx] = std::make_shared<std::string>("old component");
        c.arrange(f);
        EXPECT_EQ(f.Install(), WorkerEnd::FileNotWritten);

        ASSERT_EQ(f.page.messages.size(), 1u);
        EXPECT_EQ(f.page.messages[0].text, std::string(kMsgInstallFailed) + "\r\n" + ocx);
        EXPECT_EQ(f.page.messages[0].caption, kCaptionError);
        if (c.oldFile) {
            EXPECT_EQ(f.platform.Text(ocx), "old component");
        } else {
            EXPECT_NE(f.log.Find("create " + ocx), -1);
            EXPECT_NE(f.log.Find("remove " + ocx), -1);
            EXPECT_EQ(f.platform.Text(ocx), "<missing>");
        }
        for (const auto& [path, bytes] : f.platform.files)
            EXPECT_EQ(path.find(".new~"), std::string::npos) << path << " left behind";

        EXPECT_TRUE(f.context.installAborted.load());
        EXPECT_EQ(f.context.progressCount.load(), 3) << "three files before it, and no end";
        EXPECT_EQ(f.log.Find("run C:\\WINDOWS\\system32\\regsvr32.exe \"" + ocx + "\" /s"), -1);
        EXPECT_EQ(f.platform.Text(kInstall + "\\keys.reg"), "<missing>") << "nothing after it is written";
        EXPECT_FALSE(f.system.inner.HasKey(RegistryRoot::LocalMachine, kUninstallKey + std::string("\\Relievo")));
        EXPECT_EQ(f.FileLog().find(ocx), std::string::npos) << "only what is in place is recorded";
        EXPECT_EQ(f.platform.openStreams, 0);
    }
}

TEST(InstallWorkerRun, AnOldFileIsReplacedWholeAndAForeignFileBesideItIsLeftAlone)
{
    WorkerFixture f;
    const std::string exe = kInstall + "\\Relievo.exe";
    f.platform.files[exe] = std::make_shared<std::string>(std::string(9000, 'o'));
    f.platform.files[exe + ".new~"] = std::make_shared<std::string>("someone's file");
    EXPECT_EQ(f.Install(), WorkerEnd::Completed);
    EXPECT_EQ(f.platform.Text(exe), Pattern(5000, 3));
    EXPECT_EQ(f.platform.Text(exe + ".new~"), "someone's file");
    EXPECT_NE(f.log.Find("replace " + exe + ".new~1 > " + exe), -1);
}

TEST(InstallWorkerFailures, ScriptNotReopenedSkipsRegistrationsDeletionsAndShortcuts)
{
    WorkerFixture f;
    f.platform.readOpensLeft[kScript] = 1;
    EXPECT_EQ(f.Install(), WorkerEnd::Completed);
    EXPECT_TRUE(f.system.inner.links.empty());
    EXPECT_EQ(f.log.Find(std::string("status ") + kStatusRegistering), -1);
    EXPECT_EQ(f.FileLog().find(".lnk"), std::string::npos);
    EXPECT_EQ(f.system.inner.Value(RegistryRoot::LocalMachine, std::string(kUninstallKey) + "\\Relievo",
                                   "DisplayName"),
              "Relievo")
        << "the Uninstall entry is still written";
    EXPECT_EQ(f.DirLog().rfind(kStartMenuLine, 0), 0u) << "and the log sorted";
    EXPECT_EQ(f.context.progressCount.load(), 9);
}

TEST(InstallWorkerFailures, UninstallKeyThatCannotBeOpenedIsReportedAndTheInstallEnds)
{
    for (bool registerUninstall : {true, false}) {
        SCOPED_TRACE(registerUninstall ? "with uninstall support" : "without uninstall support");
        PackageDescription d = Description();
        d.registerUninstall = registerUninstall;
        WorkerFixture f(d);
        f.system.inner.keys.clear();
        f.system.inner.AddKey(RegistryRoot::CurrentUser, "Software");
        EXPECT_EQ(f.Install(), WorkerEnd::Completed);
        ASSERT_EQ(f.page.messages.size(), 1u);
        EXPECT_EQ(f.page.messages[0].text, kMsgRegistryWriteError);
        EXPECT_EQ(f.page.messages[0].caption, "") << "the framework's message box: the program's title";
        EXPECT_EQ(f.context.progressCount.load(), 9);
        EXPECT_EQ(f.DirLog().rfind(kStartMenuLine, 0), 0u);
    }
}

TEST(InstallWorkerFailures, ProgramThatCannotStartIsReportedAndTheInstallGoesOn)
{
    WorkerFixture f;
    f.system.inner.processStarts = false;
    EXPECT_EQ(f.Install(), WorkerEnd::Completed);
    ASSERT_EQ(f.platform.messages.size(), 2u) << "the flag-1 registration and the [AutoReg] one";
    EXPECT_EQ(f.platform.messages[0].text, "\xB4\xB4\xBD\xA8\xB3\xCC\xD0\xF2\xBD\xF8\xB3\xCC\xCA\xA7\xB0\xDC!");
    EXPECT_EQ(f.platform.messages[0].caption, kCaptionError);
    EXPECT_EQ(f.system.inner.links.size(), 4u);
}

// ---- Cancel ---------------------------------------------------------------

// Presses Cancel when the event first happens.
void CancelAt(WorkerFixture& f, const std::string& event)
{
    f.log.onEvent = [&f, event, done = false](const std::string& e) mutable {
        if (!done && e == event) {
            done = true;
            RequestCancel(f.context);
        }
    };
}

TEST(InstallWorkerCancel, AnsweredNoTheInstallRunsOnUnchanged)
{
    WorkerFixture f;
    CancelAt(f, "create " + kInstall + "\\back\\b1.bmp");
    f.page.answers = {false};
    EXPECT_EQ(f.Install(), WorkerEnd::Completed);
    ASSERT_EQ(f.page.questions.size(), 1u);
    EXPECT_EQ(f.page.questions[0].text, kMsgCancelInstallQuestion);
    EXPECT_EQ(f.page.questions[0].caption, kCaptionExitQuestion);
    // Asked before the third file, the first checkpoint after the press.
    EXPECT_LT(f.log.Find("ask"), f.log.Find("create " + kInstall + "\\empty.txt"));
    EXPECT_GT(f.log.Find("ask"), f.log.Find("create " + kInstall + "\\back\\b1.bmp"));
    EXPECT_FALSE(f.context.cancelRequested.load()) << "No clears the request";
    EXPECT_EQ(f.context.progressCount.load(), 9);
    WorkerFixture plain;
    plain.Install();
    EXPECT_EQ(f.FileLog(), plain.FileLog());
    EXPECT_EQ(f.DirLog(), plain.DirLog());
}

TEST(InstallWorkerCancel, AnsweredYesTheWorkerStopsAndThePageEndsTheProgram)
{
    WorkerFixture f;
    CancelAt(f, "create " + kInstall + "\\back\\b1.bmp");
    f.page.answers = {true};
    EXPECT_EQ(f.Install(), WorkerEnd::Cancelled);
    EXPECT_TRUE(f.context.installAborted.load());
    EXPECT_EQ(f.context.progressCount.load(), 2);
    EXPECT_EQ(f.platform.openStreams, 0) << "package, script and logs closed before the page learns of it";
    EXPECT_EQ(f.platform.Text(kInstall + "\\Relievo.exe"), Pattern(5000, 3)) << "nothing is rolled back";
    EXPECT_EQ(f.platform.Text(kInstall + "\\empty.txt"), "<missing>");
    EXPECT_EQ(f.FileLog(), Lines({kInstall + "\\Relievo.exe"})) << "the log keeps what was written";
    EXPECT_TRUE(f.system.inner.links.empty());

    std::int32_t seen = 0;
    const ProgressTick tick = CheckProgress(f.context, seen);
    EXPECT_TRUE(tick.aborted);
    EXPECT_FALSE(tick.completed);
    EndAbortedInstall(f.platform, f.context, f.page);
    EXPECT_EQ(f.platform.Text(kScript), "<missing>");
    EXPECT_TRUE(f.page.quitRequested);
}

TEST(InstallWorkerCancel, PressedWhileFoldersAreMadeItIsAnsweredBeforeTheFirstFile)
{
    WorkerFixture f;
    CancelAt(f, "folder " + kInstall + "\\back");
    f.page.answers = {true};
    EXPECT_EQ(f.Install(), WorkerEnd::Cancelled);
    EXPECT_EQ(f.context.progressCount.load(), 0);
    EXPECT_EQ(f.page.statuses.size(), 0u);
    EXPECT_GE(f.log.Find("folder C:\\WINDOWS\\Start Menu\\Programs\\Relievo"), 0) << "the folders step finishes";
}

TEST(InstallWorkerCancel, AutoRegLinesHaveACheckpointEach)
{
    PackageDescription d = Description();
    d.autoReg = {"[InstallDir]\\comp.ocx", "[InstallDir]\\Relievo.exe"};
    WorkerFixture f(d);
    int runs = 0;  // the first is the flag-1 registration, the second the first [AutoReg] line
    f.log.onEvent = [&](const std::string& e) {
        if (e.rfind("run C:\\WINDOWS\\system32\\regsvr32.exe", 0) == 0 && ++runs == 2) RequestCancel(f.context);
    };
    f.page.answers = {true};
    EXPECT_EQ(f.Install(), WorkerEnd::Cancelled);
    EXPECT_EQ(f.log.Find("run " + kInstall + "\\Relievo.exe"), -1) << "stopped before the second line";
    EXPECT_EQ(f.context.progressCount.load(), 8);
    EXPECT_TRUE(f.system.inner.links.empty());
}

TEST(InstallWorkerCancel, PressedAfterTheLastRegistrationItIsNeverAnswered)
{
    for (const std::string& when :
         {std::string("run C:\\WINDOWS\\system32\\regsvr32.exe \"") + kInstall + "\\comp.ocx\" /s",
          std::string("remove C:\\WINDOWS\\old.tmp"), std::string("link ") + kGroup + "Relievo.lnk"}) {
        WorkerFixture f;
        int runs = 0;
        f.log.onEvent = [&](const std::string& e) {
            if (e == when && (e.rfind("run ", 0) != 0 || ++runs == 2)) RequestCancel(f.context);
        };
        f.page.answers = {true};
        EXPECT_EQ(f.Install(), WorkerEnd::Completed) << when;
        EXPECT_TRUE(f.page.questions.empty()) << when;
        EXPECT_TRUE(f.context.cancelRequested.load()) << when;
        EXPECT_EQ(f.context.progressCount.load(), 9) << when;
    }
}

// ---- Progress page --------------------------------------------------------

TEST(ProgressPage, BarStandsAtTheStepsDoneAndCompletesAfterTheFinalStep)
{
    WorkerFixture f;
    const std::int32_t n = f.context.packageFileCount;
    ASSERT_EQ(n, 8);
    std::vector<int> bars;
    std::int32_t seen = 0;
    bool completed = false;
    // A timer tick at every event of the worker.
    f.log.onEvent = [&](const std::string&) {
        const ProgressTick tick = CheckProgress(f.context, seen);
        if (tick.moveBar) bars.push_back(tick.barPosition);
        EXPECT_FALSE(tick.aborted);
        completed = completed || tick.completed;
    };
    f.Install();
    EXPECT_FALSE(completed) << "not before the worker's final step";
    const ProgressTick last = CheckProgress(f.context, seen);
    EXPECT_TRUE(last.completed);
    bars.push_back(last.barPosition);
    // After k of eight files the bar stands at (k + 1) eighths, full from the
    // seventh file on, and stays full for the final step.
    EXPECT_EQ(bars, (std::vector<int>{25, 37, 50, 62, 75, 87, 100, 100, 100}));
    EXPECT_FALSE(CheckProgress(f.context, seen).moveBar) << "unchanged count, nothing to move";
}

TEST(ProgressPage, BarPositionTable)
{
    struct Row {
        std::int32_t count, files;
        int bar;
    };
    for (const Row& r : std::vector<Row>{{0, 8, 12}, {3, 8, 50}, {7, 8, 100}, {9, 8, 100}, {0, 1, 100},
                                         {0, 300, 0}, {1, 300, 0}, {2, 300, 1}, {0, 0, 100}, {1, 0, 100}}) {
        EXPECT_EQ(ProgressBarPosition(r.count, r.files), r.bar) << r.count << " of " << r.files;
    }
}

// The bar in 64-bit arithmetic: the literal percentage.
int LiteralBarPosition(std::int32_t count, std::int32_t files)
{
    if (files <= 0) return 100;
    const std::int64_t position = (std::int64_t{count} + 1) * 100 / files;
    return static_cast<int>(std::clamp<std::int64_t>(position, 0, 100));
}

TEST(ProgressPage, BarPositionMatchesTheLiteralPercentageOverTheWholeRange)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    // Where count + 1 times 100 outgrows 32 bits, and the ends of both ranges.
    const std::vector<std::int32_t> edges{kMin, kMin + 1, -2, -1, 0, 1, 2, 99, 100, 101,
                                          42949672, 42949673, 1 << 30, kMax - 2, kMax - 1, kMax};
    for (std::int32_t files : edges) {
        for (std::int32_t count : edges)
            EXPECT_EQ(ProgressBarPosition(count, files), LiteralBarPosition(count, files)) << count << " of " << files;
        if (files < 3) continue;
        // Just below a full bar, and where the percentage steps.
        for (std::int32_t count : {files / 2, files / 3, files - 3, files - 2, files / 100 * 99, files / 100 - 1})
            EXPECT_EQ(ProgressBarPosition(count, files), LiteralBarPosition(count, files)) << count << " of " << files;
    }
    std::mt19937 random(15);
    std::uniform_int_distribution<std::int32_t> any(kMin, kMax);
    for (int i = 0; i < 20000; ++i) {
        const std::int32_t files = i % 2 ? any(random) : static_cast<std::int32_t>(random() % 100000 + 1);
        const std::int32_t count = i % 3 ? static_cast<std::int32_t>(std::uint64_t(random()) * std::uint32_t(files) >> 32)
                                         : any(random);
        ASSERT_EQ(ProgressBarPosition(count, files), LiteralBarPosition(count, files)) << count << " of " << files;
    }
}

TEST(ProgressPage, PackageWithoutFilesCompletesAtCountOne)
{
    InstallContext context;
    context.packageFileCount = 0;
    std::int32_t seen = 0;
    EXPECT_FALSE(CheckProgress(context, seen).completed);
    context.progressCount = 1;
    const ProgressTick tick = CheckProgress(context, seen);
    EXPECT_TRUE(tick.completed);
    EXPECT_EQ(tick.barPosition, 100);
}

TEST(ProgressPage, CancelOnlyAsks)
{
    InstallContext context;
    RequestCancel(context);
    EXPECT_TRUE(context.cancelRequested.load());
    EXPECT_FALSE(context.installAborted.load());
    std::int32_t seen = 0;
    EXPECT_FALSE(CheckProgress(context, seen).aborted);
}

// ---- The directory log's sort ---------------------------------------------

// Literal bubble passes over a table of lines: the oracle.
std::vector<std::string> BubbleLongestFirst(std::vector<std::string> lines)
{
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            if (lines[i + 1].size() > lines[i].size()) {
                std::swap(lines[i], lines[i + 1]);
                swapped = true;
            }
        }
    }
    return lines;
}

std::string SortedLog(const std::string& text)
{
    EventLog log;
    WorkerPlatform platform(log);
    platform.files["C:\\dir.ini"] = std::make_shared<std::string>(text);
    EXPECT_TRUE(SortDirectoryLog(platform, "C:\\dir.ini"));
    return platform.Text("C:\\dir.ini");
}

TEST(SortDirectoryLog, PutsLongerLinesFirstKeepingTheOrderOfEqualOnes)
{
    const std::string longLine = "C:\\" + std::string(400, 'x');
    const struct {
        const char* what;
        std::string log;
        std::string sorted;
    } rows[] = {
        {"a sub-folder before its folder", "C:\\A\r\nC:\\A\\B\r\n", "C:\\A\\B\r\nC:\\A\r\n"},
        {"equal lengths keep their order", "C:\\b\r\nC:\\a\r\nC:\\long\r\nC:\\c\r\n",
         "C:\\long\r\nC:\\b\r\nC:\\a\r\nC:\\c\r\n"},
        {"a line longer than the bound stays whole", "C:\\a\r\n" + longLine + "\r\n", longLine + "\r\nC:\\a\r\n"},
        {"the last line gets its line end", "C:\\a\r\nC:\\abc", "C:\\abc\r\nC:\\a\r\n"},
        {"an empty log", "", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(SortedLog(row.log), row.sorted) << row.what;
}

TEST(SortDirectoryLog, MatchesRepeatedBubblePasses)
{
    unsigned seed = 7;
    // Counts around powers of two, and more than a table of 262 would hold.
    for (int count : {1, 2, 3, 4, 5, 7, 8, 9, 31, 33, 100, 400}) {
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i) {
            seed = seed * 1103515245u + 12345u;
            // Few lengths, so many lines are equal in length and must keep their order.
            const std::size_t length = 1 + (seed >> 16) % (count < 10 ? 3 : 40);
            lines.push_back("C:\\" + std::string(length, static_cast<char>('a' + i % 26)) + "\r\n");
        }
        std::string text;
        for (const std::string& line : lines) text += line;
        std::string expected;
        for (const std::string& line : BubbleLongestFirst(lines)) expected += line;
        EXPECT_EQ(SortedLog(text), expected) << count << " lines";
    }
}

TEST(SortDirectoryLog, UnreadableLogIsLeftAlone)
{
    EventLog log;
    WorkerPlatform platform(log);
    EXPECT_FALSE(SortDirectoryLog(platform, "C:\\missing.ini"));
    EXPECT_EQ(platform.files.count("C:\\missing.ini"), 0u);
}

} // namespace
} // namespace vela::test
