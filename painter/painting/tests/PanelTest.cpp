// The settings panel's model: initial states, the refresh order, the strip's
// shapes and ramp, the button handlers and the picker's entry points.
#include "painter/image/DibImage.h"
#include "painter/painting/MemorySurface.h"
#include "painter/painting/PaintBoard.h"
#include "painter/painting/ToolPanel.h"

#include <gtest/gtest.h>

namespace rv {
namespace {

constexpr Colour Level(int v) { return static_cast<Colour>(v) * 0x010101u; }
constexpr Colour BlueLevel(int v) { return static_cast<Colour>(v) * 0x000101u | 0xFF0000u; }

class Panel : public ::testing::Test {
protected:
    Panel() : board(50, 50, depth)
    {
        depth.Create(50, 50);
        panel.Create(&board);
        panel.Refresh(0);
        panel.Refresh(0);
    }
    void Slide(int id, int pos)
    {
        panel.SetSliderPos(id, pos);
        panel.Refresh(0);
        panel.Refresh(0);
    }
    void Toggle(int id)
    {
        panel.Click(id);
        panel.Refresh(0);
    }
    int LevelAt(int column) const { return static_cast<int>(panel.StripColumn(column) & 0xFF); }

    CDibImage depth;
    CPaintBoard board;
    CToolPanel panel;
};

TEST_F(Panel, InitialStates)
{
    EXPECT_EQ(panel.SliderPos(CToolPanel::IdPenWidth), 1);
    EXPECT_EQ(panel.SliderPos(CToolPanel::IdEraserWidth), 10);
    EXPECT_EQ(panel.SliderPos(CToolPanel::IdCurve), 200);
    EXPECT_EQ(panel.SliderPos(CToolPanel::IdC1), 240);
    EXPECT_EQ(panel.SliderPos(CToolPanel::IdC2), 0);
    EXPECT_EQ(panel.SliderPos(CToolPanel::IdColourValue), 150);
    EXPECT_TRUE(panel.IsChecked(CToolPanel::IdLowLeft));
    EXPECT_FALSE(panel.IsChecked(CToolPanel::IdLowMiddle));
    EXPECT_FALSE(panel.IsChecked(CToolPanel::IdLowRight));
    EXPECT_TRUE(panel.IsChecked(CToolPanel::IdBlack));
    EXPECT_FALSE(panel.IsChecked(CToolPanel::IdBlue));
    EXPECT_TRUE(panel.IsPushed(CToolPanel::IdSoft));
    EXPECT_FALSE(panel.IsPushed(CToolPanel::IdCircular));
    EXPECT_EQ(panel.EraserWidth(), 10);
    EXPECT_EQ(panel.EraserKind(), 1);
    EXPECT_EQ(panel.ColourValue(), 150);
    EXPECT_FALSE(panel.IsBlue());
    EXPECT_EQ(panel.SwatchColour(), Level(150));
    EXPECT_EQ(board.PenWidth(), 1);
}

TEST_F(Panel, SlidersKeepToTheirRanges)
{
    Slide(CToolPanel::IdPenWidth, 0);
    EXPECT_EQ(panel.PenWidth(), 1);
    Slide(CToolPanel::IdPenWidth, 101);
    EXPECT_EQ(panel.PenWidth(), 100);
    EXPECT_EQ(board.PenWidth(), 100);
    Slide(CToolPanel::IdEraserWidth, 1);
    EXPECT_EQ(panel.EraserWidth(), 2);
    Slide(CToolPanel::IdC1, 5);
    EXPECT_EQ(panel.C1(), 10);
    Slide(CToolPanel::IdColourValue, 300);
    EXPECT_EQ(panel.ColourValue(), 255);
}

TEST_F(Panel, RampAtItsDocumentedPoints)
{
    EXPECT_EQ(panel.RampColour(-1.0f), Level(0));
    EXPECT_EQ(panel.RampColour(0.0f), Level(31));
    EXPECT_EQ(panel.RampColour(1.0f), Level(197));
    EXPECT_EQ(LevelAt(118), 240);
    // The rising dome never falls from left to right.
    for (int c = 1; c < CToolPanel::kStripColumns; ++c) EXPECT_GE(LevelAt(c), LevelAt(c - 1)) << c;
}

TEST_F(Panel, C1AndC2ShowOneRefreshLate)
{
    panel.SetSliderPos(CToolPanel::IdC2, 100);
    panel.Refresh(0);
    EXPECT_EQ(panel.C2(), 100);
    EXPECT_EQ(LevelAt(0), 0); // drawn from the previous refresh's c2
    panel.Refresh(0);
    EXPECT_EQ(LevelAt(0), 100);
    EXPECT_EQ(LevelAt(118), 240); // 340 is held at 240
    EXPECT_EQ(LevelAt(110), 240);
}

TEST_F(Panel, CurveSliderIsReadLive)
{
    panel.SetSliderPos(CToolPanel::IdCurve, 0);
    panel.Refresh(0);
    // f(x) = (1 - sqrt x)^2: 240 f(58 / 118) = 21.4.
    EXPECT_EQ(LevelAt(58), 219);
    EXPECT_EQ(LevelAt(0), 0);
}

TEST_F(Panel, CheckBoxesShowAtOnce)
{
    Toggle(CToolPanel::IdLowRight);
    EXPECT_TRUE(panel.LowRight());
    EXPECT_TRUE(panel.IsChecked(CToolPanel::IdLowRight));
    // Hill: low at both ends, high in the middle.
    EXPECT_EQ(LevelAt(0), 0);
    EXPECT_EQ(LevelAt(118), 0);
    EXPECT_EQ(LevelAt(10), LevelAt(108));
    EXPECT_EQ(LevelAt(59), 197); // rise(59 / 60)
    EXPECT_EQ(LevelAt(60), LevelAt(58)); // 118 - 58

    Toggle(CToolPanel::IdLowLeft);
    EXPECT_FALSE(panel.LowLeft());
    // Falling: column 117 - n gets rise(n / 118).
    EXPECT_EQ(LevelAt(117), 0);
    EXPECT_EQ(LevelAt(59), 31);
    EXPECT_EQ(LevelAt(0), 209); // rise(117 / 118)
    EXPECT_EQ(LevelAt(118), 0); // not redrawn: still the hill's end

    Toggle(CToolPanel::IdLowRight);
    for (int c = 0; c < CToolPanel::kStripColumns; ++c) ASSERT_EQ(LevelAt(c), 240); // flat high
}

TEST_F(Panel, ValleyShapes)
{
    Toggle(CToolPanel::IdLowMiddle);
    Toggle(CToolPanel::IdLowLeft);
    // Only the middle box: high at both ends, c2 in the middle.
    EXPECT_EQ(LevelAt(0), 240);
    EXPECT_EQ(LevelAt(60), 0);
    EXPECT_GE(LevelAt(118), 230);
    EXPECT_EQ(LevelAt(30), LevelAt(90));

    Toggle(CToolPanel::IdLowLeft);
    Toggle(CToolPanel::IdLowRight);
    for (int c = 0; c < CToolPanel::kStripColumns; ++c) ASSERT_EQ(LevelAt(c), 0); // all low

    Slide(CToolPanel::IdC2, 50);
    for (int c = 0; c < CToolPanel::kStripColumns; ++c) ASSERT_EQ(LevelAt(c), 50);
}

TEST_F(Panel, EraserKindButtons)
{
    panel.Click(CToolPanel::IdSquare);
    EXPECT_EQ(panel.EraserKind(), 3);
    EXPECT_TRUE(panel.IsPushed(CToolPanel::IdSquare));
    EXPECT_FALSE(panel.IsPushed(CToolPanel::IdSoft));
    panel.Click(CToolPanel::IdCircular);
    EXPECT_EQ(panel.EraserKind(), 2);
    EXPECT_TRUE(panel.IsPushed(CToolPanel::IdCircular));
    EXPECT_FALSE(panel.IsPushed(CToolPanel::IdSquare));
    // A refresh without the click leaves the kind alone.
    panel.Refresh(0);
    panel.Refresh(CToolPanel::kRefreshOnly);
    EXPECT_EQ(panel.EraserKind(), 2);
}

TEST_F(Panel, RadioButtonsChooseTheFamily)
{
    Toggle(CToolPanel::IdBlue);
    EXPECT_TRUE(panel.IsBlue());
    EXPECT_FALSE(panel.IsChecked(CToolPanel::IdBlack));
    EXPECT_EQ(panel.SwatchColour(), BlueLevel(150));
    EXPECT_EQ(panel.RampColour(0.0f), BlueLevel(31));
    Toggle(CToolPanel::IdBlack);
    EXPECT_FALSE(panel.IsBlue());
    EXPECT_EQ(panel.RampColour(0.0f), Level(31));
}

TEST_F(Panel, PickerEntryPoints)
{
    panel.SelectBlue();
    panel.SetColourValue(255);
    EXPECT_TRUE(panel.IsBlue());
    EXPECT_EQ(panel.SwatchColour(), kWhite);
    EXPECT_EQ(panel.SliderPos(CToolPanel::IdColourValue), 255);
    panel.SelectBlack();
    panel.SetColourValue(7);
    EXPECT_FALSE(panel.IsBlue());
    EXPECT_TRUE(panel.IsChecked(CToolPanel::IdBlack));
    EXPECT_EQ(panel.SwatchColour(), Level(7));
    EXPECT_EQ(panel.ColourValue(), 7);
}

TEST_F(Panel, OnlyTheControlsAChangeTouchesNeedShowingAgain)
{
    const PanelControlStates shown = panel.ControlStates();
    EXPECT_EQ(shown.size(), 14u) << "six sliders, five boxes, three eraser buttons";
    EXPECT_EQ(ChangedControls({}, shown), shown) << "nothing shown yet: every control";
    EXPECT_TRUE(ChangedControls(shown, panel.ControlStates()).empty());

    // A pencil stroke reads the panel and changes nothing of it.
    depth.Clear();
    board.SetTool(ToolPencil);
    CMemorySurface screen(50, 50);
    board.OnMouseDown(5, 5, screen);
    board.OnMouseMove(20, 20, screen);
    board.OnMouseUp(20, 20, screen);
    EXPECT_TRUE(ChangedControls(shown, panel.ControlStates()).empty());

    // The colour picker takes a blue pixel: the family and the value change.
    panel.SelectBlue();
    panel.SetColourValue(77);
    EXPECT_EQ(ChangedControls(shown, panel.ControlStates()),
              (PanelControlStates{{CToolPanel::IdColourValue, 77}, {CToolPanel::IdBlack, 0}, {CToolPanel::IdBlue, 1}}));
    Toggle(CToolPanel::IdSquare);
    EXPECT_EQ(ChangedControls(shown, panel.ControlStates()).size(), 5u) << "and the two eraser buttons";
}

TEST_F(Panel, RampSamplesAreHeldOnTheStrip)
{
    EXPECT_EQ(panel.RampColour(-5.0f), panel.StripColumn(0));
    EXPECT_EQ(panel.RampColour(5.0f), panel.StripColumn(118));
    EXPECT_EQ(panel.RampColour(0.999f), panel.StripColumn(115));
}

} // namespace
} // namespace rv

namespace rv {
namespace {

// What the panel's window reads from the model and how it reports changes.
class PanelWindow : public ::testing::Test {
protected:
    PanelWindow() : board(50, 50, depth)
    {
        depth.Create(50, 50);
        panel.Create(&board);
        panel.Refresh(0);
        panel.Refresh(0);
    }
    CDibImage depth;
    CPaintBoard board;
    CToolPanel panel;
};

TEST_F(PanelWindow, ASliderMoveShowsAtOnce)
{
    const int before = panel.Revision();
    panel.OnSliderMoved(CToolPanel::IdC2, 100);
    EXPECT_EQ(panel.Revision(), before + 2);
    EXPECT_EQ(panel.C2(), 100);
    EXPECT_EQ(panel.StripColumn(0), 0x646464u); // level c2 at the low end already
    EXPECT_EQ(panel.StripColumn(118), 0xF0F0F0u); // capped at 240
    panel.OnSliderMoved(CToolPanel::IdPenWidth, 250); // kept within 1..100
    EXPECT_EQ(panel.SliderPos(CToolPanel::IdPenWidth), 100);
    EXPECT_EQ(board.PenWidth(), 100);
}

TEST_F(PanelWindow, EveryNotificationRefreshes)
{
    panel.SetSliderPos(CToolPanel::IdColourValue, 40);
    const int before = panel.Revision();
    panel.Refresh(CToolPanel::IdColourValue); // a notification of the slider
    EXPECT_EQ(panel.Revision(), before + 1);
    EXPECT_EQ(panel.SwatchColour(), 0x282828u);
    EXPECT_EQ(panel.ColourValue(), 40);
    panel.Click(CToolPanel::IdBlue);
    EXPECT_EQ(panel.Revision(), before + 2);
    EXPECT_EQ(panel.SwatchColour(), 0xFF2828u);
    EXPECT_TRUE(panel.IsChecked(CToolPanel::IdBlue));
    EXPECT_FALSE(panel.IsChecked(CToolPanel::IdBlack));
}

TEST_F(PanelWindow, EraserButtonsCarryTheirIcons)
{
    EXPECT_EQ(CToolPanel::ButtonIcon(CToolPanel::IdSoft), 147);
    EXPECT_EQ(CToolPanel::ButtonIcon(CToolPanel::IdCircular), 148);
    EXPECT_EQ(CToolPanel::ButtonIcon(CToolPanel::IdSquare), 149);
    EXPECT_EQ(CToolPanel::ButtonIcon(CToolPanel::IdBlack), 0);
}

} // namespace
} // namespace rv
