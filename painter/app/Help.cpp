#include "painter/app/Help.h"

#include <vector>

namespace {

// HtmlHelpW(owner, file, command, data); HH_DISPLAY_TOPIC is 0.
using HtmlHelpFn = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);
constexpr UINT kDisplayTopic = 0;

HtmlHelpFn FindViewer()
{
    static bool looked = false;
    static HtmlHelpFn entry = nullptr;
    if (looked) return entry;
    looked = true;
    HMODULE module = LoadHelpViewer();
    if (!module) return nullptr;
    // The wide entry point, so a Chinese path reaches the viewer whatever
    // the system's code page.
    entry = reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpW")));
    return entry;
}

} // namespace

std::wstring HelpFilePath(const std::wstring& folder) { return folder + L"\\readme.chm"; }

std::wstring HelpViewerPath()
{
    const UINT n = GetSystemDirectoryW(nullptr, 0);
    if (n == 0) return {};
    std::vector<wchar_t> folder(n + 1);
    const UINT got = GetSystemDirectoryW(folder.data(), n + 1);
    if (got == 0 || got > n) return {};
    std::wstring path(folder.data(), got);
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return path + L"\\hhctrl.ocx";
}

HMODULE LoadHelpViewer()
{
    static bool loaded = false;
    static HMODULE module = nullptr;
    if (loaded) return module;
    loaded = true;
    const std::wstring path = HelpViewerPath();
    if (path.empty()) return nullptr;
    // The DLLs the viewer needs are looked for beside it first.
    module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return module;
}

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
