// Undo and redo: every kind of step restores the depth map and the screen
// byte for byte (the region's dashes included) and redo puts them back; the
// packed rows and the history's bounds.
#include "painter/app/view/PaintScript.h"
#include "painter/app/view/UndoHistory.h"
#include "painter/app/view/tests/FakeViewSystem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace rv {
namespace {

using testing::BlankPlayer;
using testing::FakeViewSystem;
using testing::Pattern;

// The whole block (header and rows): what a saved BMP holds.
std::string Bytes(const CDibImage& image)
{
    return image.Empty() ? std::string() : std::string(reinterpret_cast<const char*>(image.Block()),
                                                       static_cast<std::size_t>(image.BlockSize()));
}

std::vector<Colour> Pixels(const CMemorySurface& screen)
{
    std::vector<Colour> pixels;
    for (int y = 0; y < screen.Height(); ++y)
        for (int x = 0; x < screen.Width(); ++x) pixels.push_back(screen.GetPixel(x, y));
    return pixels;
}

struct Shot {
    std::string map;
    std::vector<Colour> screen;
    bool operator==(const Shot&) const = default;
};

class UndoScript : public ::testing::Test {
protected:
    UndoScript()
    {
        player = BlankPlayer(120, 90);
        // Something under every gesture, so undo has more than white to
        // bring back.
        Run("panel value 90\ntool filled-rect\ndown 5 5\nmove 60 40\nup 60 40\n"
            "panel family blue\npanel value 30\ntool filled-ellipse\ndown 40 30\nmove 110 85\nup 110 85\n"
            "panel family black\npanel value 200\n");
    }
    void Run(const std::string& script)
    {
        std::string problem;
        ASSERT_TRUE(player->Run(script, problem)) << problem;
    }
    Shot Now() const { return {Bytes(player->DepthMap()), Pixels(player->Screen())}; }
    const CUndoHistory& History() { return player->View().History(); }

    std::unique_ptr<CPaintScriptPlayer> player;
};

// One gesture of each tool (and each eraser kind, pen widths above 1): it
// changes the picture, is one step, undo gives back the map and the screen
// exactly, redo the painted ones.
TEST_F(UndoScript, EveryToolGestureIsOneStepThatUndoAndRedoRestoreExactly)
{
    const char* gestures[] = {
        "tool pencil\ndown 10 10\nmove 30 20\nmove 50 60\nup 50 60\n",
        "panel pen-width 9\ntool pencil\ndown 10 70\nmove 30 50\nmove 70 40\nup 70 40\npanel pen-width 1\n",
        "panel pen-width 20\ntool brush\ndown 90 12\nmove 95 15\nmove 105 20\nup 105 20\n",
        "tool line\ndown 3 80\nmove 50 50\nmove 100 10\nup 100 10\n",
        "tool rect\ndown 20 20\nmove 50 50\nmove 90 70\nup 90 70\n",
        "tool filled-rect\ndown 70 10\nmove 100 40\nup 100 40\n",
        "tool ellipse\ndown 10 10\nmove 80 60\nup 80 60\n",
        "tool filled-ellipse\ndown 30 5\nmove 90 50\nup 90 50\n",
        "panel value 40\ntool fill\ndown 15 30\nup 15 30\npanel value 200\n",
        "panel eraser-kind square\npanel eraser-width 12\ntool eraser\ndown 30 30\nmove 40 35\nup 40 35\n",
        "panel eraser-kind circular\npanel eraser-width 15\ntool eraser\ndown 60 60\nmove 62 50\nup 62 50\n",
        "panel eraser-kind soft\npanel eraser-width 25\ntool eraser\ndown 50 30\nmove 52 31\nup 52 31\n",
        "tool gradient-circle\ndown 60 45\nmove 70 50\nmove 90 60\nup 90 60\n",
        "tool gradient-rect\ndown 10 10\nmove 50 40\nmove 100 80\nup 100 80\n",
    };
    for (const char* gesture : gestures) {
        SCOPED_TRACE(gesture);
        const Shot before = Now();
        const std::size_t steps = History().UndoCount();
        Run(gesture);
        const Shot after = Now();
        ASSERT_TRUE(after.map != before.map);
        ASSERT_EQ(History().UndoCount(), steps + 1);
        Run("undo\n");
        EXPECT_TRUE(Now() == before);
        Run("redo\n");
        EXPECT_TRUE(Now() == after);
    }
}

TEST_F(UndoScript, UndoAllGivesTheFirstMapAndRedoAllTheLast)
{
    player = BlankPlayer(120, 90); // nothing under the gestures: the first map is white
    std::vector<Shot> shots{Now()};
    const char* gestures[] = {
        "tool pencil\ndown 10 10\nmove 30 20\nup 30 20\n",
        "panel value 40\ntool fill\ndown 5 60\nup 5 60\n",
        "tool gradient-circle\ndown 60 45\nmove 90 60\nup 90 60\n",
        "clear\n",
        "panel family blue\ntool filled-rect\ndown 20 20\nmove 50 50\nup 50 50\n",
        "panel eraser-kind square\ntool eraser\ndown 30 30\nmove 40 40\nup 40 40\n",
    };
    for (const char* g : gestures) {
        Run(g);
        shots.push_back(Now());
    }
    ASSERT_EQ(History().UndoCount(), std::size(gestures));
    for (std::size_t i = shots.size() - 1; i > 0; --i) {
        Run("undo\n");
        EXPECT_TRUE(Now() == shots[i - 1]) << "after undoing step " << i;
    }
    std::string problem;
    EXPECT_FALSE(player->RunLine("undo", problem));
    EXPECT_EQ(problem, "nothing to undo");
    for (std::size_t i = 1; i < shots.size(); ++i) {
        Run("redo\n");
        EXPECT_TRUE(Now() == shots[i]) << "after redoing step " << i;
    }
    EXPECT_FALSE(player->RunLine("redo", problem));
    EXPECT_EQ(problem, "nothing to redo");
}

TEST_F(UndoScript, ANewGestureDropsTheRedoSteps)
{
    Run("tool pencil\ndown 10 10\nmove 30 20\nup 30 20\n");
    Run("undo\n");
    ASSERT_EQ(History().RedoCount(), 1u);
    Run("tool line\ndown 10 50\nmove 80 50\nup 80 50\n");
    EXPECT_EQ(History().RedoCount(), 0u);
    std::string problem;
    EXPECT_FALSE(player->RunLine("redo", problem));
}

// Gestures that change no depth pixel (the lasso, the picker, a pencil press
// without a move) and panel settings are no steps.
TEST_F(UndoScript, LassoPickerPanelAndEmptyGesturesAreNoSteps)
{
    const std::size_t steps = History().UndoCount();
    Run("tool picker\ndown 20 20\nup 20 20\n"
        "panel pen-width 30\npanel value 12\n"
        "tool pencil\ndown 50 50\nup 50 50\n"
        "tool lasso\ndown 10 10\nup 10 10\nmove 100 10\ndown 100 10\nup 100 10\nmove 10 80\n"
        "down 10 80\nup 10 80\nmove 10 10\ndown 10 10\nup 10 10\n");
    ASSERT_TRUE(player->View().Board().RegionActive());
    EXPECT_EQ(History().UndoCount(), steps);
    // Taking the region away again is no step either.
    Run("down 10 10\nup 10 10\n");
    EXPECT_EQ(History().UndoCount(), steps);
}

// A gesture inside a region: undo brings back the map with the dashes as
// they were; a region made after the gesture stays (dashes and all) when the
// gesture is undone, and taking it away leaves the map from before.
TEST_F(UndoScript, RegionDashesSurviveUndoAndRedo)
{
    const char* lasso = "tool lasso\ndown 8 8\nup 8 8\nmove 110 8\ndown 110 8\nup 110 8\nmove 8 85\n"
                        "down 8 85\nup 8 85\nmove 8 8\ndown 8 8\nup 8 8\n";
    const char* paint = "tool gradient-rect\ndown 10 10\nmove 100 80\nup 100 80\n";
    const Shot noRegion = Now();
    Run(lasso);
    const Shot withRegion = Now();
    ASSERT_TRUE(withRegion.map != noRegion.map); // the dashes
    Run(paint);
    const Shot painted = Now();
    Run("undo\n");
    EXPECT_TRUE(Now() == withRegion);
    Run("redo\n");
    EXPECT_TRUE(Now() == painted);

    // Region made after the gesture.
    Run("tool lasso\ndown 8 8\nup 8 8\n"); // clears it
    Run("clear\n");
    const Shot cleared = Now();
    Run("undo\n"); // back to the painting (without region)
    const Shot unclear = Now();
    ASSERT_TRUE(unclear.map != cleared.map);
    Run("redo\n");
    EXPECT_TRUE(Now() == cleared);
    Run("undo\n");
    EXPECT_TRUE(Now() == unclear);
    Run(lasso);
    Run("undo\n"); // the gradient goes, the new region stays
    EXPECT_TRUE(player->View().Board().RegionActive());
    Run("tool lasso\ndown 8 8\nup 8 8\n");
    EXPECT_TRUE(Now() == noRegion);
}

// A press whose release was not seen: undo closes the gesture as a step and
// the rest of the drag makes another.
TEST_F(UndoScript, UndoDuringAGestureClosesItFirst)
{
    const Shot before = Now();
    Run("tool pencil\ndown 10 10\nmove 40 20\n");
    Run("undo\n");
    EXPECT_TRUE(Now().map == before.map);
    Run("move 60 60\nup 60 60\n");
    const Shot after = Now();
    ASSERT_TRUE(after.map != before.map);
    Run("undo\n");
    EXPECT_TRUE(Now().map == before.map);
    Run("redo\n");
    EXPECT_TRUE(Now().map == after.map);
}

TEST(UndoPrompt, SaysWhatUndoAndRedoWouldDo)
{
    auto owned = BlankPlayer(50, 50);
    CPaintScriptPlayer& player = *owned;
    EXPECT_EQ(player.View().UndoPromptText(), "");
    std::string problem;
    ASSERT_TRUE(player.Run("tool filled-rect\ndown 5 5\nmove 20 20\nup 20 20\n", problem)) << problem;
    EXPECT_EQ(player.View().UndoPromptText(), "\xB3\xB7\xCF\xFB\xA3\xBA\xCA\xB5\xD0\xC4\xBE\xD8\xD0\xCE"); // 实心矩形
    EXPECT_FALSE(player.View().IsCommandEnabled(CmdRedo));
    ASSERT_TRUE(player.Run("clear\nundo\n", problem)) << problem;
    EXPECT_TRUE(player.View().IsCommandEnabled(CmdRedo));
    EXPECT_EQ(player.View().RedoPromptText(), "\xD6\xD8\xD7\xF6\xA3\xBA\xC7\xE5\xB3\xFD\xCD\xBC\xBB\xAD"); // 清除图画
}

// ------------------------------------------------ import, settings, initialise

class UndoFiles : public ::testing::Test {
protected:
    UndoFiles()
    {
        for (const char* folder : {"back", "sample", "result"}) sys.MakeFolder(std::string("C:\\Relievo\\") + folder);
        Pattern(tile, 100, 60, 3);
        sys.WriteBmp("C:\\Relievo\\back\\b1.bmp", tile);
        Pattern(tile, 80, 50, 7);
        sys.WriteBmp("C:\\Relievo\\back\\b2.bmp", tile);
        view = std::make_unique<CDrawingView>(state, sys, sys);
        view->OnInitialUpdate();
        view->OnCommand(CmdInitialise);
        view->OnCommand(CmdMake3dPrimitives);
        view->SetTool(ToolFilledRect);
        view->OnMouseMove(5, 5, sys.client);
        view->OnLButtonDown(5, 5, sys.client);
        view->OnMouseMove(100, 100, sys.client);
        view->OnLButtonUp(100, 100, sys.client);
    }
    FakeViewSystem sys;
    CWorkflowState state;
    CDibImage tile;
    std::unique_ptr<CDrawingView> view;
};

TEST_F(UndoFiles, ImportOfAnotherSizeAndSettingsAreStepsWithTheirSizes)
{
    ASSERT_EQ(view->History().UndoCount(), 2u); // Initialise, the rectangle
    const std::string painted = Bytes(view->DepthMap());
    CDibImage picture;
    Pattern(picture, 300, 200, 9);
    sys.WriteBmp("C:\\Relievo\\sample\\p.bmp", picture);
    sys.fileToOpen = "C:\\Relievo\\sample\\p.bmp";
    view->OnCommand(CmdImport);
    const std::string imported = Bytes(view->DepthMap());
    ASSERT_TRUE(imported != painted);

    sys.AnswerSize(500, 400); // a new, smaller depth map
    view->OnCommand(CmdSettings);
    ASSERT_EQ(view->DepthMap().Width(), 400);
    ASSERT_EQ(view->DepthMap().Height(), 400);
    const std::string blank = Bytes(view->DepthMap());

    view->OnCommand(CmdUndo);
    EXPECT_TRUE(Bytes(view->DepthMap()) == imported);
    EXPECT_EQ(view->Layout().pictureWidth, 800);
    EXPECT_EQ(view->Board().CanvasWidth(), 700);
    view->OnCommand(CmdUndo);
    EXPECT_TRUE(Bytes(view->DepthMap()) == painted);
    view->OnCommand(CmdRedo);
    view->OnCommand(CmdRedo);
    EXPECT_TRUE(Bytes(view->DepthMap()) == blank);
    EXPECT_EQ(view->Layout().pictureWidth, 500);
    EXPECT_EQ(view->Board().CanvasWidth(), 400);
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(UndoFiles, InitialiseIsAStepOfStageTileAndBackground)
{
    const std::string painted = Bytes(view->DepthMap());
    view->OnCommand(CmdGenerateStereogram);
    ASSERT_EQ(state.stage, StageStereogram);
    const std::string stereogram = Bytes(view->Background());
    ASSERT_TRUE(view->SetTilePath(".\\back\\b2.bmp"));
    view->OnCommand(CmdInitialise);
    ASSERT_EQ(state.stage, StageBackground);
    ASSERT_EQ(view->Layout().period, 80);
    const std::string tiled = Bytes(view->Background());

    view->OnCommand(CmdUndo);
    EXPECT_EQ(state.stage, StageStereogram);
    EXPECT_EQ(view->Layout().period, 100);
    EXPECT_TRUE(Bytes(view->Background()) == stereogram);
    EXPECT_TRUE(Bytes(view->DepthMap()) == painted);
    // The painting is undone in the stage the user is in: painting steps do
    // not change the stage.
    view->OnCommand(CmdUndo);
    EXPECT_EQ(state.stage, StageStereogram);
    EXPECT_TRUE(Bytes(view->DepthMap()) != painted);
    view->OnCommand(CmdRedo);
    view->OnCommand(CmdRedo);
    EXPECT_EQ(state.stage, StageBackground);
    EXPECT_EQ(view->Layout().period, 80);
    EXPECT_TRUE(Bytes(view->Background()) == tiled);
}

// ------------------------------------------------------ rows and bounds

TEST(PackedRows, ChangedRowsOnlyAndExchangeBothWays)
{
    CDibImage before, after;
    Pattern(before, 37, 20, 1); // odd width: rows carry pad bytes
    Pattern(after, 37, 20, 1);
    after.SetPixel(3, 4, 0x123456);
    after.SetPixel(36, 19, 0x000000);
    CPackedRows rows;
    rows.PackChanged(before.Bits(), 37, 20, after);
    ASSERT_FALSE(rows.Whole());
    EXPECT_EQ(rows.RowCount(), 2u);
    const std::string afterBytes = Bytes(after);
    rows.ExchangeRows(after);
    EXPECT_EQ(Bytes(after), Bytes(before));
    rows.ExchangeRows(after);
    EXPECT_EQ(Bytes(after), afterBytes);

    CDibImage other;
    ASSERT_TRUE(other.Create(10, 10));
    EXPECT_FALSE(rows.ExchangeRows(other));
    rows.PackChanged(before.Bits(), 37, 20, other);
    EXPECT_TRUE(rows.Whole());
    CDibImage made;
    ASSERT_TRUE(rows.UnpackWhole(made));
    EXPECT_EQ(Bytes(made), Bytes(before));
}

// A picture of random bytes: nothing in it packs.
void Noise(CDibImage& noise, int width, int height, unsigned seed)
{
    ASSERT_TRUE(noise.Create(width, height));
    std::mt19937 random(seed);
    for (int i = 0; i < height * noise.Stride(); ++i) noise.Bits()[i] = static_cast<std::uint8_t>(random());
}

TEST(PackedRows, NoiseIsKeptRawAndRampsPackSmall)
{
    CDibImage noise;
    Noise(noise, 1000, 4, 5);
    CPackedRows rows;
    rows.PackAll(noise);
    CDibImage made;
    ASSERT_TRUE(rows.UnpackWhole(made));
    EXPECT_EQ(Bytes(made), Bytes(noise));
    EXPECT_LE(rows.Bytes(), sizeof rows + 4 * (noise.Stride() + 1) + 64);

    CDibImage ramp;
    ASSERT_TRUE(ramp.Create(1000, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 1000; ++x) ramp.SetPixel(x, y, static_cast<Colour>(x / 8) * 0x010101u);
    rows.PackAll(ramp);
    ASSERT_TRUE(rows.UnpackWhole(made));
    EXPECT_EQ(Bytes(made), Bytes(ramp));
    EXPECT_LT(rows.Bytes(), 4 * 1000u); // 125 runs a row
}

CUndoStep NoiseStep(int width, int height, unsigned seed)
{
    CDibImage noise;
    Noise(noise, width, height, seed);
    CUndoStep step;
    step.depthMap.PackAll(noise);
    step.tool = static_cast<int>(seed);
    return step;
}

TEST(UndoHistoryBounds, OldestGoFirstAndTheBytesStayWithinTheBound)
{
    const std::size_t stepBytes = NoiseStep(100, 100, 0).Bytes();
    CUndoHistory history(10 * stepBytes + stepBytes / 2, 100);
    for (unsigned i = 1; i <= 25; ++i) {
        history.Push(NoiseStep(100, 100, i));
        EXPECT_LE(history.Bytes(), history.MaxBytes());
    }
    ASSERT_EQ(history.UndoCount(), 10u);
    // The ten newest remain, newest last.
    EXPECT_EQ(history.NextUndo()->tool, 25);
    for (int i = 0; i < 9; ++i) history.Undone();
    EXPECT_EQ(history.NextUndo()->tool, 16);
    EXPECT_EQ(history.RedoCount(), 9u);

    // The step count bound.
    CUndoHistory counted(std::size_t{1} << 30, 50);
    for (unsigned i = 1; i <= 60; ++i) counted.Push(NoiseStep(4, 4, i));
    EXPECT_EQ(counted.UndoCount(), 50u);
    EXPECT_EQ(counted.NextUndo()->tool, 60);

    // A step larger than the whole bound is not kept, nor anything older.
    CUndoHistory small(stepBytes / 2, 100);
    small.Push(NoiseStep(10, 10, 1));
    small.Push(NoiseStep(100, 100, 2));
    EXPECT_EQ(small.UndoCount(), 0u);
    EXPECT_EQ(small.Bytes(), 0u);
}

// Full-canvas gradients, the heaviest everyday steps: at least 50 of them
// fit, and the history counts its memory.
TEST(UndoHistoryBounds, FiftyFullCanvasGradientsAreKept)
{
    auto owned = BlankPlayer(400, 300);
    CPaintScriptPlayer& player = *owned;
    std::string problem;
    for (int i = 0; i < 55; ++i) {
        const std::string g = "panel c2 " + std::to_string(i * 4) + "\ntool gradient-rect\ndown " +
                              std::to_string(i) + " 1\nmove 399 " + std::to_string(299 - i) + "\nup 399 " +
                              std::to_string(299 - i) + "\n";
        ASSERT_TRUE(player.Run(g, problem)) << problem;
    }
    const CUndoHistory& history = player.View().History();
    EXPECT_EQ(history.UndoCount(), 55u);
    EXPECT_GT(history.Bytes(), 55u * 300);                      // every step holds its rows
    EXPECT_LT(history.Bytes(), 55u * 300 * CDibImage::StrideFor(400) / 4); // packed
}

} // namespace
} // namespace rv
