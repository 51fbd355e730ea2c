// The program's drawing view from construction on: the program's folder and
// the first tile, the stage each command leads to, Initialise and the
// background, the random tile, the stereogram, the 3D feel, show background
// and the panel's first refreshes.
#include "painter/app/view/DrawingView.h"
#include "painter/stereo/Stereogram.h"
#include "painter/app/view/tests/FakeViewSystem.h"

#include <gtest/gtest.h>

namespace rv {
namespace {

using testing::FakeViewSystem;
using testing::Pattern;

class ProgramView : public ::testing::Test {
protected:
    ProgramView()
    {
        sys.MakeFolder("C:\\Relievo\\back");
        Pattern(tile, 40, 30, 7);
        sys.WriteBmp("C:\\Relievo\\back\\b1.bmp", tile);
        Pattern(tile2, 64, 20, 9);
        sys.WriteBmp("C:\\Relievo\\back\\b2.bmp", tile2);
    }
    CDrawingView& View()
    {
        if (!view) {
            view = std::make_unique<CDrawingView>(state, sys, sys);
            view->OnInitialUpdate();
        }
        return *view;
    }

    FakeViewSystem sys;
    CDibImage tile, tile2;
    CWorkflowState state;
    std::unique_ptr<CDrawingView> view;
};

TEST_F(ProgramView, ConstructionTakesTheProgramFolderAndTheFirstTile)
{
    CDrawingView& v = View();
    EXPECT_EQ(v.ProgramDir(), "C:\\Relievo");
    ASSERT_FALSE(sys.folderChanges.empty());
    EXPECT_EQ(sys.folderChanges.front(), "C:\\Relievo");
    EXPECT_EQ(v.TilePath(), ".\\back\\b1.bmp");
    EXPECT_EQ(v.Feel(), 15);
    EXPECT_EQ(v.Layout().pictureWidth, 800);
    EXPECT_EQ(v.Layout().pictureHeight, 600);
    EXPECT_EQ(v.Layout().period, 40);
    EXPECT_EQ(v.Layout().tileHeight, 30);
    EXPECT_EQ(v.Background().Width(), 40);
    EXPECT_EQ(v.Background().GetPixel(39, 29), tile.GetPixel(39, 29));
    EXPECT_EQ(v.DepthMap().Width(), 760);
    EXPECT_EQ(v.DepthMap().Height(), 600);
    EXPECT_EQ(v.DepthMap().GetPixel(759, 599), kWhite);
    EXPECT_EQ(v.Board().CanvasWidth(), 760);
    EXPECT_EQ(v.Board().CanvasHeight(), 600);
    EXPECT_EQ(state.stage, StageStart);
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(ProgramView, WithoutATileThePeriodIs100AndTheBackgroundWhite)
{
    std::filesystem::remove(sys.Native("C:\\Relievo\\back\\b1.bmp"));
    CDrawingView& v = View();
    EXPECT_EQ(v.Layout().period, 100);
    EXPECT_EQ(v.Layout().tileHeight, 0);
    EXPECT_EQ(v.DepthMap().Width(), 700);
    // "生成背景" is enabled at start; without a tile it makes a white picture.
    EXPECT_TRUE(v.OnCommand(CmdGenerateBackground));
    EXPECT_EQ(state.stage, StageBackground);
    EXPECT_EQ(v.Background().Width(), 800);
    EXPECT_EQ(v.Background().GetPixel(400, 300), kWhite);
    // Initialise stops in the tile stage when the tile cannot be read.
    EXPECT_TRUE(v.OnCommand(CmdInitialise));
    EXPECT_EQ(state.stage, StageTile);
}

TEST_F(ProgramView, ATileAsWideAsThePictureLeavesAnEmptyDepthMapAndNoCrash)
{
    CDibImage wide;
    Pattern(wide, 800, 10, 1);
    sys.WriteBmp("C:\\Relievo\\back\\b1.bmp", wide);
    CDrawingView& v = View();
    EXPECT_TRUE(v.DepthMap().Empty());
    state.stage = StagePainting;
    v.SetTool(ToolFill);
    CMemorySurface screen(50, 50);
    v.OnLButtonDown(5, 5, screen);
    v.OnLButtonUp(5, 5, screen);
    v.OnDraw(screen);
    EXPECT_TRUE(v.DepthMap().Empty());
    v.GenerateStereogram();
    EXPECT_EQ(state.stage, StageStereogram);
}

TEST_F(ProgramView, EveryCommandLeadsToItsStage)
{
    struct Row {
        int from;
        int command;
        bool enabled;
        int to;
    };
    const Row rows[] = {
        {StageStart, CmdInitialise, true, StageBackground},
        {StageStereogram, CmdInitialise, true, StageBackground},
        {StageStart, CmdGenerateBackground, true, StageBackground},
        {StageTile, CmdGenerateBackground, true, StageBackground},
        {StageBackground, CmdGenerateBackground, true, StageBackground},
        {StagePainting, CmdGenerateBackground, false, StagePainting},
        {StageStereogram, CmdGenerateBackground, false, StageStereogram},
        {StageStart, CmdRandomBackground, true, StageTile},
        {StagePainting, CmdRandomBackground, true, StageTile},
        {StageStereogram, CmdRandomBackground, true, StageTile},
        {StageStart, CmdMake3dPrimitives, false, StageStart},
        {StageTile, CmdMake3dPrimitives, false, StageTile},
        {StageBackground, CmdMake3dPrimitives, true, StagePainting},
        {StagePainting, CmdMake3dPrimitives, true, StagePainting},
        {StageStereogram, CmdMake3dPrimitives, false, StageStereogram},
        {StageBackground, CmdGenerateStereogram, false, StageBackground},
        {StagePainting, CmdGenerateStereogram, true, StageStereogram},
        {StageStereogram, CmdGenerateStereogram, true, StageStereogram},
        {StageBackground, CmdShowBackground, true, StageBackground},
        {StagePainting, CmdShowBackground, true, StagePainting},
        {StageStereogram, CmdShowBackground, false, StageStereogram},
        {StageStart, CmdDecreaseFeel, true, StageStart},
        {StagePainting, CmdIncreaseFeel, true, StagePainting},
        {StageStart, CmdImport, true, StageStart},
        {StageBackground, CmdImport, true, StageBackground},
        {StageStart, CmdSettings, true, StageStart},
        {StagePainting, CmdSave, true, StagePainting},
        {StageStereogram, CmdSave, true, StageStereogram},
        {StageBackground, CmdSave, false, StageBackground},
        {StagePainting, CmdClearDrawing, true, StagePainting},
        {StagePainting, CmdLasso, true, StagePainting},
        {StagePainting, CmdCopyLayer, true, StagePainting},
        {StagePainting, CmdPasteLayer, true, StagePainting},
        {StagePainting, CmdDeleteAllLayers, true, StagePainting},
        {StagePainting, CmdDeleteCurrentLayer, true, StagePainting},
        {StagePainting, CmdWidth14, true, StagePainting},
        {StageStart, ID_APP_ABOUT, false, StageStart},
    };
    CDrawingView& v = View();
    for (const Row& r : rows) {
        state.stage = r.from;
        EXPECT_EQ(v.IsCommandEnabled(r.command), r.enabled) << r.command << " in stage " << r.from;
        EXPECT_EQ(v.OnCommand(r.command), r.enabled) << r.command << " in stage " << r.from;
        EXPECT_EQ(state.stage, r.to) << r.command << " from stage " << r.from;
    }
}

TEST_F(ProgramView, InitialiseTilesTheChosenTileOverThePicture)
{
    CDrawingView& v = View();
    ASSERT_TRUE(v.SetTilePath(".\\back\\b2.bmp"));
    sys.invalidated = 0;
    v.OnCommand(CmdInitialise);
    EXPECT_EQ(state.stage, StageBackground);
    EXPECT_EQ(v.Layout().period, 64);
    EXPECT_EQ(v.Layout().tileHeight, 20);
    EXPECT_EQ(sys.scrollSizes, (Point{800, 600}));
    EXPECT_GE(sys.invalidated, 2);
    ASSERT_EQ(v.Background().Width(), 800);
    ASSERT_EQ(v.Background().Height(), 600);
    for (const Point p : {Point{0, 0}, Point{250, 430}, Point{799, 599}, Point{64, 20}})
        EXPECT_EQ(v.Background().GetPixel(p.x, p.y), tile2.GetPixel(p.x % 64, p.y % 20)) << p.x << "," << p.y;
    // The depth map keeps its size until the settings or an import rebuild it.
    EXPECT_EQ(v.DepthMap().Width(), 760);
}

TEST_F(ProgramView, TilePathsAreKeptOnlyWhenTheyFit)
{
    CDrawingView& v = View();
    EXPECT_FALSE(v.SetTilePath(""));
    EXPECT_FALSE(v.SetTilePath(".\\back\\b12345678.bmp")); // 20 characters
    EXPECT_EQ(v.TilePath(), ".\\back\\b1.bmp");
    EXPECT_TRUE(v.SetTilePath(".\\back\\b1234567.bmp")); // 19
    EXPECT_EQ(v.TilePath(), ".\\back\\b1234567.bmp");
}

TEST_F(ProgramView, RandomTileTakesTheNextNumbersAndDropsTheTool)
{
    CDrawingView& v = View();
    state.stage = StagePainting;
    v.OnCommand(CmdPencil);
    ProcessRandom() = CRandomSource(1);
    EXPECT_TRUE(v.OnCommand(CmdRandomBackground));
    EXPECT_EQ(state.stage, StageTile);
    EXPECT_EQ(v.Board().GetTool(), ToolNone);
    EXPECT_EQ(v.Layout().period, 100);
    EXPECT_EQ(v.Layout().tileHeight, 480);
    EXPECT_EQ(v.Layout().pictureHeight, 480);
    EXPECT_EQ(v.Layout().pictureWidth, 800);
    CDibImage expected;
    PictureLayout layout;
    CRandomSource fresh(1);
    ASSERT_TRUE(rv::RandomBackground(expected, layout, fresh));
    ASSERT_EQ(v.Background().Width(), 100);
    ASSERT_EQ(v.Background().Height(), 480);
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 100; x += 3) ASSERT_EQ(v.Background().GetPixel(x, y), expected.GetPixel(x, y));
    EXPECT_EQ(v.DepthMap().Height(), 600);
    // Then "生成背景" tiles it to 800 x 480.
    EXPECT_TRUE(v.OnCommand(CmdGenerateBackground));
    EXPECT_EQ(v.Background().Width(), 800);
    EXPECT_EQ(v.Background().Height(), 480);
    EXPECT_EQ(v.Background().GetPixel(350, 20), expected.GetPixel(50, 20));
}

TEST_F(ProgramView, StereogramShiftsTheBackgroundByTheDepthMapAndFeel)
{
    CDrawingView& v = View();
    v.OnCommand(CmdInitialise);
    v.OnCommand(CmdMake3dPrimitives);
    for (int y = 100; y < 200; ++y)
        for (int x = 100; x < 300; ++x) v.DepthMap().SetPixel(x, y, 0x505050);
    v.OnCommand(CmdIncreaseFeel); // 16
    // The same transform on a copy of the background.
    CDibImage copy;
    ASSERT_TRUE(copy.Create(800, 600));
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) copy.SetPixel(x, y, v.Background().GetPixel(x, y));
    StereogramParams params;
    params.period = 40;
    params.feel = 16;
    rv::GenerateStereogram(copy, v.DepthMap(), params);

    sys.invalidated = 0;
    EXPECT_TRUE(v.OnCommand(CmdGenerateStereogram));
    EXPECT_EQ(state.stage, StageStereogram);
    EXPECT_EQ(sys.arrowCursors, 1);
    EXPECT_EQ(sys.invalidated, 1);
    int differences = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            ASSERT_EQ(v.Background().GetPixel(x, y), copy.GetPixel(x, y)) << x << "," << y;
            differences += v.Background().GetPixel(x, y) != tile.GetPixel(x % 40, y % 30);
        }
    EXPECT_GT(differences, 1000); // the depth did shift the pattern
}

TEST_F(ProgramView, FeelCommandsReadAndRewriteTheDisplay)
{
    CDrawingView& v = View();
    struct Row {
        const char* display;
        int command;
        int feel;
        const char* after;
    };
    const Row rows[] = {
        {"15", CmdIncreaseFeel, 16, "16"},   {"15", CmdDecreaseFeel, 14, "14"},
        {"1", CmdDecreaseFeel, 1, "1"},      {"240", CmdIncreaseFeel, 240, "240"},
        {"99", CmdIncreaseFeel, 100, "100"}, {"100", CmdIncreaseFeel, 101, "101"},
        {"2", CmdDecreaseFeel, 1, "1"},
    };
    for (const Row& r : rows) {
        sys.feelDisplay = r.display;
        EXPECT_TRUE(v.OnCommand(r.command));
        EXPECT_EQ(v.Feel(), r.feel) << r.display;
        EXPECT_EQ(sys.feelDisplay, r.after) << r.display;
    }
}

TEST_F(ProgramView, WithoutAFeelDisplayTheViewKeepsTheValue)
{
    sys.hasFeelDisplay = false;
    CDrawingView& v = View();
    v.OnCommand(CmdIncreaseFeel);
    v.OnCommand(CmdIncreaseFeel);
    EXPECT_EQ(v.Feel(), 17);
    for (int i = 0; i < 30; ++i) v.OnCommand(CmdDecreaseFeel);
    EXPECT_EQ(v.Feel(), 1);
}

TEST_F(ProgramView, ShowBackgroundDrawsOnTheClientAreaAtOnce)
{
    CDrawingView& v = View();
    v.OnCommand(CmdInitialise);
    v.OnCommand(CmdMake3dPrimitives);
    v.OnScroll(30, 40);
    sys.client.Fill(0x0000FF);
    sys.invalidated = 0;
    EXPECT_TRUE(v.OnCommand(CmdShowBackground));
    EXPECT_EQ(sys.client.GetPixel(0, 0), tile.GetPixel(0, 0)); // no scroll origin
    EXPECT_EQ(sys.client.GetPixel(299, 299), tile.GetPixel(299 % 40, 299 % 30));
    EXPECT_EQ(state.stage, StagePainting);
    EXPECT_EQ(sys.invalidated, 0);
}

TEST_F(ProgramView, ThePanelIsDrawnBeforeTheFirstGesture)
{
    CDrawingView& v = View();
    const CToolPanel& panel = v.Panel();
    EXPECT_EQ(v.Board().Panel(), &v.Panel());
    EXPECT_EQ(panel.Revision(), 2);
    EXPECT_EQ(panel.SwatchColour(), 0x969696u);
    EXPECT_EQ(panel.StripColumn(0), 0u);
    EXPECT_EQ(panel.RampColour(0), 0x1F1F1Fu); // level 31
    EXPECT_EQ(panel.RampColour(1), 0xC5C5C5u); // level 197
    // So a brush dab right away paints the ramp, not white.
    state.stage = StagePainting;
    v.SetTool(ToolBrush);
    CMemorySurface screen(800, 600);
    v.Panel().OnSliderMoved(CToolPanel::IdPenWidth, 11);
    v.OnLButtonDown(50, 50, screen);
    v.OnMouseMove(50, 50, screen);
    v.OnLButtonUp(50, 50, screen);
    EXPECT_EQ(v.DepthMap().GetPixel(50, 50), 0xC5C5C5u); // the dab's centre: t = 1
    EXPECT_EQ(v.DepthMap().GetPixel(55, 50), 0u);        // its rim: t = -1
}

} // namespace
} // namespace rv
