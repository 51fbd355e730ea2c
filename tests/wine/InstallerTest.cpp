// The installer end to end under Wine: installers made of the real stub and
// packages built here are driven through their real pages by captions and
// control identifiers, as a user would, and what they leave on the system is
// checked against the package: the installed bytes, both logs, the
// Uninstall entry, the shortcuts, the temporary files; then the uninstaller
// from the Uninstall entry removes it all but a file the user added. Further
// runs: cancel on the welcome page and on the progress page, every refused
// install path, Back and forward, a damaged package, a target held open, a
// blank in the install folder. Every page is
// photographed into the test output folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "InstallerDriver.h"
#include "InstallerPages.h"

#include <commctrl.h>
#include "WindowProbe.h"
#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/SetupScript.h"
#include "installer/wizard/PackageOffset.h"
#include "installer/wizard/core/tests/BmpFile.h"
#include "win32/installer/EngineSystem.h"

namespace {

using drive::FromGb;
using drive::TemporaryFiles;
using probe::CurrentFolder;
using probe::WindowsPath;
using drive::ToGb;

// ---- Packages --------------------------------------------------------------

// A BMP of the given size and depth (8 bits: a grey ramp palette).
std::string Picture(int width, int height, int bits)
{
    vela::test::Bmp bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.bits = static_cast<std::uint16_t>(bits);
    if (bits == 8)
        for (std::uint32_t i = 0; i < 256; ++i) bmp.colours.push_back(i * 0x010101);
    const std::size_t stride = vela::test::Stride(bits, width);
    bmp.pixels.resize(stride * height);
    for (int y = 0; y < height; ++y)
        for (std::size_t x = 0; x < stride; ++x) bmp.pixels[y * stride + x] = static_cast<char>((x + y) & 0xFF);
    return bmp.File();
}

// Programs the packages carry: the uninstaller and a waiter.
std::string Uninstaller() { return drive::ReadBytes(WindowsPath(VELA_UNINSTALLER)); }
std::string Waiter() { return drive::ReadBytes(WindowsPath(INSTALL_WAITER)); }

const std::string kName = ToGb(L"浮雕测试");  // display name
const std::wstring kNameW = L"浮雕测试";

// A package like a real application's: splash, welcome and licence pages,
// nested folders, a file not to be logged, the uninstaller under the Windows
// folder, a program group with two links, a desktop link, a run entry.
vela::PackageDescription FullPackage()
{
    vela::PackageDescription d;
    d.displayName = kName;
    d.defaultFolder = "[Program Files]\\" + kName;
    d.showWelcomePages = true;
    d.registerUninstall = true;
    d.menuGroup = kName;
    d.shortcuts = {{kName, "[InstallDir]\\waiter.exe", "", true},
                   {ToGb(L"说明"), "[InstallDir]\\readme.txt", "", false}};
    d.runCaption = ToGb(L"现在运行") + kName;
    d.runCommand = "[InstallDir]\\waiter.exe started";
    d.directories = {"[InstallDir]", "[InstallDir]\\back", "[InstallDir]\\sample", "[InstallDir]\\result",
                     "[InstallDir]\\back\\" + ToGb(L"深层"), "[Start Menu]\\" + kName};
    d.welcomePicture = Picture(164, 314, 8);
    d.hasSplash = true;
    d.splashPicture = Picture(420, 372, 24);
    d.files = {{"[InstallDir]\\waiter.exe", '0', Waiter()},
               {"[InstallDir]\\readme.txt", '0', "read me\r\n"},
               {"[InstallDir]\\back\\b1.bmp", '0', Picture(64, 48, 24)},
               {"[InstallDir]\\back\\" + ToGb(L"深层") + "\\2047.bin", '0', drive::Noise(2047, 1)},
               {"[InstallDir]\\sample\\2048.bin", '0', drive::Noise(2048, 2)},
               {"[InstallDir]\\sample\\big.bin", '0', drive::Noise(3 << 20, 3)},
               {"[InstallDir]\\notlogged.txt", '4', "not in the file log"},
               {"[Windows Directory]\\VelaUnInsApp.exe", '0', Uninstaller()}};
    d.licence = ToGb(L"浮雕测试软件许可协议\r\n\r\n第一条：这是一个测试。\r\nSecond line, in English.\r\n");
    return d;
}

// A package without welcome pages or uninstall data.
vela::PackageDescription MinimalPackage()
{
    vela::PackageDescription d;
    d.displayName = "Mini";
    d.defaultFolder = "[Program Files]\\Mini";
    d.showWelcomePages = false;
    d.registerUninstall = false;
    d.menuGroup = "Mini";
    d.runCaption = "Run Mini";
    d.runCommand = "[InstallDir]\\waiter.exe started";
    d.directories = {"[InstallDir]"};
    d.welcomePicture = "";
    d.files = {{"[InstallDir]\\waiter.exe", '0', Waiter()},
               {"[InstallDir]\\mini.txt", '0', "mini"}};
    return d;
}

// Writes stub + package as NAME.exe in the test output folder.
std::wstring MakeInstaller(const std::wstring& name, const vela::PackageDescription& d, std::size_t cut = 0)
{
    const std::string stub = drive::ReadBytes(WindowsPath(VELA_STUB));
    EXPECT_FALSE(stub.empty());
    std::string package, problem;
    EXPECT_TRUE(vela::BuildPackage(d, package, problem)) << problem;
    if (cut) package.resize(package.size() - cut);
    const std::wstring path = CurrentFolder() + L"\\" + name + L".exe";
    EXPECT_TRUE(drive::WriteBytes(path, stub + package));
    return path;
}

// What an installer file holds, as the installer reads it.
struct PackageFacts {
    std::string bytes;
    std::uint64_t offset = 0;
    vela::PackageHeader header;
    vela::SetupScriptContents script;

    explicit PackageFacts(const std::wstring& installer) : bytes(drive::ReadBytes(installer))
    {
        // An installer whose package cannot be found or read would leave
        // nothing to compare the install with: every check below would pass.
        bool unique = false;
        EXPECT_TRUE(vela::FindPackageOffsetSlot(bytes, offset, unique) && unique) << ToGb(installer);
        std::unique_ptr<vela::IBinaryFile> file = vela::OpenMemoryFile(bytes);
        EXPECT_TRUE(vela::ReadPackageHeader(*file, offset, header)) << ToGb(installer);
        script = vela::ReadSetupScript(std::string_view(bytes).substr(offset + 40, header.scriptLength));
        EXPECT_FALSE(script.files.empty()) << ToGb(installer);
    }
    std::string Item(const vela::FileTableEntry& entry) const
    {
        return bytes.substr(offset + header.scriptLength + entry.offset, entry.size);
    }
    // A file's target as the script spells it, without the blanks that pad
    // its column.
    static std::string Target(const vela::FileTableEntry& entry)
    {
        std::string target = entry.target;
        target.erase(target.find_last_not_of(' ') + 1);
        return target;
    }
};

// ---- Pages -----------------------------------------------------------------

using drive::IsPage;
using drive::Page;
using drive::PageName;
using drive::kAccept;
using drive::kBack;
using drive::kBrowse;
using drive::kCancel;
using drive::kDecline;
using drive::kFinish;
using drive::kLicenceText;
using drive::kNext;
using drive::kPathBox;
using drive::kRunBox;

HWND WaitForPage(const drive::CProcess& process, Page page, DWORD timeoutMs = 30000)
{
    const DWORD start = GetTickCount();
    do {
        if (HWND window = drive::FindPage(process.Id(), page)) {
            Sleep(500);  // let it paint
            return window;
        }
        if (!process.Running()) return nullptr;
        Sleep(100);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

void Shot(HWND window, const std::string& name) { EXPECT_TRUE(probe::TakeWindowPicture(window, name)) << name; }

// Answers a message box with the given caption and text by a button.
void Answer(const drive::CProcess& process, const std::wstring& caption, const std::wstring& text, int button,
            const char* shot = nullptr)
{
    drive::MessageBoxSeen box;
    ASSERT_TRUE(drive::WaitForMessageBox(process, caption, box)) << ToGb(caption);
    EXPECT_EQ(box.text, text);
    if (shot) {
        Sleep(700);  // a first message box takes a moment to paint
        Shot(box.window, shot);
    }
    EXPECT_TRUE(drive::Click(box.window, button));
    EXPECT_TRUE(drive::WaitUntilGone(box.window)) << "the message box stayed after the click";
}

// One thing a user does on a page, or sees there.
enum class Do {
    Title, Text, TextStarts,   // the page's caption; a control's text, whole or its start
    Checked, Unchecked, Enabled, Disabled,
    NoFolder,                  // text names a folder not made yet
    OnlyWindow,                // the page is the installer's only window
    Shown, Hidden,             // the page stays; window is gone
    Photo,                     // text names the picture
    ClosesItself,              // within control milliseconds
    Click, Escape, Enter, CloseBox,
    Answer,                    // the message box (caption text, message) by button control
};
struct Step {
    Do what;
    int control = 0;
    std::wstring text = {};
    const char* why = "";
    std::wstring message = {};
    const char* photo = nullptr;  // Answer: the message box's picture
    HWND window = nullptr;
};

const std::wstring kQuitCaption = L"退出询问";
const std::wstring kQuitQuestion = L"你确定想退出安装程序吗？";

// A page as the user meets it, and what is done and seen there.
struct Visit {
    Page page;
    std::vector<Step> steps;
    DWORD timeoutMs = 30000;
};

// Takes one step on a page; false when the path cannot go on.
bool Take(const drive::CProcess& process, HWND page, const Step& step)
{
    switch (step.what) {
    case Do::Title: EXPECT_EQ(drive::WindowText(page), step.text); break;
    case Do::Text: EXPECT_EQ(drive::ControlText(page, step.control), step.text); break;
    case Do::TextStarts: EXPECT_EQ(drive::ControlText(page, step.control).rfind(step.text, 0), 0u); break;
    case Do::Checked: EXPECT_TRUE(drive::ControlChecked(page, step.control)); break;
    case Do::Unchecked: EXPECT_FALSE(drive::ControlChecked(page, step.control)); break;
    case Do::Enabled: EXPECT_TRUE(drive::ControlEnabled(page, step.control)) << step.why; break;
    case Do::Disabled: EXPECT_FALSE(drive::ControlEnabled(page, step.control)) << step.why; break;
    case Do::NoFolder: EXPECT_FALSE(drive::IsFolder(step.text)) << step.why; break;
    case Do::OnlyWindow: EXPECT_EQ(drive::VisibleDialogs(process.Id()).size(), 1u) << step.why; break;
    case Do::Shown: EXPECT_TRUE(IsWindowVisible(page)) << step.why; break;
    case Do::Hidden: EXPECT_FALSE(IsWindowVisible(step.window)) << step.why; break;
    case Do::Photo: Shot(page, ToGb(step.text)); break;
    case Do::ClosesItself: EXPECT_TRUE(drive::WaitUntilGone(page, step.control)) << step.why; break;
    case Do::Click: return drive::Click(page, step.control);
    case Do::Escape: return drive::PressEscape(page);
    case Do::Enter: return drive::PressEnter(page);
    case Do::CloseBox: return drive::PressCloseBox(page);
    case Do::Answer:
        Answer(process, step.text, step.message, step.control, step.photo);
        return !::testing::Test::HasFatalFailure();
    }
    return true;
}

// Goes along the user's path: waits for each page in turn and takes its
// steps; a click followed by a look at the same page is given time to take
// effect. Gives the last page, or null when a page did not come or a click
// did not happen.
HWND Walk(const drive::CProcess& process, const std::vector<Visit>& path)
{
    HWND page = nullptr;
    for (const Visit& visit : path) {
        page = WaitForPage(process, visit.page, visit.timeoutMs);
        if (!page) {
            ADD_FAILURE() << "no " << PageName(visit.page) << " page";
            return nullptr;
        }
        for (std::size_t i = 0; i < visit.steps.size(); ++i) {
            const Step& step = visit.steps[i];
            SCOPED_TRACE(::testing::Message() << PageName(visit.page) << " page, step " << i + 1);
            if (!Take(process, page, step)) {
                ADD_FAILURE() << PageName(visit.page) << " page, step " << i + 1 << " failed";
                return nullptr;
            }
            if (step.what == Do::Click && i + 1 < visit.steps.size() && visit.steps[i + 1].what != Do::Answer)
                Sleep(300);
        }
    }
    return page;
}

const std::wstring kUninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Where [Program Files] must lead.
std::wstring ProgramFiles()
{
    const std::wstring folder = drive::ProgramFilesFolder();
    EXPECT_FALSE(folder.empty()) << "the system states no Windows folder";
    return folder;
}

// ---- The runs --------------------------------------------------------------

struct InstallerRun : drive::InstallTest {};

// What an install leaves, spelled out by each test for the package it
// installs, with the folders the system states: never through the
// installer's own macro expansion, which would agree with itself.
struct Landing {
    std::wstring path;    // where the file lands
    bool logged = true;   // the file log names it (not flag 4, not under the Windows folder)
};
struct ExpectedInstall {
    std::vector<Landing> files;         // one for each of the package's files, in the script's order
    std::vector<std::wstring> folders;  // the folders made outside the desktop, in the script's order
    std::vector<std::wstring> links;    // the links, in the order they are made
};

// The folder log names the folders longest first (by their GB2312 bytes),
// those of one length in the script's order; the file log names the logged
// files in the script's order, then the links.
void ExpectLogs(const ExpectedInstall& expected, const std::wstring& dirLog, const std::wstring& fileLog)
{
    std::vector<std::string> folders;
    for (const std::wstring& folder : expected.folders) folders.push_back(ToGb(folder) + "\r\n");
    std::stable_sort(folders.begin(), folders.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    std::string dirLines;
    for (const std::string& line : folders) dirLines += line;
    std::string fileLines;
    for (const Landing& file : expected.files)
        if (file.logged) fileLines += ToGb(file.path) + "\r\n";
    for (const std::wstring& link : expected.links) fileLines += ToGb(link) + "\r\n";
    EXPECT_EQ(drive::ReadBytes(dirLog), dirLines);
    EXPECT_EQ(drive::ReadBytes(fileLog), fileLines);
}

// Every file of the package is where the test says, with its stored bytes.
void ExpectInstalledBytes(const PackageFacts& facts, const ExpectedInstall& expected)
{
    ASSERT_EQ(expected.files.size(), facts.script.files.size()) << "the test names every file of the package";
    for (std::size_t i = 0; i < expected.files.size(); ++i) {
        const std::wstring& path = expected.files[i].path;
        const std::string bytes = drive::ReadBytes(path);
        EXPECT_TRUE(bytes == facts.Item(facts.script.files[i]))
            << ToGb(path) << " (" << PackageFacts::Target(facts.script.files[i]) << "): " << bytes.size() << " bytes";
    }
}

// A shortcut file and what it points to.
void ExpectLink(const std::wstring& link, const std::wstring& program, const std::wstring& arguments)
{
    vela::ShellLinkFields fields;
    ASSERT_TRUE(w32::ReadShellLink(ToGb(link), fields)) << ToGb(link);
    EXPECT_EQ(FromGb(std::string(fields.program)), program);
    EXPECT_EQ(FromGb(std::string(fields.arguments)), arguments);
    EXPECT_EQ(FromGb(std::string(fields.workingFolder)), program.substr(0, program.find_last_of(L'\\')));
}

TEST_F(InstallerRun, FullInstallThroughEveryPageThenUninstallKeepingTheUsersFile)
{
    const std::wstring installer = MakeInstaller(L"FullSetup", FullPackage());
    made.push_back(installer);
    const PackageFacts facts(installer);
    const std::wstring app = ProgramFiles() + L"\\" + kNameW;
    drive::RemoveTree(app);
    const std::set<std::wstring> temporaryBefore = TemporaryFiles();

    drive::CProcess process;
    ASSERT_TRUE(process.Start(L"\"" + installer + L"\""));
    ASSERT_TRUE(Walk(process, {
        {Page::Splash, {{Do::Photo, 0, L"page-1-splash"},
                        {Do::ClosesItself, 8000, {}, "the splash closes itself after 5 seconds"}}},
        {Page::Welcome, {{Do::Title, 0, kNameW + L"安装"},
                         {Do::Text, kNext, L"下一步(&N)"},
                         {Do::Text, kCancel, L"取消(&C)"},
                         {Do::Photo, 0, L"page-2-welcome"},
                         {Do::Click, kNext}}},
        {Page::Licence, {{Do::NoFolder, 0, app, "nothing is made before the path page"},
                         {Do::Title, 0, kNameW + L"安装"},
                         {Do::Text, kLicenceText,
                          L"浮雕测试软件许可协议\r\n\r\n第一条：这是一个测试。\r\nSecond line, in English.\r\n"},
                         {Do::Checked, kDecline}, {Do::Unchecked, kAccept}, {Do::Disabled, kNext},
                         {Do::Photo, 0, L"page-3-licence"},
                         {Do::Click, kAccept}, {Do::Enabled, kNext},
                         {Do::Click, kDecline}, {Do::Disabled, kNext},
                         {Do::Click, kAccept}, {Do::Click, kNext}}},
        {Page::Path, {{Do::Title, 0, kNameW + L"安装"},
                      {Do::Text, kPathBox, app},
                      {Do::Enabled, kBack},
                      {Do::Photo, 0, L"page-4-path"},
                      {Do::Click, kNext}}},
        {Page::Completion, {{Do::Title, 0, L" 安装完成"},
                            {Do::Text, kRunBox, L"现在运行" + kNameW},
                            {Do::Checked, kRunBox},
                            {Do::Photo, 0, L"page-6-completion"},
                            {Do::Click, kFinish}}, 60000},
    }));
    EXPECT_EQ(process.WaitForExit(), 0u);

    // The run entry started the installed program.
    for (int i = 0; i < 100 && !drive::Exists(app + L"\\started"); ++i) Sleep(100);
    EXPECT_TRUE(drive::Exists(app + L"\\started"));
    DeleteFileW((app + L"\\started").c_str());

    const std::wstring windows = drive::WindowsFolder();
    const std::wstring desktop = drive::DesktopFolder();
    const std::wstring group = drive::CommonProgramsFolder() + L"\\" + kNameW;
    ExpectedInstall expected;
    expected.files = {{app + L"\\waiter.exe"},
                      {app + L"\\readme.txt"},
                      {app + L"\\back\\b1.bmp"},
                      {app + L"\\back\\深层\\2047.bin"},
                      {app + L"\\sample\\2048.bin"},
                      {app + L"\\sample\\big.bin"},
                      {app + L"\\notlogged.txt", false},
                      {windows + L"\\VelaUnInsApp.exe", false}};
    expected.folders = {app, app + L"\\back", app + L"\\sample", app + L"\\result", app + L"\\back\\深层", group};
    expected.links = {group + L"\\" + kNameW + L".lnk", desktop + L"\\" + kNameW + L".lnk", group + L"\\说明.lnk",
                      group + L"\\卸载" + kNameW + L".lnk"};
    ExpectInstalledBytes(facts, expected);
    ExpectLogs(expected, app + L"\\" + kNameW + L"dir.ini", app + L"\\" + kNameW + L"file.ini");
    EXPECT_EQ(TemporaryFiles(), temporaryBefore) << "the script and the pictures are removed";

    const std::wstring windowsUninstaller = windows + L"\\VelaUnInsApp.exe";
    std::wstring value;
    ASSERT_TRUE(drive::ReadMachineString(kUninstallKey + kNameW, L"DisplayName", value));
    EXPECT_EQ(value, kNameW);
    std::wstring command;
    ASSERT_TRUE(drive::ReadMachineString(kUninstallKey + kNameW, L"UninstallString", command));
    EXPECT_EQ(command, windowsUninstaller + L" " + app + L"\\" + kNameW + L"file.ini");

    // In the folder where the system keeps program groups.
    ExpectLink(group + L"\\" + kNameW + L".lnk", app + L"\\waiter.exe", L"");
    ExpectLink(desktop + L"\\" + kNameW + L".lnk", app + L"\\waiter.exe", L"");
    ExpectLink(group + L"\\说明.lnk", app + L"\\readme.txt", L"");
    ExpectLink(group + L"\\卸载" + kNameW + L".lnk", windowsUninstaller, app + L"\\" + kNameW + L"file.ini");

    // The uninstaller, as the Uninstall entry starts it.
    ASSERT_TRUE(drive::WriteBytes(app + L"\\result\\mine.bmp", "the user's own"));
    drive::CProcess uninstaller;
    ASSERT_TRUE(uninstaller.Start(command));
    Answer(uninstaller, L"卸载" + kNameW, L"你确实要从你的计算机中删除" + kNameW + L"及其所有组件吗？", IDYES,
           "uninstall-1-confirm");
    drive::MessageBoxSeen report;
    ASSERT_TRUE(drive::WaitForMessageBox(uninstaller, L"", report));
    Shot(report.window, "uninstall-2-report");
    EXPECT_EQ(report.text, kNameW + L"已经从你的计算机中删除，但有些项目未删除。\r\n\r\n以下文件夹中还有其他文件，已保留：\r\n" +
                               app + L"\\result\r\n" + app);
    EXPECT_TRUE(drive::Click(report.window, IDOK));
    EXPECT_EQ(uninstaller.WaitForExit(), 1u);

    EXPECT_EQ(drive::TreeBelow(app), (std::vector<std::wstring>{L"notlogged.txt", L"result", L"result\\mine.bmp"}))
        << "only what the user added and the file the installer did not log stay";
    EXPECT_FALSE(drive::Exists(group));
    EXPECT_FALSE(drive::Exists(desktop + L"\\" + kNameW + L".lnk"));
    EXPECT_FALSE(drive::MachineKeyExists(kUninstallKey + kNameW));
    drive::RemoveTree(app);
}

// The painter's main window, whichever process shows it.
HWND WaitForRelievo(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        HWND frame = FindWindowW(L"RelievoFrame", nullptr);
        if (frame && IsWindowVisible(frame)) return frame;
        Sleep(200);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

TEST_F(InstallerRun, RelievoSetupInstallsRelievoWhichStartsAndIsUninstalledWithoutATrace)
{
    const std::wstring installer = WindowsPath(RELIEVO_SETUP);
    const PackageFacts facts(installer);
    ASSERT_TRUE(facts.script.hasFileTable);
    const std::wstring app = ProgramFiles() + L"\\Relievo";
    drive::RemoveTree(app);
    const std::set<std::wstring> temporaryBefore = TemporaryFiles();

    drive::CProcess process;
    ASSERT_TRUE(process.Start(L"\"" + installer + L"\""));
    ASSERT_TRUE(Walk(process, {
        {Page::Splash, {{Do::Photo, 0, L"relievo-1-splash"}}},
        {Page::Welcome, {{Do::Title, 0, L"Relievo安装"}, {Do::Photo, 0, L"relievo-2-welcome"}, {Do::Click, kNext}},
         10000},
        {Page::Licence, {{Do::TextStarts, kLicenceText, L"Relievo 软件许可协议\r\n\r\n"},
                         {Do::Photo, 0, L"relievo-3-licence"},
                         {Do::Click, kAccept}, {Do::Click, kNext}}},
        {Page::Path, {{Do::Text, kPathBox, app}, {Do::Photo, 0, L"relievo-4-path"}, {Do::Click, kNext}}},
        {Page::Completion, {{Do::Text, kRunBox, L"现在运行 Relievo"},
                            {Do::Checked, kRunBox},
                            {Do::Photo, 0, L"relievo-6-completion"},
                            {Do::Click, kFinish}}, 60000},
    }));
    EXPECT_EQ(process.WaitForExit(), 0u);

    // The run entry starts the installed painter.
    HWND frame = WaitForRelievo(30000);
    ASSERT_TRUE(frame) << "the installed Relievo did not start";
    DWORD painter = 0;
    GetWindowThreadProcessId(frame, &painter);
    HANDLE painterProcess = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, painter);
    Sleep(1000);
    Shot(frame, "relievo-7-started");
    PostMessageW(frame, WM_CLOSE, 0, 0);
    if (painterProcess) {
        if (WaitForSingleObject(painterProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(painterProcess, 1);
        CloseHandle(painterProcess);
    }

    // As setup/RelievoSetup.txt has it; a build without the help leaves out
    // the help and its link.
    const bool help = std::any_of(facts.script.files.begin(), facts.script.files.end(),
                                  [](const vela::FileTableEntry& entry) {
                                      return PackageFacts::Target(entry) == "[InstallDir]\\readme.chm";
                                  });
    const std::wstring group = drive::CommonProgramsFolder() + L"\\Relievo";
    ExpectedInstall expected;
    expected.files.push_back({app + L"\\Relievo.exe"});
    if (help) expected.files.push_back({app + L"\\readme.chm"});
    for (const wchar_t* name : {L"back\\b1.bmp", L"back\\b2.bmp", L"back\\b3.bmp", L"back\\b4.bmp", L"back\\b5.bmp",
                                L"back\\b6.bmp", L"sample\\dome.bmp", L"sample\\mixed.bmp", L"sample\\shapes.bmp",
                                L"sample\\steps.bmp"})
        expected.files.push_back({app + L"\\" + name});
    expected.files.push_back({drive::WindowsFolder() + L"\\VelaUnInsApp.exe", false});
    expected.folders = {app, app + L"\\back", app + L"\\sample", app + L"\\result", group};
    expected.links = {group + L"\\Relievo.lnk", drive::DesktopFolder() + L"\\Relievo.lnk"};
    if (help) expected.links.push_back(group + L"\\Relievo 帮助.lnk");
    expected.links.push_back(group + L"\\卸载Relievo.lnk");
    ExpectInstalledBytes(facts, expected);
    ExpectLogs(expected, app + L"\\Relievodir.ini", app + L"\\Relievofile.ini");
    EXPECT_TRUE(drive::IsFolder(app + L"\\result"));
    EXPECT_EQ(TemporaryFiles(), temporaryBefore);
    ExpectLink(group + L"\\Relievo.lnk", app + L"\\Relievo.exe", L"");
    ExpectLink(drive::DesktopFolder() + L"\\Relievo.lnk", app + L"\\Relievo.exe", L"");
    const std::wstring uninstaller = drive::WindowsFolder() + L"\\VelaUnInsApp.exe";
    ExpectLink(group + L"\\卸载Relievo.lnk", uninstaller, app + L"\\Relievofile.ini");
    std::wstring command;
    ASSERT_TRUE(drive::ReadMachineString(kUninstallKey + L"Relievo", L"UninstallString", command));
    EXPECT_EQ(command, uninstaller + L" " + app + L"\\Relievofile.ini");

    // Uninstalled from the entry's command line: a stereogram the user saved stays.
    ASSERT_TRUE(drive::WriteBytes(app + L"\\result\\my stereogram.bmp", "the user's own"));
    drive::CProcess uninstall;
    ASSERT_TRUE(uninstall.Start(command));
    Answer(uninstall, L"卸载Relievo", L"你确实要从你的计算机中删除Relievo及其所有组件吗？", IDYES);
    drive::MessageBoxSeen report;
    ASSERT_TRUE(drive::WaitForMessageBox(uninstall, L"", report));
    Shot(report.window, "relievo-8-uninstalled");
    EXPECT_TRUE(drive::Click(report.window, IDOK));
    EXPECT_EQ(uninstall.WaitForExit(), 1u);
    EXPECT_EQ(drive::TreeBelow(app), (std::vector<std::wstring>{L"result", L"result\\my stereogram.bmp"}));
    EXPECT_FALSE(drive::Exists(group));
    EXPECT_FALSE(drive::Exists(drive::DesktopFolder() + L"\\Relievo.lnk"));
    EXPECT_FALSE(drive::MachineKeyExists(kUninstallKey + L"Relievo"));
    drive::RemoveTree(app);
}

TEST_F(InstallerRun, MinimalPackageOpensOnThePathPageAndRegistersNothing)
{
    const std::wstring installer = MakeInstaller(L"MiniSetup", MinimalPackage());
    made.push_back(installer);
    const PackageFacts facts(installer);
    const std::wstring app = ProgramFiles() + L"\\Mini";
    drive::RemoveTree(app);
    const std::set<std::wstring> temporaryBefore = TemporaryFiles();

    drive::CProcess process;
    ASSERT_TRUE(process.Start(L"\"" + installer + L"\""));
    ASSERT_TRUE(Walk(process, {
        {Page::Path, {{Do::OnlyWindow, 0, {}, "no splash, welcome or licence page"},
                      {Do::Title, 0, L"Mini安装"},
                      {Do::Disabled, kBack, {}, "Back is disabled without welcome pages"},
                      {Do::Photo, 0, L"minimal-1-path"},
                      {Do::Click, kNext}}},
        // Unchecked: nothing is started.
        {Page::Completion, {{Do::Photo, 0, L"minimal-2-completion"},
                            {Do::Click, kRunBox}, {Do::Unchecked, kRunBox},
                            {Do::Click, kFinish}}},
    }));
    EXPECT_EQ(process.WaitForExit(), 0u);
    Sleep(500);
    EXPECT_FALSE(drive::Exists(app + L"\\started"));

    ExpectedInstall expected;
    expected.files = {{app + L"\\waiter.exe"}, {app + L"\\mini.txt"}};
    expected.folders = {app};  // no links: no shortcuts, and no uninstall link without uninstall data
    ExpectInstalledBytes(facts, expected);
    ExpectLogs(expected, app + L"\\Minidir.ini", app + L"\\Minifile.ini");
    EXPECT_FALSE(drive::MachineKeyExists(kUninstallKey + L"Mini"));
    EXPECT_FALSE(drive::Exists(drive::CommonProgramsFolder() + L"\\Mini\\卸载Mini.lnk"));
    EXPECT_EQ(TemporaryFiles(), temporaryBefore);
    drive::RemoveTree(app);
}

// A package laid behind the stub by hand, byte by byte as the format has it
// and without the package writer: the 40-byte header of two blank-padded
// decimals, the script, then the items back to back, their offsets counted
// from the end of the script (so the first is at 40). It sits at the fixed
// package offset, right behind the stub, which is exactly that size.
TEST_F(InstallerRun, APackageLaidByHandBehindTheStubInstalls)
{
    auto field = [](std::string text, std::size_t width) {
        text.resize(width, ' ');
        return text;
    };
    const std::string small = "laid by hand\r\n";
    const std::string large = drive::Noise(5000, 7);  // block copy: two blocks of 2,000 and 1,000 bytes
    const std::string items[] = {small, large, ""};
    const char* targets[] = {"[InstallDir]\\hand.txt", "[InstallDir]\\sub\\large.bin", "[InstallDir]\\empty.txt"};
    std::string table;
    table += field("[WelPic]", 268) + field("0", 20) + field("0", 20) + "B\r\n";
    table += field("[NonePic]", 268) + field("0", 20) + field("0", 20) + "B\r\n";
    std::size_t offset = 40;
    for (int i = 0; i < 3; ++i) {
        table += field(targets[i], 268) + field(std::to_string(offset), 20) +
                 field(std::to_string(items[i].size()), 20) + "0\r\n";
        offset += items[i].size();
    }
    const std::string script = "[Basal]\r\nHand\r\n[Program Files]\\Hand\r\n0\r\n0\r\n"
                               "[AutoReg]\r\n[ClearFile]\r\n[Menu]\r\nHand\r\n[Run]\r\nRun Hand\r\n"
                               "[InstallDir]\\hand.txt\r\n[Directory]\r\n[InstallDir]\r\n[InstallDir]\\sub\r\n"
                               "[File]\r\n" + table + "[TotalSize]\r\n" + std::to_string(offset) + "\r\n"
                               "[Readme Content]\r\n[Readme End]\r\n";
    std::string package = field(std::to_string(script.size()), 20) + field("3", 20) + script;
    for (const std::string& item : items) package += item;

    const std::string stub = drive::ReadBytes(WindowsPath(VELA_STUB));
    std::uint64_t stubOffset = 0;
    bool unique = false;
    ASSERT_TRUE(vela::FindPackageOffsetSlot(stub, stubOffset, unique) && unique);
    ASSERT_EQ(stubOffset, vela::kPackageOffset) << "the stub looks for its package elsewhere";
    ASSERT_EQ(stub.size(), vela::kPackageOffset) << "the package starts where the stub ends";
    const std::wstring installer = CurrentFolder() + L"\\HandSetup.exe";
    made.push_back(installer);
    ASSERT_TRUE(drive::WriteBytes(installer, stub + package));

    const std::wstring app = ProgramFiles() + L"\\Hand";
    drive::RemoveTree(app);
    drive::CProcess process;
    ASSERT_TRUE(process.Start(L"\"" + installer + L"\""));
    HWND path = WaitForPage(process, Page::Path);
    ASSERT_TRUE(path);
    EXPECT_EQ(drive::WindowText(path), L"Hand安装");
    ASSERT_TRUE(drive::Click(path, 12324));
    HWND completion = WaitForPage(process, Page::Completion);
    ASSERT_TRUE(completion);
    if (drive::ControlChecked(completion, 1007)) {
        ASSERT_TRUE(drive::Click(completion, 1007));
    }
    ASSERT_TRUE(drive::Click(completion, 1003));
    EXPECT_EQ(process.WaitForExit(), 0u);

    EXPECT_EQ(drive::ReadBytes(app + L"\\hand.txt"), small);
    EXPECT_TRUE(drive::ReadBytes(app + L"\\sub\\large.bin") == large);
    EXPECT_TRUE(drive::Exists(app + L"\\empty.txt"));
    EXPECT_EQ(drive::ReadBytes(app + L"\\empty.txt"), "");
    EXPECT_EQ(drive::ReadBytes(app + L"\\Handfile.ini"),
              ToGb(app) + "\\hand.txt\r\n" + ToGb(app) + "\\sub\\large.bin\r\n" + ToGb(app) + "\\empty.txt\r\n");
    drive::RemoveTree(app);
}

TEST_F(InstallerRun, CancelOnTheWelcomePageAsksAndEndsWithNothingInstalled)
{
    vela::PackageDescription d = FullPackage();
    d.hasSplash = false;
    const std::wstring installer = MakeInstaller(L"CancelSetup", d);
    made.push_back(installer);
    const std::wstring app = ProgramFiles() + L"\\" + kNameW;
    drive::RemoveTree(app);
    const std::set<std::wstring> temporaryBefore = TemporaryFiles();

    drive::CProcess process;
    ASSERT_TRUE(process.Start(L"\"" + installer + L"\""));
    ASSERT_TRUE(Walk(process, {
        {Page::Welcome, {{Do::Escape}, {Do::Answer, IDNO, kQuitCaption, "", kQuitQuestion, "cancel-1-question"},
                         {Do::Shown, 0, {}, "No keeps the page"},
                         {Do::CloseBox}, {Do::Answer, IDNO, kQuitCaption, "", kQuitQuestion},
                         {Do::Click, kCancel}, {Do::Answer, IDYES, kQuitCaption, "", kQuitQuestion}}},
    }));
    EXPECT_EQ(process.WaitForExit(), 0u);
    EXPECT_FALSE(drive::Exists(app));
    EXPECT_EQ(TemporaryFiles(), temporaryBefore);
}

TEST_F(InstallerRun, EveryRefusedPathHasItsMessageAndBackLeadsToAnAcceptedLicence)
{
    vela::PackageDescription d = FullPackage();
    d.hasSplash = false;
    const std::wstring installer = MakeInstaller(L"PathSetup", d);
    made.push_back(installer);
    const std::wstring app = ProgramFiles() + L"\\" + kNameW;

    drive::CProcess process;
    ASSERT_TRUE(process.Start(L"\"" + installer + L"\""));
    HWND path = Walk(process, {
        {Page::Welcome, {{Do::Enter}}},  // no default button: Enter ends the page like Next
        {Page::Licence, {{Do::Click, kAccept}, {Do::Click, kNext}}},
        {Page::Path, {}},
    });
    ASSERT_TRUE(path);

    const std::wstring tooShort = L"你所输入的安装路径长度不够，请重新输入!";
    const std::wstring wrong = L"你所选择的安装路径错误，请重新输入!";
    const struct {
        std::wstring typed;
        const std::wstring& message;
    } refused[] = {
        {L"", tooShort},           {L"C:\\", tooShort},          {L"C:/abc", wrong},
        {L"C:\\\\abc", wrong},     {L"\\\\server\\share", wrong}, {L"Program", wrong},
        {L"C:\\/x", wrong},        {L"Q:\\没有这个盘", wrong},
    };
    int shot = 0;
    for (const auto& row : refused) {
        ASSERT_TRUE(drive::TypeInto(path, kPathBox, row.typed));
        ASSERT_TRUE(drive::Click(path, kNext));
        Answer(process, L"错误", row.message, IDOK, shot++ == 0 ? "path-refused" : nullptr);
        EXPECT_TRUE(IsWindowVisible(path)) << ToGb(row.typed);
        EXPECT_EQ(drive::ControlText(path, kPathBox), row.typed);
    }

    // The folder browser: cancelled it changes nothing; a folder chosen in it
    // becomes that folder with the default path's tail.
    ASSERT_TRUE(drive::TypeInto(path, kPathBox, app));
    for (bool choose : {false, true}) {
        ASSERT_TRUE(drive::Click(path, kBrowse));
        HWND browser = nullptr;
        for (int i = 0; i < 100 && !browser; ++i) {
            for (HWND window : drive::VisibleDialogs(process.Id()))
                if (FindWindowExW(window, nullptr, L"SysTreeView32", nullptr)) browser = window;
            Sleep(100);
        }
        ASSERT_TRUE(browser) << "no folder browser";
        Sleep(500);
        HWND tree = FindWindowExW(browser, nullptr, L"SysTreeView32", nullptr);
        if (!choose) {
            Shot(browser, "path-browse");
            EXPECT_EQ(drive::WindowText(FindWindowExW(browser, nullptr, L"Static", nullptr)).empty(), false);
            EXPECT_TRUE(drive::Click(browser, IDCANCEL));
            EXPECT_TRUE(drive::WaitUntilGone(browser)) << "the folder browser stayed after Cancel";
            EXPECT_EQ(drive::ControlText(path, kPathBox), app);
            continue;
        }
        // The first folder below the root (a drive under 我的电脑).
        DWORD_PTR root = 0, first = 0, done = 0;
        SendMessageTimeoutW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, SMTO_ABORTIFHUNG, 2000, &root);
        SendMessageTimeoutW(tree, TVM_EXPAND, TVE_EXPAND, root, SMTO_ABORTIFHUNG, 2000, &done);
        SendMessageTimeoutW(tree, TVM_GETNEXTITEM, TVGN_CHILD, root, SMTO_ABORTIFHUNG, 2000, &first);
        ASSERT_NE(first, 0u);
        SendMessageTimeoutW(tree, TVM_SELECTITEM, TVGN_CARET, first, SMTO_ABORTIFHUNG, 2000, &done);
        Sleep(300);
        EXPECT_TRUE(drive::Click(browser, IDOK));
        EXPECT_TRUE(drive::WaitUntilGone(browser)) << "the folder browser stayed after OK";
        Sleep(300);
        const std::wstring chosen = drive::ControlText(path, kPathBox);
        const std::wstring tail = L"\\Program Files\\" + kNameW;
        EXPECT_TRUE(chosen.size() > tail.size() && chosen.compare(chosen.size() - tail.size(), tail.size(), tail) == 0)
            << ToGb(chosen);
        EXPECT_EQ(chosen.find(L"\\\\"), std::wstring::npos) << ToGb(chosen);
    }
    // Browse stored its result at once: the page after Back and forward shows it.
    const std::wstring browsed = drive::ControlText(path, kPathBox);

    // A typed path is lost on Back; the licence comes back accepted.
    ASSERT_TRUE(drive::TypeInto(path, kPathBox, L"C:\\typed"));
    ASSERT_TRUE(drive::Click(path, kBack));
    ASSERT_TRUE(Walk(process, {
        {Page::Licence, {{.what = Do::Hidden, .why = "the path page gives way", .window = path},
                         {Do::Checked, kAccept},
                         {Do::Enabled, kNext},
                         {Do::Photo, 0, L"back-1-licence"},
                         {Do::Click, kNext}}},
        // Quitting from the nested pages ends the program.
        {Page::Path, {{Do::Text, kPathBox, browsed},
                      {Do::Escape}, {Do::Answer, IDYES, kQuitCaption, "", kQuitQuestion}}},
    }));
    EXPECT_EQ(process.WaitForExit(), 0u);
    EXPECT_FALSE(drive::Exists(L"C:\\typed"));
}

// A package whose first file keeps the worker busy until the test lets it go.
vela::PackageDescription SlowPackage()
{
    vela::PackageDescription d = MinimalPackage();
    d.displayName = "Slow";
    d.defaultFolder = "[Program Files]\\Slow";
    d.files = {{"[InstallDir]\\waiter.exe", '1', Waiter()},
               {"[InstallDir]\\after.txt", '0', "after the checkpoint"}};
    return d;
}

TEST_F(InstallerRun, CancelOnTheProgressPageAnsweredNoInstallsAndYesEnds)
{
    const std::wstring installer = MakeInstaller(L"SlowSetup", SlowPackage());
    made.push_back(installer);
    const std::wstring app = ProgramFiles() + L"\\Slow";
    for (bool yes : {false, true}) {
        drive::RemoveTree(app);
        const std::set<std::wstring> temporaryBefore = TemporaryFiles();
        drive::CProcess process;
        ASSERT_TRUE(process.Start(L"\"" + installer + L"\""));
        std::vector<Step> onProgress = {{Do::Title, 0, L" 安装进度"},
                                        {Do::Text, 1011, L"正在进行安装，请稍候 ..."},
                                        {Do::Text, 65530, L"正在复制文件 waiter.exe 到你的硬盘..."}};
        if (!yes) onProgress.push_back({Do::Photo, 0, L"progress-1-page"});
        onProgress.push_back({Do::Click, kCancel});
        HWND progress = Walk(process, {{Page::Path, {{Do::Click, kNext}}}, {Page::Progress, onProgress}});
        ASSERT_TRUE(progress);
        Sleep(500);
        EXPECT_TRUE(IsWindowVisible(progress)) << "Cancel only asks the worker to stop";
        ASSERT_TRUE(drive::WriteBytes(app + L"\\go", ""));  // the waiter ends; the checkpoint asks
        Answer(process, kQuitCaption, L"你确实想退出安装程序吗？", yes ? IDYES : IDNO,
               yes ? nullptr : "progress-2-question");
        if (yes) {
            EXPECT_EQ(process.WaitForExit(), 0u);
            EXPECT_TRUE(drive::Exists(app + L"\\waiter.exe")) << "what was installed stays";
            EXPECT_FALSE(drive::Exists(app + L"\\after.txt"));
        } else {
            ASSERT_TRUE(Walk(process, {{Page::Completion, {{Do::Click, kRunBox}, {Do::Click, kFinish}}}}));
            EXPECT_EQ(process.WaitForExit(), 0u);
            EXPECT_EQ(drive::ReadBytes(app + L"\\after.txt"), "after the checkpoint");
        }
        EXPECT_EQ(TemporaryFiles(), temporaryBefore) << "the temporary script is gone";
    }
    drive::RemoveTree(app);
}

// A target the installer cannot replace (held open by another program) ends
// the install: the message names it, the old file stays, nothing is left
// beside it and no completion page claims success.
TEST_F(InstallerRun, ALockedTargetEndsTheInstallNamingItAndKeepsTheOldFile)
{
    vela::PackageDescription d = MinimalPackage();
    d.displayName = "Locked";
    d.defaultFolder = "[Program Files]\\Locked";
    d.files = {{"[InstallDir]\\first.txt", '0', "first"},
               {"[InstallDir]\\held.txt", '0', "new contents"},
               {"[InstallDir]\\after.txt", '0', "after"}};
    const std::wstring installer = MakeInstaller(L"LockedSetup", d);
    made.push_back(installer);
    const std::wstring app = ProgramFiles() + L"\\Locked";
    const std::wstring held = app + L"\\held.txt";
    drive::RemoveTree(app);
    ASSERT_TRUE(CreateDirectoryW(app.c_str(), nullptr));
    ASSERT_TRUE(drive::WriteBytes(held, "old contents"));
    const std::set<std::wstring> temporaryBefore = TemporaryFiles();
    {
        // Held the way a running program holds its files: read, no sharing of writes or deletion.
        HANDLE lock = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        drive::CProcess process;
        ASSERT_TRUE(process.Start(L"\"" + installer + L"\""));
        ASSERT_TRUE(Walk(process, {
            {Page::Path, {{Do::Click, kNext},
                          {Do::Answer, IDOK, L"错误", "", L"安装程序出错，安装失败！\r\n" + held, "locked-message"}}},
        }));
        // Looked for while the installer may still show it: once it has
        // ended no page can be found, whatever it showed.
        EXPECT_FALSE(WaitForPage(process, Page::Completion, 5000)) << "no success is reported";
        EXPECT_EQ(process.WaitForExit(), 0u);
        CloseHandle(lock);
    }
    EXPECT_EQ(drive::ReadBytes(held), "old contents");
    EXPECT_EQ(drive::ReadBytes(app + L"\\first.txt"), "first");
    EXPECT_FALSE(drive::Exists(app + L"\\after.txt")) << "the install ended at the held file";
    for (const std::wstring& name : drive::TreeBelow(app))
        EXPECT_EQ(name.find(L".new~"), std::wstring::npos) << ToGb(name);
    EXPECT_EQ(drive::ReadBytes(app + L"\\Lockedfile.ini"), ToGb(app) + "\\first.txt\r\n");
    EXPECT_EQ(TemporaryFiles(), temporaryBefore);
    drive::RemoveTree(app);
}

// With a blank in the install folder, C:\Program.exe is what the system
// would try first for an unquoted command line: a program planted there must
// not run, neither for a flag "1" program nor for the run command.
TEST_F(InstallerRun, ABlankInTheInstallFolderNeverRunsAPlantedProgram)
{
    vela::PackageDescription d = MinimalPackage();
    d.displayName = "Blank";
    d.defaultFolder = "[Program Files]\\Blank App";
    d.files = {{"[InstallDir]\\waiter.exe", '0', Waiter()}, {"[InstallDir]\\first.exe", '1', Waiter()}};
    const std::wstring installer = MakeInstaller(L"BlankSetup", d);
    made.push_back(installer);
    const std::wstring app = ProgramFiles() + L"\\Blank App";
    ASSERT_NE(app.find(L' '), std::wstring::npos);
    const std::wstring planted = app.substr(0, app.find(L' ')) + L".exe";
    drive::RemoveTree(app);
    ASSERT_FALSE(drive::Exists(planted)) << ToGb(planted) << " is someone else's";
    ASSERT_TRUE(drive::WriteBytes(planted, Waiter()));
    made.push_back(planted);
    made.push_back(planted + L".ran");

    drive::CProcess process;
    ASSERT_TRUE(process.Start(L"\"" + installer + L"\""));
    ASSERT_TRUE(Walk(process, {
        {Page::Path, {{Do::Click, kNext}}},
        {Page::Completion, {{Do::Checked, kRunBox}, {Do::Click, kFinish}}},
    }));
    EXPECT_EQ(process.WaitForExit(), 0u);
    for (int i = 0; i < 50 && !drive::Exists(app + L"\\started"); ++i) Sleep(100);

    EXPECT_TRUE(drive::Exists(app + L"\\first.exe.ran")) << "the flag 1 program ran";
    EXPECT_TRUE(drive::Exists(app + L"\\started")) << "the run command ran";
    EXPECT_FALSE(drive::Exists(planted + L".ran")) << ToGb(planted) << " ran";
    drive::RemoveTree(app);
}

TEST_F(InstallerRun, ADamagedPackageIsRefusedBeforeAnythingIsInstalled)
{
    const std::wstring installer = MakeInstaller(L"DamagedSetup", FullPackage(), 1000);
    made.push_back(installer);
    const std::wstring app = ProgramFiles() + L"\\" + kNameW;
    drive::RemoveTree(app);
    const std::set<std::wstring> temporaryBefore = TemporaryFiles();
    drive::CProcess process;
    ASSERT_TRUE(process.Start(L"\"" + installer + L"\""));
    Answer(process, L"错误", L"安装包已损坏，无法安装!", IDOK, "damaged-message");
    EXPECT_EQ(process.WaitForExit(), 0u);
    EXPECT_FALSE(drive::Exists(app));
    EXPECT_EQ(TemporaryFiles(), temporaryBefore);
}

} // namespace
