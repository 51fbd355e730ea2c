// The install engine's Win32 services under Wine: real folders, processes,
// registry keys, shell links and a component registered through regsvr32.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "installer/engine/Operations.h"
#include "installer/package/InstallContext.h"
#include "win32/installer/EngineSystem.h"
#include "win32/installer/PackageSystem.h"
#include "win32/installer/tests/TestFiles.h"
#include "win32/platform/Text.h"

namespace {

using w32::test::Exists;
using w32::test::ReadBytes;
using w32::test::WriteFile;

// A command line left to the system to find its program in.
vela::ProcessCommand CommandOf(std::string_view commandLine)
{
    vela::ProcessCommand command;
    command.commandLine = commandLine;
    return command;
}

// ---- This test program doubles as the small program the tests run ----------
// Started as "engine-exit-N.exe" (a copy of itself), or with the argument
// "--engine-exit-code=N", it writes a marker file beside itself and ends with
// exit code N before any test runs.
std::wstring ModulePath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

[[maybe_unused]] const bool kRanAsSmallProgram = [] {
    const std::wstring self = ModulePath();
    const std::wstring base = self.substr(self.find_last_of(L'\\') + 1);
    int code = -1;
    if (base.rfind(L"engine-exit-", 0) == 0) code = _wtoi(base.c_str() + 12);
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; argv && i < argc; ++i)
        if (std::wcsncmp(argv[i], L"--engine-exit-code=", 19) == 0) code = _wtoi(argv[i] + 19);
    if (argv) LocalFree(argv);
    if (code < 0) return false;
    const std::wstring marker = self + L".ran";
    HANDLE f = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    ExitProcess(static_cast<UINT>(code));
}();

// ---- Helpers ------------------------------------------------------------------
const std::string kJin = "\xE5\x5C";  // 錦: its trail byte is a backslash

std::string Folder(const std::string& path)
{
    return path.substr(0, path.rfind('\\'));
}

// A fresh folder under the temporary folder.
std::string FreshFolder(const std::string& name)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::string folder = w32::Narrow(temp) + "vela-engine-" + name;
    std::wstring wide = w32::Widen(folder);
    std::vector<wchar_t> from(wide.begin(), wide.end());
    from.push_back(L'\0');
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.data();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&op);
    CreateDirectoryW(wide.c_str(), nullptr);
    return folder;
}

std::optional<std::string> ReadValue(const std::string& keyPath, const std::string& name)
{
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, w32::Widen(keyPath).c_str(), w32::Widen(name).c_str(), RRF_RT_REG_SZ,
                     nullptr, data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return w32::Narrow(data);
}

bool KeyExists(const std::string& keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, w32::Widen(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The installer's own start-up services, with recorded messages (a message
// box would wait for a click) and a desktop folder of the test's choosing.
class TestPlatform final : public w32::CPackageSystem {
public:
    std::string desktop;
    std::vector<std::string> messages;

    bool DesktopFolder(vela::SystemPath& path) override
    {
        path = desktop;
        return !desktop.empty();
    }
    void ShowMessage(std::string_view text, std::string_view caption) override
    {
        messages.push_back(std::string(caption) + ": " + std::string(text));
    }
};

struct Win32Engine : ::testing::Test {
    TestPlatform platform;
    w32::CEngineSystem system;
    vela::InstallContext context;
    vela::EngineEnvironment env{platform, system, context};
};

// ---- Folders and attributes ---------------------------------------------------
using EngineFolders = Win32Engine;

TEST_F(EngineFolders, ChainCreatesEveryLevelOfADoubleByteName)
{
    const std::string root = FreshFolder("folders");
    const std::string deep = root + "\\" + kJin + "\\" + kJin + kJin + "\\last";
    vela::CreateDirectoryChain(system, deep + "\\");
    EXPECT_TRUE(Exists(root + "\\" + kJin));
    EXPECT_TRUE(Exists(root + "\\" + kJin + "\\" + kJin + kJin));
    EXPECT_TRUE(Exists(deep));
    EXPECT_FALSE(Exists(root + "\\\xE5")) << "a trail byte was taken for a backslash";
    EXPECT_FALSE(system.CreateFolder(deep)) << "an existing folder reports failure";
}

TEST_F(EngineFolders, ClearedAttributesLetAReadOnlyFileBeReplaced)
{
    const std::string file = FreshFolder("attributes") + "\\ro.txt";
    WriteFile(file, "old");
    SetFileAttributesW(w32::Widen(file).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(system.ClearFileAttributes(file));
    EXPECT_EQ(GetFileAttributesW(w32::Widen(file).c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
    EXPECT_TRUE(platform.RemoveFile(file));
    EXPECT_FALSE(system.ClearFileAttributes(file)) << "a missing file";
}

// A new file is put in place of an old one whole, or not at all: a target
// held open by a running program stays as it was, and so does the new file.
TEST_F(EngineFolders, AFileIsPutInPlaceWholeOrNotAtAll)
{
    const std::string folder = FreshFolder("in-place");
    const std::string target = folder + "\\" + kJin + ".txt";
    const std::string beside = target + ".new~";
    WriteFile(target, "old");
    WriteFile(beside, "new contents");
    EXPECT_TRUE(system.IsFile(target));
    EXPECT_FALSE(system.IsFile(folder)) << "a folder is no file";
    EXPECT_FALSE(system.IsFile(folder + "\\missing.txt"));

    HANDLE held = CreateFileW(w32::Widen(target).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(system.PutFileInPlace(beside, target));
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_EQ(ReadBytes(beside), "new contents");

    EXPECT_TRUE(system.PutFileInPlace(beside, target));
    EXPECT_EQ(ReadBytes(target), "new contents");
    EXPECT_FALSE(Exists(beside));
    EXPECT_TRUE(system.PutFileInPlace(target, folder + "\\fresh.txt")) << "no file there yet";
    EXPECT_FALSE(Exists(target));
}

// ---- Programs -----------------------------------------------------------------
using EnginePrograms = Win32Engine;

TEST_F(EnginePrograms, RunAndWaitGivesTheExitCode)
{
    const std::string self = w32::Narrow(ModulePath());
    std::uint32_t code = 0;
    ASSERT_TRUE(system.RunProcessAndWait(CommandOf("\"" + self + "\" --engine-exit-code=42"), vela::kShowNormal, code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(vela::RunAndWait(env, "\"" + self + "\" --engine-exit-code=7", vela::kShowNormal), 7);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(EnginePrograms, AProgramThatCannotStartIsReported)
{
    std::uint32_t code = 0;
    EXPECT_FALSE(system.RunProcessAndWait(CommandOf("C:\\no\\such\\program.exe"), vela::kShowNormal, code));
    EXPECT_EQ(vela::RunAndWait(env, "C:\\no\\such\\program.exe", vela::kShowNormal), -1);
    // 错误: 创建程序进程失败!
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0],
              "\xB4\xED\xCE\xF3: \xB4\xB4\xBD\xA8\xB3\xCC\xD0\xF2\xBD\xF8\xB3\xCC\xCA\xA7\xB0\xDC!");
}

TEST_F(EnginePrograms, InstallActionRunsAProgramAndWaitsForIt)
{
    const std::string folder = FreshFolder("programs") + "\\" + kJin;
    CreateDirectoryW(w32::Widen(folder).c_str(), nullptr);
    const std::string program = folder + "\\engine-exit-3.EXE";
    ASSERT_TRUE(CopyFileW(ModulePath().c_str(), w32::Widen(program).c_str(), FALSE));
    vela::RunInstallAction(env, program);
    EXPECT_TRUE(Exists(program + ".ran")) << "the program ran and was waited for";
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(EnginePrograms, ShellOpenRefusesAMissingFile)
{
    EXPECT_FALSE(system.ShellOpen("C:\\no\\such\\document.msi", vela::kShowMaximized));
}

TEST_F(EnginePrograms, OtherFilesAreOpenedThroughTheShellWithoutWaiting)
{
    // A batch file is opened by the shell's command processor, which writes
    // the marker; the install action does not wait for it.
    const std::string folder = FreshFolder("shellopen");
    const std::string marker = folder + "\\opened.txt";
    const std::string batch = folder + "\\open.BAT";
    WriteFile(batch, "@echo opened> \"" + marker + "\"\r\n");
    vela::RunInstallAction(env, batch);
    for (int i = 0; i < 300 && !Exists(marker); ++i) Sleep(100);
    EXPECT_TRUE(Exists(marker)) << "the shell did not open " << batch;
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(EnginePrograms, ComponentIsRegisteredThroughRegsvr32)
{
    const std::string component = Folder(w32::Narrow(ModulePath())) + "\\engine_test_component.dll";
    ASSERT_TRUE(Exists(component)) << component;
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VelaEngineTest\\Component");

    // Upper-case OCX, in a folder whose name carries a backslash trail byte.
    const std::string folder = FreshFolder("component") + "\\" + kJin;
    CreateDirectoryW(w32::Widen(folder).c_str(), nullptr);
    const std::string ocx = folder + "\\Grid.OCX";
    ASSERT_TRUE(CopyFileW(w32::Widen(component).c_str(), w32::Widen(ocx).c_str(), FALSE));

    vela::CommandText command;
    ASSERT_TRUE(vela::RegisterCommand(env, ocx, command));
    EXPECT_EQ(vela::RunAndWait(env, command, vela::kShowNormal), 0);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VelaEngineTest\\Component");
    vela::RunInstallAction(env, ocx);
    const auto registered = ReadValue("Software\\VelaEngineTest\\Component", "Registered");
    ASSERT_TRUE(registered.has_value()) << "DllRegisterServer did not run";
    EXPECT_EQ(*registered, ocx);
    EXPECT_TRUE(platform.messages.empty());
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VelaEngineTest\\Component");
}

// ---- Registry -----------------------------------------------------------------
struct EngineRegistry : Win32Engine {
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VelaEngineTest\\Script"); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VelaEngineTest\\Script"); }
};

TEST_F(EngineRegistry, KeyPathCreatesTheMissingLevels)
{
    HKEY existing = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VelaEngineTest\\Script", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &existing, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(existing);
    const vela::RegistryKey key =
        vela::OpenRegistryKeyPath(system, "[HKEY_CURRENT_USER\\Software\\VelaEngineTest\\Script\\A\\" + kJin + "\\C]");
    ASSERT_NE(key, vela::kNoRegistryKey);
    EXPECT_TRUE(system.SetRegistryString(key, "v", "1"));
    system.CloseRegistryKey(key);
    EXPECT_TRUE(KeyExists("Software\\VelaEngineTest\\Script\\A"));
    EXPECT_TRUE(KeyExists("Software\\VelaEngineTest\\Script\\A\\" + kJin));
    EXPECT_EQ(ReadValue("Software\\VelaEngineTest\\Script\\A\\" + kJin + "\\C", "v"), "1");
}

TEST_F(EngineRegistry, FirstLevelIsCreatedUnderTheRootItself)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, L"VelaEngineTestTop");
    const vela::RegistryKey key = vela::OpenRegistryKeyPath(system, "[HKEY_CURRENT_USER\\VelaEngineTestTop\\A]");
    ASSERT_NE(key, vela::kNoRegistryKey);
    EXPECT_TRUE(system.SetRegistryString(key, "top", "yes"));
    system.CloseRegistryKey(key);
    EXPECT_EQ(ReadValue("VelaEngineTestTop\\A", "top"), "yes");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"VelaEngineTestTop");
}

TEST_F(EngineRegistry, ScriptWritesStringValuesAndSkipsWhatHasNoKey)
{
    const std::string script = FreshFolder("registry") + "\\app.reg";
    // 中文 value text, a value before any key, an unknown root, a last line without CR LF.
    WriteFile(script,
              "\"orphan\"=\"x\"\r\n"
              "[HKEY_CURRENT_USER\\Software\\VelaEngineTest\\Script\\App]\r\n"
              "\"Name\"=\"\xD6\xD0\xCE\xC4\"\r\n"
              "\r\n"
              "\"Path\"=\"C:\\Program Files\\" + kJin + "\"\r\n"
              "[HKEY_NOWHERE\\Software\\VelaEngineTest\\Script\\App]\r\n"
              "\"lost\"=\"y\"\r\n"
              "[HKEY_CURRENT_USER\\Software\\VelaEngineTest\\Script\\App]\r\n"
              "\"unended\"=\"z\"");
    vela::ImportRegistryScript(env, script);
    EXPECT_EQ(ReadValue("Software\\VelaEngineTest\\Script\\App", "Name"), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(ReadValue("Software\\VelaEngineTest\\Script\\App", "Path"), "C:\\Program Files\\" + kJin);
    EXPECT_FALSE(ReadValue("Software\\VelaEngineTest\\Script\\App", "orphan").has_value());
    EXPECT_FALSE(ReadValue("Software\\VelaEngineTest\\Script\\App", "lost").has_value());
    EXPECT_FALSE(ReadValue("Software\\VelaEngineTest\\Script\\App", "unended").has_value());
}

// ---- Shell links ----------------------------------------------------------------
using EngineShortcuts = Win32Engine;

TEST_F(EngineShortcuts, SavedLinkReadsBackThroughTheShellLinkObject)
{
    const std::string folder = FreshFolder("links") + "\\" + kJin;
    CreateDirectoryW(w32::Widen(folder).c_str(), nullptr);
    const std::string program = folder + "\\app.exe";
    WriteFile(program, "MZ");

    vela::ShellLinkFields fields;
    fields.program = program;
    fields.arguments = "/min \xD6\xD0";
    fields.workingFolder = folder;
    fields.description = "\xB9\xA4\xBE\xDF";  // 工具
    fields.showCommand = vela::kShowNormal;
    const std::string link = folder + "\\\xB9\xA4\xBE\xDF.lnk";
    ASSERT_EQ(system.SaveShellLink(fields, link), vela::ShellLinkOutcome::Saved);
    ASSERT_TRUE(Exists(link));

    vela::ShellLinkFields back;
    ASSERT_TRUE(w32::ReadShellLink(link, back));
    EXPECT_EQ(back.program, fields.program);
    EXPECT_EQ(back.arguments, fields.arguments);
    EXPECT_EQ(back.workingFolder, fields.workingFolder);
    EXPECT_EQ(back.description, fields.description);
    // The link file keeps only normal, maximised and minimised: SW_SHOW is
    // stored as normal.
    EXPECT_EQ(back.showCommand, SW_SHOWNORMAL);
}

TEST_F(EngineShortcuts, LinkIntoAMissingFolderFailsButIsReported)
{
    vela::ShellLinkFields fields;
    fields.program = "C:\\app.exe";
    EXPECT_EQ(system.SaveShellLink(fields, FreshFolder("nolink") + "\\missing\\x.lnk"),
              vela::ShellLinkOutcome::SaveFailed);
}

TEST_F(EngineShortcuts, GroupAndDesktopShortcutsAreWrittenAndLogged)
{
    const std::string root = FreshFolder("shortcuts");
    platform.desktop = root + "\\Desktop";
    const std::string group = root + "\\Programs\\Vela\\";
    vela::CreateDirectoryChain(system, platform.desktop);
    vela::CreateDirectoryChain(system, group);
    const std::string program = root + "\\App\\app.exe";
    vela::CreateDirectoryChain(system, Folder(program));
    WriteFile(program, "MZ");

    const std::string logPath = root + "\\file.ini";
    std::unique_ptr<vela::IBinaryFile> log = platform.CreateForWriting(logPath);
    ASSERT_TRUE(log);
    const vela::ShortcutDestination destination{group, log.get()};
    vela::CreateShortcut(env, destination, program, "App", vela::ShortcutPlace::ProgramGroup, "min");
    vela::CreateShortcut(env, destination, program, "App", vela::ShortcutPlace::Desktop, "min");
    log.reset();

    vela::ShellLinkFields back;
    ASSERT_TRUE(w32::ReadShellLink(group + "App.lnk", back));
    EXPECT_EQ(back.program, program);
    EXPECT_EQ(back.arguments, "min");
    EXPECT_EQ(back.workingFolder, root + "\\App");
    EXPECT_EQ(back.description, "App");
    ASSERT_TRUE(w32::ReadShellLink(platform.desktop + "\\App.lnk", back));
    EXPECT_EQ(back.program, program);

    std::unique_ptr<vela::IBinaryFile> reread = platform.OpenForReading(logPath);
    ASSERT_TRUE(reread);
    std::string text(static_cast<std::size_t>(reread->Length()), '\0');
    reread->Read(text.data(), text.size());
    EXPECT_EQ(text, group + "App.lnk\r\n" + platform.desktop + "\\App.lnk\r\n");
}

// The shortcut tests also run under a locale whose code page is not 936
// (RV_EXPECT_ACP names the code page each run expects): the GB2312 texts of a
// link must come out right on any system.
TEST(EngineLocale, RunsUnderTheCodePageItWasStartedFor)
{
    char expected[16] = {};
    if (GetEnvironmentVariableA("RV_EXPECT_ACP", expected, sizeof expected) == 0) GTEST_SKIP();
    EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
}

} // namespace
