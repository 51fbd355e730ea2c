// VelaUnInsApp.exe under Wine, driven through its message boxes: an install
// laid out by hand under a Chinese folder name with a blank (logs in GB2312,
// a read-only file, a program group, a desktop link, the Uninstall entry)
// is removed from the entry's unquoted command line, except a file the user
// added; answering No leaves everything alone.
#include <gtest/gtest.h>

#include "InstallerDriver.h"
#include "WindowProbe.h"

namespace {

std::wstring UninstallerPath()
{
    std::wstring path = drive::FromUtf8(VELA_UNINSTALLER);
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

const std::wstring kRoot = L"C:\\卸载 测试";
const std::wstring kApp = kRoot + L"\\画图 程序";
const std::wstring kName = L"画图";
const std::wstring kFileLog = kApp + L"\\画图file.ini";
const std::wstring kDirLog = kApp + L"\\画图dir.ini";
const std::wstring kGroup = kRoot + L"\\Programs\\画图";
const std::wstring kDesktopLink = kRoot + L"\\Desktop\\画图.lnk";
const std::wstring kEntry = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\画图";

std::wstring Command() { return UninstallerPath() + L" " + kFileLog; }

// Lays out what an install of 画图 leaves behind.
void LayOutInstall()
{
    drive::RemoveTree(kRoot);
    for (const std::wstring& folder : {kRoot, kApp, kApp + L"\\back", kApp + L"\\sample", kApp + L"\\result",
                                       kRoot + L"\\Programs", kGroup, kRoot + L"\\Desktop"})
        CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring files[] = {kApp + L"\\Relievo.exe", kApp + L"\\back\\b1.bmp", kApp + L"\\sample\\球.bmp",
                                  kGroup + L"\\画图.lnk", kDesktopLink, kGroup + L"\\卸载画图.lnk"};
    std::string fileLog;
    for (const std::wstring& file : files) {
        ASSERT_TRUE(drive::WriteBytes(file, "installed"));
        fileLog += drive::ToGb(file) + "\r\n";
    }
    SetFileAttributesW((kApp + L"\\Relievo.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(drive::WriteBytes(kFileLog, fileLog));
    std::string dirLog;
    for (const std::wstring& folder : {kApp + L"\\sample", kApp + L"\\result", kApp + L"\\back", kGroup, kApp})
        dirLog += drive::ToGb(folder) + "\r\n";
    ASSERT_TRUE(drive::WriteBytes(kDirLog, dirLog));

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
// confirmation; box holds the closing message.
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
    if (shot) probe::TakeWindowPicture(ask.window, shot);
    drive::Click(ask.window, answerYes ? IDYES : IDNO);
    if (answerYes) {
        // The confirmation goes away before the closing message comes.
        drive::WaitUntilGone(ask.window);
        if (drive::WaitForMessageBox(process, L"", last)) {
            if (shot) probe::TakeWindowPicture(last.window, std::string(shot) + "-report");
            drive::Click(last.window, IDOK);
        }
    }
    return process.WaitForExit();
}

struct UninstallerRun : ::testing::Test {
    void TearDown() override
    {
        drive::RemoveTree(kRoot);
        drive::DeleteMachineKey(kEntry);
    }
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
    EXPECT_FALSE(drive::Exists(kGroup));
    EXPECT_FALSE(drive::Exists(kDesktopLink));
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
    EXPECT_FALSE(drive::Exists(kGroup));
    EXPECT_TRUE(drive::TreeBelow(kRoot) == (std::vector<std::wstring>{L"Desktop", L"Programs"}));
    EXPECT_FALSE(drive::MachineKeyExists(kEntry));
}

TEST_F(UninstallerRun, AnsweringNoLeavesEverything)
{
    LayOutInstall();
    const std::vector<std::wstring> before = drive::TreeBelow(kRoot);
    drive::MessageBoxSeen report;
    EXPECT_EQ(RunUninstaller(false, report), 2u);
    EXPECT_EQ(drive::TreeBelow(kRoot), before);
    EXPECT_TRUE(drive::MachineKeyExists(kEntry));
}

TEST_F(UninstallerRun, AMissingLogIsReported)
{
    drive::CProcess process;
    ASSERT_TRUE(process.Start(UninstallerPath() + L" C:\\没有\\画图file.ini"));
    drive::MessageBoxSeen box;
    ASSERT_TRUE(drive::WaitForMessageBox(process, L"错误", box));
    EXPECT_EQ(box.text, L"找不到卸载记录文件：C:\\没有\\画图file.ini");
    drive::Click(box.window, IDOK);
    EXPECT_EQ(process.WaitForExit(), 4u);
}

} // namespace
