// Times installs under Wine for scripts/bench-install.sh. Not a test: it
// prints one line of figures per run and ends with 0 when the run went as
// it should, 1 otherwise.
//   install_bench_driver.exe wizard INSTALLER FOLDER
//       starts the installer, waits for its install-path page, types FOLDER
//       and times from the click on Next to the completion page, which is
//       then closed with Esc (nothing is started).
//   install_bench_driver.exe run COMMAND LINE ...
//       times a program from its start to its end (silent installs); it
//       must end with 0.
//   install_bench_driver.exe copy SOURCE TARGET
//       times a plain copy of a folder tree (CopyFileW, folders made first).
//   install_bench_driver.exe trailer INSTALLER OFFSET
//       times the installer's own integrity check of its package (the
//       stub's code, read through the stub's file streams).
// Figures: wall-clock milliseconds (wall_ms), and for the copy and the
// check, done in this process, its CPU time (cpu_ms, user and kernel time;
// -1 for the other kinds: Wine does not report the CPU time of another
// process).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "InstallerDriver.h"
#include "InstallerPages.h"
#include "WindowProbe.h"
#include "installer/package/Trailer.h"
#include "win32/installer/PackageSystem.h"
#include "win32/platform/Text.h"

namespace {

double NowMs()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// User and kernel time of a process so far, in milliseconds; -1 when unknown.
double CpuMs(HANDLE process)
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return -1;
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

int Report(const char* what, double wallMs, double cpuMs, bool ok)
{
    std::printf("%s wall_ms=%.1f cpu_ms=%.1f ok=%d\n", what, wallMs, cpuMs, ok ? 1 : 0);
    std::fflush(stdout);
    return ok ? 0 : 1;
}

int Fail(const char* why)
{
    std::fprintf(stderr, "install_bench_driver: %s\n", why);
    return 1;
}

// The wizard from Next on the path page to the completion page.
int TimeWizard(const std::wstring& installer, const std::wstring& folder)
{
    drive::CProcess process;
    if (!process.Start(L"\"" + installer + L"\"")) return Fail("the installer does not start");
    HWND path = nullptr;
    for (DWORD start = GetTickCount(); !path && GetTickCount() - start < 120000 && process.Running(); Sleep(50))
        path = drive::FindPage(process.Id(), drive::Page::Path);
    if (!path) return Fail("no install-path page");
    Sleep(300);  // let it settle and paint
    if (!drive::TypeInto(path, drive::kPathBox, folder)) return Fail("the path box takes no text");
    const double t0 = NowMs();
    if (!drive::Click(path, drive::kNext)) return Fail("Next cannot be clicked");
    // Every look at another process's windows asks the wineserver, which the
    // installer needs for each file it writes: while the progress page is up,
    // only whether it is still shown is asked, every 10 ms.
    HWND progress = nullptr, done = nullptr;
    while (!progress && !done && process.Running() && NowMs() - t0 < 60000) {
        Sleep(10);
        progress = drive::FindPage(process.Id(), drive::Page::Progress);
        if (!progress) done = drive::FindPage(process.Id(), drive::Page::Completion);
    }
    while (progress && IsWindow(progress) && IsWindowVisible(progress) && process.Running() && NowMs() - t0 < 600000)
        Sleep(10);
    while (!done && process.Running() && NowMs() - t0 < 600000) {
        done = drive::FindPage(process.Id(), drive::Page::Completion);
        if (!done) Sleep(2);
    }
    const double t1 = NowMs();
    if (!done) return Fail("no completion page");
    if (!drive::PressEscape(done)) return Fail("the completion page is not the active window");
    const DWORD code = process.WaitForExit(60000);
    return Report("wizard", t1 - t0, -1, code == 0);
}

// A program from its start to its end.
int TimeRun(const std::wstring& commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    const double t0 = NowMs();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return Fail("the program does not start");
    const bool ended = WaitForSingleObject(info.hProcess, 600000) == WAIT_OBJECT_0;
    const double t1 = NowMs();
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    if (!ended) TerminateProcess(info.hProcess, 99);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    if (code != 0) std::fprintf(stderr, "install_bench_driver: exit code %lu\n", code);
    return Report("run", t1 - t0, -1, ended && code == 0);
}

bool CopyTree(const std::wstring& from, const std::wstring& to)
{
    if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTree(from + L"\\" + name, to + L"\\" + name) && ok;
        else
            ok = CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) && ok;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return ok;
}

int TimeCopy(const std::wstring& from, const std::wstring& to)
{
    const double cpu0 = CpuMs(GetCurrentProcess());
    const double t0 = NowMs();
    const bool ok = CopyTree(from, to);
    const double t1 = NowMs();
    return Report("copy", t1 - t0, CpuMs(GetCurrentProcess()) - cpu0, ok);
}

int TimeTrailer(const std::wstring& installer, std::uint64_t offset)
{
    w32::CPackageSystem system;
    const double cpu0 = CpuMs(GetCurrentProcess());
    const double t0 = NowMs();
    std::unique_ptr<vela::IBinaryFile> file = system.OpenForReading(w32::Narrow(installer));
    if (!file) return Fail("the installer cannot be read");
    const vela::TrailerInfo info = vela::CheckTrailer(*file, offset);
    const double t1 = NowMs();
    std::printf("trailer: %s\n", vela::DescribeTrailerCheck(info.result));
    return Report("trailer", t1 - t0, CpuMs(GetCurrentProcess()) - cpu0, info.result == vela::TrailerCheck::Sound);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"wizard" && argc == 4) return TimeWizard(argv[2], argv[3]);
    if (mode == L"copy" && argc == 4) return TimeCopy(argv[2], argv[3]);
    if (mode == L"trailer" && argc == 4) return TimeTrailer(argv[2], std::wcstoull(argv[3], nullptr, 10));
    if (mode == L"run" && argc >= 3) {
        // The rest of the driver's own command line, as it was given.
        const wchar_t* line = GetCommandLineW();
        const wchar_t* at = wcsstr(line, L" run ");
        if (!at) return Fail("no command line after run");
        return TimeRun(at + 5);
    }
    std::fprintf(stderr,
                 "usage: install_bench_driver.exe wizard INSTALLER FOLDER | run COMMAND... | copy SOURCE TARGET |"
                 " trailer INSTALLER OFFSET\n");
    return 2;
}
