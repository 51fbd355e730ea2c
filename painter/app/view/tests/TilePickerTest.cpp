// The tile picker: the list from the back folder, the preview and the size
// fields, using a tile, the random tile, and nothing selected.
#include "painter/app/view/TilePicker.h"
#include "painter/app/view/DrawingView.h"
#include "painter/app/view/tests/FakeViewSystem.h"
#include "painter/image/Picture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace rv {
namespace {

using testing::EightBitBmp;
using testing::FakeViewSystem;
using testing::Pattern;

constexpr Colour kUntouched = 0x00FF00;
constexpr Colour kEmpty = 0xC0C0C0; // the box's own colour

class TilePicker : public ::testing::Test {
protected:
    TilePicker()
    {
        sys.MakeFolder("C:\\Relievo\\back");
        Pattern(b1, 60, 100, 1);
        Pattern(b2, 20, 10, 2);
        sys.WriteBmp("C:\\Relievo\\back\\b1.bmp", b1);
        sys.WriteBmp("C:\\Relievo\\back\\b2.bmp", b2);
        view = std::make_unique<CDrawingView>(state, sys, sys);
        view->OnInitialUpdate();
        picker.SetView(view.get());
        preview.Fill(kUntouched);
    }

    // The user selects list entry index; the preview box is painted again.
    void Select(int index)
    {
        picker.OnSelectionChange(index);
        picker.PaintPreview(preview, kEmpty);
    }
    // The box shows exactly this tile part (or nothing), and kEmpty around it.
    void ExpectBox(const CDibImage* tile, int width, int height, int tileTop)
    {
        for (int y = 0; y < CTilePicker::kPreviewHeight; ++y)
            for (int x = 0; x < CTilePicker::kPreviewWidth; ++x) {
                const Colour expected = tile && x < width && y < height ? tile->GetPixel(x, y + tileTop) : kEmpty;
                ASSERT_EQ(preview.GetPixel(x, y), expected) << x << "," << y;
            }
        // Nothing outside the box is touched.
        EXPECT_EQ(preview.GetPixel(CTilePicker::kPreviewWidth, 0), kUntouched);
        EXPECT_EQ(preview.GetPixel(0, CTilePicker::kPreviewHeight), kUntouched);
    }

    FakeViewSystem sys;
    CDibImage b1, b2;
    CWorkflowState state;
    std::unique_ptr<CDrawingView> view;
    CTilePicker picker;
    CMemorySurface preview{CTilePicker::kPreviewWidth + 10, CTilePicker::kPreviewHeight + 10};
};

TEST_F(TilePicker, TheListEndsAtTheFirstMissingNumber)
{
    sys.WriteBmp("C:\\Relievo\\back\\b4.bmp", b2);
    picker.OnInitialUpdate();
    EXPECT_EQ(picker.Names(), (std::vector<std::string>{"b1.bmp", "b2.bmp"}));
    // Filling again does not add twice.
    picker.OnInitialUpdate();
    EXPECT_EQ(picker.Names().size(), 2u);
}

TEST_F(TilePicker, NoBackFolderGivesAnEmptyList)
{
    std::filesystem::remove_all(sys.Native("C:\\Relievo\\back"));
    picker.OnInitialUpdate();
    EXPECT_TRUE(picker.Names().empty());
}

TEST_F(TilePicker, PreviewShowsTheBottomLeftOfATallTileUpright)
{
    picker.OnInitialUpdate();
    Select(0);
    // The tile is 60 x 100: its rows 5 to 99 and columns 0 to 49.
    ExpectBox(&b1, 50, 95, 5);
    EXPECT_EQ(picker.WidthText(), "60");
    EXPECT_EQ(picker.HeightText(), "100");
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(TilePicker, ASmallTileShowsWholeAtTheTopLeftOfAClearedBox)
{
    picker.OnInitialUpdate();
    Select(1);
    ExpectBox(&b2, 20, 10, 0);
    EXPECT_EQ(picker.WidthText(), "20");
    EXPECT_EQ(picker.HeightText(), "10");
    // After a larger tile nothing of it stays around the smaller one.
    Select(0);
    Select(1);
    ExpectBox(&b2, 20, 10, 0);
}

TEST_F(TilePicker, ActivationEmptiesTheBoxUntilTheSelectionChanges)
{
    picker.OnInitialUpdate();
    Select(0);
    picker.OnActivate();
    picker.PaintPreview(preview, kEmpty);
    ExpectBox(nullptr, 0, 0, 0);
    EXPECT_EQ(picker.WidthText(), "60") << "the size fields stay";
    // A click on the list activates the view and changes the selection: the
    // box shows the new tile whichever repaint runs last.
    picker.OnActivate();
    picker.OnSelectionChange(1);
    picker.PaintPreview(preview, kEmpty);
    ExpectBox(&b2, 20, 10, 0);
    picker.PaintPreview(preview, kEmpty);
    ExpectBox(&b2, 20, 10, 0);
}

TEST_F(TilePicker, SizeFieldsShowTheFileNumbersEvenForAnotherDepth)
{
    sys.WriteBytes("C:\\Relievo\\back\\b3.bmp", EightBitBmp(16, 8));
    picker.OnInitialUpdate();
    ASSERT_EQ(picker.Names().size(), 3u);
    Select(0);
    Select(2);
    EXPECT_EQ(sys.messages, std::vector<std::string>{"Not a 24bit BMP!"});
    EXPECT_EQ(picker.WidthText(), "16");
    EXPECT_EQ(picker.HeightText(), "8");
    ExpectBox(nullptr, 0, 0, 0); // no picture: the previous tile does not stay
}

TEST_F(TilePicker, AMissingTileSaysSoAndKeepsTheFields)
{
    picker.OnInitialUpdate();
    Select(0);
    std::filesystem::remove(sys.Native("C:\\Relievo\\back\\b2.bmp"));
    Select(1);
    EXPECT_EQ(sys.messages, std::vector<std::string>{"file not exist!"});
    EXPECT_EQ(picker.WidthText(), "60");
    // A file too short to hold the size fields shows empty fields.
    sys.WriteBytes("C:\\Relievo\\back\\b2.bmp", "BM\x10");
    Select(1);
    EXPECT_EQ(picker.WidthText(), "");
    EXPECT_EQ(picker.HeightText(), "");
}

TEST_F(TilePicker, UsingATileInitialisesTheViewWithIt)
{
    picker.OnInitialUpdate();
    picker.OnUseTile(1);
    EXPECT_EQ(view->TilePath(), ".\\back\\b2.bmp");
    EXPECT_EQ(state.stage, StageBackground);
    EXPECT_EQ(view->Layout().period, 20);
    EXPECT_EQ(view->Layout().tileHeight, 10);
    EXPECT_EQ(view->Background().Width(), 800);
    EXPECT_EQ(view->Background().GetPixel(45, 33), b2.GetPixel(5, 3));
}

TEST_F(TilePicker, NothingSelectedChangesNothing)
{
    picker.OnInitialUpdate();
    picker.OnUseTile(0);
    ASSERT_EQ(state.stage, StageBackground);
    const Colour before = view->Background().GetPixel(10, 10);
    picker.OnUseTile(-1);
    Select(-1);
    EXPECT_EQ(view->TilePath(), ".\\back\\b1.bmp");
    EXPECT_EQ(state.stage, StageBackground);
    EXPECT_EQ(view->Background().GetPixel(10, 10), before);
    ExpectBox(nullptr, 0, 0, 0);
    EXPECT_TRUE(sys.messages.empty());
    // Initialise still finds its tile afterwards.
    view->OnCommand(CmdInitialise);
    EXPECT_EQ(state.stage, StageBackground);
}

TEST_F(TilePicker, RandomButtonMakesARandomTile)
{
    picker.OnRandom();
    EXPECT_EQ(state.stage, StageTile);
    EXPECT_EQ(view->Background().Width(), 100);
    EXPECT_EQ(view->Background().Height(), 480);
    // Without a view the buttons do nothing.
    CTilePicker alone;
    alone.OnRandom();
    alone.OnUseTile(0);
    EXPECT_EQ(state.stage, StageTile);
}

// PNG and JPEG tiles join the list where the BMP of their number is
// missing; the preview, the size fields and using the tile read them.
TEST_F(TilePicker, PngAndJpegTilesStandInForMissingBmps)
{
    CDibImage b3;
    Pattern(b3, 30, 40, 3);
    ASSERT_TRUE(SavePng(b3, "C:\\Relievo\\back\\b3.png"));
    sys.WriteBytes("C:\\Relievo\\back\\b4.jpg", [] {
        std::ifstream in("../../image/tests/pictures/jpeg-baseline.jpg", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }());
    ASSERT_TRUE(SavePng(b3, "C:\\Relievo\\back\\b2.png")); // the BMP of 2 comes first
    picker.OnInitialUpdate();
    EXPECT_EQ(picker.Names(), (std::vector<std::string>{"b1.bmp", "b2.bmp", "b3.png", "b4.jpg"}));

    Select(2);
    EXPECT_EQ(picker.WidthText(), "30");
    EXPECT_EQ(picker.HeightText(), "40");
    EXPECT_EQ(preview.GetPixel(0, 39), b3.GetPixel(0, 39));
    EXPECT_EQ(preview.GetPixel(29, 0), b3.GetPixel(29, 0));
    Select(3);
    EXPECT_EQ(picker.WidthText(), "37");
    EXPECT_EQ(picker.HeightText(), "23");

    picker.OnUseTile(2);
    EXPECT_EQ(view->TilePath(), ".\\back\\b3.png");
    EXPECT_EQ(view->Layout().period, 30);
    EXPECT_EQ(state.stage, StageBackground);
    EXPECT_EQ(view->Background().GetPixel(31, 41), b3.GetPixel(1, 1));
    EXPECT_TRUE(sys.messages.empty());
}

} // namespace
} // namespace rv
