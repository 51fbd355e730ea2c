// The painter's surfaces on a device context under Wine: single pixels, the
// inverted rubber-band figures and the framed rectangle, on a plain device
// context and on the off-screen copy of the view, which must agree.
#include "painter/painting/MemorySurface.h"
#include "win32/platform/PainterUi.h"

#include <gtest/gtest.h>

#include "win32/platform/tests/DibTarget.h"

#include <memory>

namespace {

constexpr int kW = 40;
constexpr int kH = 30;

using w32::testing::DibTarget;

// The two surfaces under test, each reading back its own pixels.
struct DcKind {
    DibTarget target{kW, kH};
    w32::CDcSurface surface{target.Dc()};
    HDC Dc() const { return target.Dc(); }
};
struct DibKind {
    DibKind() { EXPECT_TRUE(surface.Resize(kW, kH)); }
    w32::CDibSurface surface;
    HDC Dc() const { return surface.Dc(); }
};

template <typename Kind>
class PaintSurface : public ::testing::Test {
protected:
    Kind kind;
    rv::IPaintSurface& S() { return kind.surface; }
    // Every pixel as the surface reports it.
    std::vector<rv::Colour> Snapshot()
    {
        std::vector<rv::Colour> all;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) all.push_back(S().GetPixel(x, y));
        return all;
    }
    void FillPattern()
    {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) S().SetPixel(x, y, static_cast<rv::Colour>(x * 5 | y * 7 << 8 | (x ^ y) << 16));
    }
};
using Kinds = ::testing::Types<DcKind, DibKind>;
TYPED_TEST_SUITE(PaintSurface, Kinds);

TYPED_TEST(PaintSurface, PixelsRoundTripAndOutsideReadsWhite)
{
    auto& s = this->S();
    s.SetPixel(3, 4, 0x123456);
    s.SetPixel(kW - 1, kH - 1, 0xFF0000);
    s.SetPixel(0, 0, 0xAB000000 | 0x0000FF); // the top byte is not a colour
    EXPECT_EQ(s.GetPixel(3, 4), 0x123456u);
    EXPECT_EQ(s.GetPixel(kW - 1, kH - 1), 0xFF0000u);
    EXPECT_EQ(s.GetPixel(0, 0), 0x0000FFu);
    EXPECT_EQ(s.GetPixel(4, 4), 0xFFFFFFu);
    s.SetPixel(-1, 2, 0); // dropped
    s.SetPixel(kW, 2, 0);
    EXPECT_EQ(s.GetPixel(-1, 2), 0xFFFFFFu);
    EXPECT_EQ(s.GetPixel(kW, 2), 0xFFFFFFu);
    EXPECT_EQ(s.GetPixel(2, kH + 5), 0xFFFFFFu);
    EXPECT_EQ(s.GetPixel(0, 2), 0xFFFFFFu);
}

// Rows across every edge, each written at once on one surface and pixel by
// pixel on the other: the same pixels, and the padding byte dropped.
TYPED_TEST(PaintSurface, RowWritesAreThePixelWritesTheyStandFor)
{
    TypeParam other;
    auto& row = this->S();
    auto& single = static_cast<rv::IPaintSurface&>(other.surface);
    std::vector<rv::Colour> colours(kW + 20);
    for (std::size_t i = 0; i < colours.size(); ++i)
        colours[i] = static_cast<rv::Colour>(0xAB000000u | i * 0x030507u);
    const struct {
        int x, y, count;
    } rows[] = {{0, 0, kW}, {-7, 3, 12}, {kW - 5, 4, 10}, {-10, 5, kW + 20}, {3, kH - 1, 1}, {2, -1, 8}, {2, kH, 8}, {kW, 6, 3}, {5, 7, 0}};
    for (const auto& r : rows) {
        row.SetRow(r.x, r.y, colours.data(), r.count);
        for (int i = 0; i < r.count; ++i) single.SetPixel(r.x + i, r.y, colours[static_cast<std::size_t>(i)]);
    }
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) ASSERT_EQ(row.GetPixel(x, y), single.GetPixel(x, y)) << x << ", " << y;
    EXPECT_EQ(row.GetPixel(kW - 1, 5), colours[kW + 9] & 0xFFFFFF);
}

TEST(DibSurface, RowWritesMarkWhatChanged)
{
    w32::CDibSurface s;
    ASSERT_TRUE(s.Resize(kW, kH));
    const rv::Colour colours[6] = {1, 2, 3, 4, 5, 6};
    s.SetRow(-2, 9, colours, 6);
    const RECT d = s.Dirty();
    EXPECT_EQ(d.left, 0);
    EXPECT_EQ(d.top, 9);
    EXPECT_EQ(d.right, 4);
    EXPECT_EQ(d.bottom, 10);
    DibTarget window(kW, kH);
    s.Present(window.Dc());
    EXPECT_EQ(window.At(3, 9), 6u);
    EXPECT_EQ(window.At(4, 9), 0xFFFFFFu); // beyond the row: left as the window was
}

TYPED_TEST(PaintSurface, FiguresInvertTheCoveredPixelsAndTwiceRestore)
{
    this->FillPattern();
    const auto before = this->Snapshot();
    auto& s = this->S();
    const rv::Colour at = s.GetPixel(10, 10);
    s.InvertRectangle(5, 6, 20, 15, false);
    EXPECT_EQ(s.GetPixel(10, 10), at ^ 0xFFFFFFu);
    s.InvertRectangle(5, 6, 20, 15, false);
    s.InvertRectangle(20, 15, 5, 6, true); // corners in either order
    s.InvertRectangle(20, 15, 5, 6, true);
    s.InvertEllipse(2, 3, 30, 25, false);
    s.InvertEllipse(2, 3, 30, 25, false);
    s.InvertEllipse(30, 3, 2, 25, true);
    s.InvertEllipse(30, 3, 2, 25, true);
    s.InvertLine(1, 1, 35, 20);
    s.InvertLine(1, 1, 35, 20);
    s.InvertLine(-10, 5, 50, 5); // beyond the edges
    s.InvertLine(-10, 5, 50, 5);
    EXPECT_EQ(this->Snapshot(), before);
}

TYPED_TEST(PaintSurface, RectanglesCoverTheBoxWithoutItsLargerEdges)
{
    auto& s = this->S();
    s.InvertRectangle(12, 9, 4, 3, false);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const bool in = x >= 4 && x < 12 && y >= 3 && y < 9;
            ASSERT_EQ(s.GetPixel(x, y), in ? 0u : 0xFFFFFFu) << x << "," << y;
        }
    s.InvertRectangle(12, 9, 4, 3, false);
    s.InvertRectangle(4, 3, 12, 9, true);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const bool in = x >= 4 && x < 12 && y >= 3 && y < 9;
            const bool border = in && (x == 4 || x == 11 || y == 3 || y == 8);
            ASSERT_EQ(s.GetPixel(x, y), border ? 0u : 0xFFFFFFu) << x << "," << y;
        }
}

TYPED_TEST(PaintSurface, ZeroSizedFiguresAndLinesDrawNothing)
{
    auto& s = this->S();
    const auto before = this->Snapshot();
    s.InvertRectangle(5, 5, 5, 20, false);
    s.InvertRectangle(5, 5, 20, 5, true);
    s.InvertEllipse(7, 7, 7, 9, false);
    s.InvertLine(8, 8, 8, 8);
    EXPECT_EQ(this->Snapshot(), before);
}

TYPED_TEST(PaintSurface, LinesLeaveOutTheirEndPoint)
{
    auto& s = this->S();
    s.InvertLine(2, 5, 10, 5);
    EXPECT_EQ(s.GetPixel(2, 5), 0u);
    EXPECT_EQ(s.GetPixel(9, 5), 0u);
    EXPECT_EQ(s.GetPixel(10, 5), 0xFFFFFFu);
    EXPECT_EQ(s.GetPixel(1, 5), 0xFFFFFFu);
    s.InvertLine(20, 20, 20, 10); // upwards
    EXPECT_EQ(s.GetPixel(20, 20), 0u);
    EXPECT_EQ(s.GetPixel(20, 11), 0u);
    EXPECT_EQ(s.GetPixel(20, 10), 0xFFFFFFu);
}

TYPED_TEST(PaintSurface, HollowEllipseKeepsItsInsideAndFilledCoversIt)
{
    auto& s = this->S();
    s.InvertEllipse(4, 4, 24, 20, true);
    EXPECT_EQ(s.GetPixel(14, 12), 0xFFFFFFu); // centre
    EXPECT_EQ(s.GetPixel(4, 4), 0xFFFFFFu);   // box corner: outside the ellipse
    EXPECT_EQ(s.GetPixel(4, 12), 0u);         // left end of the border
    s.InvertEllipse(4, 4, 24, 20, true);
    s.InvertEllipse(4, 4, 24, 20, false);
    EXPECT_EQ(s.GetPixel(14, 12), 0u);
    EXPECT_EQ(s.GetPixel(4, 4), 0xFFFFFFu);
    EXPECT_EQ(s.GetPixel(24, 12), 0xFFFFFFu); // the right edge is left out
}

TYPED_TEST(PaintSurface, FiguresLeaveTheMixModePenAndBrushAsTheyWere)
{
    HDC dc = this->kind.Dc();
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    auto& s = this->S();
    s.InvertLine(0, 0, 5, 5);
    s.InvertRectangle(0, 0, 5, 5, true);
    s.InvertEllipse(0, 0, 5, 5, false);
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
}

TYPED_TEST(PaintSurface, FrameIsABlackLineRoundAWhiteInside)
{
    this->FillPattern();
    auto& s = this->S();
    s.FrameRectangle(0, 0, 11, 8);
    EXPECT_EQ(s.GetPixel(0, 0), 0u);
    EXPECT_EQ(s.GetPixel(10, 3), 0u);
    EXPECT_EQ(s.GetPixel(5, 7), 0u);
    EXPECT_EQ(s.GetPixel(5, 4), 0xFFFFFFu);
    EXPECT_NE(s.GetPixel(11, 3), 0u); // beyond the right edge: untouched pattern
    EXPECT_EQ(s.GetPixel(11, 3), static_cast<rv::Colour>(11 * 5 | 3 * 7 << 8 | (11 ^ 3) << 16));
}

TYPED_TEST(PaintSurface, RectanglesAndStraightLinesMatchTheInMemoryScreen)
{
    // The tools' tests and relievo-cli paint on the in-memory screen; the
    // rubber bands the user sees must cover the same pixels. (Sloped lines
    // may break their ties differently; they are always drawn twice.)
    rv::CMemorySurface memory(kW, kH);
    auto& s = this->S();
    const int boxes[][4] = {{3, 2, 30, 20}, {25, 4, 6, 27}, {0, 0, 39, 29}, {10, 10, 11, 28}, {36, 1, 2, 5}, {14, 22, 34, 24}};
    for (const auto& f : boxes) {
        s.InvertRectangle(f[0], f[1], f[2], f[3], true);
        memory.InvertRectangle(f[0], f[1], f[2], f[3], true);
        s.InvertRectangle(f[0] + 1, f[1], f[2], f[3] - 1, false);
        memory.InvertRectangle(f[0] + 1, f[1], f[2], f[3] - 1, false);
    }
    const int lines[][4] = {{2, 3, 30, 3}, {30, 5, 2, 5}, {7, 1, 7, 25}, {9, 25, 9, 1}, {1, 1, 21, 21}, {30, 2, 10, 22}};
    for (const auto& l : lines) {
        s.InvertLine(l[0], l[1], l[2], l[3]);
        memory.InvertLine(l[0], l[1], l[2], l[3]);
    }
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) ASSERT_EQ(s.GetPixel(x, y), memory.GetPixel(x, y)) << x << "," << y;
}

TYPED_TEST(PaintSurface, PicturesAreCopiedWithStretchDIBits)
{
    rv::CDibImage img;
    ASSERT_TRUE(img.Create(3, 2));
    img.SetPixel(0, 0, 0x0000FF);
    img.SetPixel(2, 1, 0xFF0000);
    auto& s = this->S();
    ASSERT_TRUE(img.Draw(s, 5, 6));
    EXPECT_EQ(s.GetPixel(5, 6), 0x0000FFu);
    EXPECT_EQ(s.GetPixel(7, 7), 0xFF0000u);
    EXPECT_EQ(s.GetPixel(6, 6), 0xFFFFFFu);
}

TEST(DibSurface, PresentCopiesOnlyWhatChangedSinceTheLastCopy)
{
    w32::CDibSurface s;
    ASSERT_TRUE(s.Resize(kW, kH));
    DibTarget window(kW, kH);
    PatBlt(window.Dc(), 0, 0, kW, kH, BLACKNESS);
    s.SetPixel(3, 4, 0x00FF00);
    s.SetPixel(6, 2, 0x0000FF);
    const RECT d = s.Dirty();
    EXPECT_EQ(d.left, 3);
    EXPECT_EQ(d.top, 2);
    EXPECT_EQ(d.right, 7);
    EXPECT_EQ(d.bottom, 5);
    s.Present(window.Dc());
    EXPECT_EQ(window.At(3, 4), 0x00FF00u);
    EXPECT_EQ(window.At(6, 2), 0x0000FFu);
    EXPECT_EQ(window.At(4, 3), 0xFFFFFFu); // inside the box: the surface's white
    EXPECT_EQ(window.At(2, 4), 0u);        // outside: not copied
    EXPECT_EQ(window.At(7, 4), 0u);
    EXPECT_EQ(window.At(3, 5), 0u);

    const RECT none = s.Dirty();
    EXPECT_GE(none.left, none.right);
    s.SetPixel(-3, 4, 0); // outside: nothing to copy
    s.Present(window.Dc());
    EXPECT_EQ(window.At(0, 4), 0u);

    s.InvertRectangle(-5, -5, 2, 2, false); // clipped to the surface
    const RECT r = s.Dirty();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 2);
    EXPECT_EQ(r.bottom, 2);
    s.PresentAll(window.Dc());
    EXPECT_EQ(window.At(1, 1), 0u);              // inverted white
    EXPECT_EQ(window.At(20, 20), 0xFFFFFFu);     // the whole surface copied
}

TEST(DibSurface, ResizeStartsWhiteAndRefusesEmptySizes)
{
    w32::CDibSurface s;
    ASSERT_TRUE(s.Resize(10, 10));
    s.SetPixel(5, 5, 0);
    ASSERT_TRUE(s.Resize(20, 12));
    EXPECT_EQ(s.Width(), 20);
    EXPECT_EQ(s.Height(), 12);
    EXPECT_EQ(s.GetPixel(5, 5), 0xFFFFFFu);
    EXPECT_EQ(s.GetPixel(19, 11), 0xFFFFFFu);
    EXPECT_FALSE(s.Resize(0, 10));
    EXPECT_EQ(s.Width(), 0);
    s.SetPixel(0, 0, 0); // an empty surface drops writes
    EXPECT_EQ(s.GetPixel(0, 0), 0xFFFFFFu);
}

} // namespace
