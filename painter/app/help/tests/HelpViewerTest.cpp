// The help in the HTML Help viewer, opened the way the painter opens it: the
// viewer control's entry point at ordinal 14 (the ANSI one) with the file's
// path. The viewer must find our contents and show its titles in Chinese,
// which it reads in the code page of the help's language. Leaves a picture
// of the viewer, help-viewer.png.
#include "WindowProbe.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <windows.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

namespace {

using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
constexpr UINT kDisplayTopic = 0x0000; // HH_DISPLAY_TOPIC
constexpr UINT kCloseAll = 0x0012;     // HH_CLOSE_ALL

std::string ReadText(const std::string& path)
{
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

std::wstring FromUtf8(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// The names of the contents' top level, in order, from the source (UTF-8):
// the entries before the first nested list and after each one closes.
std::vector<std::wstring> TopLevelNames(const std::string& toc)
{
    std::vector<std::wstring> names;
    const std::regex token(R"re(<ul>|</ul>|name="Name" value="([^"]*)")re");
    int depth = 0;
    for (auto it = std::sregex_iterator(toc.begin(), toc.end(), token); it != std::sregex_iterator(); ++it) {
        const std::string t = it->str();
        if (t == "<ul>") ++depth;
        else if (t == "</ul>") --depth;
        else if (depth == 1) names.push_back(FromUtf8((*it)[1].str()));
    }
    return names;
}

void PumpMessages(DWORD ms)
{
    const DWORD until = GetTickCount() + ms;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(20);
    }
}

HWND FindChildOfClass(HWND parent, const wchar_t* className)
{
    struct Search {
        const wchar_t* name;
        HWND found;
    } search{className, nullptr};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t cls[64] = {};
            GetClassNameW(w, cls, 64);
            if (lstrcmpiW(cls, s->name) != 0) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::wstring> TopLevelItems(HWND tree)
{
    std::vector<std::wstring> items;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item && items.size() < 100) {
        wchar_t text[260] = {};
        TVITEMW tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = 260;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
        items.emplace_back(text);
        item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    return items;
}

std::string Narrow(const std::wstring& w)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

TEST(HelpViewer, ShowsTheContentsInChinese)
{
    const std::vector<std::wstring> expected = TopLevelNames(ReadText(std::string(RV_HELP_SOURCE_DIR) + "/toc.hhc"));
    ASSERT_GE(expected.size(), 8u);

    HMODULE control = LoadLibraryW(L"hhctrl.ocx");
    ASSERT_NE(control, nullptr) << "no HTML Help viewer control";
    auto htmlHelp = reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void*>(GetProcAddress(control, MAKEINTRESOURCEA(14))));
    ASSERT_NE(htmlHelp, nullptr);

    char path[MAX_PATH] = {};
    ASSERT_GT(GetFullPathNameA(RV_HELP_CHM, MAX_PATH, path, nullptr), 0u);
    HWND viewer = htmlHelp(nullptr, path, kDisplayTopic, 0);
    ASSERT_NE(viewer, nullptr) << "the viewer did not open " << path;
    PumpMessages(1500);

    // The window title is the help's title, read as GB2312.
    wchar_t title[100] = {};
    GetWindowTextW(viewer, title, 100);
    EXPECT_EQ(Narrow(title), "Relievo 帮助");

    HWND tree = FindChildOfClass(viewer, L"SysTreeView32");
    ASSERT_NE(tree, nullptr) << "no contents pane";
    const std::vector<std::wstring> shown = TopLevelItems(tree);
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(Narrow(shown[i]), Narrow(expected[i])) << "entry " << i;

    EXPECT_TRUE(probe::TakeWindowPicture(viewer, "help-viewer"));
    htmlHelp(nullptr, nullptr, kCloseAll, 0);
    PumpMessages(300);
}

} // namespace
