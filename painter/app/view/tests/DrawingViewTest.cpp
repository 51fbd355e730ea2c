// The drawing view: commands by stage, mouse forwarding and button state,
// clearing the drawing, repainting, scrolling, cursors, keys.
#include "painter/app/view/DrawingView.h"
#include "painter/app/view/tests/FakeViewSystem.h"
#include "painter/painting/MemorySurface.h"

#include <gtest/gtest.h>

#include <climits>

namespace rv {
namespace {

class DrawingView : public ::testing::Test {
protected:
    DrawingView() : screen(102, 102)
    {
        auto depth = std::make_unique<CDibImage>();
        depth->Create(100, 100);
        view = std::make_unique<CDrawingView>(state, host, std::move(depth));
        view->OnInitialUpdate();
        view->Panel().Refresh(0);
        view->Panel().Refresh(0);
    }
    void Painting() { state.stage = StagePainting; }
    Colour Depth(int x, int y) const { return view->DepthMap().GetPixel(x, y); }

    CWorkflowState state;
    testing::FakeViewSystem host;
    CMemorySurface screen;
    std::unique_ptr<CDrawingView> view;
};

// Which commands each stage offers (the menu asks at idle time).
TEST_F(DrawingView, CommandsEnabledByStage)
{
    struct Row {
        int stage;
        std::vector<int> enabled, disabled;
    };
    const Row rows[] = {
        {StageStart,
         {CmdInitialise, CmdGenerateBackground, CmdDecreaseFeel, CmdIncreaseFeel, CmdImport, CmdRandomBackground,
          CmdSettings},
         {CmdShowBackground, CmdMake3dPrimitives, CmdGenerateStereogram, CmdClearDrawing, CmdPencil, CmdBrush, CmdLine,
          CmdRect, CmdFilledRect, CmdEllipse, CmdFilledEllipse, CmdFill, CmdEraser, CmdLasso, CmdGradientCircle,
          CmdGradientRect, CmdPicker, CmdSave, CmdCopyLayer, CmdPasteLayer}},
        {StageBackground, {CmdGenerateBackground, CmdMake3dPrimitives}, {CmdGenerateStereogram}},
        {StagePainting, {CmdGenerateStereogram, CmdSave, CmdDeleteAllLayers}, {CmdGenerateBackground}},
        {StageStereogram, {CmdSave}, {CmdClearDrawing, CmdMake3dPrimitives, CmdPicker}},
    };
    for (const Row& r : rows) {
        state.stage = r.stage;
        for (int id : r.enabled) EXPECT_TRUE(view->IsCommandEnabled(id)) << id << " in stage " << r.stage;
        for (int id : r.disabled) EXPECT_FALSE(view->IsCommandEnabled(id)) << id << " in stage " << r.stage;
    }
}

TEST_F(DrawingView, ADisabledToolCommandChoosesNoTool)
{
    EXPECT_FALSE(view->OnCommand(CmdPencil));
    EXPECT_EQ(view->Board().GetTool(), ToolNone);
}

TEST_F(DrawingView, Make3dPrimitivesStartsThePaintingAndRepaints)
{
    state.stage = StageBackground;
    EXPECT_TRUE(view->OnCommand(CmdMake3dPrimitives));
    EXPECT_EQ(state.stage, StagePainting);
    EXPECT_EQ(host.invalidated, 1);
}

TEST_F(DrawingView, ToolCommandsAndCheckMarks)
{
    Painting();
    EXPECT_TRUE(view->OnCommand(CmdGradientRect));
    EXPECT_EQ(view->Board().GetTool(), ToolGradientRect);
    EXPECT_TRUE(view->IsCommandChecked(CmdGradientRect));
    EXPECT_FALSE(view->IsCommandChecked(CmdGradientCircle));
    EXPECT_TRUE(view->OnCommand(CmdBrush));
    EXPECT_EQ(view->Board().GetTool(), ToolBrush);
    EXPECT_TRUE(view->IsCommandChecked(CmdWidth14));
    EXPECT_FALSE(view->IsCommandChecked(CmdClearDrawing));
    EXPECT_EQ(ToolForCommand(CmdFilledEllipse), ToolFilledEllipse);
    EXPECT_EQ(ToolForCommand(CmdSave), -1);
}

TEST_F(DrawingView, MouseReachesTheBoardOnlyWhilePainting)
{
    view->SetTool(ToolFill);
    view->OnLButtonDown(50, 50, screen);
    EXPECT_EQ(state.buttonState, ButtonUp);
    EXPECT_EQ(Depth(50, 50), kWhite);

    Painting();
    view->OnLButtonDown(50, 50, screen);
    EXPECT_EQ(state.buttonState, ButtonDown);
    EXPECT_EQ(Depth(50, 50), 0x969696u);
    view->OnLButtonUp(50, 50, screen);
    EXPECT_EQ(state.buttonState, ButtonUp);
    EXPECT_EQ(host.waitCursors, 1);
    EXPECT_FALSE(host.waiting);
}

TEST_F(DrawingView, ReleaseOutsideTheViewKeepsTheButtonDown)
{
    Painting();
    view->SetTool(ToolLine);
    view->OnMouseMove(10, 10, screen);
    view->OnLButtonDown(10, 10, screen);
    view->OnMouseMove(20, 10, screen);
    // The release happened outside and was not seen: the next press is
    // ignored, moves still draw the band, the next release ends the line.
    view->OnLButtonDown(40, 40, screen);
    EXPECT_EQ(view->Board().Anchor(), (Point{10, 10}));
    view->OnMouseMove(30, 10, screen);
    view->OnLButtonUp(30, 10, screen);
    for (int x = 10; x <= 30; ++x) EXPECT_EQ(Depth(x, 10), 0x969696u) << x;
    EXPECT_EQ(Depth(40, 40), kWhite);
    // Once up, a move no longer reaches the line tool.
    view->OnMouseMove(60, 60, screen);
    EXPECT_EQ(view->Board().Current(), (Point{30, 10}));
}

TEST_F(DrawingView, LassoMovesReachTheBoardInEveryStage)
{
    view->SetTool(ToolLasso);
    view->OnMouseMove(33, 44, screen);
    EXPECT_EQ(view->Board().Current(), (Point{33, 44}));
    view->SetTool(ToolPencil);
    view->OnMouseMove(55, 66, screen);
    EXPECT_EQ(view->Board().Current(), (Point{33, 44}));
}

TEST_F(DrawingView, ClearDrawingWhitensAndDropsTheRegion)
{
    Painting();
    view->SetTool(ToolLasso);
    for (const Point& p : {Point{10, 10}, Point{60, 10}, Point{10, 60}, Point{10, 10}}) {
        view->OnMouseMove(p.x, p.y, screen);
        view->OnLButtonDown(p.x, p.y, screen);
        view->OnLButtonUp(p.x, p.y, screen);
    }
    ASSERT_TRUE(view->Board().RegionActive());
    EXPECT_EQ(Depth(10, 10), 0u); // a dash
    EXPECT_TRUE(view->OnCommand(CmdClearDrawing));
    EXPECT_FALSE(view->Board().RegionActive());
    EXPECT_EQ(host.invalidated, 1);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_EQ(Depth(x, y), kWhite);
    // The next lasso press opens a new lasso and writes nothing.
    view->OnLButtonDown(30, 30, screen);
    view->OnLButtonUp(30, 30, screen);
    EXPECT_TRUE(view->Board().Lasso().IsOpen());
    EXPECT_EQ(Depth(10, 10), kWhite);
}

TEST_F(DrawingView, RepaintFramesTheDepthMapAndFollowsTheScroll)
{
    Painting();
    view->DepthMap().SetPixel(12, 7, 0x123456);
    screen.Fill(kWhite);
    view->OnDraw(screen);
    EXPECT_EQ(screen.GetPixel(12, 7), 0x123456u);
    EXPECT_EQ(screen.GetPixel(100, 50), 0u);
    EXPECT_EQ(screen.GetPixel(50, 100), 0u);
    EXPECT_EQ(screen.GetPixel(101, 50), kWhite);

    view->OnScroll(10, 5);
    EXPECT_EQ(view->Board().ScrollOffset(), (Point{10, 5}));
    screen.Fill(kWhite);
    view->OnDraw(screen);
    EXPECT_EQ(screen.GetPixel(2, 2), 0x123456u);
    EXPECT_EQ(screen.GetPixel(90, 50), 0u);
    EXPECT_EQ(screen.GetPixel(91, 50), kWhite);

    // Outside the painting stage the background is shown.
    CDibImage& background = view->Background();
    background.Create(30, 30);
    background.SetPixel(20, 20, 0x00FF00);
    state.stage = StageBackground;
    view->OnScroll(0, 0);
    screen.Fill(0x0000FF);
    view->OnDraw(screen);
    EXPECT_EQ(screen.GetPixel(20, 20), 0x00FF00u);
    EXPECT_EQ(screen.GetPixel(12, 7), kWhite);
    EXPECT_EQ(screen.GetPixel(40, 40), 0x0000FFu);

    // Show background draws at the client origin even when scrolled and
    // painting.
    state.stage = StagePainting;
    view->OnScroll(10, 10);
    screen.Fill(0x0000FF);
    view->ShowBackground(screen);
    EXPECT_EQ(screen.GetPixel(20, 20), 0x00FF00u);
    EXPECT_EQ(screen.GetPixel(10, 10), kWhite);
}

TEST_F(DrawingView, FrameFollowsThePictureAreaNotTheDepthMap)
{
    // Another tile and a random tile change the period and the picture
    // height while the 100 x 100 depth map keeps its size: the frame goes
    // round the new picture area and the depth map is drawn over it.
    Painting();
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) view->DepthMap().SetPixel(x, y, 0x808080);
    PictureLayout layout = view->Layout();
    const auto setArea = [&](int width, int height) {
        layout.period = 100;
        layout.pictureWidth = width + 100;
        layout.pictureHeight = height;
        view->SetLayout(layout);
    };
    setArea(90, 60);
    screen.Fill(0x0000FF);
    view->OnDraw(screen);
    EXPECT_EQ(screen.GetPixel(10, 60), 0x808080u);  // the depth map covers the frame's bottom line
    EXPECT_EQ(screen.GetPixel(10, 99), 0x808080u);  // and shows below it
    EXPECT_EQ(screen.GetPixel(100, 50), 0x0000FFu); // no line at the depth map's edge
    EXPECT_EQ(screen.GetPixel(50, 100), 0x0000FFu);

    setArea(101, 40);
    screen.Fill(0x0000FF);
    view->OnDraw(screen);
    EXPECT_EQ(screen.GetPixel(101, 20), 0u);       // right line beyond the depth map
    EXPECT_EQ(screen.GetPixel(100, 20), kWhite);   // inside the frame, beyond the depth map
    EXPECT_EQ(screen.GetPixel(100, 40), 0u);       // bottom line where the depth map does not cover it
    EXPECT_EQ(screen.GetPixel(100, 41), 0x0000FFu);
    EXPECT_EQ(screen.GetPixel(50, 41), 0x808080u);

    // A size no picture can have is drawn without overflow.
    layout.pictureWidth = INT_MAX;
    layout.period = INT_MIN;
    layout.pictureHeight = INT_MAX;
    view->SetLayout(layout);
    screen.Fill(0x0000FF);
    view->OnDraw(screen);
    EXPECT_EQ(screen.GetPixel(101, 101), kWhite);
    EXPECT_EQ(screen.GetPixel(0, 101), 0u);
}

TEST_F(DrawingView, CursorsAndArrowKeys)
{
    view->SetTool(ToolPencil);
    EXPECT_EQ(view->CursorResource(), kCursorDefault);
    view->OnKeyDown(kKeyLeft);
    EXPECT_EQ(host.invalidated, 0);

    Painting();
    EXPECT_EQ(view->CursorResource(), kCursorPencil);
    const std::pair<int, int> cursors[] = {{ToolNone, kCursorDefault}, {ToolLine, kCursorCross},
                                           {ToolRect, kCursorCross},   {ToolGradientRect, kCursorCross},
                                           {ToolFill, kCursorFill},    {ToolEraser, kCursorEraser},
                                           {ToolLasso, kCursorLasso},  {ToolPicker, kCursorPicker},
                                           {ToolBrush, kCursorBrush}};
    for (const auto& [tool, cursor] : cursors) {
        view->SetTool(tool);
        EXPECT_EQ(view->CursorResource(), cursor) << tool;
    }
    for (int key : {kKeyLeft, kKeyUp, kKeyRight, kKeyDown}) view->OnKeyDown(key);
    view->OnKeyDown('A');
    EXPECT_EQ(host.invalidated, 4);
}

TEST_F(DrawingView, ReplacingTheDepthMapResizesTheBoard)
{
    Painting();
    view->SetTool(ToolLasso);
    view->OnLButtonDown(10, 10, screen);
    view->OnLButtonUp(10, 10, screen);
    ASSERT_TRUE(view->Board().Lasso().IsOpen());
    auto bigger = std::make_unique<CDibImage>();
    ASSERT_TRUE(bigger->Create(150, 80));
    view->ReplaceDepthMap(std::move(bigger));
    EXPECT_EQ(view->DepthMap().Width(), 150);
    EXPECT_EQ(view->Board().CanvasWidth(), 150);
    EXPECT_EQ(view->Board().CanvasHeight(), 80);
    EXPECT_FALSE(view->Board().Lasso().IsOpen());
    view->SetTool(ToolFill);
    view->OnLButtonDown(140, 70, screen);
    view->OnLButtonUp(140, 70, screen);
    EXPECT_EQ(Depth(149, 79), 0x969696u);
    EXPECT_EQ(Depth(149, 0), kWhite);
}

TEST(WorkflowState, OneForTheProgram)
{
    CWorkflowState& a = TheWorkflowState();
    EXPECT_EQ(&a, &TheWorkflowState());
    EXPECT_EQ(a.stage, StageStart);
    EXPECT_EQ(a.buttonState, ButtonUp);
}

} // namespace
} // namespace rv
