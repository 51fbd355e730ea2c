// Silent installs and uninstalls under Wine, and the integrity trailer seen
// from outside: installers made of the real stub and packages built here
// are started with /S, /D= (blanks and Chinese characters) and /LOG=; no
// window may appear, the exit code tells the result, and what they leave on
// the system is checked against the package as the wizard tests do. A
// damaged download is refused with its message and writes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "InstallerDriver.h"
#include "WindowProbe.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/Trailer.h"

namespace {

using drive::FromGb;
using drive::TemporaryFiles;
using probe::CurrentFolder;
using probe::WindowsPath;
using drive::ToGb;

const std::wstring kNameW = L"静默测试";
const std::string kName = ToGb(kNameW);

vela::PackageDescription SilentPackage()
{
    vela::PackageDescription d;
    d.displayName = kName;
    d.defaultFolder = "[Program Files]\\" + kName;
    d.menuGroup = kName;
    d.shortcuts = {{kName, "[InstallDir]\\waiter.exe", "", true}};
    d.runCaption = ToGb(L"现在运行");
    d.runCommand = "[InstallDir]\\waiter.exe started";
    d.directories = {"[InstallDir]", "[InstallDir]\\" + ToGb(L"数据"), "[Start Menu]\\" + kName};
    d.welcomePicture = drive::Noise(500, 1);
    d.files = {{"[InstallDir]\\waiter.exe", '0', drive::ReadBytes(WindowsPath(INSTALL_WAITER))},
               {"[InstallDir]\\" + ToGb(L"数据") + "\\big.bin", '0', drive::Noise(300000, 2)},
               {"[InstallDir]\\notes.txt", '4', "not in the file log"},
               {"[Windows Directory]\\VelaUnInsApp.exe", '0', drive::ReadBytes(WindowsPath(VELA_UNINSTALLER))}};
    d.licence = "Licence\r\n";
    return d;
}

// Writes stub + package + trailer as NAME.exe in the test output folder; a
// byte of the package may be flipped afterwards.
std::wstring MakeInstaller(const std::wstring& name, const vela::PackageDescription& d, long flipFromEnd = 0)
{
    const std::string stub = drive::ReadBytes(WindowsPath(VELA_STUB));
    EXPECT_FALSE(stub.empty());
    std::string package, problem;
    EXPECT_TRUE(vela::BuildPackage(d, package, problem)) << problem;
    char trailer[vela::kTrailerSize];
    vela::FormatTrailer(vela::Crc32(0, package.data(), package.size()), package.size(), trailer);
    std::string installer = stub + package + std::string(trailer, sizeof trailer);
    if (flipFromEnd) installer[installer.size() - vela::kTrailerSize - flipFromEnd] ^= 0x40;
    const std::wstring path = CurrentFolder() + L"\\" + name + L".exe";
    EXPECT_TRUE(drive::WriteBytes(path, installer));
    return path;
}

// Runs a command line to its end, watching that the program never shows a
// window; gives the exit code.
DWORD RunWithoutWindows(const std::wstring& commandLine, int& windowsSeen)
{
    drive::CProcess process;
    EXPECT_TRUE(process.Start(commandLine));
    windowsSeen = 0;
    const DWORD start = GetTickCount();
    while (process.Running() && GetTickCount() - start < 60000) {
        windowsSeen += static_cast<int>(probe::VisibleWindows(process.Id()).size());
        Sleep(20);
    }
    return process.WaitForExit(5000);
}

std::vector<std::wstring> LogLines(const std::wstring& path)
{
    const std::wstring text = drive::FromUtf8(drive::ReadBytes(path));
    std::vector<std::wstring> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) {
            lines.push_back(text.substr(start) + L"<no line end>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

const std::wstring kUninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct SilentRun : drive::InstallTest {};

TEST_F(SilentRun, InstallsIntoAFolderWithBlanksAndChineseThenUninstallsSilently)
{
    const std::wstring installer = MakeInstaller(L"SilentSetup", SilentPackage());
    const std::wstring log = CurrentFolder() + L"\\silent install.log";
    made = {installer, log};
    const std::wstring root = L"C:\\静默 安装";
    const std::wstring app = root + L"\\目 录 A";
    drive::RemoveTree(root);
    DeleteFileW(log.c_str());
    const std::set<std::wstring> temporaryBefore = TemporaryFiles();

    int windows = 0;
    EXPECT_EQ(RunWithoutWindows(L"\"" + installer + L"\" /S /LOG=\"" + log + L"\" /D=" + app, windows), 0u);
    EXPECT_EQ(windows, 0) << "no window at all";

    // Every file, both logs, the shortcuts and the Uninstall entry, as the
    // wizard leaves them.
    const vela::PackageDescription d = SilentPackage();
    const std::wstring data = app + L"\\数据";
    EXPECT_TRUE(drive::ReadBytes(app + L"\\waiter.exe") == d.files[0].bytes);
    EXPECT_TRUE(drive::ReadBytes(data + L"\\big.bin") == d.files[1].bytes);
    EXPECT_EQ(drive::ReadBytes(app + L"\\notes.txt"), d.files[2].bytes);
    const std::wstring windowsFolder = drive::WindowsFolder();
    const std::wstring uninstaller = windowsFolder + L"\\VelaUnInsApp.exe";
    EXPECT_TRUE(drive::ReadBytes(uninstaller) == d.files[3].bytes);
    const std::wstring group = drive::CommonProgramsFolder() + L"\\" + kNameW;
    const std::wstring desktopLink = drive::DesktopFolder() + L"\\" + kNameW + L".lnk";
    const std::wstring fileLog = app + L"\\" + kNameW + L"file.ini";
    EXPECT_EQ(drive::ReadBytes(fileLog),
              ToGb(app + L"\\waiter.exe\r\n" + data + L"\\big.bin\r\n" + group + L"\\" + kNameW + L".lnk\r\n" +
                   desktopLink + L"\r\n" + group + L"\\卸载" + kNameW + L".lnk\r\n"));
    std::vector<std::string> folders = {ToGb(app), ToGb(data), ToGb(group)};  // longest first
    std::stable_sort(folders.begin(), folders.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    EXPECT_EQ(drive::ReadBytes(app + L"\\" + kNameW + L"dir.ini"), folders[0] + "\r\n" + folders[1] + "\r\n" + folders[2] + "\r\n");
    EXPECT_TRUE(drive::Exists(group + L"\\" + kNameW + L".lnk"));
    EXPECT_TRUE(drive::Exists(desktopLink));
    std::wstring value;
    ASSERT_TRUE(drive::ReadMachineString(kUninstallKey + kNameW, L"UninstallString", value));
    EXPECT_EQ(value, uninstaller + L" " + fileLog);
    Sleep(500);
    EXPECT_FALSE(drive::Exists(app + L"\\started")) << "the run entry is not started";
    EXPECT_EQ(TemporaryFiles(), temporaryBefore) << "the script and the picture are removed";

    const std::vector<std::wstring> expected = {
        L"正在复制文件 waiter.exe 到你的硬盘...", L"正在复制文件 big.bin 到你的硬盘...",
        L"正在复制文件 notes.txt 到你的硬盘...", L"正在复制文件 VelaUnInsApp.exe 到你的硬盘...",
        L"正在对应用程序组件进行注册...",        L"正在创建应用程序的快捷方式...",
        L"安装程序正在更新你的系统...",          kNameW + L"已经成功地安装到你的计算机中。"};
    EXPECT_EQ(LogLines(log), expected);

    // The uninstaller from the Uninstall entry, silently: no question, no
    // report. The file the package keeps out of the file log stays, so the
    // exit code says "removed, with something left".
    EXPECT_EQ(RunWithoutWindows(L"\"" + uninstaller + L"\" /S " + fileLog, windows), 1u);
    EXPECT_EQ(windows, 0) << "no question and no report";
    EXPECT_EQ(drive::TreeBelow(app), std::vector<std::wstring>{L"notes.txt"});
    EXPECT_FALSE(drive::Exists(group));
    EXPECT_FALSE(drive::Exists(desktopLink));
    EXPECT_FALSE(drive::MachineKeyExists(kUninstallKey + kNameW));
    drive::RemoveTree(root);
}

TEST_F(SilentRun, RefusalsAndFailuresHaveTheirExitCodesAndLogLines)
{
    const std::wstring log = CurrentFolder() + L"\\refused.log";
    made.push_back(log);
    const std::wstring root = L"C:\\静默 拒绝";
    drive::RemoveTree(root);
    int windows = 0;

    // A folder the path page would refuse.
    const std::wstring installer = MakeInstaller(L"SilentRefused", SilentPackage());
    made.push_back(installer);
    EXPECT_EQ(RunWithoutWindows(L"\"" + installer + L"\" /S /LOG=" + log + L" /D=C:", windows), 2u);
    EXPECT_EQ(windows, 0);
    EXPECT_EQ(LogLines(log), std::vector<std::wstring>{L"错误: 你所输入的安装路径长度不够，请重新输入!"});

    // A damaged download: one flipped byte inside the last stored file.
    const std::wstring damaged = MakeInstaller(L"SilentDamaged", SilentPackage(), 1000);
    made.push_back(damaged);
    EXPECT_EQ(RunWithoutWindows(L"\"" + damaged + L"\" /S /LOG=" + log + L" /D=" + root, windows), 2u);
    EXPECT_EQ(windows, 0);
    EXPECT_EQ(LogLines(log), std::vector<std::wstring>{L"错误: 安装包已损坏，请重新下载。"});
    EXPECT_FALSE(drive::Exists(root));

    // A file that cannot be written (a folder of that name is in the way)
    // ends the install with 3; the files before it stay.
    vela::PackageDescription blocked = SilentPackage();
    blocked.registerUninstall = false;
    blocked.files.pop_back();
    blocked.files.push_back({"[InstallDir]\\" + ToGb(L"数据"), '0', "blocked"});
    const std::wstring failing = MakeInstaller(L"SilentFailing", blocked);
    made.push_back(failing);
    EXPECT_EQ(RunWithoutWindows(L"\"" + failing + L"\" /S /LOG=" + log + L" /D=" + root, windows), 3u);
    EXPECT_EQ(windows, 0);
    const std::vector<std::wstring> lines = LogLines(log);
    EXPECT_NE(std::find(lines.begin(), lines.end(), L"错误: 安装程序出错，安装失败！ " + root + L"\\数据"), lines.end())
        << ToGb(lines.empty() ? L"" : lines.back());
    EXPECT_TRUE(drive::Exists(root + L"\\waiter.exe"));
    drive::RemoveTree(root);
}

TEST_F(SilentRun, ADamagedDownloadShowsItsMessageInTheWizardAndWritesNothing)
{
    const std::wstring installer = MakeInstaller(L"DamagedDownload", SilentPackage(), 1000);
    made.push_back(installer);
    const std::wstring app = drive::ProgramFilesFolder() + L"\\" + kNameW;
    const std::set<std::wstring> temporaryBefore = TemporaryFiles();
    drive::CProcess process;
    ASSERT_TRUE(process.Start(L"\"" + installer + L"\""));
    drive::MessageBoxSeen box;
    ASSERT_TRUE(drive::WaitForMessageBox(process, L"错误", box));
    EXPECT_EQ(box.text, L"安装包已损坏，请重新下载。");
    Sleep(700);
    EXPECT_TRUE(probe::TakeWindowPicture(box.window, "damaged-download"));
    EXPECT_TRUE(drive::Click(box.window, IDOK));
    EXPECT_EQ(process.WaitForExit(), 0u);
    EXPECT_EQ(TemporaryFiles(), temporaryBefore) << "nothing extracted";
    EXPECT_FALSE(drive::Exists(app));
}

} // namespace
