#pragma once
// Replays a gesture script through the drawing view in the painting stage:
// tool choices, panel changes, scrolling, mouse presses, moves and releases,
// and clearing the drawing. One command a line; blank lines and lines
// beginning with '#' are ignored; words are separated by blanks.
//
//   tool NAME           none pencil brush line rect filled-rect ellipse
//                       filled-ellipse fill eraser lasso gradient-circle
//                       gradient-rect picker
//   panel SETTING VALUE pen-width 1-100, eraser-width 2-300,
//                       eraser-kind soft|circular|square, curve 0-200,
//                       low-left|low-middle|low-right 0|1, c1 10-240,
//                       c2 0-240, family black|blue, value 0-255
//   scroll X Y          X below the depth map's width, Y below its height
//   down X Y, move X Y, up X Y   a point of the view, 0 to 32767 each
//   clear
//   undo, redo          the last step (a gesture, a clear) and back; an
//                       error when there is none
#include "painter/app/view/DrawingView.h"
#include "painter/app/view/WorkflowState.h"
#include "painter/image/DibImage.h"
#include "painter/painting/MemorySurface.h"

#include <memory>
#include <string>
#include <string_view>

namespace rv {

class CPaintScriptPlayer : private IViewHost {
public:
    // The largest client coordinate a pointer point may have.
    static constexpr int kMaxPointer = 32767;

    // The view is set up in the painting stage around the depth map. The
    // screen holds the depth map and its frame, two pixels wider and higher
    // than the map; beyond it the view's background is white, and a point
    // there reads white and keeps nothing drawn on it.
    explicit CPaintScriptPlayer(std::unique_ptr<CDibImage> depthMap);

    // Runs a whole script. On a malformed line stops there and returns false
    // with problem "line N: ...".
    bool Run(std::string_view script, std::string& problem);
    // Runs one line; problem without the line number.
    bool RunLine(std::string_view line, std::string& problem);

    const CDibImage& DepthMap() const { return view_.DepthMap(); }
    const CMemorySurface& Screen() const { return screen_; }
    CDrawingView& View() { return view_; }
    int WaitCursors() const { return waitCursors_; }

private:
    void Invalidate() override { invalid_ = true; }
    void BeginWaitCursor() override { ++waitCursors_; }
    void EndWaitCursor() override {}
    void Repaint();
    void PanelChanged();
    bool Panel(std::string_view setting, std::string_view value, std::string& problem);

    CWorkflowState state_;
    CDrawingView view_;
    CMemorySurface screen_;
    Point pointer_;
    bool invalid_ = false;
    int waitCursors_ = 0;
};

} // namespace rv
