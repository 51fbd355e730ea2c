// Starts the painter under Wine and checks what a user sees of its frame.
#include "WindowProbe.h"

#include <gtest/gtest.h>

namespace {

std::wstring MenuText(HMENU menu, UINT position)
{
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

TEST(RelievoWindow, OpensMaximisedWithTitleAndChineseMenus)
{
    auto started = probe::StartAndFindWindow(L"\"" + probe::OwnFolder() + L"Relievo.exe\"", L"RelievoFrame");
    ASSERT_NE(started.window, nullptr) << "no frame window appeared";

    wchar_t title[128] = {};
    GetWindowTextW(started.window, title, 128);
    EXPECT_STREQ(title, L"\u65e0\u6807\u9898 - Relievo"); // 无标题 - Relievo
    EXPECT_TRUE(IsZoomed(started.window));

    EXPECT_NE(GetMenu(started.window), nullptr);
    // Menus cannot be read across processes under Wine: read the program's
    // own menu resource, the one its frame loads.
    HMODULE exe = LoadLibraryExW((probe::OwnFolder() + L"Relievo.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    HMENU menu = LoadMenuW(exe, MAKEINTRESOURCEW(128));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 6);
    EXPECT_EQ(MenuText(menu, 0), L"\u6587\u4ef6(&F)");  // 文件(&F)
    EXPECT_EQ(MenuText(menu, 5), L"\u5e2e\u52a9(&H)");  // 帮助(&H)
    EXPECT_EQ(MenuText(GetSubMenu(menu, 2), 3), L"\u77e9\u5f62\uff08\u4e2d\u7a7a\uff09"); // 矩形（中空）

    EXPECT_TRUE(probe::TakeWindowPicture(started.window, "relievo-window"));

    PostMessageW(started.window, WM_COMMAND, 57665 /* exit */, 0);
    EXPECT_EQ(probe::WaitForExit(started), 0u);
}

} // namespace
