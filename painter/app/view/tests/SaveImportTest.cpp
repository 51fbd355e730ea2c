// Save, import and settings of the drawing view, through the fake platform:
// which dialog, which path, what is written or read, what the user is told,
// and the lasso region's dashes when a depth map is replaced.
#include "painter/app/view/DrawingView.h"
#include "painter/app/view/tests/FakeViewSystem.h"
#include "painter/image/Picture.h"
#include "painter/stereo/DepthMap.h"
#include "painter/stereo/Stereogram.h"

#include <gtest/gtest.h>

#include <cstring>

namespace rv {
namespace {

using testing::EightBitBmp;
using testing::FakeViewSystem;
using testing::Pattern;

const char kProgramDir[] = "C:\\Relievo";

class ViewFiles : public ::testing::Test {
protected:
    ViewFiles()
    {
        for (const char* folder : {"back", "sample", "result"}) sys.MakeFolder(std::string(kProgramDir) + "\\" + folder);
        Pattern(tile, 100, 60, 3); // period 100, as in the usual examples
        sys.WriteBmp("C:\\Relievo\\back\\b1.bmp", tile);
        view = std::make_unique<CDrawingView>(state, sys, sys);
        view->OnInitialUpdate();
        sys.folderChanges.clear();
    }
    CDrawingView& V() { return *view; }
    void Painting()
    {
        V().OnCommand(CmdInitialise);
        V().OnCommand(CmdMake3dPrimitives);
        ASSERT_EQ(state.stage, StagePainting);
    }
    void Press(int x, int y)
    {
        V().OnMouseMove(x, y, screen);
        V().OnLButtonDown(x, y, screen);
        V().OnLButtonUp(x, y, screen);
    }
    void Drag(Point from, Point to)
    {
        V().OnMouseMove(from.x, from.y, screen);
        V().OnLButtonDown(from.x, from.y, screen);
        V().OnMouseMove(to.x, to.y, screen);
        V().OnLButtonUp(to.x, to.y, screen);
    }
    // The depth map as it is now, to compare with after a command.
    void Snapshot(CDibImage& copy)
    {
        const CDibImage& map = V().DepthMap();
        ASSERT_TRUE(copy.Create(map.Width(), map.Height()));
        for (int y = 0; y < map.Height(); ++y)
            for (int x = 0; x < map.Width(); ++x) copy.SetPixel(x, y, map.GetPixel(x, y));
    }
    // Painting with a tile of period 800: the 800-wide picture leaves no
    // depth-map column, and the depth map is kept from before.
    void PaintingWithATileAsWideAsThePicture()
    {
        CDibImage wide;
        Pattern(wide, 800, 20, 2);
        sys.WriteBmp("C:\\Relievo\\back\\b2.bmp", wide);
        Painting();
        V().DepthMap().SetPixel(7, 7, 0x404040);
        V().SetTilePath(".\\back\\b2.bmp");
        V().Initialise();
    }
    // A closed triangle region with its dashes in the depth map.
    void Triangle()
    {
        V().OnCommand(CmdLasso);
        for (const Point p : {Point{10, 10}, Point{200, 10}, Point{10, 150}, Point{10, 10}}) Press(p.x, p.y);
        ASSERT_TRUE(V().Board().RegionActive());
    }
    static bool SamePixels(const CDibImage& a, const CDibImage& b)
    {
        if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
        return true;
    }

    FakeViewSystem sys;
    CDibImage tile;
    CWorkflowState state;
    CMemorySurface screen{800, 600};
    std::unique_ptr<CDrawingView> view;
};

// ------------------------------------------------------------------ save

// The picture of the stage goes into its folder in the format chosen: the
// depth map while painting, the stereogram once it is made; nothing is
// written beside it and nothing is said.
TEST_F(ViewFiles, SaveWritesThePictureOfTheStageIntoItsFolder)
{
    struct Row {
        bool stereogram;
        const char* name;
        bool png;
        const char* file;
        const char* notWritten;
    };
    const Row rows[] = {
        {false, "a", false, "C:\\Relievo\\sample\\a.bmp", "C:\\Relievo\\result\\a.bmp"},
        {false, "b", true, "C:\\Relievo\\sample\\b.png", "C:\\Relievo\\sample\\b.bmp"},
        {true, "c", false, "C:\\Relievo\\result\\c.bmp", "C:\\Relievo\\sample\\c.bmp"},
        {true, "d", true, "C:\\Relievo\\result\\d.png", "C:\\Relievo\\result\\d.bmp"},
    };
    Painting();
    V().DepthMap().SetPixel(3, 4, 0x202020);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        if (r.stereogram) V().OnCommand(CmdGenerateStereogram);
        sys.dialogs.clear();
        sys.AnswerName(r.name, r.png);
        EXPECT_TRUE(V().OnCommand(CmdSave));
        ASSERT_EQ(sys.dialogs.size(), 1u);
        EXPECT_EQ(sys.dialogs[0].dialog,
                  r.stereogram ? FakeViewSystem::Dialog::SaveResult : FakeViewSystem::Dialog::SaveSample);
        CDibImage saved;
        ASSERT_TRUE(LoadPicture(saved, r.file));
        EXPECT_TRUE(SamePixels(saved, r.stereogram ? V().Background() : V().DepthMap()));
        EXPECT_FALSE(sys.Exists(r.notWritten));
    }
    EXPECT_EQ(sys.formatsOffered.front(), "bmp"); // BMP is the format offered first
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(ViewFiles, SaveOverwritesAFileOfThatName)
{
    Painting();
    V().OnCommand(CmdGenerateStereogram);
    sys.AnswerName("a");
    V().OnCommand(CmdSave);
    V().Background().SetPixel(0, 0, 0x010203);
    sys.AnswerName("a");
    V().OnCommand(CmdSave);
    CDibImage saved;
    ASSERT_TRUE(saved.LoadBmp("C:\\Relievo\\result\\a.bmp"));
    EXPECT_EQ(saved.GetPixel(0, 0), 0x010203u);
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(ViewFiles, SaveNamesThatCannotBeUsed)
{
    struct Row {
        std::string typed;
        const char* message;
    };
    const Row rows[] = {
        {"", "Invalid file name!"},
        {std::string(243, 'n'), "Invalid file name!"},  // does not fit the save path
        {std::string(600, 'n'), "Invalid file name!"},  // the dialog takes 254 characters of it
        {"..\\outside", "Invalid file name!"},
        {"a/b", "Invalid file name!"},
        {"what?", "Invalid file name!"},
        {"con", "Invalid file name!"},
    };
    Painting();
    for (const Row& r : rows) {
        sys.messages.clear();
        sys.AnswerName(r.typed);
        V().OnCommand(CmdSave);
        ASSERT_EQ(sys.messages.size(), 1u) << r.typed;
        EXPECT_EQ(sys.messages[0], r.message) << r.typed;
    }
    EXPECT_TRUE(std::filesystem::is_empty(sys.Native("C:\\Relievo\\sample")));
    EXPECT_FALSE(sys.Exists("C:\\Relievo\\outside.bmp"));
}

TEST_F(ViewFiles, CancellingTheNameDialogSavesNothingAndSaysNothing)
{
    Painting();
    sys.AnswerCancel();
    EXPECT_TRUE(V().OnCommand(CmdSave));
    EXPECT_EQ(sys.dialogs.size(), 1u);
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_TRUE(std::filesystem::is_empty(sys.Native("C:\\Relievo\\sample")));
}

TEST_F(ViewFiles, AFailedSaveIsReported)
{
    Painting();
    std::filesystem::remove_all(sys.Native("C:\\Relievo\\sample"));
    sys.AnswerName("a");
    V().OnCommand(CmdSave);
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0], "Save bmp error!");
}

TEST_F(ViewFiles, SavePathsAreRelativeToTheProgramFolder)
{
    Painting();
    // Something moved the current folder: the save follows it, as every
    // relative path of the painter does; the view puts it back at import.
    sys.MakeFolder("C:\\Other\\sample");
    sys.currentFolder = "C:\\Other";
    sys.AnswerName("b");
    V().OnCommand(CmdSave);
    EXPECT_TRUE(sys.Exists("C:\\Other\\sample\\b.bmp"));
    V().OnCommand(CmdImport);
    EXPECT_EQ(sys.currentFolder, kProgramDir);
}

// ---------------------------------------------------------------- import

TEST_F(ViewFiles, ImportAsksInTheSampleFolderForBmpFiles)
{
    EXPECT_TRUE(V().OnCommand(CmdImport));
    ASSERT_EQ(sys.openRequests.size(), 1u);
    EXPECT_EQ(sys.openRequests[0].initialFolder, "C:\\Relievo\\sample");
    EXPECT_EQ(sys.openRequests[0].filterName,
              "\xCD\xBC\xCF\xF3\xCE\xC4\xBC\xFE(*.bmp;*.png;*.jpg)"); // 图象文件(*.bmp;*.png;*.jpg)
    EXPECT_EQ(sys.openRequests[0].pattern, "*.bmp;*.png;*.jpg;*.jpeg");
}

TEST_F(ViewFiles, ImportCropsOrPadsThePictureToThePictureLessOnePeriod)
{
    struct Row {
        int width, height;
    };
    for (const Row r : {Row{1000, 700}, Row{300, 200}, Row{700, 600}}) {
        CDibImage picture;
        Pattern(picture, r.width, r.height, 5);
        sys.WriteBmp("C:\\Relievo\\sample\\in.bmp", picture);
        sys.fileToOpen = "C:\\Relievo\\sample\\in.bmp";
        state.stage = StageBackground;
        sys.invalidated = 0;
        V().OnCommand(CmdImport);
        EXPECT_EQ(state.stage, StageBackground); // the stage does not change
        EXPECT_GE(sys.invalidated, 1);
        const CDibImage& d = V().DepthMap();
        ASSERT_EQ(d.Width(), 700) << r.width;
        ASSERT_EQ(d.Height(), 600) << r.width;
        EXPECT_EQ(V().Board().CanvasWidth(), 700);
        for (int y = 0; y < 600; y += 5)
            for (int x = 0; x < 700; x += 5) {
                const Colour expected = x < r.width && y < r.height ? picture.GetPixel(x, y) : kWhite;
                ASSERT_EQ(d.GetPixel(x, y), expected) << r.width << ": " << x << "," << y;
            }
        EXPECT_TRUE(sys.messages.empty());
    }
}

TEST_F(ViewFiles, ImportWithoutAFileRefitsTheDepthMap)
{
    Painting();
    V().DepthMap().SetPixel(5, 5, 0x303030);
    V().DepthMap().SetPixel(5, 590, 0x303030);
    V().OnCommand(CmdRandomBackground); // picture height 480, the depth map stays 700 x 600
    ASSERT_EQ(V().DepthMap().Height(), 600);
    sys.fileToOpen.clear();
    V().OnCommand(CmdImport);
    EXPECT_EQ(V().DepthMap().Width(), 700);
    EXPECT_EQ(V().DepthMap().Height(), 480);
    EXPECT_EQ(V().DepthMap().GetPixel(5, 5), 0x303030u);
    EXPECT_EQ(V().Board().CanvasHeight(), 480);
    EXPECT_TRUE(sys.messages.empty());
}

TEST_F(ViewFiles, ImportRestoresTheCurrentFolderTheDialogChanged)
{
    sys.folderAfterOpenDialog = "C:\\Pictures";
    for (const std::string file : {"", "C:\\Relievo\\sample\\none.bmp"}) {
        sys.folderChanges.clear();
        sys.fileToOpen = file;
        V().OnCommand(CmdImport);
        EXPECT_EQ(sys.currentFolder, kProgramDir) << file;
        EXPECT_EQ(sys.folderChanges, std::vector<std::string>{kProgramDir}) << file;
    }
}

// An import that brings no picture leaves the painting as it was (a
// region with its dashes, where there was one), tells the user why where there is a reason to
// tell, puts back the folder the dialog changed, and the board still paints.
TEST_F(ViewFiles, AnImportThatFailsKeepsThePainting)
{
    struct Row {
        const char* why;
        const char* file;
        bool unusablePath;   // the user chose a path GB2312 cannot hold
        bool region;         // a lasso region is open on the painting, and stays
        std::vector<std::string> messages;
    };
    const Row rows[] = {
        {"missing file", "C:\\Relievo\\sample\\none.bmp", false, false, {}},
        {"an 8-bit picture", "C:\\Relievo\\sample\\eight.bmp", false, true, {"Not a 24bit BMP!", "No a 24bits Bmp!"}},
        {"unusable path", "", true, true, {kUnusablePath}},
    };
    sys.WriteBytes("C:\\Relievo\\sample\\eight.bmp", EightBitBmp(4, 4));
    sys.folderAfterOpenDialog = "C:\\Pictures";
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        Painting();
        V().OnCommand(CmdClearDrawing); // white again after the row before
        V().DepthMap().SetPixel(300, 300, 0x404040);
        if (r.region) Triangle();
        CDibImage before;
        Snapshot(before);
        sys.messages.clear();
        sys.fileToOpen = r.file;
        sys.chosenPathUnusable = r.unusablePath;
        V().OnCommand(CmdImport);
        EXPECT_EQ(sys.messages, r.messages);
        EXPECT_TRUE(SamePixels(V().DepthMap(), before));
        EXPECT_EQ(V().Board().RegionActive(), r.region) << "a region stays with the painting";
        EXPECT_EQ(sys.currentFolder, kProgramDir);
        EXPECT_EQ(state.stage, StagePainting);
        // The board still paints into it.
        V().Board().DropRegion();
        V().OnCommand(CmdFill);
        Press(500, 500);
        EXPECT_EQ(V().DepthMap().GetPixel(500, 500), 0x969696u);
    }
}

TEST_F(ViewFiles, ImportedPictureGetsNoDashesFromARegion)
{
    Painting();
    Triangle();
    CDibImage picture;
    Pattern(picture, 700, 600, 11);
    sys.WriteBmp("C:\\Relievo\\sample\\in.bmp", picture);
    sys.fileToOpen = "C:\\Relievo\\sample\\in.bmp";
    V().OnCommand(CmdImport);
    EXPECT_FALSE(V().Board().RegionActive());
    EXPECT_TRUE(SamePixels(V().DepthMap(), picture));
    // A lasso press now opens a new lasso and writes nothing.
    Press(50, 50);
    EXPECT_TRUE(V().Board().Lasso().IsOpen());
    EXPECT_TRUE(SamePixels(V().DepthMap(), picture));
}

TEST_F(ViewFiles, RefitWithoutAFileTakesTheDashesOut)
{
    Painting();
    V().OnCommand(CmdFilledRect);
    Drag({20, 20}, {120, 80});
    CDibImage before;
    Snapshot(before);
    Triangle();
    ASSERT_FALSE(SamePixels(V().DepthMap(), before)); // the dashes
    sys.fileToOpen.clear();
    V().OnCommand(CmdImport);
    EXPECT_FALSE(V().Board().RegionActive());
    EXPECT_TRUE(SamePixels(V().DepthMap(), before));
    Press(50, 50);
    EXPECT_TRUE(SamePixels(V().DepthMap(), before));
}

TEST_F(ViewFiles, ImportWithNoDepthMapColumnLeftKeepsTheDepthMap)
{
    PaintingWithATileAsWideAsThePicture();
    sys.fileToOpen.clear();
    V().OnCommand(CmdImport);
    EXPECT_EQ(sys.messages, std::vector<std::string>{"Invalid picture size!"});
    EXPECT_EQ(V().DepthMap().GetPixel(7, 7), 0x404040u);
}

// -------------------------------------------------------------- settings

TEST_F(ViewFiles, SettingsShowTheSizeAndTakeTheNewOne)
{
    Painting();
    V().DepthMap().SetPixel(7, 7, 0x404040);
    sys.AnswerSize(1000, 700);
    sys.invalidated = 0;
    EXPECT_TRUE(V().OnCommand(CmdSettings));
    ASSERT_EQ(sys.dialogs.size(), 1u);
    EXPECT_EQ(sys.dialogs[0].dialog, FakeViewSystem::Dialog::Settings);
    EXPECT_EQ(sys.dialogs[0].width, 800);
    EXPECT_EQ(sys.dialogs[0].height, 600);
    EXPECT_EQ(V().Layout().pictureWidth, 1000);
    EXPECT_EQ(V().Layout().pictureHeight, 700);
    EXPECT_EQ(V().DepthMap().Width(), 900);
    EXPECT_EQ(V().DepthMap().Height(), 700);
    EXPECT_EQ(V().DepthMap().GetPixel(7, 7), kWhite);
    EXPECT_EQ(V().Board().CanvasWidth(), 900);
    EXPECT_EQ(V().Board().CanvasHeight(), 700);
    EXPECT_GE(sys.invalidated, 1); // the screen shows the white map at once
    // The background follows at the next "生成背景".
    EXPECT_EQ(V().Background().Width(), 800);
    state.stage = StageBackground;
    V().OnCommand(CmdGenerateBackground);
    EXPECT_EQ(V().Background().Width(), 1000);
    EXPECT_EQ(V().Background().Height(), 700);
    // The dialog then shows the new size.
    V().OnCommand(CmdSettings);
    EXPECT_EQ(sys.dialogs.back().width, 1000);
}

TEST_F(ViewFiles, SettingsCancelledKeepThePaintingTheSizeAndTheStage)
{
    Painting();
    V().DepthMap().SetPixel(7, 7, 0x404040);
    Triangle();
    const CDibImage* map = &V().DepthMap();
    sys.invalidated = 0;
    sys.AnswerCancel();
    EXPECT_TRUE(V().OnCommand(CmdSettings));
    EXPECT_EQ(&V().DepthMap(), map) << "the painting is the same picture";
    EXPECT_EQ(V().DepthMap().GetPixel(7, 7), 0x404040u);
    EXPECT_EQ(V().Layout().pictureWidth, 800);
    EXPECT_EQ(V().Layout().pictureHeight, 600);
    EXPECT_EQ(V().DepthMap().Width(), 700);
    EXPECT_TRUE(V().Board().RegionActive());
    EXPECT_EQ(state.stage, StagePainting);
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_EQ(sys.invalidated, 0);
}

TEST_F(ViewFiles, SettingsRefuseSizesWithoutADepthMap)
{
    // The dialog reads the numbers (four characters of each edit); the view
    // judges the size.
    struct Row {
        int width, height;
        int pictureWidth, pictureHeight;
        bool refused;
    };
    const Row rows[] = {
        {1234, 600, 1234, 600, false}, {900, 60, 900, 60, false}, {101, 1, 101, 1, false},
        {0, 600, 800, 600, true},      {800, 0, 800, 600, true},  {100, 600, 800, 600, true},
        {-900, 600, 800, 600, true},   {0, 0, 800, 600, true},    {900, -5, 800, 600, true},
    };
    for (const Row& r : rows) {
        auto fresh = std::make_unique<CDrawingView>(state, sys, sys);
        fresh->OnInitialUpdate();
        fresh->DepthMap().SetPixel(0, 0, 0x404040);
        sys.messages.clear();
        sys.AnswerSize(r.width, r.height);
        fresh->OnCommand(CmdSettings);
        EXPECT_EQ(fresh->Layout().pictureWidth, r.pictureWidth) << r.width << " " << r.height;
        EXPECT_EQ(fresh->Layout().pictureHeight, r.pictureHeight) << r.width << " " << r.height;
        EXPECT_EQ(fresh->DepthMap().Width(), r.pictureWidth - 100) << r.width;
        EXPECT_EQ(fresh->DepthMap().Height(), r.pictureHeight) << r.width;
        // A refused size changes nothing: the painting is still there.
        EXPECT_EQ(fresh->DepthMap().GetPixel(0, 0), r.refused ? 0x404040u : kWhite) << r.width << " " << r.height;
        EXPECT_EQ(sys.messages, r.refused ? std::vector<std::string>{"Invalid picture size!"}
                                          : std::vector<std::string>{})
            << r.width << " " << r.height;
    }
}

TEST_F(ViewFiles, SettingsWithATileAsWideAsThePictureAskForRoomAndKeepThePainting)
{
    PaintingWithATileAsWideAsThePicture();
    // Cancel judges no size and says nothing.
    sys.AnswerCancel();
    V().OnCommand(CmdSettings);
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_EQ(V().DepthMap().GetPixel(7, 7), 0x404040u);
    // A size that still leaves no column is refused once and changes nothing.
    sys.AnswerSize(700, 600);
    V().OnCommand(CmdSettings);
    EXPECT_EQ(sys.messages, std::vector<std::string>{"Invalid picture size!"});
    EXPECT_EQ(V().DepthMap().GetPixel(7, 7), 0x404040u);
    EXPECT_EQ(V().Layout().pictureWidth, 800);
    // A picture wider than the tile gives room again.
    sys.messages.clear();
    sys.AnswerSize(1000, 600);
    V().OnCommand(CmdSettings);
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_EQ(V().DepthMap().Width(), 200);
    EXPECT_EQ(V().DepthMap().GetPixel(7, 7), kWhite);
}

TEST_F(ViewFiles, ATypicalRunSavesWhatTheEngineMakesOfTheSavedDepthMap)
{
    // 1 Initialise, 4 Make 3D primitives, paint, 23 save the depth map,
    // 6 more 3D feel, 7 generate, 23 save the stereogram.
    V().OnCommand(CmdInitialise);
    V().OnCommand(CmdMake3dPrimitives);
    V().OnCommand(CmdFilledEllipse);
    Drag({100, 100}, {400, 300});
    V().Panel().Click(CToolPanel::IdBlue);
    V().OnCommand(CmdGradientCircle);
    Drag({500, 400}, {560, 400});
    sys.AnswerName("depth");
    V().OnCommand(CmdSave);
    V().OnCommand(CmdIncreaseFeel);
    V().OnCommand(CmdGenerateStereogram);
    sys.AnswerName("stereo");
    V().OnCommand(CmdSave);
    ASSERT_TRUE(sys.messages.empty());

    CDibImage depth, background, result;
    ASSERT_TRUE(depth.LoadBmp("C:\\Relievo\\sample\\depth.bmp"));
    EXPECT_EQ(depth.GetPixel(250, 200), 0x969696u);
    EXPECT_EQ(depth.GetPixel(530, 400), 0xFF0000u | 0x010101u * 31); // the ramp's middle, blue family
    PictureLayout layout;
    ASSERT_TRUE(LoadTile(background, "C:\\Relievo\\back\\b1.bmp", layout));
    ASSERT_TRUE(rv::GenerateBackground(background, layout));
    ASSERT_TRUE(FitDepthMap(depth, layout));
    StereogramParams params;
    params.period = layout.period;
    params.feel = 16;
    rv::GenerateStereogram(background, depth, params);
    ASSERT_TRUE(result.LoadBmp("C:\\Relievo\\result\\stereo.bmp"));
    ASSERT_EQ(result.BlockSize(), background.BlockSize());
    EXPECT_EQ(std::memcmp(result.Block(), background.Block(), static_cast<std::size_t>(result.BlockSize())), 0);
}

} // namespace
} // namespace rv
