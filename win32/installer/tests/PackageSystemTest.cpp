// The start-up's system services over the real (Wine) system, and the whole
// start-up run against a real installer file.
#include "win32/installer/PackageSystem.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>

#include <string>
#include <vector>

#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/PathMacros.h"
#include "installer/package/Startup.h"
#include "installer/package/TextFields.h"
#include "installer/package/tests/RecordingPages.h"
#include "win32/platform/Text.h"

#include "WindowProbe.h"

using namespace vela;
using w32::CPackageSystem;

namespace {

// 錦 (trail byte 0x5C) and 画: a folder name that trips byte-wise searches.
const std::string kJinHua = "\xE5\x5C\xBB\xAD";

std::string Pattern(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + seed) % 251);
    return bytes;
}

std::string ReadAll(CPackageSystem& sys, const std::string& path)
{
    auto file = sys.OpenForReading(path);
    if (!file) return "<missing>";
    std::string bytes(static_cast<std::size_t>(file->Length()), '\0');
    file->Read(bytes.data(), bytes.size());
    return bytes;
}

bool WriteAll(CPackageSystem& sys, const std::string& path, const std::string& bytes)
{
    auto file = sys.CreateForWriting(path);
    return file && file->Write(bytes.data(), bytes.size()) == bytes.size();
}

// A scratch folder under the temporary folder, named with 錦画.
class PackageSystemTest : public ::testing::Test {
protected:
    CPackageSystem sys;
    std::string folder;

    void SetUp() override
    {
        std::string temp(sys.TemporaryFolder().view());
        ASSERT_FALSE(temp.empty());
        if (!EndsWithBackslash(temp)) temp += "\\";
        folder = temp + "vela-" + kJinHua + "-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(w32::Widen(folder).c_str(), nullptr);
        ASSERT_TRUE(sys.SetCurrentFolder(folder));
    }
    void TearDown() override
    {
        WIN32_FIND_DATAW found;
        const std::wstring wide = w32::Widen(folder);
        HANDLE h = FindFirstFileW((wide + L"\\*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW((wide + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
        SetCurrentDirectoryW(L"C:\\");
        RemoveDirectoryW(wide.c_str());
    }
};

} // namespace

TEST_F(PackageSystemTest, FileStreamsWriteSeekAndReadBackUnderADoubleBytePath)
{
    const std::string path = folder + "\\" + kJinHua + ".bin";
    const std::string bytes = Pattern(40000, 3);
    ASSERT_TRUE(WriteAll(sys, path, bytes));
    // The name reaches the system as the characters it stands for.
    EXPECT_NE(GetFileAttributesW((w32::Widen(folder) + L"\\\u9326\u753B.bin").c_str()), INVALID_FILE_ATTRIBUTES);

    auto file = sys.OpenForReading(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Length(), 40000u);
    char chunk[5000];
    ASSERT_TRUE(file->Seek(30000));
    ASSERT_EQ(file->Read(chunk, sizeof chunk), sizeof chunk);
    EXPECT_EQ(std::string(chunk, sizeof chunk), bytes.substr(30000, 5000));
    ASSERT_TRUE(file->Seek(100));
    char one;
    ASSERT_EQ(file->Read(&one, 1), 1u);
    EXPECT_EQ(one, bytes[100]);
    ASSERT_TRUE(file->Seek(39990));
    EXPECT_EQ(file->Read(chunk, sizeof chunk), 10u);
    file.reset();

    ASSERT_TRUE(WriteAll(sys, path, "short"));
    EXPECT_EQ(ReadAll(sys, path), "short");
    EXPECT_TRUE(sys.RemoveFile(path));
    EXPECT_FALSE(sys.RemoveFile(path));
    EXPECT_FALSE(sys.OpenForReading(path));
    EXPECT_FALSE(sys.CreateForWriting(folder + "\\no such folder\\x.bin"));
}

TEST_F(PackageSystemTest, NewFilesAreNeverMadeOverAnExistingOne)
{
    const std::string path = folder + "\\" + kJinHua + ".new";
    auto made = sys.CreateNewForWriting(path);
    ASSERT_TRUE(made);
    ASSERT_EQ(made->Write("first", 5), 5u);
    made.reset();
    // A second exclusive create fails and leaves the first file as it was,
    // even while nobody holds it open.
    EXPECT_FALSE(sys.CreateNewForWriting(path));
    EXPECT_EQ(ReadAll(sys, path), "first");
    EXPECT_TRUE(sys.RemoveFile(path));
}

TEST_F(PackageSystemTest, ExtractionCopiesRealFilesByteIdentically)
{
    const std::string source = folder + "\\package.bin";
    const std::string bytes = Pattern(2 * 1024 * 1024 + 13, 5);
    ASSERT_TRUE(WriteAll(sys, source, bytes));
    auto package = sys.OpenForReading(source);
    ASSERT_TRUE(package);
    for (std::int32_t size : {0, 2047, 2048, 2 * 1024 * 1024}) {
        const std::string target = folder + "\\out" + std::to_string(size);
        ASSERT_TRUE(ExtractStoredFile(sys, *package, target, 13, size));
        EXPECT_TRUE(ReadAll(sys, target) == bytes.substr(13, static_cast<std::size_t>(size))) << size;
    }
}

TEST_F(PackageSystemTest, FoldersOfTheSystem)
{
    const std::string windows(sys.WindowsFolder().view());
    const std::string system(sys.SystemFolder().view());
    ASSERT_GE(windows.size(), 3u);
    EXPECT_EQ(windows.substr(1, 2), ":\\");
    EXPECT_FALSE(EndsWithBackslash(windows));
    EXPECT_EQ(system.substr(0, windows.size() + 1), windows + "\\");
    EXPECT_TRUE(sys.SetCurrentFolder(system));
    EXPECT_EQ(sys.CurrentFolder(), system);

    SystemPath desktop;
    ASSERT_TRUE(sys.DesktopFolder(desktop));
    EXPECT_EQ(desktop.view().substr(1, 2), ":\\");
    EXPECT_TRUE(sys.SetCurrentFolder(desktop));

    EXPECT_TRUE(sys.SetCurrentFolder(folder));
    EXPECT_EQ(sys.CurrentFolder(), folder);
    EXPECT_FALSE(sys.SetCurrentFolder(folder + "\\missing"));
    EXPECT_EQ(sys.CurrentFolder(), folder);

    const std::string module(sys.ModuleFileName().view());
    EXPECT_EQ(module.substr(module.size() - 4), ".exe");
    auto self = sys.OpenForReading(module);
    ASSERT_TRUE(self);
    char mz[2];
    ASSERT_EQ(self->Read(mz, 2), 2u);
    EXPECT_EQ(std::string(mz, 2), "MZ");
}

TEST_F(PackageSystemTest, LocalTimeMatchesTheSystemClock)
{
    SYSTEMTIME before;
    GetLocalTime(&before);
    LocalTime now = sys.Now();
    EXPECT_EQ(now.year, before.wYear);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
    EXPECT_LE(now.hour, 23);
    EXPECT_LE(now.millisecond, 999);
    const std::string stem(TemporaryStem(sys.TemporaryFolder(), now).view());
    EXPECT_NE(stem.find("~temp" + std::to_string(now.year)), std::string::npos);
}

TEST_F(PackageSystemTest, RegistryStringsAreReadBack)
{
    const std::wstring key = L"Software\\VelaPackageSystemTest";
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    const std::wstring text = L"C:\\\u9326\u753B\\Programs";
    RegSetValueExW(h, L"\u9326", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    DWORD number = 7;
    RegSetValueExW(h, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(h);

    SystemPath value;
    EXPECT_EQ(sys.ReadRegistryString(RegistryRoot::CurrentUser, "Software\\VelaPackageSystemTest", "\xE5\x5C", value),
              RegistryReadResult::Read);
    EXPECT_EQ(value, "C:\\" + kJinHua + "\\Programs");
    EXPECT_EQ(sys.ReadRegistryString(RegistryRoot::CurrentUser, "Software\\VelaPackageSystemTest", "Missing", value),
              RegistryReadResult::ValueMissing);
    EXPECT_EQ(sys.ReadRegistryString(RegistryRoot::CurrentUser, "Software\\VelaPackageSystemTest", "Number", value),
              RegistryReadResult::ValueMissing);
    EXPECT_EQ(sys.ReadRegistryString(RegistryRoot::CurrentUser, "Software\\VelaNoSuchKey", "x", value),
              RegistryReadResult::KeyNotOpened);
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

// A value as long as a path holds is read whole; one byte more, or far more,
// leaves the path empty and marked overflowed, never cut.
TEST_F(PackageSystemTest, RegistryStringsLongerThanAPathOverflow)
{
    const std::wstring key = L"Software\\VelaPackageSystemTest";
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    const auto put = [h](const wchar_t* name, const std::wstring& text) {
        RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    };
    // The last character is two bytes in GB2312.
    put(L"Fills", std::wstring(SystemPath::kCapacity - 2, L'a') + L"\u9326");
    put(L"OneMore", std::wstring(SystemPath::kCapacity - 1, L'a') + L"\u9326");
    put(L"Long", std::wstring(3000, L'b'));
    RegCloseKey(h);

    SystemPath value;
    ASSERT_EQ(sys.ReadRegistryString(RegistryRoot::CurrentUser, "Software\\VelaPackageSystemTest", "Fills", value),
              RegistryReadResult::Read);
    EXPECT_EQ(value.size(), SystemPath::kCapacity);
    EXPECT_FALSE(value.Overflowed());
    EXPECT_EQ(value.view().substr(SystemPath::kCapacity - 2), kJinHua.substr(0, 2));
    for (const char* name : {"OneMore", "Long"}) {
        value = "before";
        // The value is there and is read; it is the path that cannot hold it.
        EXPECT_EQ(sys.ReadRegistryString(RegistryRoot::CurrentUser, "Software\\VelaPackageSystemTest", name, value),
                  RegistryReadResult::Read)
            << name;
        EXPECT_TRUE(value.empty()) << name;
        EXPECT_TRUE(value.Overflowed()) << name;
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

TEST_F(PackageSystemTest, StartMenuResolvesOnTheRealSystem)
{
    InstallContext ctx;
    char text[480] = "[Start Menu]\\Group\\";
    ASSERT_TRUE(ExpandPathMacros(sys, ctx, text));
    const std::string own = std::string(sys.WindowsFolder().view()) + "\\Start Menu\\Programs";
    SystemPath common;
    const RegistryReadResult read = sys.ReadRegistryString(
        RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        "Common Programs", common);
    const bool ownExists = GetFileAttributesW(w32::Widen(own).c_str()) != INVALID_FILE_ATTRIBUTES;
    // Without the folder of its own the system's Common Programs is all the
    // expansion can give: an empty one would make both sides "\Group\".
    if (!ownExists) {
        ASSERT_EQ(read, RegistryReadResult::Read);
    }
    EXPECT_EQ(std::string(text), (ownExists ? own : std::string(common.view())) + "\\Group\\");
    EXPECT_GT(std::strlen(text), std::strlen("\\Group\\"));
}

namespace {

// What a message box showed: its title and its text.
struct SeenBox {
    std::wstring title;
    std::wstring text;
};

// Waits for a message box of this process, reads it and presses OK.
SeenBox AnswerMessageBox()
{
    SeenBox seen;
    if (HWND box = probe::WaitForDialogOf(GetCurrentProcessId(), 10000)) {
        seen.title = probe::TextOf(box);
        seen.text = probe::TextOf(GetDlgItem(box, probe::kMessageTextId));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    if (seen.title.empty()) {
        // The box never appeared where it can be answered: fail rather than hang.
        std::fputs("no message box appeared within 10 seconds\n", stderr);
        ExitProcess(3);
    }
    return seen;
}

DWORD WINAPI WatchForMessageBox(LPVOID seen)
{
    *static_cast<SeenBox*>(seen) = AnswerMessageBox();
    return 0;
}

} // namespace

TEST_F(PackageSystemTest, MessageBoxesShowTheirChineseTextAndCaption)
{
    SeenBox seen;
    HANDLE watcher = CreateThread(nullptr, 0, WatchForMessageBox, &seen, 0, nullptr);
    // 读取安装包时发生错误!!! with the caption 错误
    sys.ShowMessage("\xB6\xC1\xC8\xA1\xB0\xB2\xD7\xB0\xB0\xFC\xCA\xB1\xB7\xA2\xC9\xFA\xB4\xED\xCE\xF3!!!",
                    "\xB4\xED\xCE\xF3");
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    EXPECT_EQ(seen.title, L"\u9519\u8BEF");
    EXPECT_NE(seen.text.find(L"\u8BFB\u53D6\u5B89\u88C5\u5305\u65F6\u53D1\u751F\u9519\u8BEF!!!"), std::wstring::npos);

    // Without a caption the box is titled with the program's own name.
    seen = SeenBox{};
    watcher = CreateThread(nullptr, 0, WatchForMessageBox, &seen, 0, nullptr);
    sys.ShowMessage("Windows sockets", "");
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    EXPECT_EQ(seen.title, L"w32_PackageSystemTest");
    EXPECT_NE(seen.text.find(L"Windows sockets"), std::wstring::npos);
}

TEST_F(PackageSystemTest, SocketsStart)
{
    EXPECT_TRUE(sys.StartSockets());
    WSACleanup();
}

namespace {

// The real system with the program file and temporary folder moved into the
// scratch folder, so the start-up reads an installer built by the test.
class ScratchSystem : public CPackageSystem {
public:
    std::string module;
    std::string temp;
    SystemPath ModuleFileName() override { return SystemPath(module); }
    SystemPath TemporaryFolder() override { return SystemPath(temp); }
};

} // namespace

TEST_F(PackageSystemTest, StartUpUnpacksARealInstaller)
{
    PackageDescription d;
    d.displayName = "\xB2\xE2\xCA\xD4";  // 测试
    d.defaultFolder = "[Program Files]\\" + kJinHua;
    d.menuGroup = "Test";
    d.runCaption = "Run";
    d.runCommand = "[InstallDir]\\a.exe";
    d.directories = {"[InstallDir]"};
    d.welcomePicture = Pattern(2048, 1);
    d.hasSplash = true;
    d.splashPicture = Pattern(2047, 2);
    d.files = {{"[InstallDir]\\a.exe", '0', Pattern(10, 3)}};
    std::string package, problem;
    ASSERT_TRUE(BuildPackage(d, package, problem)) << problem;

    ScratchSystem scratch;
    scratch.module = folder + "\\setup.exe";
    scratch.temp = folder;  // no trailing backslash
    const std::uint64_t offset = 8192;
    ASSERT_TRUE(WriteAll(sys, scratch.module, Pattern(offset, 9) + package));

    test::RecordingPages pages;
    InstallContext ctx;
    EXPECT_EQ(RunStartup(scratch, pages, ctx, offset), StartupEnd::WizardRun);
    EXPECT_EQ(pages.runs, (std::vector<std::string>{"splash", "welcome", "licence"}));
    EXPECT_EQ(std::string(ctx.scriptFilePath).rfind(folder + "\\~temp", 0), 0u);
    EXPECT_EQ(ReadAll(sys, ctx.welcomeBitmapPath), d.welcomePicture);
    EXPECT_EQ(ReadAll(sys, ctx.splashBitmapPath), d.splashPicture);
    EXPECT_EQ(ReadAll(sys, ctx.scriptFilePath).substr(0, 9), "[Basal]\r\n");
    EXPECT_STREQ(ctx.displayName, d.displayName.c_str());
    EXPECT_EQ(std::string(ctx.installPath), std::string(sys.WindowsFolder().view().substr(0, 1)) + ":\\Program Files\\" + kJinHua);
    EXPECT_EQ(ctx.packageFileCount, 1);
}
