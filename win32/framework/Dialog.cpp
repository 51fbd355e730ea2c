// CDialog: modal and modeless dialogs from resource templates (creating a
// modeless one and its keyboard handling: ModelessDialog.cpp).
#include "win32/framework/Dialog.h"
#include "win32/framework/ModelessDialogs.h"

#include <algorithm>
#include <vector>

namespace fw {

namespace {
// Open modeless dialogs, for IsModelessDialogMessage. At namespace scope: an
// empty vector is constant-initialised, so it needs no guard at first use.
std::vector<HWND> modelessDialogs;

void ForgetModeless(HWND window)
{
    auto& dialogs = detail::Modeless();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), window), dialogs.end());
}
} // namespace

std::vector<HWND>& detail::Modeless()
{
    return modelessDialogs;
}

CDialog::~CDialog()
{
    if (Hwnd()) ForgetModeless(Hwnd());
}

INT_PTR CDialog::DoModal(HWND parent)
{
    if (Hwnd()) return -1;
    modal_ = true;
    result_ = -1;
    const INT_PTR result = DialogBoxParamW(ResourceInstance(), MAKEINTRESOURCEW(templateId_), parent,
                                           &CDialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    // DialogBoxParamW gives 0 or -1 when the dialog could not be made.
    return result == 0 && result_ == -1 ? -1 : result;
}

void CDialog::EndDialog(INT_PTR result)
{
    result_ = result;
    if (!Hwnd()) return;
    if (modal_)
        ::EndDialog(Hwnd(), result);
    else
        ShowWindow(Hwnd(), SW_HIDE);
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<CDialog*>(FromHandle(window));
    if (!self && message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        self->Bind(window);
        if (self->modal_) self->result_ = 0;
    }
    if (!self) return FALSE; // the few messages before WM_INITDIALOG
    if (message == WM_NCDESTROY) {
        const INT_PTR result = self->DialogProc(message, wParam, lParam);
        ForgetModeless(window);
        self->Unbind();
        self->OnFinalDestroy();
        return result;
    }
    return self->DialogProc(message, wParam, lParam);
}

INT_PTR CDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DialogProcDefault(message, wParam, lParam);
}

INT_PTR CDialog::DialogProcDefault(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        const HWND control = reinterpret_cast<HWND>(lParam);
        if (!control || code == BN_CLICKED) {
            if (id == IDOK) {
                OnOK();
                return TRUE;
            }
            if (id == IDCANCEL) {
                OnCancel();
                return TRUE;
            }
        }
        const bool handled = control ? OnControlNotify(id, code, control) : OnCommand(id);
        return handled ? TRUE : FALSE;
    }
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return FALSE;
        SetWindowLongPtrW(Hwnd(), DWLP_MSGRESULT, result);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::OnOK()
{
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

} // namespace fw
