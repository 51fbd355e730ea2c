#include "painter/app/ViewPlatformWin.h"

#include "painter/app/Dialogs.h"
#include "painter/app/view/ViewText.h"
#include "win32/framework/Common.h"
#include "win32/platform/Text.h"

#include <vector>

namespace {

std::string* EditOf(std::vector<rv::DialogEdit>& edits, int id)
{
    for (auto& edit : edits)
        if (edit.id == id) return &edit.text;
    return nullptr;
}

// The edit's text, or an empty one when the view gave none.
std::string EditText(std::vector<rv::DialogEdit>& edits, int id)
{
    const std::string* text = EditOf(edits, id);
    return text ? *text : std::string();
}

void SetEdit(std::vector<rv::DialogEdit>& edits, int id, std::string text)
{
    if (std::string* edit = EditOf(edits, id))
        *edit = std::move(text);
    else
        edits.push_back({id, std::move(text)});
}

} // namespace

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

bool CViewPlatformWin::RunDialog(int templateId, std::vector<rv::DialogEdit>& edits)
{
    switch (templateId) {
    case rv::kSettingsDialog: {
        CSettingsDlg dlg;
        dlg.width = rv::ReadDialogNumber(EditText(edits, rv::kSettingsWidthEdit), 11);
        dlg.height = rv::ReadDialogNumber(EditText(edits, rv::kSettingsHeightEdit), 11);
        if (dlg.DoModal(owner_) != IDOK) return false;
        SetEdit(edits, rv::kSettingsWidthEdit, std::to_string(dlg.width));
        SetEdit(edits, rv::kSettingsHeightEdit, std::to_string(dlg.height));
        return true;
    }
    case rv::kSaveResultDialog:
    case rv::kSaveSampleDialog: {
        CSaveResultDlg result;
        CSaveSampleDlg sample;
        CSaveNameDlg& dlg = templateId == rv::kSaveResultDialog ? static_cast<CSaveNameDlg&>(result) : sample;
        if (dlg.DoModal(owner_) != IDOK) return false;
        SetEdit(edits, rv::kSaveNameEdit, dlg.name);
        return true;
    }
    default: return false;
    }
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
