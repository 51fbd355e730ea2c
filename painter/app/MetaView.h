#pragma once
// CMetaView: the tile picker, the narrow form view (template 133) in the
// right pane: the tiles of the back folder, a preview and the size of the
// selected one, and the buttons that make it (or a random tile) the drawing
// view's background. The logic is rv::CTilePicker's; the preview control
// paints what the picker holds.
#include "painter/app/view/TilePicker.h"
#include "win32/framework/View.h"

#include <memory>

class CMetaView : public fw::CFormView {
public:
    CMetaView();
    ~CMetaView() override;

    void OnInitialUpdate() override;
    // Activation empties the preview box until the selection changes.
    void OnActivateView(bool active) override;
    rv::CTilePicker& Picker() { return picker_; }

protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    bool OnControlNotify(UINT id, UINT code, HWND control) override;

private:
    class CPreviewBox;
    int Selection() const;
    void ShowSelection();
    void UseSelection();

    rv::CTilePicker picker_;
    std::unique_ptr<CPreviewBox> previewBox_;
};
