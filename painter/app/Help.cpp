#include "painter/app/Help.h"

#include <windows.h>

#include <vector>

namespace {

// HtmlHelpW(owner, file, command, data); HH_DISPLAY_TOPIC is 0.
using HtmlHelpFn = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);
constexpr UINT kDisplayTopic = 0;

// The viewer control's path from the registry entry of its class id.
std::wstring RegisteredViewer()
{
    const wchar_t key[] = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
    wchar_t path[MAX_PATH] = {};
    LONG size = sizeof path;
    if (RegQueryValueW(HKEY_CLASSES_ROOT, key, path, &size) != ERROR_SUCCESS) return {};
    path[MAX_PATH - 1] = 0;
    return path;
}

HtmlHelpFn FindViewer()
{
    static bool looked = false;
    static HtmlHelpFn entry = nullptr;
    if (looked) return entry;
    looked = true;
    HMODULE module = nullptr;
    const std::wstring registered = RegisteredViewer();
    if (!registered.empty()) module = LoadLibraryW(registered.c_str());
    if (!module) module = LoadLibraryW(L"hhctrl.ocx");
    if (!module) return nullptr;
    // The wide entry point, so a Chinese path reaches the viewer whatever
    // the system's code page.
    entry = reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpW")));
    return entry;
}

} // namespace

std::wstring HelpFilePath(const std::wstring& folder) { return folder + L"\\readme.chm"; }

void OpenHelpFile()
{
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return;
    std::vector<wchar_t> folder(n + 1);
    const DWORD got = GetCurrentDirectoryW(n + 1, folder.data());
    if (got == 0 || got > n) return;
    std::wstring dir(folder.data(), got);
    if (!dir.empty() && dir.back() == L'\\') dir.pop_back(); // a drive's root
    if (HtmlHelpFn viewer = FindViewer()) viewer(nullptr, HelpFilePath(dir).c_str(), kDisplayTopic, 0);
}
