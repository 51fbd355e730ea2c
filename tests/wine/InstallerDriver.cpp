#include "InstallerDriver.h"

#include <shlobj.h>

#include "WindowProbe.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>

namespace drive {
namespace {

using probe::kMessageTextId;

bool IsMessageBox(HWND dialog)
{
    return GetDlgItem(dialog, kMessageTextId) != nullptr &&
           (HasButton(dialog, IDOK) || HasButton(dialog, IDYES)) && !HasButton(dialog, 12324);
}

void CollectTree(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW found;
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        out.push_back(path);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) CollectTree(root, path, out);
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, 0, path)) ? path : L"";
}

} // namespace

CProcess::~CProcess()
{
    if (!started_) return;
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool CProcess::Start(const std::wstring& commandLine, const wchar_t* folder)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &info_) != 0;
    return started_;
}

bool CProcess::Running() const
{
    return started_ && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD CProcess::WaitForExit(DWORD timeoutMs)
{
    if (!started_) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(info_.hProcess, &code);
    } else {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    return code;
}

std::vector<HWND> VisibleDialogs(DWORD processId) { return probe::VisibleWindows(processId, probe::kDialogClass); }

HWND WaitForDialog(const CProcess& process, const std::wstring& caption, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        for (HWND window : VisibleDialogs(process.Id()))
            if (WindowText(window) == caption && !IsMessageBox(window)) {
                Sleep(300);  // let it paint
                return window;
            }
        if (!process.Running()) return nullptr;
        Sleep(100);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

bool WaitUntilGone(HWND window, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(100);
    }
    return true;
}

bool WaitForMessageBox(const CProcess& process, const std::wstring& caption, MessageBoxSeen& box, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        for (HWND window : VisibleDialogs(process.Id()))
            if (IsMessageBox(window) && (caption.empty() || WindowText(window) == caption)) {
                Sleep(300);
                box.window = window;
                box.caption = WindowText(window);
                box.text = ControlText(window, kMessageTextId);
                return true;
            }
        if (!process.Running()) return false;
        Sleep(100);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

bool HasButton(HWND dialog, int id) { return GetDlgItem(dialog, id) != nullptr; }

int DefaultButton(HWND dialog)
{
    // The button that carries the default style (what Enter presses).
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(child, cls, 16);
        if (_wcsicmp(cls, L"Button") == 0 && (GetWindowLongW(child, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
            return GetDlgCtrlID(child);
    }
    return 0;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[4096] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied))
        return L"";
    return text;
}

std::wstring ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return L"<no control>";
    // A licence can be long: ask for the length first.
    DWORD_PTR length = 0;
    SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        2000, &copied);
    text.resize(std::wcslen(text.c_str()));
    return text;
}

bool ControlEnabled(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowEnabled(control);
}

bool ControlChecked(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    DWORD_PTR state = 0;
    return control && SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state) &&
           state == BST_CHECKED;
}

bool ControlVisible(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowVisible(control);
}

bool Click(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control || !IsWindowEnabled(control) || !IsWindowVisible(control)) return false;
    // The user's click lands on whatever is shown at the button's middle:
    // a button covered by another window or control is not clicked.
    const POINT at = probe::Middle(control);
    if (probe::ControlAt(dialog, at) != control) return false;
    return probe::ClickAt(at);
}

namespace {

// A key pressed and let go through the system's input: it reaches the
// window with the keyboard focus in the active window, which must be the
// dialog, as for a user who sees it in front.
bool PressKey(HWND dialog, WORD key)
{
    return GetForegroundWindow() == dialog && probe::PressKey(key);
}

} // namespace

bool TypeInto(HWND dialog, int id, const std::wstring& text)
{
    // A click into the box gives it the keyboard; Home and Shift+End take
    // everything in it, which the typed text replaces (Delete empties it).
    if (!Click(dialog, id) || GetForegroundWindow() != dialog) return false;
    using probe::KeyInput;
    std::vector<INPUT> keys = {KeyInput(VK_HOME, false), KeyInput(VK_HOME, true), KeyInput(VK_SHIFT, false),
                               KeyInput(VK_END, false), KeyInput(VK_END, true), KeyInput(VK_SHIFT, true)};
    if (text.empty()) keys.insert(keys.end(), {KeyInput(VK_DELETE, false), KeyInput(VK_DELETE, true)});
    for (const wchar_t c : text)
        for (const bool up : {false, true}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            keys.push_back(input);
        }
    if (SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) != keys.size()) return false;
    // The keys reach the box one by one: wait until it shows the whole text.
    for (int i = 0; i < 100; ++i, Sleep(50))
        if (ControlText(dialog, id) == text) return true;
    return false;
}

bool PressEscape(HWND dialog) { return PressKey(dialog, VK_ESCAPE); }
bool PressEnter(HWND dialog) { return PressKey(dialog, VK_RETURN); }

bool PressCloseBox(HWND dialog)
{
    // The close box is where the window says it is: along the caption,
    // from the right, the first point it answers HTCLOSE for.
    RECT r{};
    if (!GetWindowRect(dialog, &r)) return false;
    const int y = r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = r.right - 1; x > (r.left + r.right) / 2; --x) {
        DWORD_PTR hit = HTNOWHERE;
        if (!SendMessageTimeoutW(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &hit)) return false;
        if (hit != HTCLOSE) continue;
        // The middle of the box along the caption.
        int left = x;
        while (left > r.left &&
               SendMessageTimeoutW(dialog, WM_NCHITTEST, 0, MAKELPARAM(left - 1, y), SMTO_ABORTIFHUNG, 2000, &hit) &&
               hit == HTCLOSE)
            --left;
        const POINT at{(left + x) / 2, y};
        return WindowFromPoint(at) == dialog && probe::ClickAt(at);
    }
    return false;
}

SIZE ClientSize(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

std::wstring WindowsFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetWindowsDirectoryW(path, MAX_PATH);
    return path;
}

std::wstring DesktopFolder() { return ShellFolder(CSIDL_DESKTOPDIRECTORY); }
std::wstring CommonProgramsFolder() { return ShellFolder(CSIDL_COMMON_PROGRAMS); }

std::wstring ProgramFilesFolder()
{
    const std::wstring windows = WindowsFolder();
    return windows.empty() ? L"" : windows.substr(0, 1) + L":\\Program Files";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadBytes(const std::wstring& path)
{
    const std::vector<unsigned char> bytes = probe::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::vector<std::wstring> TreeBelow(const std::wstring& folder)
{
    std::vector<std::wstring> paths;
    CollectTree(folder, L"", paths);
    std::sort(paths.begin(), paths.end());
    return paths;
}

void RemoveTree(const std::wstring& folder)
{
    std::vector<std::wstring> paths = TreeBelow(folder);
    // Deepest first: a longer relative path is never an ancestor of a shorter one.
    std::stable_sort(paths.begin(), paths.end(),
                     [](const std::wstring& a, const std::wstring& b) { return a.size() > b.size(); });
    for (const std::wstring& relative : paths) {
        const std::wstring path = folder + L"\\" + relative;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (IsFolder(path))
            RemoveDirectoryW(path.c_str());
        else
            DeleteFileW(path.c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

std::string ToGb(const std::wstring& text)
{
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring FromGb(const std::string& text)
{
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::set<std::wstring> TemporaryFiles()
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((std::wstring(folder) + L"~temp*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.insert(found.cFileName);
    while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

std::string Noise(std::size_t size, int seed)
{
    std::string bytes(size, '\0');
    std::uint32_t v = 2463534242u + static_cast<std::uint32_t>(seed);
    for (char& c : bytes) {
        v ^= v << 13;
        v ^= v >> 17;
        v ^= v << 5;
        c = static_cast<char>(v);
    }
    return bytes;
}

std::wstring FromUtf8(const std::string& text)
{
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

bool ReadMachineString(const std::wstring& key, const std::wstring& value, std::wstring& text)
{
    wchar_t data[2048] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), value.c_str(), RRF_RT_REG_SZ | RRF_SUBKEY_WOW6432KEY, nullptr,
                     data, &size) != ERROR_SUCCESS)
        return false;
    text = data;
    return true;
}

bool EnsureMachineKey(const std::wstring& key)
{
    HKEY made = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr, &made,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(made);
    return true;
}

bool DeleteMachineKey(const std::wstring& key)
{
    return RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), KEY_WOW64_32KEY, 0) == ERROR_SUCCESS;
}

bool MachineKeyExists(const std::wstring& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

} // namespace drive
