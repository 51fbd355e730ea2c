// wait_for_window.exe TITLE [SECONDS]: waits (default 120 seconds) for a
// visible top-level window titled exactly TITLE in this Wine prefix and
// display; prints its title, class and process and exits 0, or exits 1 when
// none comes. For the tests of scripts that start our programs.
#include "WindowProbe.h"

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fputws(L"usage: wait_for_window.exe TITLE [SECONDS]\n", stderr);
        return 2;
    }
    const long seconds = argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 120;
    HWND window = probe::WaitForWindowTitled(argv[1], static_cast<DWORD>(seconds > 0 ? seconds : 120) * 1000);
    if (!window) {
        std::printf("wait_for_window: no window came in %ld seconds\n", seconds);
        return 1;
    }
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    std::printf("wait_for_window: found the window (class %ls, process %lu)\n", name,
                static_cast<unsigned long>(pid));
    return 0;
}
