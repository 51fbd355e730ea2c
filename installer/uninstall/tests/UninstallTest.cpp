// The uninstaller's work against an in-memory system: which command lines
// and log names it takes, what it removes and in which order, what it keeps
// and what it says; logs that lie about where the program is, links below
// its folders, and a file held open.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "installer/uninstall/Uninstall.h"
#include "installer/uninstall/tests/FakeUninstallSystem.h"

namespace {

using vela::test::FakeUninstallSystem;

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
    const struct {
        std::string fileLog;
        std::string dirLog;
        std::string displayName;
    } rows[] = {
        {kFileLog, kDirLog, "Relievo"},
        // 画图 ends in the trail byte 0x5C: not a backslash.
        {"D:\\\xBB\xAD\\\xCD\x5C" "FILE.INI", "D:\\\xBB\xAD\\\xCD\x5C" "dir.ini", "\xCD\x5C"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fileLog);
        vela::UninstallLogs logs;
        ASSERT_TRUE(vela::FindUninstallLogs(row.fileLog, logs));
        EXPECT_EQ(logs.fileLogPath, row.fileLog);
        EXPECT_EQ(logs.dirLogPath, row.dirLog);
        EXPECT_EQ(logs.displayName, row.displayName);
    }
}

TEST(UninstallLogsTest, RefusesWhatIsNotAFileLogPath)
{
    for (const char* path : {"", "Relievofile.ini", "\\\\server\\share\\Rfile.ini", "C:Rfile.ini",
                             "C:\\Program Files\\Relievo\\file.ini", "C:\\Relievo\\Relievodir.ini",
                             "C:\\Relievo\\Relievofile.ini.bak",
                             // a log in a drive's root would make the whole drive the install folder
                             "C:\\Relievofile.ini",
                             // 'f' here is the trail byte of a double-byte character
                             "C:\\Relievo\\R\xB0" "file.ini"}) {
        vela::UninstallLogs logs;
        EXPECT_FALSE(vela::FindUninstallLogs(path, logs)) << path;
    }
}

TEST(UninstallLogsTest, ReadsFullPathsOfCrLfOrLfLines)
{
    using Paths = std::vector<std::string>;
    const struct {
        const char* what;
        std::string log;
        Paths paths;
    } rows[] = {
        {"empty, relative and root lines are passed over",
         "C:\\a\\one.exe\r\n\r\nrelative\\two.exe\r\nD:\\b\nC:\\\r\nX:\\last", {"C:\\a\\one.exe", "D:\\b", "X:\\last"}},
        {"an empty log", "", {}},
        {"a log with a zero byte is no text", std::string("C:\\a\0b\r\n", 8), {}},
    };
    for (const auto& row : rows) EXPECT_EQ(vela::ReadLogPaths(row.log), row.paths) << row.what;
}

TEST(UninstallLogsTest, SortsLongestFirstKeepingTheOrderOfEqualLengths)
{
    std::vector<std::string> paths = {"C:\\A", "C:\\A\\BB", "C:\\C", "C:\\A\\B\\C", "C:\\D\\E"};
    vela::SortLongestFirst(paths);
    EXPECT_EQ(paths, (std::vector<std::string>{"C:\\A\\B\\C", "C:\\A\\BB", "C:\\D\\E", "C:\\A", "C:\\C"}));
}

TEST(UninstallEntryTest, BelongsToTheInstallWhoseLogItHandsOver)
{
    const struct {
        std::string command;
        std::string fileLog;
        bool belongs;
    } rows[] = {
        {kCommand, kFileLog, true},
        {"c:\\windows\\VELAUNINSAPP.EXE c:\\program files\\relievo\\relievoFILE.ini", kFileLog, true},
        {"C:\\My Windows\\VelaUnInsApp.exe " + kFileLog, kFileLog, true},
        {"C:\\WINDOWS\\VelaUnInsApp.exe D:\\Relievo\\Relievofile.ini", kFileLog, false},
        {kFileLog, kFileLog, false},
        {"C:\\WINDOWS\\VelaUnInsApp.exe" + kFileLog, kFileLog, false},
        {kCommand, "", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(vela::CommandNamesLog(row.command, row.fileLog), row.belongs) << row.command << " / " << row.fileLog;
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
    EXPECT_EQ(report.foldersKept, (std::vector<std::string>{kApp}));  // it still holds Relievo.exe and the logs
    const std::string& text = sys.shown.at(0).text;
    EXPECT_NE(text.find(kApp + "\\Relievo.exe"), std::string::npos);
    EXPECT_NE(text.find(kGroup), std::string::npos);
}

// A file held open by a running program cannot be removed: the logs are
// rewritten to hold what is left, the entry stays, and a second run, once
// the program has ended, finishes the work.
TEST(UninstallTest, AHeldFileKeepsTheLogsAndTheEntryAndASecondRunCompletes)
{
    FakeUninstallSystem sys = InstalledRelievo();
    const std::string held = kApp + "\\Relievo.exe";
    sys.locked = {held};
    vela::UninstallReport report;
    EXPECT_EQ(vela::RunUninstall(sys, kFileLog, &report), vela::UninstallEnd::Partly);
    EXPECT_EQ(report.filesLeft, (std::vector<std::string>{held}));
    EXPECT_TRUE(report.logsKept);
    EXPECT_FALSE(report.entryRemoved);
    EXPECT_EQ(sys.entries.at("Relievo"), kCommand);
    EXPECT_EQ(sys.files.at(kFileLog), held + "\r\n");
    EXPECT_EQ(sys.files.at(kDirLog), kApp + "\r\n");
    EXPECT_FALSE(sys.files.count(kApp + "\\back\\b1.bmp"));
    EXPECT_FALSE(sys.folders.count(kGroup));
    // 卸载记录和卸载项已保留：…
    EXPECT_NE(sys.shown.at(0).text.find("\xD0\xB6\xD4\xD8\xBC\xC7\xC2\xBC\xBA\xCD\xD0\xB6\xD4\xD8\xCF\xEE"
                                        "\xD2\xD1\xB1\xA3\xC1\xF4"),
              std::string::npos)
        << sys.shown.at(0).text;

    sys.locked.clear();
    sys.shown.clear();
    EXPECT_EQ(vela::RunUninstall(sys, kFileLog, &report), vela::UninstallEnd::Done);
    EXPECT_TRUE(report.entryRemoved);
    EXPECT_TRUE(sys.entries.empty());
    EXPECT_EQ(sys.files, (std::map<std::string, std::string>{{"C:\\WINDOWS\\VelaUnInsApp.exe", "the uninstaller"}}));
    EXPECT_FALSE(sys.folders.count(kApp));
    EXPECT_EQ(sys.shown.at(0).caption, "\xD0\xB6\xD4\xD8\xCD\xEA\xB3\xC9");  // 卸载完成
}

// A folder that cannot be removed once the files and logs are gone: the
// logs come back holding it, so the next run can try again.
TEST(UninstallTest, AFolderThatCouldNotBeRemovedBringsTheLogsBack)
{
    FakeUninstallSystem sys = InstalledRelievo();
    sys.locked = {kApp + "\\back"};
    vela::UninstallReport report;
    EXPECT_EQ(vela::RunUninstall(sys, kFileLog, &report), vela::UninstallEnd::Partly);
    EXPECT_EQ(report.foldersLeft, (std::vector<std::string>{kApp + "\\back"}));
    EXPECT_TRUE(report.logsKept);
    EXPECT_EQ(sys.files.at(kFileLog), "");
    EXPECT_EQ(sys.files.at(kDirLog), kApp + "\\back\r\n" + kApp + "\r\n");
    EXPECT_EQ(sys.entries.size(), 1u);

    sys.locked.clear();
    EXPECT_EQ(vela::RunUninstall(sys, kFileLog, &report), vela::UninstallEnd::Done);
    EXPECT_FALSE(sys.folders.count(kApp));
    EXPECT_TRUE(sys.entries.empty());
}

TEST(UninstallTest, ListsTenEntriesPerSectionAndCountsTheRest)
{
    vela::UninstallReport report;
    for (int i = 0; i < 13; ++i) report.filesLeft.push_back("C:\\f" + std::to_string(i));
    const std::string text = vela::ReportText("R", report);
    EXPECT_NE(text.find("C:\\f9\r\n"), std::string::npos);
    EXPECT_EQ(text.find("C:\\f10"), std::string::npos);
    EXPECT_NE(text.find("\xA1\xAD\xA1\xAD\xC1\xED\xD3\xD0 3 \xCF\xEE"), std::string::npos);  // ……另有 3 项

    // A crafted line of any length shows only its first 300 bytes, never
    // half a double-byte character.
    vela::UninstallReport longLine;
    longLine.keptOutside.push_back("C:\\" + std::string(297, 'a') + "\xBB\xAD" + std::string(5000, 'b'));
    const std::string cut = vela::ReportText("R", longLine);
    EXPECT_NE(cut.find("C:\\" + std::string(297, 'a') + "\xA1\xAD"), std::string::npos);  // …
    EXPECT_EQ(cut.find("bbb"), std::string::npos);
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
        // No entry hands the missing log over: there is nothing to offer.
        FakeUninstallSystem sys = InstalledRelievo();
        sys.files.erase(kFileLog);
        sys.entries["Relievo"] = "C:\\WINDOWS\\VelaUnInsApp.exe D:\\Relievo\\Relievofile.ini";
        EXPECT_EQ(vela::RunUninstall(sys, kFileLog), vela::UninstallEnd::LogUnreadable);
        EXPECT_TRUE(sys.asked.empty());
        EXPECT_TRUE(sys.removed.empty());
        EXPECT_EQ(sys.entries.size(), 1u);
        ASSERT_EQ(sys.shown.size(), 1u);
        // 找不到卸载记录文件：
        EXPECT_EQ(sys.shown[0].text, "\xD5\xD2\xB2\xBB\xB5\xBD\xD0\xB6\xD4\xD8\xBC\xC7\xC2\xBC\xCE\xC4\xBC\xFE\xA3\xBA" +
                                         kFileLog);
    }
    {
        FakeUninstallSystem sys = InstalledRelievo();
        sys.files[kFileLog] = std::string(vela::kMaxLogSize + 1, 'x');
        EXPECT_EQ(vela::RunUninstall(sys, kFileLog), vela::UninstallEnd::LogUnreadable);
        EXPECT_TRUE(sys.removed.empty());
    }
}

// An entry whose file log is gone could never be used again: the user is
// offered its removal, No being the default answer.
TEST(UninstallTest, AMissingFileLogOffersToRemoveTheEntryThatNamesIt)
{
    for (const bool yes : {false, true}) {
        FakeUninstallSystem sys = InstalledRelievo();
        sys.files.erase(kFileLog);
        sys.answer = yes;
        EXPECT_EQ(vela::RunUninstall(sys, kFileLog), vela::UninstallEnd::LogUnreadable);
        ASSERT_EQ(sys.asked.size(), 1u);
        // 找不到卸载记录文件：<log>\r\n\r\n是否删除指向它的卸载项“Relievo”？
        EXPECT_EQ(sys.asked[0], "\xD5\xD2\xB2\xBB\xB5\xBD\xD0\xB6\xD4\xD8\xBC\xC7\xC2\xBC\xCE\xC4\xBC\xFE\xA3\xBA" +
                                    kFileLog +
                                    "\r\n\r\n\xCA\xC7\xB7\xF1\xC9\xBE\xB3\xFD\xD6\xB8\xCF\xF2\xCB\xFC\xB5\xC4\xD0\xB6"
                                    "\xD4\xD8\xCF\xEE\xA1\xB0Relievo\xA1\xB1\xA3\xBF");
        EXPECT_EQ(sys.entries.count("Relievo"), yes ? 0u : 1u);
        EXPECT_TRUE(sys.removed.empty());
        EXPECT_TRUE(sys.files.count(kApp + "\\Relievo.exe"));
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

// A log is a file anyone who can write the install folder can edit. Paths
// outside the install folder, files other than shortcuts in the shortcut
// folders, and those folders themselves are kept, untouched, and listed.
TEST(UninstallConfinementTest, ATamperedLogRemovesNothingOutsideTheProgramsFolders)
{
    FakeUninstallSystem sys = InstalledRelievo();
    const std::vector<std::string> outsideFiles = {
        "C:\\WINDOWS\\System32\\kernel32.dll",
        "C:\\Program Files\\Common Files\\shared.dll",
        "C:\\WINDOWS\\Desktop\\notes.txt",              // on the desktop, but not a shortcut
        "C:\\WINDOWS\\Start Menu\\Programs\\x.exe",    // likewise in the Start Menu
        "C:\\Program Files\\RelievoX\\a.exe",            // begins like the install folder
        "C:\\Program Files\\Relievo\\..\\Other\\b.exe",
        "C:\\Program Files\\Relievo\\back\\..\\..\\..\\WINDOWS\\win.ini",
        "C:\\Program Files\\Relievo\\...\\WINDOWS\\win.ini",  // Windows drops trailing dots
        "C:\\Program Files\\Relievo\\..",
        "D:\\Relievo\\Relievo.exe",
    };
    const std::vector<std::string> outsideFolders = {
        "C:\\WINDOWS\\System32\\empty", "C:\\WINDOWS\\Start Menu\\Programs", "C:\\WINDOWS\\Desktop",
        "C:\\WINDOWS\\Desktop\\empty", "C:\\Program Files"};
    for (const std::string& file : outsideFiles) {
        sys.files[file] = "not the program's";
        sys.files[kFileLog] += file + "\r\n";
    }
    for (const std::string& folder : outsideFolders) {
        sys.folders.insert(folder);
        sys.files[kDirLog] += folder + "\r\n";
    }
    // Inside after all: "." and "..", forward slashes.
    const std::string inside = kApp + "\\result\\made.bmp";
    sys.files[inside] = "installed";
    sys.files[kFileLog] += "C:\\Program Files/Relievo\\sample\\..\\.\\result//made.bmp\r\n";

    vela::UninstallReport report;
    EXPECT_EQ(vela::RunUninstall(sys, kFileLog, &report), vela::UninstallEnd::Partly);
    for (const std::string& file : outsideFiles) EXPECT_EQ(sys.files.at(file), "not the program's") << file;
    for (const std::string& folder : outsideFolders) EXPECT_TRUE(sys.folders.count(folder)) << folder;
    EXPECT_FALSE(sys.files.count(inside));
    EXPECT_FALSE(sys.files.count(kApp + "\\Relievo.exe"));
    std::vector<std::string> kept = outsideFiles;
    kept.insert(kept.end(), outsideFolders.begin(), outsideFolders.end());
    EXPECT_EQ(report.keptOutside, kept);
    // Nothing was left that could not be removed: the logs and entry go.
    EXPECT_FALSE(report.logsKept);
    EXPECT_TRUE(sys.entries.empty());
    EXPECT_FALSE(sys.files.count(kFileLog));

    ASSERT_EQ(sys.shown.size(), 1u);
    EXPECT_TRUE(sys.shown[0].warning);
    // 以下项目不在程序的文件夹中，已保留：
    EXPECT_NE(sys.shown[0].text.find("\xD2\xD4\xCF\xC2\xCF\xEE\xC4\xBF\xB2\xBB\xD4\xDA\xB3\xCC\xD0\xF2\xB5\xC4"
                                     "\xCE\xC4\xBC\xFE\xBC\xD0\xD6\xD0\xA3\xAC\xD2\xD1\xB1\xA3\xC1\xF4\xA3\xBA\r\n"
                                     "C:\\WINDOWS\\System32\\kernel32.dll"),
              std::string::npos)
        << sys.shown[0].text;
}

TEST(UninstallConfinementTest, ShortcutFoldersAreTheOnesTheSystemNamesAndNeverADriveRoot)
{
    FakeUninstallSystem sys = InstalledRelievo();
    // The system names other shortcut folders than the ones the log used,
    // and a drive root, which would hold everything on the drive.
    sys.shortcutFolders = {{"C:\\ProgramData\\Start Menu\\Programs"}, {"C:\\"}};
    vela::UninstallReport report;
    EXPECT_EQ(vela::RunUninstall(sys, kFileLog, &report), vela::UninstallEnd::Partly);
    EXPECT_TRUE(sys.files.count(kDesktopLink));
    EXPECT_TRUE(sys.files.count(kGroup + "\\Relievo.lnk"));
    EXPECT_TRUE(sys.folders.count(kGroup));
    EXPECT_FALSE(sys.files.count(kApp + "\\Relievo.exe"));
    EXPECT_EQ(report.keptOutside.size(), 4u);  // three shortcuts and the group
}

// What lies behind a junction or symbolic link may be anywhere: such paths
// are refused and listed. The shortcut folders the system names may be links
// themselves (a desktop folder may be one); the install folder may not, nor
// may a folder on its way, which a user who can write its parent could swap.
TEST(UninstallConfinementTest, PathsThroughAJunctionAreRefused)
{
    FakeUninstallSystem sys = InstalledRelievo();
    sys.links = {kApp + "\\back", kGroup + "\\Relievo.lnk", "C:\\WINDOWS\\Desktop"};
    vela::UninstallReport report;
    EXPECT_EQ(vela::RunUninstall(sys, kFileLog, &report), vela::UninstallEnd::Partly);
    EXPECT_TRUE(sys.files.count(kApp + "\\back\\b1.bmp"));
    EXPECT_TRUE(sys.folders.count(kApp + "\\back"));
    EXPECT_TRUE(sys.files.count(kGroup + "\\Relievo.lnk"));
    EXPECT_EQ(report.refusedLinks, (std::vector<std::string>{kApp + "\\back\\b1.bmp", kGroup + "\\Relievo.lnk",
                                                             kApp + "\\back"}));
    EXPECT_FALSE(sys.files.count(kApp + "\\Relievo.exe"));
    EXPECT_FALSE(sys.files.count(kDesktopLink));
    EXPECT_EQ(report.foldersKept, (std::vector<std::string>{kGroup, kApp}));
    // Every component below the drive was asked about for the install
    // folder, none at or above the shortcut folders.
    for (const std::string& asked : std::vector<std::string>{"C:\\Program Files", kApp, kApp + "\\sample\\dome.bmp"})
        EXPECT_NE(std::find(sys.linkQueries.begin(), sys.linkQueries.end(), asked), sys.linkQueries.end()) << asked;
    for (const std::string& notAsked :
         std::vector<std::string>{"C:\\WINDOWS", "C:\\WINDOWS\\Desktop", "C:\\WINDOWS\\Start Menu\\Programs"})
        EXPECT_EQ(std::find(sys.linkQueries.begin(), sys.linkQueries.end(), notAsked), sys.linkQueries.end())
            << notAsked;
    // 以下项目经过交接点或符号链接，已拒绝删除：
    EXPECT_NE(sys.shown.at(0).text.find("\xBD\xBB\xBD\xD3\xB5\xE3\xBB\xF2\xB7\xFB\xBA\xC5\xC1\xB4\xBD\xD3"),
              std::string::npos);
}

// An install folder swapped for a junction (to a folder where the user
// could lay a log of their own) removes nothing inside it.
TEST(UninstallConfinementTest, AnInstallFolderThatIsAJunctionRemovesNothingInIt)
{
    for (const std::string& link : {kApp, std::string("C:\\Program Files")}) {
        FakeUninstallSystem sys = InstalledRelievo();
        sys.links = {link};
        vela::UninstallReport report;
        EXPECT_EQ(vela::RunUninstall(sys, kFileLog, &report), vela::UninstallEnd::Partly);
        for (const std::string& file : {kApp + "\\Relievo.exe", kApp + "\\back\\b1.bmp", kFileLog, kDirLog})
            EXPECT_TRUE(sys.files.count(file)) << link << ": " << file;
        EXPECT_TRUE(sys.folders.count(kApp + "\\back")) << link;
        // The shortcuts lie elsewhere and go.
        EXPECT_FALSE(sys.files.count(kDesktopLink)) << link;
        EXPECT_EQ(report.refusedLinks.size(), 3u + 2u + 4u) << link;  // files, logs, folders
    }
}

} // namespace
