#pragma once
// The installer's pages as a user meets them, told apart by the controls
// they hold: what the installer tests and the install timing driver walk by.
#include <windows.h>

#include "InstallerDriver.h"

namespace drive {

// The controls a user meets on the pages.
constexpr int kNext = 12324;
constexpr int kBack = 12323;
constexpr int kCancel = 2;
constexpr int kLicenceText = 1000;
constexpr int kAccept = 1001;
constexpr int kDecline = 1002;
constexpr int kPathBox = 1006;
constexpr int kBrowse = 1003;  // on the path page
constexpr int kFinish = 1003;  // on the completion page
constexpr int kRunBox = 1007;
constexpr int kProgressBar = 218;

enum class Page { Splash, Welcome, Licence, Path, Progress, Completion };

inline bool IsPage(HWND window, Page page)
{
    auto has = [&](int id) { return HasButton(window, id); };
    switch (page) {
    case Page::Splash: return GetWindow(window, GW_CHILD) == nullptr && WindowText(window).empty();
    case Page::Welcome: return has(kNext) && !has(kLicenceText) && !has(kPathBox);
    case Page::Licence: return has(kLicenceText) && has(kAccept);
    case Page::Path: return has(kPathBox);
    case Page::Progress: return has(kProgressBar);
    case Page::Completion: return has(kRunBox);
    }
    return false;
}

// The visible page of the process of that kind; null when none is shown.
inline HWND FindPage(DWORD processId, Page page)
{
    for (HWND window : VisibleDialogs(processId))
        if (IsPage(window, page)) return window;
    return nullptr;
}

inline const char* PageName(Page page)
{
    static const char* const names[] = {"splash", "welcome", "licence", "path", "progress", "completion"};
    return names[static_cast<int>(page)];
}

} // namespace drive
