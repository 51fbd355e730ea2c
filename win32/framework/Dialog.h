#pragma once
// Dialogs from resource templates, modal (DialogBoxParamW) or modeless
// (CreateDialogParamW), with one visible DialogProc switch per dialog class.
//
//   class CNameDlg : public fw::CDialog {
//   public:
//       CNameDlg() : CDialog(IDD_NAME) {}
//       std::string name;                        // GB2312
//   protected:
//       void DoDataExchange(fw::CDataExchange& dx) override { dx.Text(IDC_NAME, name, 254); }
//       bool OnCommand(UINT id) override { ... return true when handled; }
//       INT_PTR DialogProc(UINT m, WPARAM w, LPARAM l) override {
//           switch (m) {
//           case WM_HSCROLL: ...; return TRUE;
//           }
//           return DialogProcDefault(m, w, l);
//       }
//   };
//   CNameDlg dlg;  if (dlg.DoModal(owner) == IDOK) use(dlg.name);
//
// DialogProcDefault: WM_INITDIALOG runs OnInitDialog; WM_COMMAND of IDOK and
// IDCANCEL (buttons, Enter, Esc, the close box) run OnOK and OnCancel; other
// commands go to OnCommand (menus, accelerators) or OnControlNotify
// (controls; a button click becomes OnCommand); WM_NOTIFY goes to OnNotify.
// Everything else gets the dialog manager's default handling.
//
// A modal dialog's window exists while DoModal runs; a modeless dialog's
// from Create until Destroy (or the object's destructor). Keyboard navigation
// in modeless dialogs needs the message loop to call IsModelessDialogMessage.
#include "win32/framework/Wnd.h"

namespace fw {

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId) : templateId_(templateId) {}
    ~CDialog() override;

    // Runs the dialog modally, owned by parent (may be null); returns the
    // value given to EndDialog (IDOK, IDCANCEL ...), or -1 when the dialog
    // cannot be made (no such template, or a dialog already open).
    INT_PTR DoModal(HWND parent = nullptr);
    // Makes the dialog modeless, owned by parent (a child of it when the
    // template has WS_CHILD); shown when the template says WS_VISIBLE. False
    // when it cannot be made.
    bool Create(HWND parent = nullptr);

    // Ends the dialog with a result. Modal: DoModal returns it. Modeless: the
    // window is hidden and the result kept (Result()); Destroy() ends it.
    void EndDialog(INT_PTR result);
    bool IsModal() const { return modal_; }
    INT_PTR Result() const { return result_; }
    UINT TemplateId() const { return templateId_; }

protected:
    // The one message switch of a dialog class: return TRUE when the message
    // is handled (or its value for the few messages that return one), and
    // end with DialogProcDefault.
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR DialogProcDefault(UINT message, WPARAM wParam, LPARAM lParam);

    // Controls exist: show the fields (UpdateData(false)). Return true to let
    // the dialog manager put the focus on the first control, false when the
    // dialog set the focus itself.
    virtual bool OnInitDialog();
    // Read the fields (UpdateData(true)) and end with IDOK; stay open when a
    // field cannot be read.
    virtual void OnOK();
    // End with IDCANCEL; the fields keep their values.
    virtual void OnCancel();

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    bool modal_ = false;
    INT_PTR result_ = 0;
};

// For the message loop: gives the message to the modeless dialog it is for
// (keyboard navigation, Enter and Esc); true when a dialog took it.
bool IsModelessDialogMessage(MSG& msg);

} // namespace fw
