#include "painter/stereo/Background.h"

#include "painter/stereo/tests/ImageTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace rv {
namespace {

namespace fs = std::filesystem;
using testing::CopyImage;
using testing::FillRandom;
using testing::SameBlock;
using testing::ScopedRecordingBox;

TEST(TilePaths, AreNumberedInTheBackFolder)
{
    EXPECT_EQ(TilePath(1), kFirstTilePath);
    EXPECT_EQ(TilePath(1), ".\\back\\b1.bmp");
    EXPECT_EQ(TilePath(12), ".\\back\\b12.bmp");
}

// Every pixel of a tiled picture is the tile pixel at (x mod period,
// y mod tileHeight), white where that lies outside the tile image.
void ExpectTiled(const CDibImage& picture, const CDibImage& tile, const PictureLayout& layout)
{
    ASSERT_EQ(picture.Width(), layout.pictureWidth);
    ASSERT_EQ(picture.Height(), layout.pictureHeight);
    for (int y = 0; y < layout.pictureHeight; ++y)
        for (int x = 0; x < layout.pictureWidth; ++x)
            ASSERT_EQ(picture.GetPixel(x, y), tile.GetPixel(x % layout.period, y % layout.tileHeight))
                << x << "," << y;
}

TEST(GenerateBackground, RepeatsTheTileOverThePicture)
{
    ScopedRecordingBox box;
    std::mt19937 rng(1);
    CDibImage tile, bg;
    ASSERT_TRUE(tile.Create(100, 100));
    FillRandom(tile, rng);
    CopyImage(tile, bg);
    PictureLayout layout; // 800 x 600
    layout.period = 100;
    layout.tileHeight = 100;
    ASSERT_TRUE(GenerateBackground(bg, layout));
    EXPECT_EQ(bg.GetPixel(250, 430), tile.GetPixel(50, 30));
    ExpectTiled(bg, tile, layout);

    // Tiling again takes the top-left tile area of the tiled picture: same picture.
    CDibImage first;
    CopyImage(bg, first);
    ASSERT_TRUE(GenerateBackground(bg, layout));
    EXPECT_TRUE(SameBlock(bg, first));
    EXPECT_TRUE(box.Shown().empty());
}

TEST(GenerateBackground, EndsWithPartialTilesAndPadsSmallTilesWithWhite)
{
    std::mt19937 rng(2);
    for (auto [tw, th, period, tileHeight, w, h] : {std::array{40, 30, 40, 30, 257, 203},   // partial at right and bottom
                                                     std::array{40, 30, 55, 37, 200, 100},   // tile area beyond the image
                                                     std::array{90, 70, 30, 20, 101, 45},    // only the top-left area
                                                     std::array{10, 10, 300, 5, 120, 12}}) { // period wider than the picture
        CDibImage tile, bg;
        ASSERT_TRUE(tile.Create(tw, th));
        FillRandom(tile, rng);
        CopyImage(tile, bg);
        PictureLayout layout;
        layout.pictureWidth = w;
        layout.pictureHeight = h;
        layout.period = period;
        layout.tileHeight = tileHeight;
        ASSERT_TRUE(GenerateBackground(bg, layout));
        ExpectTiled(bg, tile, layout);
    }
}

TEST(GenerateBackground, WithoutAUsableTileThePictureIsWhite)
{
    ScopedRecordingBox box;
    for (auto [period, tileHeight] : {std::pair{100, 0}, {0, 480}, {-3, -3}}) {
        CDibImage bg;
        PictureLayout layout;
        layout.period = period;
        layout.tileHeight = tileHeight;
        ASSERT_TRUE(GenerateBackground(bg, layout));
        CDibImage white;
        ASSERT_TRUE(white.Create(800, 600));
        EXPECT_TRUE(SameBlock(bg, white));
    }
    // An empty background (no tile loaded) with a usable layout reads white too.
    CDibImage empty;
    PictureLayout layout;
    layout.tileHeight = 50;
    ASSERT_TRUE(GenerateBackground(empty, layout));
    EXPECT_EQ(empty.GetPixel(799, 599), kWhite);
    EXPECT_TRUE(box.Shown().empty());
}

TEST(GenerateBackground, APictureThatCannotBeMadeKeepsTheOldBackground)
{
    ScopedRecordingBox box;
    CDibImage bg;
    ASSERT_TRUE(bg.Create(3, 3));
    bg.SetPixel(1, 1, 0x123456);
    for (auto [w, h] : {std::pair{0, 600}, {800, -1}, {1 << 30, 1 << 30}}) {
        PictureLayout layout;
        layout.pictureWidth = w;
        layout.pictureHeight = h;
        layout.period = 3;
        layout.tileHeight = 3;
        EXPECT_FALSE(GenerateBackground(bg, layout));
    }
    ASSERT_EQ(box.Shown().size(), 3u);
    for (const auto& text : box.Shown()) EXPECT_EQ(text, "Imply memory error!");
    EXPECT_EQ(bg.Width(), 3);
    EXPECT_EQ(bg.GetPixel(1, 1), 0x123456u);
}

class TileFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        old = fs::current_path();
        dir = fs::temp_directory_path() /
              ("rv_stereo_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir / "back");
        fs::current_path(dir);
    }
    void TearDown() override
    {
        fs::current_path(old);
        fs::remove_all(dir);
    }
    fs::path old, dir;
};

TEST_F(TileFolder, LoadTileTakesPeriodAndHeightFromTheTile)
{
    ScopedRecordingBox box;
    std::mt19937 rng(4);
    CDibImage tile;
    ASSERT_TRUE(tile.Create(64, 48));
    FillRandom(tile, rng);
    ASSERT_TRUE(tile.SaveBmp((dir / "back" / "b1.bmp").string()));

    CDibImage bg;
    PictureLayout layout;
    ASSERT_TRUE(LoadTile(bg, kFirstTilePath, layout));
    EXPECT_EQ(layout.period, 64);
    EXPECT_EQ(layout.tileHeight, 48);
    EXPECT_TRUE(SameBlock(bg, tile));

    // A missing tile changes nothing.
    EXPECT_FALSE(LoadTile(bg, TilePath(2), layout));
    EXPECT_EQ(layout.period, 64);
    EXPECT_TRUE(SameBlock(bg, tile));

    // A tile of another depth says so and leaves the background empty.
    CDibImage other;
    ASSERT_TRUE(other.Create(10, 10));
    ASSERT_TRUE(other.SaveBmp((dir / "back" / "b3.bmp").string()));
    {
        std::FILE* f = std::fopen((dir / "back" / "b3.bmp").string().c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        std::fseek(f, 28, SEEK_SET);
        std::fputc(8, f);
        std::fclose(f);
    }
    EXPECT_FALSE(LoadTile(bg, TilePath(3), layout));
    EXPECT_TRUE(bg.Empty());
    EXPECT_EQ(layout.period, 64);
    ASSERT_EQ(box.Shown().size(), 1u);
    EXPECT_EQ(box.Shown()[0], "Not a 24bit BMP!");
}

TEST_F(TileFolder, TheViewStartsWithTheFirstTileOrAPeriodOf100)
{
    CDibImage bg;
    PictureLayout layout;
    layout.period = 7;
    layout.tileHeight = 7;
    LoadFirstTile(bg, layout); // no back\b1.bmp yet
    EXPECT_TRUE(bg.Empty());
    EXPECT_EQ(layout.period, 100);
    EXPECT_EQ(layout.tileHeight, 0);
    EXPECT_EQ(layout.pictureWidth, 800);
    EXPECT_EQ(layout.DepthMapWidth(), 700);

    CDibImage tile;
    ASSERT_TRUE(tile.Create(90, 200));
    tile.SetPixel(89, 199, 0x010203);
    ASSERT_TRUE(tile.SaveBmp((dir / "back" / "b1.bmp").string()));
    LoadFirstTile(bg, layout);
    EXPECT_EQ(layout.period, 90);
    EXPECT_EQ(layout.tileHeight, 200);
    EXPECT_EQ(bg.GetPixel(89, 199), 0x010203u);
    EXPECT_EQ(layout.DepthMapWidth(), 710);
}

// The first numbers of the generator from state 1 are the well-known
// sequence 41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, ...
TEST(RandomSource, StartsFromStateOne)
{
    CRandomSource random;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int v : expected) EXPECT_EQ(random.Next(), v);
}

TEST(RandomBackground, MakesTheTileFromTheSequence)
{
    ScopedRecordingBox box;
    CRandomSource random;
    CDibImage bg;
    ASSERT_TRUE(bg.Create(5, 5));
    PictureLayout layout;
    layout.pictureWidth = 640;
    ASSERT_TRUE(RandomBackground(bg, layout, random));
    EXPECT_EQ(layout.period, 100);
    EXPECT_EQ(layout.tileHeight, 480);
    EXPECT_EQ(layout.pictureHeight, 480);
    EXPECT_EQ(layout.pictureWidth, 640);
    ASSERT_EQ(bg.Width(), 100);
    ASSERT_EQ(bg.Height(), 480);
    // Pixel 0: r = 41, white. Pixel 1: r = 26500, then blue 11478 % 255,
    // green 29358 % 255, red 26962 % 255.
    EXPECT_EQ(bg.GetPixel(0, 0), kWhite);
    EXPECT_EQ(bg.GetPixel(1, 0), (3u << 16) | (33u << 8) | 187u);

    int white = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 100; ++x) {
            const Colour c = bg.GetPixel(x, y);
            if (c == kWhite) {
                ++white;
                continue;
            }
            ASSERT_NE(c & 0xFF, 0xFFu);
            ASSERT_NE((c >> 8) & 0xFF, 0xFFu);
            ASSERT_NE((c >> 16) & 0xFF, 0xFFu);
        }
    // About 9.2 % of the pixels stay white.
    EXPECT_GT(white, 48000 * 7 / 100);
    EXPECT_LT(white, 48000 * 11 / 100);
    EXPECT_TRUE(box.Shown().empty());
}

// The random tile drawn number by number, one SetPixel a pixel.
void LiteralRandomTile(CDibImage& tile, CRandomSource& random)
{
    ASSERT_TRUE(tile.Create(100, 480));
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 100; ++x) {
            const int r = random.Next();
            random.Next();
            random.Next();
            Colour colour = kWhite;
            if (r > 3000) {
                const Colour blue = static_cast<Colour>(random.Next() % 255);
                const Colour green = static_cast<Colour>(random.Next() % 255);
                const Colour red = static_cast<Colour>(random.Next() % 255);
                colour = blue << 16 | green << 8 | red;
            }
            tile.SetPixel(x, y, colour);
        }
}

TEST(RandomBackground, MatchesTheNumberByNumberDrawingFromAnyState)
{
    std::mt19937 rng(480);
    for (int round = 0; round < 20; ++round) {
        const std::uint32_t start = round == 0 ? 1u : static_cast<std::uint32_t>(rng());
        CRandomSource fastSource(start), literalSource(start);
        CDibImage fast, literal;
        PictureLayout layout;
        for (int tile = 0; tile < 2; ++tile) { // the second tile goes on where the first stopped
            ASSERT_TRUE(RandomBackground(fast, layout, fastSource));
            LiteralRandomTile(literal, literalSource);
            ASSERT_TRUE(SameBlock(fast, literal)) << "state " << start << " tile " << tile;
            ASSERT_EQ(fastSource.State(), literalSource.State()) << "state " << start << " tile " << tile;
        }
    }
}

TEST(RandomBackground, EveryRunGivesTheSameSequenceOfTiles)
{
    CRandomSource run1, run2;
    CDibImage a1, a2, b1, b2;
    PictureLayout layout;
    ASSERT_TRUE(RandomBackground(a1, layout, run1));
    ASSERT_TRUE(RandomBackground(b1, layout, run1));
    ASSERT_TRUE(RandomBackground(a2, layout, run2));
    ASSERT_TRUE(RandomBackground(b2, layout, run2));
    EXPECT_TRUE(SameBlock(a1, a2));
    EXPECT_TRUE(SameBlock(b1, b2));
    EXPECT_FALSE(SameBlock(a1, b1));

    // Without a source named, the process-wide one is drawn from.
    const std::uint32_t before = ProcessRandom().State();
    CDibImage c;
    ASSERT_TRUE(RandomBackground(c, layout));
    EXPECT_NE(ProcessRandom().State(), before);
}

} // namespace
} // namespace rv
