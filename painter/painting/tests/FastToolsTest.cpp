// The tools that paint large areas a row at a time (gradients, filled
// rectangle and ellipse, paint bucket) against their literal pixel-by-pixel
// forms below, on random pictures, regions, scroll offsets, ramps and
// gestures: the depth map and the screen must come out byte for byte alike.
#include "PaintFixture.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace rv::test {
namespace {

// The double write, one pixel at a time.
struct LiteralTarget {
    const CPaintBoard& board;
    IPaintSurface& screen;
    CDibImage& depth;
    void Paint(int x, int y, Colour c)
    {
        const Point s = board.ScrollOffset();
        screen.SetPixel(x, y, c);
        depth.SetPixel(x + s.x, y + s.y, c);
    }
    Colour DepthAt(int x, int y) const
    {
        const Point s = board.ScrollOffset();
        return depth.GetPixel(x + s.x, y + s.y);
    }
    bool InDepthMap(int x, int y) const
    {
        const Point s = board.ScrollOffset();
        return x + s.x >= 0 && x + s.x < depth.Width() && y + s.y >= 0 && y + s.y < depth.Height();
    }
};

void LiteralGradientCircle(LiteralTarget& to)
{
    const CPaintBoard& b = to.board;
    const Point centre = b.Anchor(), rim = b.Current();
    const int r = TruncatedDistance(static_cast<long long>(rim.x) - centre.x, static_cast<long long>(rim.y) - centre.y);
    for (int x = std::max(centre.x - r, 0); x < std::min(centre.x + r, b.CanvasWidth()); ++x)
        for (int y = std::max(centre.y - r, 0); y < std::min(centre.y + r, b.CanvasHeight()); ++y) {
            const int d = TruncatedDistance(static_cast<long long>(x) - centre.x, static_cast<long long>(y) - centre.y);
            if (d >= r || !b.IsInside(x, y)) continue;
            const double t = (d - r * 0.5) * 2 / r;
            to.Paint(x, y, b.Panel()->RampColour(static_cast<float>(t)));
        }
}

void LiteralGradientRect(LiteralTarget& to)
{
    const CPaintBoard& b = to.board;
    const Point p0 = b.Anchor(), p1 = b.Current();
    if (p0 == p1) return;
    const long long ymin = std::min(p0.y, p1.y), ymax = std::max(p0.y, p1.y);
    const float m = p1.y == p0.y ? 9999.0f : -static_cast<float>(p1.x - p0.x) / static_cast<float>(p1.y - p0.y);
    for (int x = 0; x < b.CanvasWidth(); ++x)
        for (int y = 0; y < b.CanvasHeight(); ++y) {
            const long long ya = y - static_cast<long long>(static_cast<float>(x - p0.x) * m);
            const long long yb = y - static_cast<long long>(static_cast<float>(x - p1.x) * m);
            const bool inBand = ya > yb ? yb <= ymax && ya >= ymin : ya <= ymax && yb >= ymin;
            if (!inBand || !b.IsInside(x, y)) continue;
            const long long a = std::llabs(ya - p0.y), bb = std::llabs(yb - p1.y);
            if (a + bb == 0) continue;
            const double t = (a - (a + bb) * 0.5) / ((a + bb) * 0.5);
            to.Paint(x, y, b.Panel()->RampColour(static_cast<float>(t)));
        }
}

void LiteralFilledRect(LiteralTarget& to)
{
    const CPaintBoard& b = to.board;
    const Point a = b.Anchor(), z = b.Current();
    for (int x = std::min(a.x, z.x); x <= std::max(a.x, z.x); ++x)
        for (int y = std::min(a.y, z.y); y <= std::max(a.y, z.y); ++y)
            if (b.IsInside(x, y)) to.Paint(x, y, b.CurrentColour());
}

// The outline from the board's rasteriser, then every pixel of the box with
// outline points above and below it in its column.
void LiteralFilledEllipse(LiteralTarget& to, CPaintBoard& b)
{
    b.Points().clear();
    b.RasterEllipse();
    const Colour c = b.CurrentColour();
    for (const Point& p : b.Points())
        if (b.IsInside(p.x, p.y)) to.Paint(p.x, p.y, c);
    const Point a = b.Anchor(), z = b.Current();
    for (int x = std::min(a.x, z.x); x <= std::max(a.x, z.x); ++x)
        for (int y = std::min(a.y, z.y); y <= std::max(a.y, z.y); ++y)
            if (b.InColumnSpan(x, y) && b.IsInside(x, y)) to.Paint(x, y, c);
    b.Points().clear();
}

void LiteralFloodFill(LiteralTarget& to)
{
    const CPaintBoard& b = to.board;
    const Point start = b.Current();
    if (!to.InDepthMap(start.x, start.y)) return;
    const Colour target = to.DepthAt(start.x, start.y), c = b.CurrentColour();
    if (target == c) return;
    std::vector<Point> stack{start};
    while (!stack.empty()) {
        const Point p = stack.back();
        stack.pop_back();
        if (!b.IsInside(p.x, p.y)) continue;
        to.Paint(p.x, p.y, c);
        const Point neighbours[4] = {{p.x, p.y - 1}, {p.x, p.y + 1}, {p.x - 1, p.y}, {p.x + 1, p.y}};
        for (const Point& n : neighbours)
            if (to.InDepthMap(n.x, n.y) && to.DepthAt(n.x, n.y) == target) stack.push_back(n);
    }
}

class FastTools : public PaintFixture {
protected:
    explicit FastTools(int width = 97, int height = 61) : PaintFixture(width, height) {}

    int Random(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    // Blocks of a few colours (so fills find areas with edges), a ramp of
    // random shape and family, maybe a lasso region, maybe a scroll offset.
    void RandomScene()
    {
        board->DropRegion();
        board->SetScrollOffset(0, 0);
        depth.Clear();
        const Colour colours[] = {kWhite, Grey(150), Grey(40), Blue(150), Blue(90)};
        for (int i = Random(0, 12); i > 0; --i) {
            const int x = Random(-10, depth.Width()), y = Random(-10, depth.Height());
            const Colour c = colours[Random(0, 4)];
            for (int yy = y; yy < y + Random(1, 40); ++yy)
                for (int xx = x; xx < x + Random(1, 40); ++xx) depth.SetPixel(xx, yy, c);
        }
        Scenery();
        for (const int id : {CToolPanel::IdLowLeft, CToolPanel::IdLowMiddle, CToolPanel::IdLowRight})
            if (Random(0, 1)) panel.Click(id);
        panel.Click(Random(0, 1) ? CToolPanel::IdBlue : CToolPanel::IdBlack);
        SetSlider(CToolPanel::IdCurve, Random(0, 200));
        SetSlider(CToolPanel::IdC1, Random(10, 240));
        SetSlider(CToolPanel::IdC2, Random(0, 240));
        SetSlider(CToolPanel::IdColourValue, Random(0, 255));
        if (Random(0, 3) == 0) board->SetScrollOffset(Random(0, 20), Random(0, 15));
        Repaint();
        if (Random(0, 2) == 0) {
            board->SetTool(ToolLasso);
            const Point first{Random(0, depth.Width()), Random(0, depth.Height())};
            Click(first.x, first.y);
            for (int i = Random(1, 6); i > 0; --i) Click(Random(-5, depth.Width()), Random(-5, depth.Height()));
            Click(first.x, first.y);
        }
    }

    // A random picture and ramp with no region and no scroll offset, for the
    // gestures chosen by hand.
    void PlainScene()
    {
        RandomScene();
        board->DropRegion();
        board->SetScrollOffset(0, 0);
        Repaint();
    }

    // More of the picture, drawn before the region.
    virtual void Scenery() {}

    // A point on or near the canvas; edges, far points and repeats included.
    Point RandomPoint()
    {
        switch (Random(0, 7)) {
        case 0: return {0, Random(0, depth.Height())};
        case 1: return {Random(-300, 400), Random(-300, 400)};
        default: return {Random(-3, depth.Width() + 3), Random(-3, depth.Height() + 3)};
        }
    }

    // Runs the tool's gesture from a to z, then the literal form from the
    // same state and pictures, and compares the results.
    template <class Literal>
    void Check(int tool, Point a, Point z, Literal literal, const std::string& what)
    {
        const std::vector<std::uint8_t> depthBefore(depth.Bits(), depth.Bits() + depth.Height() * depth.Stride());
        const CMemorySurface screenBefore = screen;
        board->SetTool(tool);
        Move(a.x, a.y);
        Down(a.x, a.y);
        if (!(a == z)) Move(z.x, z.y);
        Up(z.x, z.y);
        const std::vector<std::uint8_t> depthFast(depth.Bits(), depth.Bits() + depthBefore.size());
        const CMemorySurface screenFast = screen;

        std::memcpy(depth.Bits(), depthBefore.data(), depthBefore.size());
        screen = screenBefore;
        ASSERT_EQ(board->Anchor(), a);
        ASSERT_EQ(board->Current(), z);
        LiteralTarget to{*board, screen, depth};
        literal(to);
        const std::vector<std::uint8_t> depthLiteral(depth.Bits(), depth.Bits() + depthBefore.size());
        const std::string where = what + " from (" + std::to_string(a.x) + ", " + std::to_string(a.y) + ") to (" +
                                  std::to_string(z.x) + ", " + std::to_string(z.y) + ")" +
                                  (board->RegionActive() ? " in a region" : "");
        ASSERT_EQ(depthFast, depthLiteral) << where;
        for (int y = 0; y < screen.Height(); ++y)
            for (int x = 0; x < screen.Width(); ++x)
                ASSERT_EQ(screenFast.GetPixel(x, y), screen.GetPixel(x, y)) << where << " at " << x << ", " << y;
    }

    std::mt19937 random{20261209};
};

TEST_F(FastTools, GradientsMatchTheirLiteralForm)
{
    for (int round = 0; round < 150; ++round) {
        RandomScene();
        Point a = RandomPoint(), z = RandomPoint();
        if (round % 5 == 1) z.y = a.y; // straight across: the steep perpendicular
        if (round % 5 == 2) z.x = a.x; // straight down
        Check(ToolGradientRect, a, z, LiteralGradientRect, "gradient rectangle");
        Check(ToolGradientCircle, a, z, LiteralGradientCircle, "gradient circle");
    }
}

TEST_F(FastTools, FilledShapesMatchTheirLiteralForm)
{
    for (int round = 0; round < 150; ++round) {
        RandomScene();
        const Point a = RandomPoint(), z = RandomPoint();
        Check(ToolFilledRect, a, z, LiteralFilledRect, "filled rectangle");
        Check(ToolFilledEllipse, a, z, [&](LiteralTarget& to) { LiteralFilledEllipse(to, *board); }, "filled ellipse");
    }
}

// Scenes a fill has to turn around in: scattered pixels of other colours
// (holes, and areas that touch only at corners), combs and a spiral (a run
// that overhangs the run it came from, on either side and in either
// direction), and colours a single byte away from the target.
class FillScenes : public FastTools {
protected:
    void Scenery() override
    {
        // Colours one byte from grey 128 in blue, green or red.
        const Colour near[] = {0x818080, 0x808180, 0x808081, Grey(128)};
        switch (scene) {
        case 0: break;
        case 1: Scatter(near[Random(0, 3)], Random(5, 45)); break;
        case 2: Comb(Grey(40), Random(0, 1) == 1); break;
        case 3: Spiral(Blue(90)); break;
        default:
            depth.Clear();
            Scatter(Grey(128), 100);
            Scatter(near[Random(0, 2)], Random(20, 50));
            break;
        }
    }
    void Scatter(Colour c, int percent)
    {
        for (int y = 0; y < depth.Height(); ++y)
            for (int x = 0; x < depth.Width(); ++x)
                if (Random(0, 99) < percent) depth.SetPixel(x, y, c);
    }
    // Walls across the picture every few columns (or rows), each with a gap
    // at alternate ends.
    void Comb(Colour c, bool across)
    {
        const int step = Random(2, 6);
        const int length = across ? depth.Height() : depth.Width(), count = across ? depth.Width() : depth.Height();
        for (int i = Random(0, step - 1), k = 0; i < count; i += step, ++k)
            for (int j = 0; j < length; ++j) {
                const bool gap = k % 2 ? j < 2 : j >= length - 2;
                if (!gap) depth.SetPixel(across ? i : j, across ? j : i, c);
            }
    }
    // A square spiral wall, two pixels apart, from the middle outwards.
    void Spiral(Colour c)
    {
        int x = depth.Width() / 2, y = depth.Height() / 2, length = 2, direction = 0;
        const int dx[] = {1, 0, -1, 0}, dy[] = {0, 1, 0, -1};
        while (x > -depth.Width() && x < 2 * depth.Width() && y > -depth.Height() && y < 2 * depth.Height()) {
            for (int i = 0; i < length; ++i) {
                depth.SetPixel(x, y, c);
                x += dx[direction];
                y += dy[direction];
            }
            direction = (direction + 1) % 4;
            if (direction % 2 == 0) length += 2;
        }
    }
    int scene = 0;
};

TEST_F(FillScenes, FloodFillMatchesItsLiteralForm)
{
    for (int round = 0; round < 400; ++round) {
        scene = round % 5;
        RandomScene();
        // The press point: on the first or last paintable row, or anywhere on
        // or near the canvas.
        const Point a = round % 3 == 0 ? Point{Random(0, depth.Width()), Random(0, 1) ? 1 : depth.Height() - 1}
                                       : RandomPoint();
        Check(ToolFill, a, a, LiteralFloodFill, "flood fill, scene " + std::to_string(scene));
    }
}

// A canvas wider than the blocks of columns the gradient rectangle works
// out at a time.
class WideCanvas : public FastTools {
protected:
    WideCanvas() : FastTools(1500, 23) {}
};

TEST_F(WideCanvas, GradientRectangleMatchesItsLiteralForm)
{
    for (int round = 0; round < 12; ++round) {
        RandomScene();
        Point a{Random(-100, 1600), Random(-10, 30)}, z{Random(-100, 1600), Random(-10, 30)};
        if (round % 4 == 1) z.y = a.y;
        Check(ToolGradientRect, a, z, LiteralGradientRect, "gradient rectangle");
    }
}

// Centres so far off the canvas that the squared distances need more than
// 32 bits (one where they pass 2^31 along a row), the rims on the canvas.
TEST_F(FastTools, GradientCircleFarFromTheCanvas)
{
    PlainScene();
    Check(ToolGradientCircle, {-46300, 30}, {90, 31}, LiteralGradientCircle, "far left centre");
    Check(ToolGradientCircle, {40, 70000}, {20, 10}, LiteralGradientCircle, "far lower centre");
    Check(ToolGradientCircle, {-25000, -25000}, {60, 40}, LiteralGradientCircle, "far corner centre");
}

// A drag so long that the ramp column changes at nearly every pixel, and one
// so shallow that it barely changes down a whole column: both ends of the
// way runs of one colour are found.
TEST_F(FastTools, GradientRectangleRunsShortAndLong)
{
    PlainScene();
    Check(ToolGradientRect, {40, 30}, {40, 31}, LiteralGradientRect, "one-pixel drag");
    Check(ToolGradientRect, {2, 30}, {95, 31}, LiteralGradientRect, "shallow drag");
    Check(ToolGradientRect, {-300, -300}, {400, 400}, LiteralGradientRect, "long drag");
}

} // namespace
} // namespace rv::test
