#include "win32/installer/SilentInstall.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

namespace w32 {
namespace {

constexpr UINT kGb2312 = 936;
constexpr int kCommandLineSize = 8192;
constexpr int kLineSize = 2048;

// The log: one UTF-8 line, CR LF, per call. Without /LOG= nothing is written.
class CLogFile final : public vela::ISilentLog {
public:
    ~CLogFile()
    {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    bool Open(const char* gb2312Path)
    {
        wchar_t path[vela::kSilentLogPathSize];
        if (MultiByteToWideChar(kGb2312, 0, gb2312Path, -1, path, vela::kSilentLogPathSize) == 0) return false;
        file_ = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
        return file_ != INVALID_HANDLE_VALUE;
    }
    void WriteLine(const char* text) override
    {
        if (file_ == INVALID_HANDLE_VALUE) return;
        wchar_t wide[kLineSize];
        char utf8[kLineSize * 3 + 2];
        int n = MultiByteToWideChar(kGb2312, 0, text, -1, wide, kLineSize);
        if (n == 0) {
            wide[kLineSize - 1] = L'\0';  // a line too long for the buffer is cut
            n = static_cast<int>(std::wcslen(wide)) + 1;
        }
        int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, n - 1, utf8, kLineSize * 3, nullptr, nullptr);
        utf8[bytes++] = '\r';
        utf8[bytes++] = '\n';
        DWORD written = 0;
        WriteFile(file_, utf8, static_cast<DWORD>(bytes), &written, nullptr);
    }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

} // namespace

bool ReadSilentSwitches(vela::SilentSwitches& switches)
{
    char commandLine[kCommandLineSize];
    BOOL lost = FALSE;
    const int n = WideCharToMultiByte(kGb2312, WC_NO_BEST_FIT_CHARS, GetCommandLineW(), -1, commandLine,
                                      kCommandLineSize, nullptr, &lost);
    if (n == 0) {
        // Too long for the buffer: read what fits to learn whether /S is there.
        commandLine[kCommandLineSize - 1] = '\0';
        switches.tooLong = true;
    }
    vela::ParseSilentSwitches(commandLine, switches);
    if (lost) switches.unknownSwitch = true;
    return switches.silent;
}

int RunSilentInstall(vela::IPlatform& system, vela::IEngineSystem& engine, vela::InstallContext& context,
                     std::uint64_t packageOffset, const vela::SilentSwitches& switches)
{
    CLogFile log;
    if (switches.hasLog && !switches.tooLong && !log.Open(switches.logPath)) return vela::kSilentRefused;
    vela::CSilentReport report(log);
    vela::CSilentPlatform silent(system, report);
    return vela::RunSilentInstall(silent, engine, context, packageOffset, switches, report);
}

} // namespace w32
