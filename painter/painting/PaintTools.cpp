#include "painter/painting/PaintTools.h"

#include "painter/painting/PaintBoard.h"
#include "painter/painting/ToolPanel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
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
    const int left = std::max(xl, box.left), right = std::min(xr, box.right);
    if (filled) {
        if (left > right) return;
        const std::vector<Colour> row(static_cast<std::size_t>(right - left) + 1, c);
        for (int y = std::max(yt, box.top); y <= std::min(yb, box.bottom); ++y)
            b.PaintRow(left, y, row.data(), right - left + 1);
        return;
    }
    for (int x = left; x <= right; ++x) {
        const bool side = x == xl || x == xr;
        for (int y = std::max(yt, box.top); y <= std::min(yb, box.bottom); ++y) {
            if (!side && y != yt && y != yb) continue;
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
        const int left = std::max(xl, box.left), right = std::min(xr, box.right);
        if (left <= right) {
            std::vector<Colour> row(static_cast<std::size_t>(right - left) + 1);
            for (int y = std::max(yt, box.top); y <= std::min(yb, box.bottom); ++y) {
                for (int x = left; x <= right; ++x) {
                    const Span& s = spans[static_cast<std::size_t>(x - xl)];
                    row[static_cast<std::size_t>(x - left)] = y >= s.top && y <= s.bottom ? c : CPaintBoard::kNoPaint;
                }
                b.PaintRow(left, y, row.data(), right - left + 1);
            }
        }
    }
    b.Points().clear();
}

// ------------------------------------------------------------- gradients

namespace {

// One row of the gradient circle, starting dx0 columns and dy rows from the
// centre: each pixel takes the ring colour of its truncated distance s. Along
// the row s follows the squared distance n one column at a time, with s * s
// and (s + 1) * (s + 1) kept as sums. Int must hold every square the row
// reaches.
template <class Int>
void CircleRow(Colour* row, int count, long long dx0, long long dy, int r, int dNear, const Colour* ring)
{
    Int dx = static_cast<Int>(dx0);
    Int n = static_cast<Int>(dx0 * dx0 + dy * dy);
    Int s = static_cast<Int>(TruncatedDistance(dx0, dy));
    Int low = s * s, high = (s + 1) * (s + 1);
    for (int i = 0; i < count; ++i) {
        row[i] = s < r ? ring[s - dNear] : CPaintBoard::kNoPaint;
        n += 2 * dx + 1;
        ++dx;
        while (low > n) {
            --s;
            high = low;
            low -= 2 * s + 1;
        }
        while (high <= n) {
            ++s;
            low = high;
            high += 2 * s + 1;
        }
    }
}

} // namespace

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
    if (x0 >= x1 || y0 >= y1) return;

    // A pixel's colour depends on its distance d alone: one ramp look-up
    // for each distance that occurs in the box, d from dNear to dFar.
    const long long nearX = std::clamp<long long>(centre.x, x0, x1 - 1), nearY = std::clamp<long long>(centre.y, y0, y1 - 1);
    const long long farX = std::max<long long>(centre.x - x0, x1 - 1 - centre.x);
    const long long farY = std::max<long long>(centre.y - y0, y1 - 1 - centre.y);
    const int dNear = TruncatedDistance(nearX - centre.x, nearY - centre.y);
    const int dFar = std::min(TruncatedDistance(farX, farY), r - 1);
    if (dNear > dFar) return;
    std::vector<Colour> ring(static_cast<std::size_t>(dFar - dNear) + 1);
    for (int d = dNear; d <= dFar; ++d) {
        const double t = (d - r * 0.5) * 2 / r;
        ring[static_cast<std::size_t>(d - dNear)] = panel->RampColour(static_cast<float>(t));
    }

    // Near the canvas the squares fit in an int, which a 32-bit program adds
    // and compares far faster than 64-bit numbers.
    const auto reach = [](int first, int end, int middle) {
        return std::max(std::llabs(static_cast<long long>(first) - middle),
                        std::llabs(static_cast<long long>(end) - middle));
    };
    const bool small = reach(x0, x1, centre.x) <= 30000 && reach(y0, y1, centre.y) <= 30000;
    std::vector<Colour> row(static_cast<std::size_t>(x1 - x0));
    for (int y = y0; y < y1; ++y) {
        const long long dy = static_cast<long long>(y) - centre.y, dx = static_cast<long long>(x0) - centre.x;
        if (small) CircleRow<int>(row.data(), x1 - x0, dx, dy, r, dNear, ring.data());
        else CircleRow<long long>(row.data(), x1 - x0, dx, dy, r, dNear, ring.data());
        b.PaintRow(x0, y, row.data(), x1 - x0);
    }
}

namespace {

// The gradient rectangle's ramp column down one canvas column: the pixel
// in row y lies where the perpendicular through it meets column x0 at
// ya = y - shift0 and column x1 at yb = y - shift1.
class GradientColumn {
public:
    GradientColumn(const CToolPanel& panel, Point p0, Point p1, long long shift0, long long shift1)
        : panel_(panel), p0_(p0), p1_(p1), shift0_(shift0), shift1_(shift1)
    {
    }
    // -1 where the pixel has no direction (a + b = 0).
    int At(long long y) const
    {
        const long long ya = y - shift0_, yb = y - shift1_;
        const long long a = std::llabs(ya - p0_.y), bb = std::llabs(yb - p1_.y);
        if (a + bb == 0) return -1;
        const double t = (a - (a + bb) * 0.5) / ((a + bb) * 0.5);
        return panel_.RampColumn(static_cast<float>(t));
    }

private:
    const CToolPanel& panel_;
    Point p0_, p1_;
    long long shift0_, shift1_;
};

// Writes the ramp colours of rows first..last of one canvas column into
// out (one entry per row, stride apart). a = |y - A| and b = |y - B| for
// the rows A and B where the perpendiculars through the press and release
// points cross the column, so between and beyond those two rows t moves one
// way only and so does the ramp column: runs of one colour are found by
// looking at a few of their pixels, each computed as it would be alone.
void GradientColumnRuns(const CToolPanel& panel, const GradientColumn& column, long long first, long long last,
                        long long kinkA, long long kinkB, Colour* out, std::size_t stride)
{
    const auto put = [&](long long from, long long to, int ramp) {
        const Colour c = ramp < 0 ? CPaintBoard::kNoPaint : panel.StripColumn(ramp);
        for (long long y = from; y <= to; ++y) out[static_cast<std::size_t>(y - first) * stride] = c;
    };
    // Pieces where the column is monotonic: the kink rows on their own.
    const long long k1 = std::min(kinkA, kinkB), k2 = std::max(kinkA, kinkB);
    const long long bounds[][2] = {{first, k1 - 1}, {k1, k1}, {k1 + 1, k2 - 1}, {k2, k2}, {k2 + 1, last}};
    long long guess = 1;
    for (const auto& piece : bounds) {
        const long long from = std::max(piece[0], first), to = std::min(piece[1], last);
        if (from > to || (&piece == &bounds[3] && k1 == k2)) continue;
        long long y = from;
        // The ramp column of row y when a probe has already looked at it.
        bool known = false;
        int next = 0;
        while (y <= to) {
            const int ramp = known ? next : column.At(y);
            long long good = y, bad = to + 1; // At(good) == ramp; bad is past the run
            int atBad = 0;
            const auto look = [&](long long row) {
                const int found = column.At(row);
                if (found == ramp) {
                    good = row;
                    return;
                }
                bad = row;
                atBad = found;
            };
            // Runs tend to be as long as the last one.
            const long long probe = std::min(y + guess - 1, to);
            if (probe > y) look(probe);
            for (long long step = 1; bad == to + 1 && good + step <= to; step *= 2) look(good + step);
            while (bad - good > 1) look(good + (bad - good) / 2);
            put(y, good, ramp);
            guess = good - y + 1;
            y = good + 1;
            known = bad == y && bad <= to;
            next = atBad;
        }
    }
}

} // namespace

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
    const int width = b.CanvasWidth(), height = b.CanvasHeight();
    if (width <= 0 || height <= 0) {
        b.Points().clear();
        return;
    }
    // The canvas in blocks of columns: each column's colours worked out down
    // the column, then the block written a row at a time.
    constexpr int kBlock = 64;
    std::vector<Colour> block(static_cast<std::size_t>(kBlock) * static_cast<std::size_t>(height));
    // Rows of a column outside its band paint nothing.
    const auto noPaint = [&](int column, long long from, long long to) {
        for (long long y = from; y <= to; ++y)
            block[static_cast<std::size_t>(y) * kBlock + column] = CPaintBoard::kNoPaint;
    };
    for (int left = 0; left < width; left += kBlock) {
        const int count = std::min(kBlock, width - left);
        for (int x = left; x < left + count; ++x) {
            const long long shift0 = static_cast<long long>(static_cast<float>(x - p0.x) * m);
            const long long shift1 = static_cast<long long>(static_cast<float>(x - p1.x) * m);
            // The band: ya and yb between ymin and ymax in the order they
            // come, i.e. one range of rows.
            long long first, last;
            if (shift1 > shift0) { // ya > yb
                first = ymin + shift0;
                last = ymax + shift1;
            } else {
                first = ymin + shift1;
                last = ymax + shift0;
            }
            first = std::max<long long>(first, 0);
            last = std::min<long long>(last, height - 1);
            if (first > last) {
                noPaint(x - left, 0, height - 1);
                continue;
            }
            noPaint(x - left, 0, first - 1);
            noPaint(x - left, last + 1, height - 1);
            const GradientColumn column(*panel, p0, p1, shift0, shift1);
            GradientColumnRuns(*panel, column, first, last, shift0 + p0.y, shift1 + p1.y,
                               block.data() + static_cast<std::size_t>(first) * kBlock + (x - left), kBlock);
        }
        for (int y = 0; y < height; ++y)
            b.PaintRow(left, y, block.data() + static_cast<std::size_t>(y) * kBlock, count);
    }
    b.Points().clear();
}

// ------------------------------------------------------------ paint bucket

namespace {

// The area a fill paints: pixels of the target colour on the depth map that
// the clip accepts. Painting a pixel takes it out of the area. Rows are read
// in place; without a region the clip is a box, held in the bounds.
class FillArea {
public:
    FillArea(const CPaintBoard& board, Colour target)
        : board_(board), depth_(board.DepthMap()), scroll_(board.ScrollOffset()), region_(board.RegionActive()),
          target_{static_cast<std::uint8_t>(target >> 16), static_cast<std::uint8_t>(target >> 8),
                  static_cast<std::uint8_t>(target)}
    {
        const CPaintBoard::Box box = board.PaintableBox();
        // The box less what lies beyond the depth map.
        const auto bound = [](long long low, long long high, int boxLow, int boxHigh, int& first, int& last) {
            first = static_cast<int>(std::max<long long>(boxLow, low));
            last = static_cast<int>(std::min<long long>(boxHigh, high));
        };
        bound(-static_cast<long long>(scroll_.x), static_cast<long long>(depth_.Width()) - 1 - scroll_.x, box.left,
              box.right, left_, right_);
        bound(-static_cast<long long>(scroll_.y), static_cast<long long>(depth_.Height()) - 1 - scroll_.y, box.top,
              box.bottom, top_, bottom_);
    }

    int Left() const { return left_; }
    int Right() const { return right_; }
    bool HoldsRow(int y) const { return y >= top_ && y <= bottom_; }
    // Row y becomes the one Has looks at; HoldsRow(y) must hold.
    void SelectRow(int y)
    {
        y_ = y;
        row_ = depth_.Bits() + static_cast<std::size_t>(depth_.Height() - 1 - (static_cast<long long>(y) + scroll_.y)) *
                                   static_cast<std::size_t>(depth_.Stride());
    }
    bool Has(int x) const
    {
        if (x < left_ || x > right_) return false;
        const std::uint8_t* p = row_ + 3 * static_cast<std::size_t>(static_cast<long long>(x) + scroll_.x);
        return p[0] == target_[0] && p[1] == target_[1] && p[2] == target_[2] && (!region_ || board_.IsInside(x, y_));
    }
    // The ends of the run of the area through x in the selected row.
    int LeftEnd(int x) const
    {
        while (Has(x - 1)) --x;
        return x;
    }
    int RightEnd(int x) const
    {
        while (Has(x + 1)) ++x;
        return x;
    }

private:
    const CPaintBoard& board_;
    const CDibImage& depth_;
    const Point scroll_;
    const bool region_;
    const std::uint8_t target_[3];
    int left_ = 0, right_ = -1, top_ = 0, bottom_ = -1;
    int y_ = 0;
    const std::uint8_t* row_ = nullptr;
};

} // namespace

void CFloodFill::FloodFill()
{
    CPaintBoard& b = board_;
    const Point start = b.Current();
    // Only depth-map pixels take part: a point beyond the map would read as
    // white and keep its colour however often it is painted.
    if (!b.InDepthMap(start.x, start.y)) return;
    targetColour_ = b.DepthAt(start.x, start.y);
    const Colour c = b.CurrentColour();
    if (targetColour_ == c || !b.IsInside(start.x, start.y)) return;

    // What gets painted is the area that the press point reaches through
    // left, right, up and down steps. It is filled a row span at a time: a
    // run of the area is widened as far as it goes and painted; then the next
    // row in the direction the fill is going is searched under the run, and
    // the row it came from only where the run overhangs its parent span
    // (under the parent span that row is painted already). So each row is
    // searched about once.
    FillArea area(b, targetColour_);
    struct Span {
        int y, first, last, dy; // search row y from first to last; the parent is row y - dy
    };
    try {
        const std::size_t widest = static_cast<std::size_t>(static_cast<long long>(area.Right()) - area.Left() + 1);
        const std::vector<Colour> row(widest, c);
        std::vector<Span> spans;
        spans.reserve(100);
        area.SelectRow(start.y);
        const int first = area.LeftEnd(start.x), last = area.RightEnd(start.x);
        b.PaintRow(first, start.y, row.data(), last - first + 1);
        spans.push_back({start.y - 1, first, last, -1});
        spans.push_back({start.y + 1, first, last, 1});
        while (!spans.empty()) {
            const Span s = spans.back();
            spans.pop_back();
            if (!area.HoldsRow(s.y)) continue;
            area.SelectRow(s.y);
            int x = std::max(s.first, area.Left());
            const int end = std::min(s.last, area.Right());
            while (x <= end) {
                if (!area.Has(x)) {
                    ++x;
                    continue;
                }
                const int l = area.LeftEnd(x), r = area.RightEnd(x);
                b.PaintRow(l, s.y, row.data(), r - l + 1);
                spans.push_back({s.y + s.dy, l, r, s.dy});
                if (l < s.first) spans.push_back({s.y - s.dy, l, s.first - 1, -s.dy});
                if (r > s.last) spans.push_back({s.y - s.dy, s.last + 1, r, -s.dy});
                x = r + 2; // r + 1 is not in the area
            }
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
