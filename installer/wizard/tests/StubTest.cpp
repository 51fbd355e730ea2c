// The finished stub: its compiled-in package offset equals its own size, and
// a package appended to it is found there.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <vector>
#include <string>

#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/wizard/PackageOffset.h"
#include "win32/platform/Text.h"

#include "InstallerDriver.h"
#include "WindowProbe.h"

namespace {

std::string StubPath()
{
    std::string path = VELA_STUB_FILE;
    // Under Wine a Unix path is reached through drive Z:.
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    return path;
}

std::string ReadAll(const std::string& path)
{
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char block[65536];
        std::size_t n;
        while ((n = std::fread(block, 1, sizeof block, f)) > 0) bytes.append(block, n);
        std::fclose(f);
    }
    return bytes;
}

// The offset the stub carries, read from its tagged slot; 0 when the tag is
// missing or not unique.
std::uint64_t OffsetInStub(const std::string& stub)
{
    std::uint64_t offset = 0;
    bool unique = false;
    return vela::FindPackageOffsetSlot(stub, offset, unique) && unique ? offset : 0;
}

vela::PackageDescription SampleDescription(bool showWelcomePages)
{
    vela::PackageDescription description;
    description.displayName = "Relievo";
    description.defaultFolder = "[Program Files]\\Relievo";
    description.showWelcomePages = showWelcomePages;
    description.menuGroup = "Relievo";
    description.runCaption = "Start Relievo now?";
    description.runCommand = "[InstallDir]\\Relievo.exe";
    description.directories = {"[InstallDir]"};
    description.welcomePicture = "BM-welcome";
    description.hasSplash = false;
    description.files = {{"[InstallDir]\\Relievo.exe", '0', std::string(5000, 'x')},
                         {"[InstallDir]\\readme.txt", '4', "read me"}};
    description.licence = "Licence text";
    return description;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// A message box the installer shows: caption and text, GB2312.
struct SeenMessage {
    std::string caption;
    std::string text;
};

// Runs the installer for at most a minute. Every message box it shows is
// recorded and answered with OK. The result is the exit code, or -1 when the
// installer had to be ended.
long RunInstaller(const std::string& path, std::vector<SeenMessage>& messages)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + w32::Widen(path) + L"\"";
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -2;
    long result = -1;
    for (int tick = 0; tick < 600; ++tick) {
        if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            result = static_cast<long>(code);
            break;
        }
        const std::vector<HWND> boxes = probe::VisibleWindows(process.dwProcessId, probe::kDialogClass);
        if (!boxes.empty()) {
            HWND box = boxes.front();
            messages.push_back({w32::Narrow(probe::TextOf(box)),
                                w32::Narrow(probe::TextOf(GetDlgItem(box, probe::kMessageTextId)))});
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            Sleep(500);
        }
    }
    if (result == -1) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

TEST(InstallerStub, PackageOffsetEqualsTheStubsOwnSize)
{
    const std::string stub = ReadAll(StubPath());
    ASSERT_FALSE(stub.empty()) << StubPath();
    EXPECT_EQ(stub.compare(0, 2, "MZ"), 0);
    const std::uint64_t offset = OffsetInStub(stub);
    EXPECT_EQ(offset, stub.size()) << "the compiled-in offset and the stub's size differ";
    EXPECT_EQ(offset, vela::kPackageOffset) << "the stub carries another offset than the build's";
}

TEST(InstallerStub, AppendedPackageIsFoundAtTheOffset)
{
    const std::string stub = ReadAll(StubPath());
    ASSERT_FALSE(stub.empty());

    const vela::PackageDescription description = SampleDescription(true);
    std::string package, problem;
    ASSERT_TRUE(vela::BuildPackage(description, package, problem)) << problem;


    const std::string path = StubPath() + ".with-package.exe";
    ASSERT_TRUE(WriteBytes(path, stub + package));

    std::unique_ptr<vela::IBinaryFile> file = vela::OpenStdioFileForReading(path);
    ASSERT_TRUE(file);
    vela::PackageProblem fault;
    EXPECT_TRUE(vela::CheckPackage(*file, OffsetInStub(stub), fault)) << static_cast<int>(fault.fault);
    vela::PackageHeader header;
    ASSERT_TRUE(vela::ReadPackageHeader(*file, OffsetInStub(stub), header));
    EXPECT_EQ(header.fileCount, 2);
    file.reset();
    std::remove(path.c_str());
}

TEST(InstallerStub, DamagedPackageIsRefusedWithOneMessageAndLeavesNothing)
{
    const std::string stub = ReadAll(StubPath());
    ASSERT_FALSE(stub.empty());
    std::string package, problem;
    ASSERT_TRUE(vela::BuildPackage(SampleDescription(true), package, problem)) << problem;
    const std::string path = StubPath() + ".damaged.exe";
    ASSERT_TRUE(WriteBytes(path, stub + package.substr(0, package.size() - 100)));  // last item cut short

    const std::set<std::wstring> before = drive::TemporaryFiles();
    std::vector<SeenMessage> messages;
    EXPECT_EQ(RunInstaller(path, messages), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "\xB4\xED\xCE\xF3");  // 错误
    // 安装包已损坏，无法安装!
    EXPECT_EQ(messages[0].text, "\xB0\xB2\xD7\xB0\xB0\xFC\xD2\xD1\xCB\xF0\xBB\xB5\xA3\xAC\xCE\xDE\xB7\xA8\xB0\xB2\xD7\xB0!");
    EXPECT_EQ(drive::TemporaryFiles(), before);
    std::remove(path.c_str());
}

} // namespace
