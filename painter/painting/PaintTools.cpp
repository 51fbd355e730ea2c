#include "painter/painting/PaintTools.h"

#include "painter/painting/PaintBoard.h"
#include "painter/painting/ToolPanel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

namespace rv {
namespace {

using Band = CPaintBoard::BandShape;

// The range start - half .. start + half of a square around a point, held
// inside the depth map: a negative start becomes 1, the end stops at the
// last column or row.
struct Range {
    int first, last;
};
Range SquareRange(int centre, int half, int size)
{
    int first = centre - half;
    if (first < 0) first = 1;
    return {first, std::min(centre + half, size - 1)};
}

} // namespace

// ---------------------------------------------------------------- pencil

void CStrokePainter::PencilStroke()
{
    CPaintBoard& b = board_;
    b.RasterLine();
    const Colour c = b.CurrentColour();
    if (b.PenWidth() < 2) {
        for (const Point& p : b.Points())
            if (b.IsInside(p.x, p.y)) b.Paint(p.x, p.y, c);
    } else {
        const int half = b.PenWidth() / 2;
        const Point start = b.Anchor();
        const Range xs = SquareRange(start.x, half, b.DepthMap().Width());
        const Range ys = SquareRange(start.y, half, b.DepthMap().Height());
        // Only stroke points within half a pen of the square can be near one
        // of its pixels; a long stroke need not be searched whole for each.
        std::vector<Point>& points = b.Points();
        points.erase(std::remove_if(points.begin(), points.end(),
                                    [&](const Point& p) {
                                        return p.x < xs.first - half || p.x > xs.last + half ||
                                               p.y < ys.first - half || p.y > ys.last + half;
                                    }),
                     points.end());
        for (int x = xs.first; x <= xs.last; ++x)
            for (int y = ys.first; y <= ys.last; ++y)
                if (b.NearStroke(x, y, half) && b.IsInside(x, y)) b.Paint(x, y, c);
    }
    b.Points().clear();
    b.SetAnchor(b.Current());
}

// ----------------------------------------------------------------- brush

void CStrokePainter::BrushDab()
{
    CPaintBoard& b = board_;
    const CToolPanel* panel = b.Panel();
    if (b.PenWidth() < 2 || !panel) return;
    const int half = b.PenWidth() / 2;
    const Point centre = b.Current();
    const Range xs = SquareRange(centre.x, half, b.DepthMap().Width());
    const Range ys = SquareRange(centre.y, half, b.DepthMap().Height());
    for (int x = xs.first; x <= xs.last; ++x)
        for (int y = ys.first; y <= ys.last; ++y) {
            const int g = TruncatedDistance(static_cast<long long>(x) - centre.x, static_cast<long long>(y) - centre.y);
            if (g > half || !b.IsInside(x, y)) continue;
            const double t = (0.5 - static_cast<double>(g) / half) * 2;
            const Colour c = panel->RampColour(static_cast<float>(t));
            const Colour old = b.DepthAt(x, y);
            if (old == kWhite || old < c) b.Paint(x, y, c);
        }
}

// ------------------------------------------------------------------ line

void CStrokePainter::LineBand() { board_.ShowBand(Band::Line, board_.Anchor(), board_.Current()); }

void CStrokePainter::LineCommit()
{
    CPaintBoard& b = board_;
    b.RemoveBand();
    b.RasterLine();
    const Colour c = b.CurrentColour();
    for (const Point& p : b.Points())
        if (b.IsInside(p.x, p.y)) b.Paint(p.x, p.y, c);
    b.Points().clear();
}

// ------------------------------------------------------------ rectangles

void CStrokePainter::RectBand()
{
    const bool filled = board_.GetTool() == ToolFilledRect;
    board_.ShowBand(filled ? Band::FilledRect : Band::Rect, board_.Anchor(), board_.Current());
}

void CStrokePainter::RectCommit()
{
    CPaintBoard& b = board_;
    b.RemoveBand();
    const bool filled = b.GetTool() == ToolFilledRect;
    const Point a = b.Anchor(), z = b.Current();
    const int xl = std::min(a.x, z.x), xr = std::max(a.x, z.x);
    const int yt = std::min(a.y, z.y), yb = std::max(a.y, z.y);
    const Colour c = b.CurrentColour();
    const CPaintBoard::Box box = b.PaintableBox();
    for (int x = std::max(xl, box.left); x <= std::min(xr, box.right); ++x) {
        const bool side = x == xl || x == xr;
        for (int y = std::max(yt, box.top); y <= std::min(yb, box.bottom); ++y) {
            if (!filled && !side && y != yt && y != yb) continue;
            if (b.IsInside(x, y)) b.Paint(x, y, c);
        }
    }
}

// -------------------------------------------------------------- ellipses

void CStrokePainter::EllipseBand()
{
    const bool filled = board_.GetTool() == ToolFilledEllipse;
    board_.ShowBand(filled ? Band::FilledEllipse : Band::Ellipse, board_.Anchor(), board_.Current());
}

void CStrokePainter::EllipseCommit()
{
    CPaintBoard& b = board_;
    b.RemoveBand();
    const Colour c = b.CurrentColour();
    b.RasterEllipse();
    for (const Point& p : b.Points())
        if (b.IsInside(p.x, p.y)) b.Paint(p.x, p.y, c);
    if (b.GetTool() == ToolFilledEllipse) {
        const Point a = b.Anchor(), z = b.Current();
        const int xl = std::min(a.x, z.x), xr = std::max(a.x, z.x);
        const int yt = std::min(a.y, z.y), yb = std::max(a.y, z.y);
        // The outline's top and bottom in each column of the box, so each
        // column span test needs no scan of the list.
        struct Span {
            int top = INT_MAX, bottom = INT_MIN;
        };
        std::vector<Span> spans(static_cast<std::size_t>(xr - xl) + 1);
        for (const Point& p : b.Points()) {
            if (p.x < xl || p.x > xr) continue;
            Span& s = spans[static_cast<std::size_t>(p.x - xl)];
            s.top = std::min(s.top, p.y);
            s.bottom = std::max(s.bottom, p.y);
        }
        const CPaintBoard::Box box = b.PaintableBox();
        for (int x = std::max(xl, box.left); x <= std::min(xr, box.right); ++x) {
            const Span& s = spans[static_cast<std::size_t>(x - xl)];
            for (int y = std::max({yt, box.top, s.top}); y <= std::min({yb, box.bottom, s.bottom}); ++y)
                if (b.IsInside(x, y)) b.Paint(x, y, c);
        }
    }
    b.Points().clear();
}

// ------------------------------------------------------------- gradients

void CStrokePainter::GradientCircle()
{
    CPaintBoard& b = board_;
    b.RemoveBand();
    const CToolPanel* panel = b.Panel();
    if (!panel) return;
    const Point centre = b.Anchor(), rim = b.Current();
    const int r = TruncatedDistance(static_cast<long long>(rim.x) - centre.x, static_cast<long long>(rim.y) - centre.y);
    const int x0 = std::max(centre.x - r, 0), x1 = std::min(centre.x + r, b.CanvasWidth());
    const int y0 = std::max(centre.y - r, 0), y1 = std::min(centre.y + r, b.CanvasHeight());
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y) {
            const int d = TruncatedDistance(static_cast<long long>(x) - centre.x, static_cast<long long>(y) - centre.y);
            if (d >= r || !b.IsInside(x, y)) continue;
            const double t = (d - r * 0.5) * 2 / r;
            b.Paint(x, y, panel->RampColour(static_cast<float>(t)));
        }
}

void CStrokePainter::GradientRect()
{
    CPaintBoard& b = board_;
    b.RemoveBand();
    const CToolPanel* panel = b.Panel();
    const Point p0 = b.Anchor(), p1 = b.Current();
    // Released where it was pressed: no direction, nothing to paint.
    if (!panel || p0 == p1) {
        b.Points().clear();
        return;
    }
    const long long ymin = std::min(p0.y, p1.y), ymax = std::max(p0.y, p1.y);
    const float m = p1.y == p0.y ? 9999.0f
                                 : -static_cast<float>(p1.x - p0.x) / static_cast<float>(p1.y - p0.y);
    for (int x = 0; x < b.CanvasWidth(); ++x) {
        const long long shift0 = static_cast<long long>(static_cast<float>(x - p0.x) * m);
        const long long shift1 = static_cast<long long>(static_cast<float>(x - p1.x) * m);
        for (int y = 0; y < b.CanvasHeight(); ++y) {
            const long long ya = y - shift0, yb = y - shift1;
            const bool inBand = ya > yb ? yb <= ymax && ya >= ymin : ya <= ymax && yb >= ymin;
            if (!inBand || !b.IsInside(x, y)) continue;
            const long long a = std::llabs(ya - p0.y), bb = std::llabs(yb - p1.y);
            if (a + bb == 0) continue;
            const double t = (a - (a + bb) * 0.5) / ((a + bb) * 0.5);
            b.Paint(x, y, panel->RampColour(static_cast<float>(t)));
        }
    }
    b.Points().clear();
}

// ------------------------------------------------------------ paint bucket

void CFloodFill::FloodFill()
{
    CPaintBoard& b = board_;
    const Point start = b.Current();
    // Only depth-map pixels take part: a point beyond the map would read as
    // white and keep its colour however often it is painted.
    if (!b.InDepthMap(start.x, start.y)) return;
    targetColour_ = b.DepthAt(start.x, start.y);
    const Colour c = b.CurrentColour();
    if (targetColour_ == c) return;

    try {
        std::vector<Point> stack;
        stack.reserve(100);
        stack.push_back(start);
        while (!stack.empty()) {
            const Point p = stack.back();
            stack.pop_back();
            if (!b.IsInside(p.x, p.y)) continue;
            b.Paint(p.x, p.y, c);
            const Point neighbours[4] = {{p.x, p.y - 1}, {p.x, p.y + 1}, {p.x - 1, p.y}, {p.x + 1, p.y}};
            for (const Point& n : neighbours)
                if (b.InDepthMap(n.x, n.y) && b.DepthAt(n.x, n.y) == targetColour_) stack.push_back(n);
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: the fill stops where it is; what it painted stays.
    }
}

// ---------------------------------------------------------------- eraser

void CEraser::EraserBegin()
{
    const CToolPanel* panel = board_.Panel();
    active_ = true;
    if (panel) {
        radius_ = panel->EraserWidth();
        kind_ = panel->EraserKind();
    }
    EraserApply();
}

void CEraser::EraserDrag()
{
    if (active_) EraserApply();
}

void CEraser::EraserApply()
{
    CPaintBoard& b = board_;
    const Point centre = b.Current();
    const int r = radius_;
    const int x0 = std::max(centre.x - r, 0), x1 = std::min(centre.x + r, b.CanvasWidth());
    const int y0 = std::max(centre.y - r, 0), y1 = std::min(centre.y + r, b.CanvasHeight());
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y) {
            const long long dx = static_cast<long long>(x) - centre.x, dy = static_cast<long long>(y) - centre.y;
            switch (kind_) {
            case Square:
                if (b.IsInside(x, y)) b.Paint(x, y, kWhite);
                break;
            case Circular:
                if (TruncatedDistance(dx, dy) < r && b.IsInside(x, y)) b.Paint(x, y, kWhite);
                break;
            default: {
                const float fd = std::sqrt(static_cast<float>(dx * dx + dy * dy));
                if (!(fd < static_cast<float>(r)) || !b.IsInside(x, y)) break;
                const float m = 1 - std::sqrt(fd / static_cast<float>(r));
                const Colour old = b.DepthAt(x, y);
                const int red = static_cast<int>(old & 0xFF), blue = static_cast<int>(old >> 16 & 0xFF);
                const int newRed = std::min(red + static_cast<int>(static_cast<float>(255 - red) * m), 255);
                const int newBlue = std::min(blue + static_cast<int>(static_cast<float>(255 - blue) * m), 255);
                const Colour v = static_cast<Colour>(newRed);
                b.Paint(x, y, v | v << 8 | static_cast<Colour>(newBlue) << 16);
                break;
            }
            }
        }
}

// ---------------------------------------------------------- colour picker

void PickColour(CPaintBoard& board)
{
    CToolPanel* panel = board.Panel();
    if (!panel) return;
    const Point p = board.Current();
    const Colour c = board.DepthAt(p.x, p.y);
    if ((c >> 16 & 0xFF) == 0xFF && c != kWhite) panel->SelectBlue();
    else panel->SelectBlack();
    panel->SetColourValue(static_cast<int>(c & 0xFF));
}

} // namespace rv
