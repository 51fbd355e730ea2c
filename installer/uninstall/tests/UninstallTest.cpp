// The uninstaller's work against an in-memory system: which command lines
// and log names it takes, what it removes and in which order, what it keeps
// and what it says.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "installer/uninstall/Uninstall.h"

namespace {

using vela::Removal;

struct Shown {
    std::string text;
    std::string caption;
    bool warning;
};

// Files and folders keyed by exact path; a folder is not empty while a file
// or folder below it exists.
class FakeUninstallSystem : public vela::IUninstallSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::set<std::string> locked;  // files and folders that refuse removal
    std::map<std::string, std::string> entries;  // display name -> UninstallString
    bool answer = true;
    std::vector<std::string> asked;
    std::vector<Shown> shown;
    std::vector<std::string> removed;  // in order

    std::unique_ptr<vela::IBinaryFile> OpenForReading(const std::string& path) override
    {
        auto it = files.find(path);
        return it == files.end() ? nullptr : vela::OpenMemoryFile(it->second);
    }
    Removal RemoveFile(const std::string& path) override
    {
        if (!files.count(path)) return Removal::Missing;
        if (locked.count(path)) return Removal::Failed;
        files.erase(path);
        removed.push_back(path);
        return Removal::Removed;
    }
    Removal RemoveFolder(const std::string& path) override
    {
        if (!folders.count(path)) return Removal::Missing;
        if (locked.count(path)) return Removal::Failed;
        const std::string below = path + "\\";
        for (const auto& [file, bytes] : files)
            if (file.compare(0, below.size(), below) == 0) return Removal::NotEmpty;
        for (const std::string& folder : folders)
            if (folder.compare(0, below.size(), below) == 0) return Removal::NotEmpty;
        folders.erase(path);
        removed.push_back(path);
        return Removal::Removed;
    }
    bool ReadUninstallString(const std::string& name, std::string& command) override
    {
        auto it = entries.find(name);
        if (it == entries.end()) return false;
        command = it->second;
        return true;
    }
    bool DeleteUninstallEntry(const std::string& name) override { return entries.erase(name) > 0; }
    bool Confirm(std::string_view text, std::string_view) override
    {
        asked.emplace_back(text);
        return answer;
    }
    void ShowMessage(std::string_view text, std::string_view caption, bool warning) override
    {
        shown.push_back({std::string(text), std::string(caption), warning});
    }
};

const std::string kApp = "C:\\Program Files\\Relievo";
const std::string kFileLog = kApp + "\\Relievofile.ini";
const std::string kDirLog = kApp + "\\Relievodir.ini";
const std::string kGroup = "C:\\WINDOWS\\Start Menu\\Programs\\Relievo";
const std::string kDesktopLink = "C:\\WINDOWS\\Desktop\\Relievo.lnk";
const std::string kCommand = "C:\\WINDOWS\\VelaUnInsApp.exe " + kFileLog;

// What an install of Relievo leaves: files, links, folders, logs (the
// directory log already sorted longest first) and the Uninstall entry.
FakeUninstallSystem InstalledRelievo()
{
    FakeUninstallSystem sys;
    const std::vector<std::string> installed = {
        kApp + "\\Relievo.exe", kApp + "\\back\\b1.bmp", kApp + "\\sample\\dome.bmp",
        kGroup + "\\Relievo.lnk", kDesktopLink, kGroup + "\\\xD0\xB6\xD4\xD8Relievo.lnk"};
    std::string fileLog;
    for (const std::string& path : installed) {
        sys.files[path] = "bytes of " + path;
        fileLog += path + "\r\n";
    }
    sys.files["C:\\WINDOWS\\VelaUnInsApp.exe"] = "the uninstaller";  // never in the log
    sys.folders = {kApp, kApp + "\\back", kApp + "\\sample", kApp + "\\result", kGroup,
                   "C:\\WINDOWS\\Desktop", "C:\\WINDOWS\\Start Menu\\Programs"};
    sys.files[kFileLog] = fileLog;
    sys.files[kDirLog] = kGroup + "\r\n" + kApp + "\\sample\r\n" + kApp + "\\result\r\n" + kApp + "\\back\r\n" +
                         kApp + "\r\n";
    sys.entries["Relievo"] = kCommand;
    return sys;
}

TEST(UninstallArgumentTest, TakesEverythingAfterTheProgramName)
{
    const struct {
        const char* commandLine;
        const char* argument;
    } rows[] = {
        {"C:\\WINDOWS\\VelaUnInsApp.exe C:\\Program Files\\R\\Rfile.ini", "C:\\Program Files\\R\\Rfile.ini"},
        {"\"C:\\WIN DOWS\\VelaUnInsApp.exe\" C:\\A B\\Rfile.ini  ", "C:\\A B\\Rfile.ini"},
        {"VelaUnInsApp \"C:\\A B\\Rfile.ini\"", "C:\\A B\\Rfile.ini"},
        {"\"C:\\x\\VelaUnInsApp.exe\"C:\\Rfile.ini", "C:\\Rfile.ini"},
        {"  VelaUnInsApp.exe\tC:\\Rfile.ini", "C:\\Rfile.ini"},
        {"VelaUnInsApp.exe", ""},
        {"VelaUnInsApp.exe    ", ""},
        {"", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(vela::UninstallArgument(row.commandLine), row.argument) << row.commandLine;
}

TEST(UninstallLogsTest, FindsTheDirectoryLogAndTheDisplayNameBesideTheFileLog)
{
    vela::UninstallLogs logs;
    ASSERT_TRUE(vela::FindUninstallLogs(kFileLog, logs));
    EXPECT_EQ(logs.fileLogPath, kFileLog);
    EXPECT_EQ(logs.dirLogPath, kDirLog);
    EXPECT_EQ(logs.displayName, "Relievo");

    // 画图 ends in the trail byte 0x5C: not a backslash.
    ASSERT_TRUE(vela::FindUninstallLogs("D:\\\xBB\xAD\\\xCD\x5C" "FILE.INI", logs));
    EXPECT_EQ(logs.displayName, "\xCD\x5C");
    EXPECT_EQ(logs.dirLogPath, "D:\\\xBB\xAD\\\xCD\x5C" "dir.ini");
}

TEST(UninstallLogsTest, RefusesWhatIsNotAFileLogPath)
{
    for (const char* path : {"", "Relievofile.ini", "\\\\server\\share\\Rfile.ini", "C:Rfile.ini",
                             "C:\\Program Files\\Relievo\\file.ini", "C:\\Relievo\\Relievodir.ini",
                             "C:\\Relievo\\Relievofile.ini.bak",
                             // 'f' here is the trail byte of a double-byte character
                             "C:\\Relievo\\R\xB0" "file.ini"}) {
        vela::UninstallLogs logs;
        EXPECT_FALSE(vela::FindUninstallLogs(path, logs)) << path;
    }
}

TEST(UninstallLogsTest, ReadsFullPathsOfCrLfOrLfLines)
{
    const std::string log = "C:\\a\\one.exe\r\n\r\nrelative\\two.exe\r\nD:\\b\nC:\\\r\nX:\\last";
    EXPECT_EQ(vela::ReadLogPaths(log), (std::vector<std::string>{"C:\\a\\one.exe", "D:\\b", "X:\\last"}));
    EXPECT_TRUE(vela::ReadLogPaths("").empty());
    EXPECT_TRUE(vela::ReadLogPaths(std::string("C:\\a\0b\r\n", 8)).empty());
}

TEST(UninstallLogsTest, SortsLongestFirstKeepingTheOrderOfEqualLengths)
{
    std::vector<std::string> paths = {"C:\\A", "C:\\A\\BB", "C:\\C", "C:\\A\\B\\C", "C:\\D\\E"};
    vela::SortLongestFirst(paths);
    EXPECT_EQ(paths, (std::vector<std::string>{"C:\\A\\B\\C", "C:\\A\\BB", "C:\\D\\E", "C:\\A", "C:\\C"}));
}

TEST(UninstallEntryTest, BelongsToTheInstallWhoseLogItHandsOver)
{
    EXPECT_TRUE(vela::CommandNamesLog(kCommand, kFileLog));
    EXPECT_TRUE(vela::CommandNamesLog("c:\\windows\\VELAUNINSAPP.EXE c:\\program files\\relievo\\relievoFILE.ini", kFileLog));
    EXPECT_TRUE(vela::CommandNamesLog("C:\\My Windows\\VelaUnInsApp.exe " + kFileLog, kFileLog));
    EXPECT_FALSE(vela::CommandNamesLog("C:\\WINDOWS\\VelaUnInsApp.exe D:\\Relievo\\Relievofile.ini", kFileLog));
    EXPECT_FALSE(vela::CommandNamesLog(kFileLog, kFileLog));
    EXPECT_FALSE(vela::CommandNamesLog("C:\\WINDOWS\\VelaUnInsApp.exe" + kFileLog, kFileLog));
    EXPECT_FALSE(vela::CommandNamesLog(kCommand, ""));
}

TEST(UninstallTest, RemovesFilesThenLogsThenFoldersLongestFirstThenTheEntry)
{
    FakeUninstallSystem sys = InstalledRelievo();
    vela::UninstallReport report;
    EXPECT_EQ(vela::RunUninstall(sys, kFileLog, &report), vela::UninstallEnd::Done);

    ASSERT_EQ(sys.asked.size(), 1u);
    // 你确实要从你的计算机中删除Relievo及其所有组件吗？
    EXPECT_EQ(sys.asked[0], "\xC4\xE3\xC8\xB7\xCA\xB5\xD2\xAA\xB4\xD3\xC4\xE3\xB5\xC4\xBC\xC6\xCB\xE3\xBB\xFA\xD6\xD0"
                            "\xC9\xBE\xB3\xFDRelievo\xBC\xB0\xC6\xE4\xCB\xF9\xD3\xD0\xD7\xE9\xBC\xFE\xC2\xF0\xA3\xBF");
    const std::vector<std::string> order = {
        kApp + "\\Relievo.exe", kApp + "\\back\\b1.bmp", kApp + "\\sample\\dome.bmp", kGroup + "\\Relievo.lnk",
        kDesktopLink, kGroup + "\\\xD0\xB6\xD4\xD8Relievo.lnk", kFileLog, kDirLog,
        kGroup, kApp + "\\sample", kApp + "\\result", kApp + "\\back", kApp};
    EXPECT_EQ(sys.removed, order);
    EXPECT_EQ(sys.files, (std::map<std::string, std::string>{{"C:\\WINDOWS\\VelaUnInsApp.exe", "the uninstaller"}}));
    EXPECT_EQ(sys.folders, (std::set<std::string>{"C:\\WINDOWS\\Desktop", "C:\\WINDOWS\\Start Menu\\Programs"}));
    EXPECT_TRUE(sys.entries.empty());
    EXPECT_TRUE(report.entryRemoved);

    ASSERT_EQ(sys.shown.size(), 1u);
    EXPECT_EQ(sys.shown[0].text, "Relievo\xD2\xD1\xBE\xAD\xB4\xD3\xC4\xE3\xB5\xC4\xBC\xC6\xCB\xE3\xBB\xFA\xD6\xD0\xC9\xBE"
                                 "\xB3\xFD\xA1\xA3");  // Relievo已经从你的计算机中删除。
    EXPECT_EQ(sys.shown[0].caption, "\xD0\xB6\xD4\xD8\xCD\xEA\xB3\xC9");  // 卸载完成
    EXPECT_FALSE(sys.shown[0].warning);
}

TEST(UninstallTest, KeepsWhatTheUserAddedAndSaysSo)
{
    FakeUninstallSystem sys = InstalledRelievo();
    const std::string mine = kApp + "\\result\\my stereogram.bmp";
    sys.files[mine] = "the user's own";
    vela::UninstallReport report;
    EXPECT_EQ(vela::RunUninstall(sys, kFileLog, &report), vela::UninstallEnd::Partly);

    EXPECT_EQ(sys.files.at(mine), "the user's own");
    EXPECT_TRUE(sys.folders.count(kApp + "\\result"));
    EXPECT_TRUE(sys.folders.count(kApp));
    EXPECT_FALSE(sys.folders.count(kApp + "\\back"));
    EXPECT_FALSE(sys.files.count(kApp + "\\Relievo.exe"));
    EXPECT_EQ(report.foldersKept, (std::vector<std::string>{kApp + "\\result", kApp}));
    EXPECT_TRUE(report.filesLeft.empty());
    EXPECT_TRUE(report.entryRemoved);
    ASSERT_EQ(sys.shown.size(), 1u);
    EXPECT_TRUE(sys.shown[0].warning);
    EXPECT_NE(sys.shown[0].text.find(kApp + "\\result\r\n" + kApp), std::string::npos) << sys.shown[0].text;
}

TEST(UninstallTest, SaysWhichFilesAndFoldersCouldNotBeRemoved)
{
    FakeUninstallSystem sys = InstalledRelievo();
    sys.locked = {kApp + "\\Relievo.exe", kGroup};
    vela::UninstallReport report;
    EXPECT_EQ(vela::RunUninstall(sys, kFileLog, &report), vela::UninstallEnd::Partly);
    EXPECT_EQ(report.filesLeft, (std::vector<std::string>{kApp + "\\Relievo.exe"}));
    EXPECT_EQ(report.foldersLeft, (std::vector<std::string>{kGroup}));
    EXPECT_EQ(report.foldersKept, (std::vector<std::string>{kApp}));  // it still holds Relievo.exe
    const std::string& text = sys.shown.at(0).text;
    EXPECT_NE(text.find(kApp + "\\Relievo.exe"), std::string::npos);
    EXPECT_NE(text.find(kGroup), std::string::npos);
}

TEST(UninstallTest, ListsTenEntriesPerSectionAndCountsTheRest)
{
    vela::UninstallReport report;
    for (int i = 0; i < 13; ++i) report.filesLeft.push_back("C:\\f" + std::to_string(i));
    const std::string text = vela::ReportText("R", report);
    EXPECT_NE(text.find("C:\\f9\r\n"), std::string::npos);
    EXPECT_EQ(text.find("C:\\f10"), std::string::npos);
    EXPECT_NE(text.find("\xA1\xAD\xA1\xAD\xC1\xED\xD3\xD0 3 \xCF\xEE"), std::string::npos);  // ……另有 3 项
}

TEST(UninstallTest, AnsweringNoTouchesNothing)
{
    FakeUninstallSystem sys = InstalledRelievo();
    const auto files = sys.files;
    sys.answer = false;
    EXPECT_EQ(vela::RunUninstall(sys, kFileLog), vela::UninstallEnd::Declined);
    EXPECT_EQ(sys.files, files);
    EXPECT_TRUE(sys.removed.empty());
    EXPECT_EQ(sys.entries.size(), 1u);
    EXPECT_TRUE(sys.shown.empty());
}

TEST(UninstallTest, AMissingOrUnusableLogIsReportedBeforeAskingAndNothingIsTouched)
{
    {
        FakeUninstallSystem sys = InstalledRelievo();
        EXPECT_EQ(vela::RunUninstall(sys, "relievo"), vela::UninstallEnd::BadArgument);
        EXPECT_TRUE(sys.asked.empty());
        ASSERT_EQ(sys.shown.size(), 1u);
        EXPECT_EQ(sys.shown[0].caption, "\xB4\xED\xCE\xF3");  // 错误
    }
    {
        FakeUninstallSystem sys = InstalledRelievo();
        sys.files.erase(kFileLog);
        EXPECT_EQ(vela::RunUninstall(sys, kFileLog), vela::UninstallEnd::LogUnreadable);
        EXPECT_TRUE(sys.asked.empty());
        EXPECT_TRUE(sys.removed.empty());
        ASSERT_EQ(sys.shown.size(), 1u);
        EXPECT_NE(sys.shown[0].text.find(kFileLog), std::string::npos);
    }
    {
        FakeUninstallSystem sys = InstalledRelievo();
        sys.files[kFileLog] = std::string(vela::kMaxLogSize + 1, 'x');
        EXPECT_EQ(vela::RunUninstall(sys, kFileLog), vela::UninstallEnd::LogUnreadable);
        EXPECT_TRUE(sys.removed.empty());
    }
}

TEST(UninstallTest, AnUnsortedOrMissingDirectoryLogStillWorks)
{
    FakeUninstallSystem sys = InstalledRelievo();
    // An install cancelled before the sort: parents before their children.
    sys.files[kDirLog] = kApp + "\r\n" + kApp + "\\back\\\r\n" + kApp + "\\sample\r\n" + kApp + "\\result\r\n" + kGroup + "\r\n";
    EXPECT_EQ(vela::RunUninstall(sys, kFileLog), vela::UninstallEnd::Done);
    EXPECT_FALSE(sys.folders.count(kApp));
    EXPECT_FALSE(sys.folders.count(kApp + "\\back"));

    FakeUninstallSystem bare = InstalledRelievo();
    bare.files.erase(kDirLog);
    vela::UninstallReport report;
    EXPECT_EQ(vela::RunUninstall(bare, kFileLog, &report), vela::UninstallEnd::Done);
    EXPECT_FALSE(bare.files.count(kApp + "\\Relievo.exe"));
    EXPECT_TRUE(bare.folders.count(kApp));  // not listed, so not touched
}

TEST(UninstallTest, LeavesAnUninstallEntryThatBelongsToAnotherInstall)
{
    FakeUninstallSystem sys = InstalledRelievo();
    sys.entries["Relievo"] = "C:\\WINDOWS\\VelaUnInsApp.exe D:\\Relievo\\Relievofile.ini";
    vela::UninstallReport report;
    EXPECT_EQ(vela::RunUninstall(sys, kFileLog, &report), vela::UninstallEnd::Done);
    EXPECT_FALSE(report.entryRemoved);
    EXPECT_EQ(sys.entries.size(), 1u);
}

} // namespace
