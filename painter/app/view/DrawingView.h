#pragma once
// The drawing view's portable part: the depth map, the paint board and the
// settings panel it owns, which commands each workflow stage enables, how
// mouse input reaches the board, scrolling, repainting and clearing the
// drawing. The window wraps it and supplies the screen and the host.
#include "painter/app/view/ViewCommands.h"
#include "painter/app/view/WorkflowState.h"
#include "painter/image/DibImage.h"
#include "painter/image/DrawSurface.h"
#include "painter/painting/PaintBoard.h"
#include "painter/painting/ToolPanel.h"

#include <memory>

namespace rv {

// What the view needs of its window.
class IViewHost {
public:
    virtual ~IViewHost() = default;
    // Asks for a repaint of the whole client area.
    virtual void Invalidate() = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

class CDrawingView {
public:
    // Takes the depth map (an empty picture when none is given) and makes
    // the board for its size.
    CDrawingView(CWorkflowState& state, IViewHost& host, std::unique_ptr<CDibImage> depthMap);
    CDrawingView(const CDrawingView&) = delete;
    CDrawingView& operator=(const CDrawingView&) = delete;

    // After the window exists: sets up the panel and hands it to the board.
    void OnInitialUpdate();

    // Commands: whether a stage enables one, whether its entry is checked,
    // and running the ones the view itself carries out. OnCommand returns
    // false for a disabled command or one handled elsewhere.
    bool IsCommandEnabled(int command) const;
    bool IsCommandChecked(int command) const;
    bool OnCommand(int command);
    void SetTool(int tool) { board_.SetTool(tool); }

    // Mouse input in client coordinates, with the client-area screen.
    void OnLButtonDown(int x, int y, IPaintSurface& dc);
    void OnLButtonUp(int x, int y, IPaintSurface& dc);
    void OnMouseMove(int x, int y, IPaintSurface& dc);
    void OnKeyDown(int key);
    // After the window has scrolled to (x, y).
    void OnScroll(int x, int y);
    // Paints the client area (dc in client coordinates; the scroll position
    // is applied here).
    void OnDraw(IPaintSurface& dc) const;
    // "Show background": the background at once at the client area's
    // origin, whatever the stage; the next repaint shows the usual content.
    void ShowBackground(IPaintSurface& dc) const;
    // The cursor resource for the client area, kCursorDefault for the
    // window's own.
    int CursorResource() const;

    // Import and settings: a complete new depth map replaces the old one.
    // When the new map is made from the old one's pixels, the board's
    // RemoveRegion must come first, so that no dashes are carried over.
    void ReplaceDepthMap(std::unique_ptr<CDibImage> depthMap);
    // The picture shown outside the painting stage (not owned).
    void SetBackground(const CDibImage* background) { background_ = background; }
    // The area the painting stage frames: pictureWidth - period by
    // pictureHeight. It follows the picture size and the period, which may
    // change (another tile, a random tile) while the depth map keeps its
    // size; until it is set it is the depth map's size.
    void SetPictureArea(int width, int height) { pictureArea_ = {width, height}; }

    CDibImage& DepthMap() { return *depthMap_; }
    const CDibImage& DepthMap() const { return *depthMap_; }
    CPaintBoard& Board() { return board_; }
    const CPaintBoard& Board() const { return board_; }
    CToolPanel& Panel() { return panel_; }
    Point ScrollPos() const { return scrollPos_; }

private:
    void ClearDrawing();

    CWorkflowState& state_;
    IViewHost& host_;
    std::unique_ptr<CDibImage> depthMap_;
    const CDibImage* background_ = nullptr;
    CToolPanel panel_;
    CPaintBoard board_;
    Point scrollPos_;
    Point pictureArea_;
};

} // namespace rv
