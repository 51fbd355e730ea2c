#include "WindowProbe.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace probe {

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring CurrentFolder()
{
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

std::wstring WindowsPath(const char* unixPath)
{
    const int length = static_cast<int>(std::strlen(unixPath));
    std::wstring path(length ? MultiByteToWideChar(CP_UTF8, 0, unixPath, length, nullptr, 0) : 0, L'\0');
    if (length) MultiByteToWideChar(CP_UTF8, 0, unixPath, length, path.data(), static_cast<int>(path.size()));
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

std::vector<unsigned char> ReadFileBytes(const std::wstring& path)
{
    std::vector<unsigned char> bytes;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return bytes;
    unsigned char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

bool RunRelievoCli(const std::wstring& args)
{
    const std::wstring exe = OwnFolder() + L"..\\tools\\relievo-cli\\relievo-cli.exe";
    std::wstring line = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code == 0;
}

namespace {
struct Search {
    DWORD processId;
    const wchar_t* windowClass;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[128] = {};
    if (pid == search->processId && IsWindowVisible(window) &&
        (!search->windowClass || (GetClassNameW(window, name, 128) && wcscmp(name, search->windowClass) == 0)))
        search->found.push_back(window);
    return TRUE;
}

// Asks pick of the process's visible windows every 50 ms until it names one
// or timeoutMs has passed.
template <typename Pick>
HWND WaitFor(DWORD processId, const wchar_t* windowClass, DWORD timeoutMs, Pick pick)
{
    const DWORD start = GetTickCount();
    do {
        for (HWND window : VisibleWindows(processId, windowClass))
            if (pick(window)) return window;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}
} // namespace

std::vector<HWND> VisibleWindows(DWORD processId, const wchar_t* windowClass)
{
    Search search{processId, windowClass, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindowOf(DWORD processId, const std::wstring& title, DWORD timeoutMs, const wchar_t* windowClass)
{
    return WaitFor(processId, windowClass, timeoutMs, [&](HWND window) {
        wchar_t text[256] = {};
        GetWindowTextW(window, text, 256);
        return title == text;
    });
}

HWND WaitForDialogOf(DWORD processId, DWORD timeoutMs, HWND except)
{
    return WaitFor(processId, kDialogClass, timeoutMs, [&](HWND window) { return window != except; });
}

std::wstring TextOf(HWND window)
{
    wchar_t text[1024] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, &got);
    return text;
}

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
        const std::vector<HWND> found = VisibleWindows(started.process.dwProcessId, windowClass);
        if (!found.empty()) {
            started.window = found.front();
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

bool ClickAt(POINT screen)
{
    if (!SetCursorPos(screen.x, screen.y)) return false;
    Sleep(50);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    const bool sent = SendInput(2, input, sizeof(INPUT)) == 2;
    Sleep(100);
    return sent;
}

bool MoveMouse(POINT screen)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return SendInput(1, &input, sizeof input) == 1;
}

bool MouseButton(bool down)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    return SendInput(1, &input, sizeof input) == 1;
}

INPUT KeyInput(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

bool PressKey(WORD key, WORD modifier)
{
    // Modifier down, key down, key up, modifier up.
    INPUT input[4] = {};
    UINT n = 0;
    if (modifier) input[n++] = KeyInput(modifier, false);
    input[n++] = KeyInput(key, false);
    input[n++] = KeyInput(key, true);
    if (modifier) input[n++] = KeyInput(modifier, true);
    const bool sent = SendInput(n, input, sizeof(INPUT)) == n;
    Sleep(100);
    return sent;
}

POINT OnScreen(HWND window, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

POINT Middle(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND ControlAt(HWND dialog, POINT screen)
{
    if (GetAncestor(WindowFromPoint(screen), GA_ROOT) != dialog) return nullptr;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        if (!IsWindowVisible(child) || !GetWindowRect(child, &r) || !PtInRect(&r, screen)) continue;
        wchar_t name[16] = {};
        GetClassNameW(child, name, 16);
        const bool groupBox = _wcsicmp(name, L"Button") == 0 &&
                              (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
        if (!groupBox) return child;
    }
    return nullptr;
}

bool ToolBarButtonRect(HWND toolBar, UINT command, RECT& screen)
{
    const LRESULT index = SendMessageW(toolBar, TB_COMMANDTOINDEX, command, 0);
    if (index < 0) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(toolBar, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return false;
    bool read = false;
    if (void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE)) {
        SIZE_T got = 0;
        read = SendMessageW(toolBar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote)) &&
               ReadProcessMemory(process, remote, &screen, sizeof screen, &got) && got == sizeof screen;
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    if (read) MapWindowPoints(toolBar, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    return read;
}

COLORREF ScreenColour(POINT screen)
{
    HDC dc = GetDC(nullptr);
    const COLORREF colour = GetPixel(dc, screen.x, screen.y);
    ReleaseDC(nullptr, dc);
    return colour;
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
