#pragma once
// The tile picker's portable part: the list of tiles in the back folder, the
// preview and size of the selected tile, and making the chosen tile (or a
// random one) the drawing view's background.
//
// How a window shell uses it (the Win32 CMetaView is such a shell): after its
// own initial update it calls OnInitialUpdate and puts Names() into the list
// box 1005; on a selection change it calls OnSelectionChange with the list's
// selected index, shows WidthText() and HeightText() in the fields 1007 and
// 1008 and repaints the preview control 1010, whose painting is
// PaintPreview; a double click or the OK button 1006 calls OnUseTile with the
// selected index (-1 for none); the random button 1009 calls OnRandom. When
// the view is activated it calls OnActivate and repaints itself: the preview
// box is then empty until the selection changes. Because the box shows what
// the picker holds, the selection that activated the view (a click on the
// list) shows its preview whichever of the two repaints comes first.
#include "painter/image/DibImage.h"
#include "painter/image/DrawSurface.h"

#include <string>
#include <vector>

namespace rv {

class CDrawingView;

class CTilePicker {
public:
    enum Control {
        IdList = 1005,
        IdOk = 1006,
        IdWidth = 1007,
        IdHeight = 1008,
        IdRandom = 1009,
        IdPreview = 1010,
    };
    static constexpr int kPreviewWidth = 50;
    static constexpr int kPreviewHeight = 95;
    // The list ends at the first missing number, and at this many tiles.
    static constexpr int kMaxTiles = 9999;

    // The drawing view is found later (the splitter's first pane).
    void SetView(CDrawingView* view) { view_ = view; }

    // Fills the list: "b1.bmp", "b2.bmp", ... for as long as
    // ".\back\b<n>.bmp" opens, or where that BMP is missing the PNG or
    // JPEG of the same number ("b3.png", "b4.jpg").
    void OnInitialUpdate();
    const std::vector<std::string>& Names() const { return names_; }

    // Reads the selected tile for the preview box, the bottom-left 50 x 95
    // pixels upright at its top-left (a smaller tile whole there, nothing
    // around it), and reads the width and height stored in the file for the
    // size fields. A tile that cannot be opened shows "file not exist!".
    // Nothing happens for index -1 (no selection).
    void OnSelectionChange(int index);
    const std::string& WidthText() const { return widthText_; }
    const std::string& HeightText() const { return heightText_; }
    // The view was activated: the preview box is empty until the selection
    // changes.
    void OnActivate();
    // Paints the whole 50 x 95 preview box at the surface's top-left: the
    // tile's pixels where it has them, `empty` everywhere else, so nothing
    // of an earlier tile stays around a smaller one.
    void PaintPreview(IPaintSurface& box, Colour empty) const;

    // The selected tile becomes the view's tile path and the view runs
    // Initialise. With nothing selected (-1) nothing changes.
    void OnUseTile(int index);
    // The view's RandomBackground.
    void OnRandom();

private:
    CDrawingView* view_ = nullptr;
    std::vector<std::string> names_;
    std::string widthText_;
    std::string heightText_;
    // The tile's part of the preview box (row by row from the top), and its
    // size; 0 x 0 while the box is empty.
    std::vector<Colour> preview_;
    int previewWidth_ = 0;
    int previewHeight_ = 0;
};

} // namespace rv
