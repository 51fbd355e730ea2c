#pragma once
// The floating settings panel's window "作图设置" (dialog 146, modeless, a
// pop-up owned by the drawing view's window): it shows the panel model's
// control states, hands every click, slider move and other notification to
// the model (each followed by the model's refresh) and draws the gradient
// strip and the colour swatch from the model.
#include "painter/painting/ToolPanel.h"
#include "win32/framework/Dialog.h"

#include <memory>

class CToolPanelDlg : public fw::CDialog {
public:
    explicit CToolPanelDlg(rv::CToolPanel& model);
    ~CToolPanelDlg() override;

    // Makes the window beside the view and sets the controls from the model.
    bool Create(HWND view);
    // After the view's mouse events (the colour picker changes the colour
    // settings): sets the controls whose state the model changed since they
    // were last shown, and repaints the previews when the model has been
    // refreshed since they were drawn. A mouse move that changes nothing
    // sends the controls nothing.
    void Sync();

protected:
    bool OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnControlNotify(UINT id, UINT code, HWND control) override;
    // Enter and Esc must not hide the panel: it has no OK or cancel.
    void OnOK() override {}
    void OnCancel() override {}

private:
    class CPreview;
    // Sets the given controls (every one after the user's own click or
    // slide, which changes the control itself) and repaints the previews
    // when the model has changed.
    void SetControls(const rv::PanelControlStates& states);
    void SyncAll();
    void WidenForStrip();

    rv::CToolPanel& model_;
    std::unique_ptr<CPreview> strip_;
    std::unique_ptr<CPreview> swatch_;
    HICON icons_[3] = {};
    int drawnRevision_ = -1;
    rv::PanelControlStates shown_; // what the controls were last set to
    bool syncing_ = false;
};
