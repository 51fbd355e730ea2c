// Modeless dialogs: creation and the message loop's keyboard handling. Apart
// from the rest of CDialog, so a program of modal dialogs links none of it.
#include "win32/framework/Dialog.h"
#include "win32/framework/ModelessDialogs.h"

namespace fw {

using detail::Modeless;

bool CDialog::Create(HWND parent)
{
    if (Hwnd()) return false;
    modal_ = false;
    result_ = 0;
    HWND window = CreateDialogParamW(ResourceInstance(), MAKEINTRESOURCEW(templateId_), parent,
                                     &CDialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    if (!window) return false;
    Modeless().push_back(window);
    return true;
}

bool IsModelessDialogMessage(MSG& msg)
{
    for (HWND dialog : Modeless()) {
        if (dialog == msg.hwnd || IsChild(dialog, msg.hwnd)) return IsDialogMessageW(dialog, &msg) != FALSE;
    }
    return false;
}

} // namespace fw
