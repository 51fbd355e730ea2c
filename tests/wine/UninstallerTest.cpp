// VelaUnInsApp.exe under Wine, driven through its message boxes: an install
// laid out by hand under a Chinese folder name with a blank (logs in GB2312,
// a read-only file, a program group in the Start Menu, a desktop link, the
// Uninstall entry) is removed from the entry's unquoted command line, except
// a file the user added; answering No leaves everything alone. Logs that lie
// (a file outside the install folder, a ".." path, a junction inside the
// install folder) remove nothing outside; a file held open leaves the logs
// and the entry for a second run. Both programs carry their manifest.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "InstallerDriver.h"
#include "WindowProbe.h"

namespace {

std::wstring UninstallerPath() { return probe::WindowsPath(VELA_UNINSTALLER); }

const std::wstring kRoot = L"C:\\卸载 测试";
const std::wstring kApp = kRoot + L"\\画图 程序";
const std::wstring kOutside = kRoot + L"\\外面";  // beside the install folder, not in it
const std::wstring kName = L"画图";
const std::wstring kFileLog = kApp + L"\\画图file.ini";
const std::wstring kDirLog = kApp + L"\\画图dir.ini";
const std::wstring kEntry = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\画图";

// The program group and the desktop link where the system keeps them.
std::wstring Group() { return drive::CommonProgramsFolder() + L"\\画图"; }
std::wstring DesktopLink() { return drive::DesktopFolder() + L"\\画图.lnk"; }

std::wstring Command() { return UninstallerPath() + L" " + kFileLog; }

std::string LogOf(const std::vector<std::wstring>& paths)
{
    std::string log;
    for (const std::wstring& path : paths) log += drive::ToGb(path) + "\r\n";
    return log;
}

// Lays out what an install of 画图 leaves behind; moreFiles and moreFolders
// are lines added to the logs as someone who can write the install folder
// might add them.
void LayOutInstall(const std::vector<std::wstring>& moreFiles = {}, const std::vector<std::wstring>& moreFolders = {})
{
    drive::RemoveTree(kRoot);
    for (const std::wstring& folder :
         {kRoot, kApp, kApp + L"\\back", kApp + L"\\sample", kApp + L"\\result", kOutside, Group()})
        CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<std::wstring> files = {kApp + L"\\Relievo.exe", kApp + L"\\back\\b1.bmp", kApp + L"\\sample\\球.bmp",
                                       Group() + L"\\画图.lnk", DesktopLink(), Group() + L"\\卸载画图.lnk"};
    for (const std::wstring& file : files) ASSERT_TRUE(drive::WriteBytes(file, "installed"));
    SetFileAttributesW((kApp + L"\\Relievo.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    files.insert(files.end(), moreFiles.begin(), moreFiles.end());
    ASSERT_TRUE(drive::WriteBytes(kFileLog, LogOf(files)));
    std::vector<std::wstring> folders = moreFolders;
    for (const std::wstring& folder : {kApp + L"\\sample", kApp + L"\\result", kApp + L"\\back", Group(), kApp})
        folders.push_back(folder);
    ASSERT_TRUE(drive::WriteBytes(kDirLog, LogOf(folders)));

    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEntry.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const std::wstring command = Command();
    RegSetValueExW(key, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(kName.c_str()),
                   static_cast<DWORD>((kName.size() + 1) * sizeof(wchar_t)));
    RegSetValueExW(key, L"UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

// Starts the uninstaller as the entry's command line says and answers its
// confirmation; last holds the closing message.
DWORD RunUninstaller(bool answerYes, drive::MessageBoxSeen& last, const char* shot = nullptr)
{
    std::wstring command;
    EXPECT_TRUE(drive::ReadMachineString(kEntry, L"UninstallString", command));
    drive::CProcess process;
    EXPECT_TRUE(process.Start(command));
    drive::MessageBoxSeen ask;
    EXPECT_TRUE(drive::WaitForMessageBox(process, L"卸载画图", ask));
    EXPECT_EQ(ask.text, L"你确实要从你的计算机中删除画图及其所有组件吗？");
    EXPECT_TRUE(drive::HasButton(ask.window, IDYES) && drive::HasButton(ask.window, IDNO));
    EXPECT_EQ(drive::DefaultButton(ask.window), IDNO);
    if (shot) {
        EXPECT_TRUE(probe::TakeWindowPicture(ask.window, shot));
    }
    EXPECT_TRUE(drive::Click(ask.window, answerYes ? IDYES : IDNO));
    if (answerYes) {
        // The confirmation goes away before the closing message comes: while
        // it stays, it would be taken for the closing message.
        EXPECT_TRUE(drive::WaitUntilGone(ask.window)) << "the confirmation stayed after Yes";
        if (drive::WaitForMessageBox(process, L"", last)) {
            if (shot) {
                EXPECT_TRUE(probe::TakeWindowPicture(last.window, std::string(shot) + "-report"));
            }
            EXPECT_TRUE(drive::Click(last.window, IDOK));
        }
    }
    return process.WaitForExit();
}

// Runs the uninstaller, answering Yes, while the installed program is held
// open as a running program would hold it.
DWORD RunWhileProgramHeld(drive::MessageBoxSeen& report, const char* shot)
{
    const std::wstring held = kApp + L"\\Relievo.exe";
    HANDLE open = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(open, INVALID_HANDLE_VALUE);
    const DWORD exitCode = RunUninstaller(true, report, shot);
    if (open != INVALID_HANDLE_VALUE) CloseHandle(open);
    return exitCode;
}

// Runs a program of the host (Wine starts Linux programs too) in a folder
// and waits until the path appears or goes.
bool HostCommand(const std::wstring& commandLine, const std::wstring& folder, const std::wstring& path, bool appears)
{
    drive::CProcess process;
    if (!process.Start(commandLine, folder.c_str())) return false;
    // Wine's handle of a host process does not wait for its end: watch the result.
    for (int i = 0; i < 200; ++i) {
        if (drive::Exists(path) == appears) return true;
        Sleep(50);
    }
    return false;
}

bool IsReparsePoint(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Makes folder name inside parent a junction to the sibling folder target.
// Where the file system takes a mount point (Windows, recent Wine) it is a
// real junction; Wine 8 answers FSCTL_SET_REPARSE_POINT with
// ERROR_NOT_SUPPORTED (and CreateSymbolicLinkW claims success but makes
// nothing), so there the host's ln makes a symbolic link, which Wine reports
// as a reparse point just as Windows reports a junction.
bool MakeJunction(const std::wstring& parent, const std::wstring& name, const std::wstring& target)
{
    const std::wstring link = parent + L"\\" + name;
    if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
    HANDLE handle = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        const std::wstring substitute = L"\\??\\" + target;
        std::vector<BYTE> buffer(16 + (substitute.size() + target.size() + 2) * sizeof(wchar_t));
        auto* words = reinterpret_cast<USHORT*>(buffer.data());
        *reinterpret_cast<ULONG*>(buffer.data()) = IO_REPARSE_TAG_MOUNT_POINT;
        words[2] = static_cast<USHORT>(buffer.size() - 8);                            // data length
        words[4] = 0;                                                                 // substitute name offset
        words[5] = static_cast<USHORT>(substitute.size() * sizeof(wchar_t));          // and length
        words[6] = static_cast<USHORT>((substitute.size() + 1) * sizeof(wchar_t));  // print name offset
        words[7] = static_cast<USHORT>(target.size() * sizeof(wchar_t));              // and length
        auto* names = reinterpret_cast<wchar_t*>(buffer.data() + 16);
        std::copy(substitute.begin(), substitute.end(), names);
        std::copy(target.begin(), target.end(), names + substitute.size() + 1);
        DWORD returned = 0;
        DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, 0,
                        &returned, nullptr);
        CloseHandle(handle);
    }
    if (IsReparsePoint(link)) return true;
    RemoveDirectoryW(link.c_str());
    const std::wstring targetName = target.substr(target.rfind(L'\\') + 1);
    return HostCommand(L"Z:\\bin\\ln -s ../" + targetName + L" " + name, parent, link, true) && IsReparsePoint(link);
}

void RemoveJunction(const std::wstring& parent, const std::wstring& name)
{
    const std::wstring link = parent + L"\\" + name;
    if (!IsReparsePoint(link)) return;
    if (!RemoveDirectoryW(link.c_str())) HostCommand(L"Z:\\bin\\rm " + name, parent, link, false);
}

// Leaves no trace of a test: the folders, the Start Menu group, the desktop
// link and the entry; also run first, should an earlier run have ended early.
struct UninstallerRun : ::testing::Test {
    static void Clean()
    {
        RemoveJunction(kApp, L"数据");
        drive::RemoveTree(kRoot);
        // A link left dangling (an uninstaller that followed it removed its
        // target) is seen by nothing above: the host removes what is left.
        if (drive::Exists(kRoot)) HostCommand(L"Z:\\bin\\rm -rf \"" + kRoot.substr(3) + L"\"", L"C:\\", kRoot, false);
        drive::RemoveTree(Group());
        DeleteFileW(DesktopLink().c_str());
        drive::DeleteMachineKey(kEntry);
    }
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
};

TEST_F(UninstallerRun, RemovesTheInstallButKeepsWhatTheUserAdded)
{
    LayOutInstall();
    ASSERT_TRUE(drive::WriteBytes(kApp + L"\\result\\我的图.bmp", "mine"));
    drive::MessageBoxSeen report;
    EXPECT_EQ(RunUninstaller(true, report, "uninstaller-confirm"), 1u);  // done, something kept

    EXPECT_EQ(report.caption, L"卸载画图");
    EXPECT_EQ(report.text, L"画图已经从你的计算机中删除，但有些项目未删除。\r\n\r\n以下文件夹中还有其他文件，已保留：\r\n" +
                               kApp + L"\\result\r\n" + kApp);
    EXPECT_EQ(drive::TreeBelow(kApp), (std::vector<std::wstring>{L"result", L"result\\我的图.bmp"}));
    EXPECT_EQ(drive::ReadBytes(kApp + L"\\result\\我的图.bmp"), "mine");
    EXPECT_FALSE(drive::Exists(Group()));
    EXPECT_FALSE(drive::Exists(DesktopLink()));
    EXPECT_FALSE(drive::MachineKeyExists(kEntry));
}

TEST_F(UninstallerRun, LeavesNothingOfACleanInstall)
{
    LayOutInstall();
    drive::MessageBoxSeen report;
    EXPECT_EQ(RunUninstaller(true, report), 0u);
    EXPECT_EQ(report.caption, L"卸载完成");
    EXPECT_EQ(report.text, L"画图已经从你的计算机中删除。");
    EXPECT_FALSE(drive::Exists(kApp));
    EXPECT_FALSE(drive::Exists(Group()));
    EXPECT_FALSE(drive::Exists(DesktopLink()));
    EXPECT_TRUE(drive::Exists(drive::CommonProgramsFolder()));
    EXPECT_EQ(drive::TreeBelow(kRoot), (std::vector<std::wstring>{L"外面"}));
    EXPECT_FALSE(drive::MachineKeyExists(kEntry));
}

TEST_F(UninstallerRun, AnsweringNoLeavesEverything)
{
    LayOutInstall();
    const std::vector<std::wstring> before = drive::TreeBelow(kRoot);
    drive::MessageBoxSeen report;
    EXPECT_EQ(RunUninstaller(false, report), 2u);
    EXPECT_EQ(drive::TreeBelow(kRoot), before);
    EXPECT_TRUE(drive::Exists(DesktopLink()));
    EXPECT_TRUE(drive::MachineKeyExists(kEntry));
}

// Someone who can write the install folder adds files of the system to the
// log: an administrator's uninstall must neither delete them nor touch
// their attributes, and says it kept them.
TEST_F(UninstallerRun, ATamperedLogCannotReachOutsideTheInstallFolder)
{
    const std::wstring system = kOutside + L"\\系统.dll";
    const std::wstring windows = drive::WindowsFolder() + L"\\画图测试.dll";
    const std::wstring notes = drive::DesktopFolder() + L"\\画图笔记.txt";  // on the desktop, but no shortcut
    LayOutInstall({system, windows, notes}, {kOutside});
    for (const std::wstring& file : {system, windows, notes}) {
        ASSERT_TRUE(drive::WriteBytes(file, "not the program's"));
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    }
    drive::MessageBoxSeen report;
    EXPECT_EQ(RunUninstaller(true, report, "uninstaller-tampered"), 1u);

    EXPECT_EQ(report.text, L"画图已经从你的计算机中删除，但有些项目未删除。\r\n\r\n以下项目不在程序的文件夹中，已保留：\r\n" +
                               system + L"\r\n" + windows + L"\r\n" + notes + L"\r\n" + kOutside);
    for (const std::wstring& file : {system, windows, notes}) {
        EXPECT_EQ(drive::ReadBytes(file), "not the program's") << drive::ToGb(file);
        const DWORD set = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
        EXPECT_EQ(GetFileAttributesW(file.c_str()) & set, set) << drive::ToGb(file);
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    DeleteFileW(windows.c_str());
    DeleteFileW(notes.c_str());
    EXPECT_TRUE(drive::IsFolder(kOutside));
    // What was the program's is gone, entry included.
    EXPECT_FALSE(drive::Exists(kApp));
    EXPECT_FALSE(drive::Exists(DesktopLink()));
    EXPECT_FALSE(drive::MachineKeyExists(kEntry));
}

// ".." is resolved before a path is judged: one that climbs out of the
// install folder is kept, one that stays inside is removed.
TEST_F(UninstallerRun, ADotDotPathIsJudgedWhereItLeads)
{
    const std::wstring neighbour = kOutside + L"\\邻居.txt";
    const std::wstring climbing = kApp + L"\\..\\外面\\邻居.txt";
    const std::wstring made = kApp + L"\\result\\新.bmp";
    LayOutInstall({climbing, kApp + L"\\sample\\..\\result\\新.bmp"}, {kApp + L"\\back\\..\\..\\外面"});
    ASSERT_TRUE(drive::WriteBytes(neighbour, "the neighbour's"));
    ASSERT_TRUE(drive::WriteBytes(made, "installed"));
    drive::MessageBoxSeen report;
    EXPECT_EQ(RunUninstaller(true, report), 1u);

    EXPECT_EQ(report.text, L"画图已经从你的计算机中删除，但有些项目未删除。\r\n\r\n以下项目不在程序的文件夹中，已保留：\r\n" +
                               climbing + L"\r\n" + kApp + L"\\back\\..\\..\\外面");
    EXPECT_EQ(drive::ReadBytes(neighbour), "the neighbour's");
    EXPECT_FALSE(drive::Exists(made));
    EXPECT_FALSE(drive::Exists(kApp));
    EXPECT_FALSE(drive::MachineKeyExists(kEntry));
}

// A junction inside the install folder may point anywhere: nothing behind
// it is deleted, and the paths through it are listed.
TEST_F(UninstallerRun, AJunctionInsideTheInstallFolderIsNotFollowed)
{
    const std::wstring through = kApp + L"\\数据\\秘密.txt";
    LayOutInstall({through}, {kApp + L"\\数据"});
    ASSERT_TRUE(drive::WriteBytes(kOutside + L"\\秘密.txt", "secret"));
    ASSERT_TRUE(MakeJunction(kApp, L"数据", kOutside));
    ASSERT_EQ(drive::ReadBytes(through), "secret");  // the link leads there
    drive::MessageBoxSeen report;
    EXPECT_EQ(RunUninstaller(true, report, "uninstaller-junction"), 1u);

    EXPECT_EQ(report.text, L"画图已经从你的计算机中删除，但有些项目未删除。\r\n\r\n以下文件夹中还有其他文件，已保留：\r\n" +
                               kApp + L"\r\n\r\n以下项目经过交接点或符号链接，已拒绝删除：\r\n" + through + L"\r\n" + kApp +
                               L"\\数据");
    EXPECT_EQ(drive::ReadBytes(kOutside + L"\\秘密.txt"), "secret");
    EXPECT_TRUE(IsReparsePoint(kApp + L"\\数据"));
    EXPECT_FALSE(drive::Exists(kApp + L"\\Relievo.exe"));
    EXPECT_FALSE(drive::MachineKeyExists(kEntry));
}

// A running program holds a file: the logs are rewritten to hold what is
// left and the entry stays; once the program has ended, a second run from
// the same entry finishes.
TEST_F(UninstallerRun, AFileHeldOpenLeavesLogsAndEntryForASecondRun)
{
    LayOutInstall();
    const std::wstring held = kApp + L"\\Relievo.exe";
    drive::MessageBoxSeen report;
    EXPECT_EQ(RunWhileProgramHeld(report, "uninstaller-held"), 1u);

    EXPECT_EQ(report.caption, L"卸载画图");
    EXPECT_EQ(report.text, L"画图已经从你的计算机中删除，但有些项目未删除。\r\n\r\n以下文件未能删除：\r\n" + held +
                               L"\r\n\r\n以下文件夹中还有其他文件，已保留：\r\n" + kApp +
                               L"\r\n\r\n卸载记录和卸载项已保留：关闭正在使用上述文件的程序后，请再次运行卸载。");
    EXPECT_TRUE(drive::Exists(held));
    EXPECT_EQ(drive::ReadBytes(kFileLog), LogOf({held}));
    EXPECT_EQ(drive::ReadBytes(kDirLog), LogOf({kApp}));
    EXPECT_EQ(drive::TreeBelow(kApp), (std::vector<std::wstring>{L"Relievo.exe", L"画图dir.ini", L"画图file.ini"}));
    EXPECT_FALSE(drive::Exists(Group()));
    EXPECT_FALSE(drive::Exists(DesktopLink()));
    EXPECT_TRUE(drive::MachineKeyExists(kEntry));

    drive::MessageBoxSeen second;
    EXPECT_EQ(RunUninstaller(true, second), 0u);
    EXPECT_EQ(second.caption, L"卸载完成");
    EXPECT_EQ(second.text, L"画图已经从你的计算机中删除。");
    EXPECT_FALSE(drive::Exists(kApp));
    EXPECT_FALSE(drive::MachineKeyExists(kEntry));
}

// The rewritten log is written beside the old one under a name nobody
// holds: names already taken, ".new0" to ".new11", are passed over and kept.
TEST_F(UninstallerRun, ARewrittenLogPassesOverNamesAlreadyTaken)
{
    LayOutInstall();
    std::vector<std::wstring> taken;
    for (int n = 0; n < 12; ++n) {
        taken.push_back(kFileLog + L".new" + std::to_wstring(n));
        ASSERT_TRUE(drive::WriteBytes(taken.back(), "taken"));
    }
    const std::wstring held = kApp + L"\\Relievo.exe";
    drive::MessageBoxSeen report;
    EXPECT_EQ(RunWhileProgramHeld(report, "uninstaller-taken"), 1u);

    EXPECT_EQ(drive::ReadBytes(kFileLog), LogOf({held}));
    EXPECT_EQ(drive::ReadBytes(kDirLog), LogOf({kApp}));
    for (const std::wstring& name : taken) EXPECT_EQ(drive::ReadBytes(name), "taken");
    EXPECT_FALSE(drive::Exists(kFileLog + L".new12"));
    EXPECT_TRUE(drive::MachineKeyExists(kEntry));
}

TEST_F(UninstallerRun, AMissingLogIsReported)
{
    drive::CProcess process;
    ASSERT_TRUE(process.Start(UninstallerPath() + L" C:\\没有\\画图file.ini"));
    drive::MessageBoxSeen box;
    ASSERT_TRUE(drive::WaitForMessageBox(process, L"错误", box));
    EXPECT_EQ(box.text, L"找不到卸载记录文件：C:\\没有\\画图file.ini");
    EXPECT_TRUE(drive::Click(box.window, IDOK));
    EXPECT_EQ(process.WaitForExit(), 4u);
}

// An entry whose file log is gone can never work again: the uninstaller
// offers to remove it, No being the default.
TEST_F(UninstallerRun, AMissingLogOffersToRemoveTheEntryThatNamesIt)
{
    for (const bool yes : {false, true}) {
        LayOutInstall();
        DeleteFileW(kFileLog.c_str());
        drive::CProcess process;
        ASSERT_TRUE(process.Start(Command()));
        drive::MessageBoxSeen box;
        ASSERT_TRUE(drive::WaitForMessageBox(process, L"卸载画图", box));
        EXPECT_EQ(box.text, L"找不到卸载记录文件：" + kFileLog + L"\r\n\r\n是否删除指向它的卸载项“画图”？");
        EXPECT_EQ(drive::DefaultButton(box.window), IDNO);
        if (yes) {
            EXPECT_TRUE(probe::TakeWindowPicture(box.window, "uninstaller-missing-log"));
        }
        EXPECT_TRUE(drive::Click(box.window, yes ? IDYES : IDNO));
        EXPECT_EQ(process.WaitForExit(), 4u);
        EXPECT_EQ(drive::MachineKeyExists(kEntry), !yes);
        EXPECT_TRUE(drive::Exists(kApp + L"\\Relievo.exe"));
    }
}

// The manifest the loader reads (RT_MANIFEST 1) of a built program.
std::string ManifestOf(const std::wstring& program)
{
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return {};
    std::string text;
    if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        const void* bytes = LockResource(LoadResource(module, found));
        if (bytes) text.assign(static_cast<const char*>(bytes), SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

// Both programs write Program Files and HKLM: they ask for administrator
// rights, and draw with Common Controls 6. (Wine runs everything as an
// administrator, so the tests above start the uninstaller all the same.)
TEST(ProgramManifest, AsksForAdministratorRightsAndCommonControls6)
{
    for (const std::wstring& program : {UninstallerPath(), probe::WindowsPath(VELA_STUB)}) {
        const std::string manifest = ManifestOf(program);
        ASSERT_FALSE(manifest.empty()) << drive::ToGb(program);
        EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>"),
                  std::string::npos)
            << manifest;
        const std::size_t controls = manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"");
        EXPECT_NE(controls, std::string::npos) << manifest;
        EXPECT_LT(manifest.rfind("<dependentAssembly>", controls), controls) << manifest;
    }
}

} // namespace
