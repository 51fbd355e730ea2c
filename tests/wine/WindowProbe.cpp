#include "WindowProbe.h"

#include <cstdio>
#include <vector>

namespace probe {

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

namespace {
struct Search {
    DWORD processId;
    const wchar_t* windowClass;
    HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[128];
    if (pid == search->processId && IsWindowVisible(window) && GetClassNameW(window, name, 128) &&
        wcscmp(name, search->windowClass) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

Started StartAndFindWindow(const std::wstring& commandLine, const wchar_t* windowClass, DWORD timeoutMs)
{
    Started started;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &started.process))
        return started;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        Search search{started.process.dwProcessId, windowClass, nullptr};
        EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            started.window = search.found;
            Sleep(1000); // let it paint
            break;
        }
        if (WaitForSingleObject(started.process.hProcess, 100) == WAIT_OBJECT_0) break;
    }
    return started;
}

namespace {
struct TitleSearch {
    const std::wstring& title;
    HWND found;
};

BOOL CALLBACK CheckTitle(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<TitleSearch*>(data);
    wchar_t text[256] = {};
    if (IsWindowVisible(window) && GetWindowTextW(window, text, 256) && search->title == text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND WaitForWindowTitled(const std::wstring& title, DWORD timeoutMs)
{
    TitleSearch search{title, nullptr};
    const DWORD start = GetTickCount();
    do {
        EnumWindows(CheckTitle, reinterpret_cast<LPARAM>(&search));
        if (search.found) break;
        Sleep(200);
    } while (GetTickCount() - start < timeoutMs);
    return search.found;
}

DWORD WaitForExit(const Started& started, DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(started.process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(started.process.hProcess, &code);
    else
        TerminateProcess(started.process.hProcess, 1);
    CloseHandle(started.process.hThread);
    CloseHandle(started.process.hProcess);
    return code;
}

bool TakeWindowPicture(HWND window, const std::string& name)
{
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    const std::string request = name + ".shot-request";
    const std::string partial = request + ".part";
    FILE* f = std::fopen(partial.c_str(), "w");
    if (!f) return false;
    std::fprintf(f, "%ld %ld %ld %ld\n", r.left < 0 ? 0 : r.left, r.top < 0 ? 0 : r.top, r.right - r.left, r.bottom - r.top);
    if (std::fclose(f) != 0 || !MoveFileA(partial.c_str(), request.c_str())) return false;
    for (int i = 0; i < 150; ++i) {
        if (GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES)
            return GetFileAttributesA((name + ".png").c_str()) != INVALID_FILE_ATTRIBUTES;
        Sleep(100);
    }
    DeleteFileA(request.c_str());
    return false;
}

} // namespace probe
