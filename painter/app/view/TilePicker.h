#pragma once
// The tile picker's portable part: the list of tiles in the back folder, the
// preview and size of the selected tile, and making the chosen tile (or a
// random one) the drawing view's background.
//
// How a window shell uses it (the Win32 CMetaView is such a shell): after its
// own initial update it calls OnInitialUpdate and puts Names() into the list
// box 1005; on a selection change it calls OnSelectionChange with the list's
// selected index and the preview control 1010 as a surface, then shows
// WidthText() and HeightText() in the fields 1007 and 1008; a double click or
// the OK button 1006 calls OnUseTile with the selected index (-1 for none);
// the random button 1009 calls OnRandom. On activation the shell invalidates
// itself (the preview is not part of the repaint).
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
    // ".\back\b<n>.bmp" opens.
    void OnInitialUpdate();
    const std::vector<std::string>& Names() const { return names_; }

    // Paints the bottom-left 50 x 95 pixels of the selected tile upright at
    // the preview's top-left (a smaller tile shows whole there, the rest of
    // the preview untouched) and reads the width and height stored in the
    // file for the size fields. A tile that cannot be opened shows
    // "file not exist!". Nothing happens for index -1 (no selection).
    void OnSelectionChange(int index, IPaintSurface& preview);
    const std::string& WidthText() const { return widthText_; }
    const std::string& HeightText() const { return heightText_; }

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
};

} // namespace rv
