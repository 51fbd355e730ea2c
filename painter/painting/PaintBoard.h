#pragma once
// The paint board: turns the drawing view's mouse gestures into depth-map
// pixels. Every painted pixel is written twice, on the screen at the view
// point and into the depth map at the view point plus the scroll offset.
#include "painter/image/DibImage.h"
#include "painter/image/DrawSurface.h"
#include "painter/painting/PaintTools.h"

#include <memory>
#include <vector>

namespace rv {

class CToolPanel;

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

enum ToolId : int {
    ToolNone = 0,
    ToolPencil = 1,
    ToolLine = 2,
    ToolRect = 3,
    ToolEllipse = 4,
    ToolFill = 5,
    ToolEraser = 6,
    ToolFilledRect = 7,
    ToolFilledEllipse = 8,
    ToolLasso = 9,
    ToolGradientCircle = 10,
    ToolGradientRect = 11,
    ToolPicker = 12,
    ToolBrush = 13,
};
constexpr int kToolCount = 14;

// The distance between two points truncated toward zero.
int TruncatedDistance(long long dx, long long dy);

// The lasso: the polygon of the clicked vertices, closed by a press within 2
// pixels of the first one. While open it keeps its edges in a list of its
// own; once closed they become the board's region outline.
class CLasso {
public:
    explicit CLasso(CPaintBoard& board) : board_(board) {}

    void Press(int x, int y);
    void Move();
    // Forgets the lasso without touching the screen or the depth map.
    void Reset();
    // Draws the open polygon and its rubber band again after a repaint.
    void Redraw(IPaintSurface& dc) const;

    bool IsOpen() const { return open_; }
    const std::vector<Point>& Vertices() const { return vertices_; }
    const std::vector<Point>& Edges() const { return edges_; }

private:
    void EraseBand(IPaintSurface& dc);

    CPaintBoard& board_;
    std::vector<Point> vertices_;
    std::vector<Point> edges_;
    bool open_ = false;
    bool bandShown_ = false; // a rubber band runs from the last vertex to bandEnd_
    Point bandEnd_;
};

class CPaintBoard {
public:
    CPaintBoard(int width, int height, CDibImage& depthMap);
    ~CPaintBoard();
    CPaintBoard(const CPaintBoard&) = delete;
    CPaintBoard& operator=(const CPaintBoard&) = delete;

    // Takes a new canvas size and depth map; the region and any open lasso
    // are dropped with the old picture.
    void Resize(int width, int height, CDibImage& depthMap);
    void SetTool(int id) { tool_ = id; }
    int GetTool() const { return tool_; }
    void SetPenWidth(int width) { penWidth_ = width; }
    int PenWidth() const { return penWidth_; }
    void SetPanel(CToolPanel* panel) { panel_ = panel; }
    CToolPanel* Panel() const { return panel_; }
    // The region's dashes are part of the depth map under the region, so
    // when the offset changes they are taken away from under the old
    // position and put under the new one.
    void SetScrollOffset(int x, int y);
    Point ScrollOffset() const { return scrollOffset_; }

    void OnMouseDown(int x, int y, IPaintSurface& dc);
    void OnMouseMove(int x, int y, IPaintSurface& dc);
    void OnMouseUp(int x, int y, IPaintSurface& dc);

    // For when the depth map has just been whitened: forgets the region and
    // any open lasso without writing anything.
    void DropRegion();
    // Takes the region's dashes out of the depth map (the screen catches up
    // at the next repaint), then forgets the region and any open lasso: for
    // when a new depth map is about to be made from this one.
    void RemoveRegion();
    // Inverts the region's dashes in the depth map only (twice changes
    // nothing): the depth map without them, for keeping it aside.
    void ToggleRegionDashes()
    {
        if (regionActive_) ToggleOutline(nullptr);
    }
    // Called by the view after it has repainted: draws again what exists on
    // the screen only (an open lasso, a rubber band being dragged).
    void RedrawOverlay(IPaintSurface& dc) const;

    // Shared operations of the tools.
    bool IsInside(int x, int y) const;
    // The smallest box (edges included) that holds every point IsInside
    // accepts; empty (right < left) when there is none. Figures dragged far
    // beyond the canvas are painted by looking at this box only.
    struct Box {
        int left, top, right, bottom;
    };
    Box PaintableBox() const;
    bool InColumnSpan(int x, int y) const;
    bool NearStroke(int x, int y, int r) const;
    void RasterLine();
    void RasterEllipse();
    void ToggleOutline();
    // The double write: the screen at (x, y), the depth map at (x, y) plus
    // the scroll offset.
    void Paint(int x, int y, Colour colour);
    // Paint for a row: colours[i] at (x + i, y) wherever it is not kNoPaint
    // and IsInside holds, each run of such pixels written at once.
    static constexpr Colour kNoPaint = 0xFFFFFFFF;
    void PaintRow(int x, int y, const Colour* colours, int count);
    Colour DepthAt(int x, int y) const { return depthMap_->GetPixel(x + scrollOffset_.x, y + scrollOffset_.y); }
    bool InDepthMap(int x, int y) const;
    // The panel's colour value in its family; black 150 without a panel.
    Colour CurrentColour() const;

    // Rubber bands, on the screen only. The board remembers the band on the
    // screen, so drawing the next one removes exactly that one.
    enum class BandShape { None, Line, Rect, FilledRect, Ellipse, FilledEllipse };
    void ShowBand(BandShape shape, Point a, Point b);
    void RemoveBand();

    Point Anchor() const { return anchor_; }
    Point Previous() const { return previous_; }
    Point Current() const { return current_; }
    void SetAnchor(Point p) { anchor_ = p; }
    void SetCurrent(Point p) { current_ = p; }
    int CanvasWidth() const { return canvasWidth_; }
    int CanvasHeight() const { return canvasHeight_; }
    CDibImage& DepthMap() { return *depthMap_; }
    const CDibImage& DepthMap() const { return *depthMap_; }
    IPaintSurface* Screen() const { return dc_; }
    std::vector<Point>& Points() { return points_; }
    const std::vector<Point>& Points() const { return points_; }
    const std::vector<Point>& Outline() const { return outline_; }
    bool RegionActive() const { return regionActive_; }
    const CLasso& Lasso() const { return lasso_; }
    const CEraser& Eraser() const { return eraser_; }

    // Appends the points of the segment a-b to list.
    static void RasterLineInto(std::vector<Point>& list, Point a, Point b);
    // Makes the points of list the region's outline and draws its dashes.
    void CloseRegion(std::vector<Point>&& outline);
    // Removes the dashes and forgets the region.
    void ClearRegion();

private:
    void ToggleOutline(IPaintSurface* dc);
    static void DrawBandFigure(IPaintSurface& dc, BandShape shape, Point a, Point b);
    void RebuildRegionIndex();

    std::vector<Point> points_;
    std::vector<Point> outline_;
    Point anchor_, previous_, current_, scrollOffset_;
    CStrokePainter gradientCircle_, gradientRect_;
    CLasso lasso_;
    CStrokePainter rectPainter_, ellipsePainter_, linePainter_, pencilPainter_, brushPainter_;
    CFloodFill fill_;
    CEraser eraser_;
    CDibImage* depthMap_;
    IPaintSurface* dc_ = nullptr;
    CToolPanel* panel_ = nullptr;
    int canvasWidth_;
    int canvasHeight_;
    int penWidth_ = 1;
    int tool_ = ToolNone;
    bool regionActive_ = false;

    BandShape bandShape_ = BandShape::None;
    Point bandA_, bandB_;

    // The region's outline by row and by column: for each row the leftmost
    // and rightmost outline point, for each column the top and bottom one.
    // The clip test then asks the same four questions without a scan.
    struct Span {
        int low, high;
    };
    Point indexOrigin_;
    int indexWidth_ = 0, indexHeight_ = 0;
    std::vector<Span> rowSpans_, columnSpans_;
};

} // namespace rv
