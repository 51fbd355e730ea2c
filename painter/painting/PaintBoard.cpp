#include "painter/painting/PaintBoard.h"

#include "painter/painting/ToolPanel.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace rv {

int TruncatedDistance(long long dx, long long dy)
{
    const long long n = dx * dx + dy * dy;
    long long s = static_cast<long long>(std::sqrt(static_cast<double>(n)));
    while (s > 0 && s * s > n) --s;
    while ((s + 1) * (s + 1) <= n) ++s;
    return static_cast<int>(std::min<long long>(s, INT_MAX));
}

// ---------------------------------------------------------------- CLasso

void CLasso::Reset()
{
    vertices_.clear();
    edges_.clear();
    open_ = false;
    bandShown_ = false;
}

void CLasso::EraseBand(IPaintSurface& dc)
{
    if (!bandShown_ || vertices_.empty()) return;
    const Point last = vertices_.back();
    dc.InvertLine(last.x, last.y, bandEnd_.x, bandEnd_.y);
    bandShown_ = false;
}

void CLasso::Press(int x, int y)
{
    if (x > board_.CanvasWidth() || y > board_.CanvasHeight()) return;
    if (board_.RegionActive()) {
        board_.ClearRegion();
        Reset();
        return;
    }
    if (!open_) {
        Reset();
        open_ = true;
        vertices_.push_back({x, y});
        return;
    }

    IPaintSurface* dc = board_.Screen();
    const std::size_t n = vertices_.size();
    const Point first = vertices_.front();
    const Point last = vertices_.back();
    const Point here{x, y};
    const bool closing = TruncatedDistance(static_cast<long long>(x) - first.x, static_cast<long long>(y) - first.y) <= 2;
    if (!closing) {
        // The rubber band left at this press becomes the new edge; when it
        // does not end here, the edge is drawn in its place.
        if (dc && !(bandShown_ && bandEnd_ == here)) {
            EraseBand(*dc);
            dc->InvertLine(last.x, last.y, x, y);
        }
        vertices_.push_back(here);
    } else {
        // Take the open polygon and its band off the screen.
        if (dc) {
            EraseBand(*dc);
            for (std::size_t i = 0; i + 1 < n; ++i)
                dc->InvertLine(vertices_[i].x, vertices_[i].y, vertices_[i + 1].x, vertices_[i + 1].y);
        }
        vertices_.push_back(first);
    }
    bandShown_ = false;

    board_.SetAnchor(vertices_[n - 1]);
    board_.SetCurrent(vertices_[n]);
    CPaintBoard::RasterLineInto(edges_, vertices_[n - 1], vertices_[n]);
    if (closing) {
        open_ = false;
        std::vector<Point> outline;
        outline.swap(edges_);
        board_.CloseRegion(std::move(outline));
    }
}

void CLasso::Move()
{
    IPaintSurface* dc = board_.Screen();
    if (!open_ || !dc) return;
    EraseBand(*dc);
    const Point last = vertices_.back();
    const Point current = board_.Current();
    dc->InvertLine(last.x, last.y, current.x, current.y);
    bandShown_ = true;
    bandEnd_ = current;
}

void CLasso::Redraw(IPaintSurface& dc) const
{
    if (!open_) return;
    for (std::size_t i = 0; i + 1 < vertices_.size(); ++i)
        dc.InvertLine(vertices_[i].x, vertices_[i].y, vertices_[i + 1].x, vertices_[i + 1].y);
    if (bandShown_) dc.InvertLine(vertices_.back().x, vertices_.back().y, bandEnd_.x, bandEnd_.y);
}

// ----------------------------------------------------------- CPaintBoard

CPaintBoard::CPaintBoard(int width, int height, CDibImage& depthMap)
    : gradientCircle_(*this), gradientRect_(*this), lasso_(*this), rectPainter_(*this), ellipsePainter_(*this),
      linePainter_(*this), pencilPainter_(*this), brushPainter_(*this), fill_(*this), eraser_(*this),
      depthMap_(&depthMap), canvasWidth_(width), canvasHeight_(height)
{
    const std::size_t room = 2 * static_cast<std::size_t>(std::max(0, width) + std::max(0, height));
    points_.reserve(room);
    outline_.reserve(room);
}

CPaintBoard::~CPaintBoard() = default;

void CPaintBoard::Resize(int width, int height, CDibImage& depthMap)
{
    std::vector<Point> points, outline;
    const std::size_t room = 2 * static_cast<std::size_t>(std::max(0, width) + std::max(0, height));
    points.reserve(room);
    outline.reserve(room);
    points_.swap(points);
    outline_.swap(outline);
    canvasWidth_ = width;
    canvasHeight_ = height;
    depthMap_ = &depthMap;
    DropRegion();
}

void CPaintBoard::DropRegion()
{
    outline_.clear();
    regionActive_ = false;
    RebuildRegionIndex();
    lasso_.Reset();
    bandShape_ = BandShape::None;
}

void CPaintBoard::RemoveRegion()
{
    if (regionActive_) ToggleOutline(nullptr);
    DropRegion();
}

void CPaintBoard::SetScrollOffset(int x, int y)
{
    const Point offset{x, y};
    if (offset == scrollOffset_) return;
    if (regionActive_) ToggleOutline(nullptr);
    scrollOffset_ = offset;
    if (regionActive_) ToggleOutline(nullptr);
}

void CPaintBoard::OnMouseDown(int x, int y, IPaintSurface& dc)
{
    dc_ = &dc;
    RemoveBand(); // a band left over from an unfinished gesture
    previous_ = current_;
    anchor_ = current_ = {x, y};
    switch (tool_) {
    case ToolFill: fill_.FloodFill(); break;
    case ToolEraser: eraser_.EraserBegin(); break;
    case ToolLasso: lasso_.Press(x, y); break;
    case ToolPicker: PickColour(*this); break;
    default: break;
    }
    dc_ = nullptr;
}

void CPaintBoard::OnMouseMove(int x, int y, IPaintSurface& dc)
{
    dc_ = &dc;
    previous_ = current_;
    current_ = {x, y};
    switch (tool_) {
    case ToolPencil: pencilPainter_.PencilStroke(); break;
    case ToolBrush: brushPainter_.BrushDab(); break;
    case ToolLine: linePainter_.LineBand(); break;
    case ToolGradientCircle: gradientCircle_.LineBand(); break;
    case ToolGradientRect: gradientRect_.LineBand(); break;
    case ToolRect:
    case ToolFilledRect: rectPainter_.RectBand(); break;
    case ToolEllipse:
    case ToolFilledEllipse: ellipsePainter_.EllipseBand(); break;
    case ToolEraser: eraser_.EraserDrag(); break;
    case ToolLasso: lasso_.Move(); break;
    default: break;
    }
    dc_ = nullptr;
}

void CPaintBoard::OnMouseUp(int x, int y, IPaintSurface& dc)
{
    dc_ = &dc;
    previous_ = current_;
    current_ = {x, y};
    switch (tool_) {
    case ToolLine: linePainter_.LineCommit(); break;
    case ToolGradientCircle: gradientCircle_.GradientCircle(); break;
    case ToolGradientRect: gradientRect_.GradientRect(); break;
    case ToolRect:
    case ToolFilledRect: rectPainter_.RectCommit(); break;
    case ToolEllipse:
    case ToolFilledEllipse: ellipsePainter_.EllipseCommit(); break;
    case ToolEraser: eraser_.EraserEnd(); break;
    default: break;
    }
    dc_ = nullptr;
}

void CPaintBoard::DrawBandFigure(IPaintSurface& dc, BandShape shape, Point a, Point b)
{
    switch (shape) {
    case BandShape::None: break;
    case BandShape::Line: dc.InvertLine(a.x, a.y, b.x, b.y); break;
    case BandShape::Rect:
    case BandShape::FilledRect: dc.InvertRectangle(a.x, a.y, b.x, b.y, shape == BandShape::Rect); break;
    case BandShape::Ellipse:
    case BandShape::FilledEllipse: dc.InvertEllipse(a.x, a.y, b.x, b.y, shape == BandShape::Ellipse); break;
    }
}

void CPaintBoard::RedrawOverlay(IPaintSurface& dc) const
{
    lasso_.Redraw(dc);
    DrawBandFigure(dc, bandShape_, bandA_, bandB_);
}

void CPaintBoard::ShowBand(BandShape shape, Point a, Point b)
{
    RemoveBand();
    if (!dc_) return;
    bandShape_ = shape;
    bandA_ = a;
    bandB_ = b;
    DrawBandFigure(*dc_, shape, a, b);
}

void CPaintBoard::RemoveBand()
{
    if (dc_) DrawBandFigure(*dc_, bandShape_, bandA_, bandB_);
    bandShape_ = BandShape::None;
}

bool CPaintBoard::InDepthMap(int x, int y) const
{
    const long long dx = static_cast<long long>(x) + scrollOffset_.x;
    const long long dy = static_cast<long long>(y) + scrollOffset_.y;
    return dx >= 0 && dx < depthMap_->Width() && dy >= 0 && dy < depthMap_->Height();
}

void CPaintBoard::Paint(int x, int y, Colour colour)
{
    if (dc_) dc_->SetPixel(x, y, colour);
    depthMap_->SetPixel(x + scrollOffset_.x, y + scrollOffset_.y, colour);
}

void CPaintBoard::PaintRow(int x, int y, const Colour* colours, int count)
{
    int i = 0;
    if (!regionActive_) {
        // The clip is the canvas less its edges: one range of the row.
        if (y <= 0 || y >= canvasHeight_) return;
        i = static_cast<int>(std::clamp<long long>(1LL - x, 0, std::max(count, 0)));
        count = static_cast<int>(std::clamp<long long>(static_cast<long long>(canvasWidth_) - x, 0, std::max(count, 0)));
    }
    while (i < count) {
        const auto paints = [&](int k) { return colours[k] != kNoPaint && (!regionActive_ || IsInside(x + k, y)); };
        while (i < count && !paints(i)) ++i;
        int end = i;
        while (end < count && paints(end)) ++end;
        if (end > i) {
            if (dc_) dc_->SetRow(x + i, y, colours + i, end - i);
            depthMap_->SetRow(x + i + scrollOffset_.x, y + scrollOffset_.y, colours + i, end - i);
        }
        i = end;
    }
}

Colour CPaintBoard::CurrentColour() const
{
    const int v = panel_ ? panel_->ColourValue() & 0xFF : 150;
    const bool blue = panel_ && panel_->IsBlue();
    const Colour c = static_cast<Colour>(v);
    return c | c << 8 | (blue ? 0xFFu : c) << 16;
}

bool CPaintBoard::IsInside(int x, int y) const
{
    if (!regionActive_) return x > 0 && x < canvasWidth_ && y > 0 && y < canvasHeight_;
    const long long col = static_cast<long long>(x) - indexOrigin_.x;
    const long long row = static_cast<long long>(y) - indexOrigin_.y;
    if (col < 0 || col >= indexWidth_ || row < 0 || row >= indexHeight_) return false;
    const Span& r = rowSpans_[static_cast<std::size_t>(row)];
    const Span& c = columnSpans_[static_cast<std::size_t>(col)];
    return r.low < x && r.high > x && c.low < y && c.high > y;
}

CPaintBoard::Box CPaintBoard::PaintableBox() const
{
    if (!regionActive_) return {1, 1, canvasWidth_ - 1, canvasHeight_ - 1};
    if (indexWidth_ == 0) return {0, 0, -1, -1};
    // Points on the index's edges have nothing beyond them: never inside.
    return {indexOrigin_.x + 1, indexOrigin_.y + 1, indexOrigin_.x + indexWidth_ - 2,
            indexOrigin_.y + indexHeight_ - 2};
}

void CPaintBoard::RebuildRegionIndex()
{
    rowSpans_.clear();
    columnSpans_.clear();
    indexWidth_ = indexHeight_ = 0;
    if (outline_.empty()) return;
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const Point& p : outline_) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    indexOrigin_ = {left, top};
    indexWidth_ = right - left + 1;
    indexHeight_ = bottom - top + 1;
    rowSpans_.assign(static_cast<std::size_t>(indexHeight_), Span{INT_MAX, INT_MIN});
    columnSpans_.assign(static_cast<std::size_t>(indexWidth_), Span{INT_MAX, INT_MIN});
    for (const Point& p : outline_) {
        Span& r = rowSpans_[static_cast<std::size_t>(p.y - top)];
        r.low = std::min(r.low, p.x);
        r.high = std::max(r.high, p.x);
        Span& c = columnSpans_[static_cast<std::size_t>(p.x - left)];
        c.low = std::min(c.low, p.y);
        c.high = std::max(c.high, p.y);
    }
}

bool CPaintBoard::InColumnSpan(int x, int y) const
{
    bool below = false, above = false;
    for (const Point& p : points_) {
        if (p.x != x) continue;
        below = below || p.y >= y;
        above = above || p.y <= y;
        if (below && above) return true;
    }
    return false;
}

bool CPaintBoard::NearStroke(int x, int y, int r) const
{
    for (const Point& p : points_)
        if (TruncatedDistance(static_cast<long long>(p.x) - x, static_cast<long long>(p.y) - y) < r) return true;
    return false;
}

void CPaintBoard::RasterLineInto(std::vector<Point>& list, Point a, Point b)
{
    if (a == b) return; // the division would be 0 / 0: no paintable point
    const int xl = std::min(a.x, b.x), xr = std::max(a.x, b.x);
    const int yt = std::min(a.y, b.y), yb = std::max(a.y, b.y);
    if (static_cast<long long>(xr) - xl > static_cast<long long>(yb) - yt) {
        const double slope = static_cast<double>(b.y - a.y) / static_cast<double>(b.x - a.x);
        for (long long x = xl; x <= xr; ++x)
            list.push_back({static_cast<int>(x), static_cast<int>(slope * static_cast<double>(x - a.x) + a.y)});
    } else {
        const double slope = static_cast<double>(b.x - a.x) / static_cast<double>(b.y - a.y);
        for (long long y = yt; y <= yb; ++y)
            list.push_back({static_cast<int>(slope * static_cast<double>(y - a.y) + a.x), static_cast<int>(y)});
    }
}

void CPaintBoard::RasterLine() { RasterLineInto(points_, anchor_, current_); }

void CPaintBoard::RasterEllipse()
{
    const int xl = std::min(anchor_.x, current_.x), xr = std::max(anchor_.x, current_.x);
    const int yt = std::min(anchor_.y, current_.y), yb = std::max(anchor_.y, current_.y);
    const int cx = static_cast<int>((static_cast<double>(xl) + xr) * 0.5);
    const int cy = static_cast<int>((static_cast<double>(yt) + yb) * 0.5);
    const double a = (static_cast<double>(xr) - xl) * 0.5;
    const double b = (static_cast<double>(yb) - yt) * 0.5;
    const double aa = a * a, bb = b * b;
    // Where the root has no real value (a column just beyond the half axis,
    // or a box of no width) the pass adds no point.
    for (long long x = xl; x <= xr; ++x) {
        const double g = static_cast<double>(cx - x);
        const double radicand = bb - (bb / aa) * (g * g);
        if (!(radicand >= 0)) continue;
        const int h = static_cast<int>(std::sqrt(radicand));
        points_.push_back({static_cast<int>(x), cy + h});
        points_.push_back({static_cast<int>(x), cy - h});
    }
    for (long long y = static_cast<long long>(yt) + 1; y <= static_cast<long long>(yb) - 1; ++y) {
        const double g = static_cast<double>(cy - y);
        const double radicand = aa - (aa / bb) * (g * g);
        if (!(radicand >= 0)) continue;
        const int h = static_cast<int>(std::sqrt(radicand));
        points_.push_back({cx + h, static_cast<int>(y)});
        points_.push_back({cx - h, static_cast<int>(y)});
    }
}

void CPaintBoard::ToggleOutline() { ToggleOutline(dc_); }

void CPaintBoard::ToggleOutline(IPaintSurface* dc)
{
    // Dashes of four points with gaps of four. The colour under a dash is
    // taken from the depth map, which the screen shows there; points beyond
    // the depth map get no dash.
    for (std::size_t i = 0; i < outline_.size(); ++i) {
        if (i % 8 >= 4) continue;
        const Point p = outline_[i];
        if (!InDepthMap(p.x, p.y)) continue;
        const Colour inverted = DepthAt(p.x, p.y) ^ 0xFFFFFF;
        if (dc) dc->SetPixel(p.x, p.y, inverted);
        depthMap_->SetPixel(p.x + scrollOffset_.x, p.y + scrollOffset_.y, inverted);
    }
}

void CPaintBoard::CloseRegion(std::vector<Point>&& outline)
{
    outline_ = std::move(outline);
    regionActive_ = true;
    RebuildRegionIndex();
    ToggleOutline(dc_);
}

void CPaintBoard::ClearRegion()
{
    ToggleOutline(dc_);
    outline_.clear();
    regionActive_ = false;
    RebuildRegionIndex();
}

} // namespace rv
