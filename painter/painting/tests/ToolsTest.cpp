// The tools' extents and colours: shapes, fill, brush, erasers, gradients,
// picker, and the double write under a scroll offset.
#include "PaintFixture.h"

#include <cstdlib>

namespace rv::test {
namespace {

class Shapes : public PaintFixture {};

TEST_F(Shapes, LineCommitsItsPointsAndRemovesTheBand)
{
    board->SetTool(ToolLine);
    Drag({{10, 50}, {40, 70}, {30, 60}});
    PixelSet expected;
    for (int x = 10; x <= 30; ++x) expected.insert({x, 50 + (x - 10) / 2});
    EXPECT_EQ(Painted(), expected);
    EXPECT_TRUE(ScreenMatchesDepth());
    for (const auto& [x, y] : Painted()) EXPECT_EQ(depth.GetPixel(x, y), Grey(150));
}

TEST_F(Shapes, RectanglesHollowAndFilled)
{
    board->SetTool(ToolRect);
    Drag({{20, 15}, {25, 12}, {10, 10}});
    PixelSet border;
    for (int x = 10; x <= 20; ++x)
        for (int y = 10; y <= 15; ++y)
            if (x == 10 || x == 20 || y == 10 || y == 15) border.insert({x, y});
    EXPECT_EQ(Painted(), border);
    EXPECT_TRUE(ScreenMatchesDepth());

    panel.Click(CToolPanel::IdBlue);
    panel.Refresh(0);
    board->SetTool(ToolFilledRect);
    Drag({{50, 50}, {70, 80}, {60, 55}});
    for (int x = 49; x <= 61; ++x)
        for (int y = 49; y <= 56; ++y) {
            const bool in = x >= 50 && x <= 60 && y >= 50 && y <= 55;
            EXPECT_EQ(depth.GetPixel(x, y), in ? Blue(150) : kWhite) << x << "," << y;
        }
    EXPECT_TRUE(ScreenMatchesDepth());
}

TEST_F(Shapes, EllipsesHollowAndFilled)
{
    board->SetTool(ToolEllipse);
    Drag({{10, 10}, {14, 14}});
    EXPECT_EQ(Painted(), (PixelSet{{10, 12}, {11, 11}, {11, 13}, {12, 10}, {12, 14}, {13, 11}, {13, 13}, {14, 12}}));
    EXPECT_TRUE(ScreenMatchesDepth());

    depth.Clear();
    Repaint();
    board->SetTool(ToolFilledEllipse);
    Drag({{10, 10}, {30, 40}, {14, 14}});
    PixelSet expected{{10, 12}, {12, 10}, {12, 11}, {12, 12}, {12, 13}, {12, 14}, {14, 12}};
    for (int y = 11; y <= 13; ++y) expected.insert({11, y}), expected.insert({13, y});
    EXPECT_EQ(Painted(), expected);
    EXPECT_TRUE(ScreenMatchesDepth());
}

TEST_F(Shapes, ScrollOffsetMovesTheDepthWriteOnly)
{
    board->SetScrollOffset(10, 5);
    board->SetTool(ToolLine);
    Drag({{20, 20}, {30, 20}});
    PixelSet expected;
    for (int x = 30; x <= 40; ++x) expected.insert({x, 25});
    EXPECT_EQ(Painted(), expected);
    for (int x = 20; x <= 30; ++x) EXPECT_EQ(screen.GetPixel(x, 20), Grey(150));
}

class Gestures : public PaintFixture {};

// Gestures with nothing to paint: a brush narrower than its dome, a gradient
// circle of radius 0, a gradient rectangle of no length.
TEST_F(Gestures, ThatPaintNothing)
{
    struct Row {
        int tool;
        bool moveBeforeRelease; // the brush dabs on a move
        const char* why;
    };
    const Row rows[] = {
        {ToolBrush, true, "the brush at its first width"},
        {ToolGradientCircle, false, "a circle released at its centre"},
        {ToolGradientRect, false, "a rectangle released at its press point"},
    };
    for (const Row& r : rows) {
        board->SetTool(r.tool);
        if (r.moveBeforeRelease) Drag({{50, 50}, {50, 50}});
        else Drag({{50, 50}});
        EXPECT_TRUE(Painted().empty()) << r.why;
    }
}

class Fill : public PaintFixture {};

TEST_F(Fill, WhiteCanvasFillsAllButTheEdges)
{
    board->SetTool(ToolFill);
    Click(50, 50);
    PixelSet expected;
    for (int x = 1; x < 100; ++x)
        for (int y = 1; y < 100; ++y) expected.insert({x, y});
    EXPECT_EQ(Painted(), expected);
    EXPECT_EQ(depth.GetPixel(77, 3), Grey(150));
    EXPECT_TRUE(ScreenMatchesDepth());
}

TEST_F(Fill, StopsAtAnotherGreyAndIgnoresDiagonals)
{
    FillDepth(10, 10, 20, 20, Grey(100));
    FillDepth(21, 10, 30, 20, Grey(120));
    FillDepth(21, 21, 21, 21, Grey(100)); // touches the square only at a corner
    board->SetTool(ToolFill);
    Click(15, 15);
    for (int y = 10; y <= 20; ++y) {
        for (int x = 10; x <= 20; ++x) ASSERT_EQ(depth.GetPixel(x, y), Grey(150));
        for (int x = 21; x <= 30; ++x) ASSERT_EQ(depth.GetPixel(x, y), Grey(120));
    }
    EXPECT_EQ(depth.GetPixel(21, 21), Grey(100));
    EXPECT_EQ(depth.GetPixel(9, 15), kWhite);
    EXPECT_EQ(Painted().size(), 121u + 110u + 1u);
}

TEST_F(Fill, TargetEqualToTheCurrentColourDoesNothing)
{
    FillDepth(40, 40, 40, 40, Grey(150));
    board->SetTool(ToolFill);
    Click(40, 40);
    EXPECT_EQ(Painted(), (PixelSet{{40, 40}}));
}

TEST_F(Fill, RegionBoundsTheFill)
{
    board->SetTool(ToolLasso);
    for (const Point& p : {Point{20, 20}, Point{80, 20}, Point{20, 80}, Point{20, 20}}) Click(p.x, p.y);
    const PixelSet dashes = Painted();
    board->SetTool(ToolFill);
    Click(30, 30);
    EXPECT_EQ(depth.GetPixel(30, 30), Grey(150));
    EXPECT_EQ(depth.GetPixel(21, 77), Grey(150));
    EXPECT_EQ(depth.GetPixel(70, 70), kWhite);
    EXPECT_EQ(depth.GetPixel(10, 10), kWhite);
    for (const auto& [x, y] : Painted())
        if (!dashes.count({x, y})) {
            EXPECT_TRUE(board->IsInside(x, y)) << x << "," << y;
        }
}

TEST_F(Fill, ScrolledFillStaysInTheDepthMap)
{
    board->SetScrollOffset(10, 10);
    board->SetTool(ToolFill);
    Click(50, 50);
    PixelSet expected;
    for (int x = 11; x < 100; ++x)
        for (int y = 11; y < 100; ++y) expected.insert({x, y});
    EXPECT_EQ(Painted(), expected);
}

class Brush : public PaintFixture {
protected:
    void Dab(int x, int y)
    {
        board->SetTool(ToolBrush);
        Move(x, y);
        Down(x, y);
        Move(x, y);
        Up(x, y);
    }
};

TEST_F(Brush, DomeFromTheRampsRightEndToItsLeftEnd)
{
    SetSlider(CToolPanel::IdPenWidth, 20);
    Dab(50, 50);
    ExpectDepth({
        {50, 50, panel.StripColumn(116), "t = 1"},
        {50, 50, Grey(197), "the ramp's right end"},
        {55, 50, panel.StripColumn(58), "t = 0"},
        {60, 50, panel.StripColumn(0), "t = -1"},
        {61, 50, kWhite, "beyond the radius"},
        {58, 58, kWhite, "distance 11"},
    });
}

TEST_F(Brush, NeverLowersAValue)
{
    SetSlider(CToolPanel::IdPenWidth, 20);
    FillDepth(30, 30, 70, 70, Grey(220));
    Dab(50, 50);
    for (int y = 30; y <= 70; ++y)
        for (int x = 30; x <= 70; ++x) ASSERT_EQ(depth.GetPixel(x, y), Grey(220));

    FillDepth(30, 30, 70, 70, Grey(20));
    Dab(50, 50);
    EXPECT_EQ(depth.GetPixel(50, 50), Grey(197));
    EXPECT_EQ(depth.GetPixel(60, 50), Grey(20)); // level 0 is below 20

    // Any blue-family colour ranks above a grey one.
    FillDepth(30, 30, 70, 70, Grey(220));
    panel.Click(CToolPanel::IdBlue);
    panel.Refresh(0);
    Dab(50, 50);
    EXPECT_EQ(depth.GetPixel(50, 50), Blue(197));
    EXPECT_EQ(depth.GetPixel(60, 50), Blue(0));
}

class Eraser : public PaintFixture {
protected:
    Eraser() { FillDepth(1, 1, 99, 99, Grey(100)); }
    void Erase(int kindButton, int x, int y)
    {
        panel.Click(kindButton);
        panel.Refresh(0);
        board->SetTool(ToolEraser);
        Click(x, y);
    }
};

// The hard erasers at their first width (radius 10) pressed at (50, 50):
// the square spans twice the radius, the circle whitens truncated distances
// below the radius, within the same box.
TEST_F(Eraser, HardKindsWhitenTheirShape)
{
    struct Row {
        int button;
        bool (*whitened)(int dx, int dy);
    };
    const Row rows[] = {
        {CToolPanel::IdSquare, [](int dx, int dy) { return dx >= -10 && dx <= 9 && dy >= -10 && dy <= 9; }},
        {CToolPanel::IdCircular, [](int dx, int dy) { return dx * dx + dy * dy < 100 && dx < 10 && dy < 10; }},
    };
    for (const Row& r : rows) {
        FillDepth(1, 1, 99, 99, Grey(100));
        Erase(r.button, 50, 50);
        for (int y = 30; y < 70; ++y)
            for (int x = 30; x < 70; ++x)
                ASSERT_EQ(depth.GetPixel(x, y), r.whitened(x - 50, y - 50) ? kWhite : Grey(100))
                    << "kind " << r.button << " at " << x << "," << y;
        EXPECT_TRUE(ScreenMatchesDepth()) << "kind " << r.button;
    }
}

TEST_F(Eraser, SoftLightensTowardsTheCentre)
{
    FillDepth(40, 40, 60, 60, Blue(100));
    Erase(CToolPanel::IdSoft, 50, 50);
    EXPECT_EQ(depth.GetPixel(50, 50), kWhite);
    // Distance 5 of radius 10: m = 1 - sqrt(0.5), red 100 + trunc(155 m) = 145.
    EXPECT_EQ(depth.GetPixel(55, 50), Blue(145));
    EXPECT_EQ(depth.GetPixel(60, 50), Blue(100)); // distance r: unchanged
    EXPECT_EQ(depth.GetPixel(38, 50), Grey(100));
    // Each application lightens again.
    Click(50, 50);
    EXPECT_GT(depth.GetPixel(55, 50) & 0xFF, 145u);
    EXPECT_EQ(depth.GetPixel(55, 50) >> 16, 0xFFu);
}

TEST_F(Eraser, KindAndSizeAreTakenAtThePress)
{
    panel.Click(CToolPanel::IdSquare);
    panel.Refresh(0);
    board->SetTool(ToolEraser);
    Move(20, 20);
    Down(20, 20);
    EXPECT_TRUE(board->Eraser().Active());
    SetSlider(CToolPanel::IdEraserWidth, 30);
    panel.Click(CToolPanel::IdCircular);
    Move(80, 80);
    Up(80, 80);
    EXPECT_FALSE(board->Eraser().Active());
    EXPECT_EQ(depth.GetPixel(70, 70), kWhite);    // square corner of radius 10
    EXPECT_EQ(depth.GetPixel(69, 69), Grey(100)); // not radius 30
    EXPECT_EQ(board->Eraser().GetKind(), CEraser::Square);
}

class Gradient : public PaintFixture {
protected:
    Gradient() : PaintFixture(300, 300) {}
};

TEST_F(Gradient, CircleRisesFromCentreToRim)
{
    board->SetTool(ToolGradientCircle);
    Drag({{50, 50}, {70, 90}, {60, 50}});
    EXPECT_TRUE(ScreenMatchesDepth());
    ExpectDepth({
        {50, 50, panel.StripColumn(0), "the centre: t = -1"},
        {50, 50, Grey(0), "the ramp's left end"},
        {59, 50, panel.StripColumn(104), "t = 0.8"},
        {55, 50, panel.StripColumn(58), "t = 0"},
        {60, 50, kWhite, "the rim"},
        {57, 57, panel.StripColumn(104), "d = 9.9, truncated to 9"},
        {58, 58, kWhite, "d = 11"},
    });
}

TEST_F(Gradient, RectangleDraggedDown)
{
    FillDepth(1, 1, 299, 299, Grey(250));
    board->SetTool(ToolGradientRect);
    Drag({{50, 100}, {80, 150}, {50, 200}});
    EXPECT_TRUE(ScreenMatchesDepth());
    for (int y = 95; y <= 205; ++y) {
        const float t = static_cast<float>(std::abs(y - 100) - std::abs(y - 200)) / 100.0f;
        const Colour expected = y < 100 || y > 200 ? Grey(250) : panel.RampColour(t);
        for (int x : {1, 50, 177, 299}) ASSERT_EQ(depth.GetPixel(x, y), expected) << x << "," << y;
    }
    ExpectDepth({
        {10, 100, Grey(0), "the press side is column 0"},
        {10, 200, Grey(197), "the release side column 116"},
        {0, 150, kWhite, "column 0 is never painted"},
    });
}

TEST_F(Gradient, RectangleDraggedUpTurnsTheRampOver)
{
    board->SetTool(ToolGradientRect);
    Drag({{50, 200}, {50, 100}});
    ExpectDepth({{10, 200, Grey(0), "the press side"}, {10, 100, Grey(197), "the release side"}});
}

TEST_F(Gradient, RectangleAcrossADiagonalBand)
{
    board->SetTool(ToolGradientRect);
    Drag({{100, 100}, {140, 140}});
    // Perpendicular lines x + y = 200 and x + y = 280 bound the band.
    ExpectDepth({
        {150, 50, Grey(0), "on the press line"},
        {50, 150, Grey(0), "on the press line"},
        {140, 140, Grey(197), "on the release line"},
        {120, 120, panel.StripColumn(58), "half way"},
        {150, 49, kWhite, "before the press line"},
        {141, 140, kWhite, "beyond the release line"},
    });
}

class Picker : public PaintFixture {};

TEST_F(Picker, SwitchesFamilyAndValue)
{
    FillDepth(10, 10, 10, 10, Grey(100));
    FillDepth(20, 20, 20, 20, Blue(100));
    board->SetTool(ToolPicker);

    Click(20, 20);
    EXPECT_TRUE(panel.IsBlue());
    EXPECT_TRUE(panel.IsChecked(CToolPanel::IdBlue));
    EXPECT_FALSE(panel.IsChecked(CToolPanel::IdBlack));
    EXPECT_EQ(panel.ColourValue(), 100);
    EXPECT_EQ(panel.SwatchColour(), Blue(100));
    EXPECT_EQ(board->CurrentColour(), Blue(100));

    Click(10, 10);
    EXPECT_FALSE(panel.IsBlue());
    EXPECT_EQ(panel.ColourValue(), 100);
    EXPECT_EQ(panel.SwatchColour(), Grey(100));

    Click(50, 50);
    EXPECT_FALSE(panel.IsBlue());
    EXPECT_EQ(panel.ColourValue(), 255);
    EXPECT_EQ(panel.SliderPos(CToolPanel::IdColourValue), 255);
    EXPECT_EQ(board->CurrentColour(), kWhite);
}

} // namespace
} // namespace rv::test
