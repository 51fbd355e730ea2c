// What a package's author relies on from a 32-bit installer on 64-bit
// Windows: a package built by velapack.exe is unpacked by the installer's own
// readers and acted on by its engine, and then its registry-script values sit
// in the 32-bit registry view, its [Windows System] files in the folder
// 32-bit programs load from, and its components were registered by the 32-bit
// regsvr32. The registry check also runs in the 64-bit test build, which asks
// for the 32-bit view explicitly; the others are about a 32-bit process.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "installer/engine/Operations.h"
#include "installer/package/InstallContext.h"
#include "installer/package/Package.h"
#include "installer/package/PathMacros.h"
#include "installer/package/SetupScript.h"
#include "installer/wizard/PackageOffset.h"
#include "win32/installer/EngineSystem.h"
#include "win32/installer/PackageSystem.h"
#include "win32/installer/tests/TestFiles.h"
#include "win32/platform/Text.h"

namespace {

using w32::test::Exists;
using w32::test::ReadBytes;
using w32::test::WriteFile;

// Build paths are Unix paths; under Wine they are reached through drive Z:.
std::string FromBuild(const char* path)
{
    std::string text = path;
    if (!text.empty() && text[0] == '/') text = "Z:" + text;
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

// Runs a command line and returns its exit code, -1 when it cannot start.
long RunProgram(const std::string& commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring command = w32::Widen(commandLine);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

// A value of HKEY_LOCAL_MACHINE read in one registry view.
std::optional<std::string> MachineValue(const wchar_t* keyPath, const wchar_t* name, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return std::nullopt;
    wchar_t data[512] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    DWORD type = 0;
    const LONG rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return w32::Narrow(data);
}

std::optional<std::string> UserValue(const wchar_t* keyPath, const wchar_t* name)
{
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, keyPath, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return w32::Narrow(data);
}

std::string SystemFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return w32::Narrow(path);
}

std::string Wow64Folder()
{
    wchar_t path[MAX_PATH] = {};
    return GetSystemWow64DirectoryW(path, MAX_PATH) ? w32::Narrow(path) : std::string();
}

// True when path exists in the 64-bit system's own view of the file system.
bool ExistsWithoutRedirection(const std::string& path)
{
    PVOID state = nullptr;
    if (!Wow64DisableWow64FsRedirection(&state)) return Exists(path);
    const bool found = Exists(path);
    Wow64RevertWow64FsRedirection(state);
    return found;
}

// The machine field of a PE file in the 64-bit system's own view, 0 when the
// file is missing or not a PE file.
WORD PeMachineWithoutRedirection(const std::string& path)
{
    PVOID state = nullptr;
    const bool undo = Wow64DisableWow64FsRedirection(&state);
    const std::string bytes = ReadBytes(path);
    if (undo) Wow64RevertWow64FsRedirection(state);
    if (bytes.size() < 64) return 0;
    std::uint32_t pe = 0;
    std::memcpy(&pe, bytes.data() + 60, sizeof pe);
    if (pe > bytes.size() - 6 || bytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return 0;
    WORD machine = 0;
    std::memcpy(&machine, bytes.data() + pe + 4, sizeof machine);
    return machine;
}

const wchar_t kKey[] = L"SOFTWARE\\VelaBitsTest";
constexpr bool k32BitBuild = sizeof(void*) == 4;
const wchar_t kComponentKey[] = L"Software\\VelaEngineTest\\Component";

class Install32 : public ::testing::Test {
protected:
    // Builds the package with velapack.exe and installs it with the
    // installer's readers and engine, once for all the checks.
    static void SetUpTestSuite()
    {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKey, KEY_WOW64_32KEY, 0);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKey, KEY_WOW64_64KEY, 0);
        RegDeleteTreeW(HKEY_CURRENT_USER, kComponentKey);

        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        work_ = w32::Narrow(temp) + "vela-bits";
        CreateDirectoryW(w32::Widen(work_).c_str(), nullptr);
        WriteFile(work_ + "\\bits.dat", "thirty-two");
        WriteFile(work_ + "\\bits.reg", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VelaBitsTest]\r\n\"Where\"=\"32\"\r\n");
        CopyFileW(w32::Widen(FromBuild(VELA_TEST_COMPONENT)).c_str(), w32::Widen(work_ + "\\bits.dll").c_str(),
                  FALSE);
        WriteFile(work_ + "\\bits.txt",
                  "name = VelaBits\r\n"
                  "folder = [Program Files]\\VelaBits\r\n"
                  "welcome-pages = no\r\n"
                  "uninstall = no\r\n"
                  "run = [InstallDir]\\bits.dat\r\n"
                  "directory = [InstallDir]\r\n"
                  "file = 0 | bits.dat | [Windows System]\\vela_bits.dat\r\n"
                  "file = 2 | bits.reg | [InstallDir]\\bits.reg\r\n"
                  "file = 1 | bits.dll | [Windows System]\\vela_bits.dll\r\n");
        setup_ = work_ + "\\BitsSetup.exe";
        DeleteFileW(w32::Widen(setup_).c_str());
        std::string command = "\"";
        command += FromBuild(VELAPACK_EXE);
        command += "\" \"" + work_ + "\\bits.txt\" --stub \"";
        command += FromBuild(VELA_STUB_FILE);
        command += "\" -o \"" + setup_ + "\"";
        velapackStatus_ = RunProgram(command);
        if (velapackStatus_ == 0) Install();
    }

    static void TearDownTestSuite()
    {
        for (const std::string& name : {std::string("vela_bits.dat"), std::string("vela_bits.dll")})
            DeleteFileW(w32::Widen(SystemFolder() + "\\" + name).c_str());
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKey, KEY_WOW64_32KEY, 0);
        RegDeleteTreeW(HKEY_CURRENT_USER, kComponentKey);
    }

    // What the install worker does with each item: the stored bytes to the
    // expanded target, then the item's flag action.
    static void Install()
    {
        const std::string installer = ReadBytes(setup_);
        std::uint64_t offset = 0;
        bool unique = false;
        if (!vela::FindPackageOffsetSlot(installer, offset, unique) || !unique || offset >= installer.size()) return;
        char header[vela::kPackageHeaderSize];
        std::memcpy(header, installer.data() + offset, sizeof header);
        const vela::PackageHeader parsed = vela::ParsePackageHeader(header);
        const std::string_view script(installer.data() + offset + vela::kPackageHeaderSize,
                                      static_cast<std::size_t>(parsed.scriptLength));
        const vela::SetupScriptContents contents = vela::ReadSetupScript(script);
        const std::int64_t base = static_cast<std::int64_t>(offset) + parsed.scriptLength;

        w32::CPackageSystem platform;
        w32::CEngineSystem system;
        vela::InstallContext& context = vela::TheInstallContext();
        std::snprintf(context.installPath, sizeof context.installPath, "%s\\installed", work_.c_str());
        CreateDirectoryW(w32::Widen(context.installPath).c_str(), nullptr);
        const vela::EngineEnvironment env{platform, system, context};
        for (const vela::FileTableEntry& entry : contents.files) {
            char target[vela::kFileTargetSize];
            std::memcpy(target, entry.target, sizeof target);
            vela::ExpandPathMacros(platform, context, target);
            WriteFile(target, installer.substr(static_cast<std::size_t>(base + entry.offset),
                                               static_cast<std::size_t>(entry.size)));
            targets_ += std::string(target) + "\n";
            if (entry.flag == '1') vela::RunInstallAction(env, target);
            if (entry.flag == '2') vela::ImportRegistryScript(env, target);
        }
    }

    static inline std::string work_;
    static inline std::string setup_;
    static inline std::string targets_;
    static inline long velapackStatus_ = -1;
};

TEST_F(Install32, PackageIsBuiltAndInstalledOnA64BitSystem)
{
    ASSERT_EQ(velapackStatus_, 0) << "velapack.exe did not build the package";
    EXPECT_EQ(std::count(targets_.begin(), targets_.end(), '\n'), 3) << targets_;
    if (!k32BitBuild) return;
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_TRUE(wow64) << "the test prefix must be a 64-bit one";
}

TEST_F(Install32, RegistryScriptValuesLandInThe32BitView)
{
    EXPECT_EQ(MachineValue(kKey, L"Where", KEY_WOW64_32KEY), "32");
    EXPECT_FALSE(MachineValue(kKey, L"Where", KEY_WOW64_64KEY).has_value());
}

TEST_F(Install32, SystemFolderFilesLandWhere32BitProgramsLoadThem)
{
    if (!k32BitBuild) GTEST_SKIP() << "a 64-bit build writes to the 64-bit system folder";
    EXPECT_NE(targets_.find(SystemFolder() + "\\vela_bits.dat\n"), std::string::npos) << targets_;
    const std::string wow64 = Wow64Folder();
    ASSERT_FALSE(wow64.empty());
    EXPECT_TRUE(ExistsWithoutRedirection(wow64 + "\\vela_bits.dat"));
    EXPECT_FALSE(ExistsWithoutRedirection(SystemFolder() + "\\vela_bits.dat"))
        << "the file went to the 64-bit system folder";
    EXPECT_EQ(ReadBytes(SystemFolder() + "\\vela_bits.dat"), "thirty-two");
}

// The register command names the system folder's regsvr32, as a package
// expects; a 32-bit installer on 64-bit Windows that starts it gets
// SysWOW64's 32-bit copy, since the file system redirection applies to the
// program it starts, and that copy is what the component sees as its host.
TEST_F(Install32, ComponentsAreRegisteredByThe32BitRegsvr32)
{
    if (!k32BitBuild) GTEST_SKIP() << "a 64-bit build registers through the 64-bit regsvr32";
    const auto registered = UserValue(kComponentKey, L"Registered");
    ASSERT_TRUE(registered.has_value()) << "DllRegisterServer did not run";
    EXPECT_EQ(*registered, SystemFolder() + "\\vela_bits.dll");
    EXPECT_EQ(UserValue(kComponentKey, L"Wow64"), "1") << "registered by a 64-bit process";
    const auto host = UserValue(kComponentKey, L"Host");
    ASSERT_TRUE(host.has_value());
    const std::string wow64 = Wow64Folder();
    ASSERT_FALSE(wow64.empty());
    EXPECT_EQ(CompareStringOrdinal(w32::Widen(*host).c_str(), -1, w32::Widen(wow64 + "\\regsvr32.exe").c_str(), -1,
                                   TRUE),
              CSTR_EQUAL)
        << *host;
    EXPECT_EQ(PeMachineWithoutRedirection(*host), IMAGE_FILE_MACHINE_I386) << *host;
    // The system folder's own regsvr32 is the 64-bit one, which was not used.
    EXPECT_EQ(PeMachineWithoutRedirection(SystemFolder() + "\\regsvr32.exe"), IMAGE_FILE_MACHINE_AMD64);
}

} // namespace
