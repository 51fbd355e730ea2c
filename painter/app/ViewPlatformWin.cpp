#include "painter/app/ViewPlatformWin.h"

#include "painter/app/Dialogs.h"
#include "win32/framework/Common.h"
#include "win32/platform/Text.h"

#include <vector>

std::string CViewPlatformWin::ModuleFileName()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) return w32::Narrow(std::wstring_view(path.data(), n));
        path.resize(path.size() * 2);
    }
}

bool CViewPlatformWin::SetCurrentFolder(const std::string& folder)
{
    return SetCurrentDirectoryW(w32::Widen(folder).c_str()) != FALSE;
}

bool CViewPlatformWin::AskPictureSize(int& width, int& height)
{
    CSettingsDlg dlg;
    dlg.width = width;
    dlg.height = height;
    if (dlg.DoModal(owner_) != IDOK) return false;
    width = dlg.width;
    height = dlg.height;
    return true;
}

bool CViewPlatformWin::AskSaveName(bool stereogram, std::string& name, bool& png)
{
    CSaveResultDlg result;
    CSaveSampleDlg sample;
    CSaveNameDlg& dlg = stereogram ? static_cast<CSaveNameDlg&>(result) : sample;
    if (dlg.DoModal(owner_) != IDOK) return false;
    name = dlg.name;
    png = dlg.png;
    return true;
}

rv::OpenFileChoice CViewPlatformWin::ChooseFileToOpen(const rv::OpenFileRequest& request)
{
    fw::OpenFileArgs args;
    args.owner = owner_;
    args.filter = request.filterName + "|" + request.pattern;
    args.initialFolder = request.initialFolder;
    args.flags = OFN_HIDEREADONLY;
    rv::OpenFileChoice choice;
    switch (fw::OpenFileDialog(args, choice.path)) {
    case fw::FileDialogResult::Chosen: break;
    case fw::FileDialogResult::NotGb2312: choice.unusablePath = true; break;
    case fw::FileDialogResult::Cancelled: break;
    }
    return choice;
}
