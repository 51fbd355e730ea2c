#include "tools/assets/Assets.h"

#include "painter/image/DibImage.h"
#include "tools/assets/Pictures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

namespace rvassets {
namespace {

namespace fs = std::filesystem;

std::vector<char> ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class Regenerated : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A folder of this run's own: several checkouts may run these tests at once.
        dir = fs::temp_directory_path() / ("rv_assets_test_" + std::to_string(std::random_device{}()));
        fs::remove_all(dir);
        for (const auto& asset : AssetList()) fs::create_directories(dir / asset.folder);
        std::string failed;
        ASSERT_TRUE(WriteAssets(dir.string(), failed)) << failed;
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(Regenerated, EqualsTheCommittedFiles)
{
    const fs::path root = RV_SOURCE_DIR;
    for (const auto& asset : AssetList()) {
        const auto made = ReadAll(dir / asset.folder / asset.name);
        const auto committed = ReadAll(root / asset.folder / asset.name);
        ASSERT_FALSE(made.empty()) << asset.name;
        EXPECT_TRUE(made == committed) << asset.folder << "/" << asset.name << " differs from the committed file";
    }
}

TEST_F(Regenerated, TilesAreNumberedWithoutGapsAndDiffer)
{
    int tiles = 0;
    std::set<std::pair<int, int>> sizes;
    for (const auto& asset : AssetList()) {
        if (asset.folder != "back") continue;
        ++tiles;
        std::string expected = "b";
        expected.append(std::to_string(tiles)).append(".bmp");
        EXPECT_EQ(asset.name, expected);
        rv::CDibImage tile;
        ASSERT_TRUE(tile.LoadBmp((dir / "back" / asset.name).string())) << asset.name;
        sizes.insert({tile.Width(), tile.Height()});
        // Fine detail: many distinct colours in every tile.
        std::set<rv::Colour> colours;
        for (int y = 0; y < tile.Height(); ++y)
            for (int x = 0; x < tile.Width(); ++x) colours.insert(tile.GetPixel(x, y));
        EXPECT_GT(colours.size(), static_cast<std::size_t>(tile.Width() * tile.Height() / 20)) << asset.name;
    }
    EXPECT_GE(tiles, 6);
    EXPECT_EQ(sizes.size(), static_cast<std::size_t>(tiles));
}

TEST_F(Regenerated, SamplesFitTheDefaultPictureAndHoldOnlyDepthColours)
{
    rv::CDibImage b1;
    ASSERT_TRUE(b1.LoadBmp((dir / "back" / "b1.bmp").string()));
    bool sawBlack = false, sawBlue = false;
    for (const auto& asset : AssetList()) {
        if (asset.folder != "sample") continue;
        rv::CDibImage depth;
        ASSERT_TRUE(depth.LoadBmp((dir / "sample" / asset.name).string())) << asset.name;
        EXPECT_EQ(depth.Width(), 800 - b1.Width()) << asset.name;
        EXPECT_EQ(depth.Height(), 600) << asset.name;
        int white = 0;
        for (int y = 0; y < depth.Height(); ++y)
            for (int x = 0; x < depth.Width(); ++x) {
                const rv::Colour c = depth.GetPixel(x, y);
                const unsigned r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
                if (c == rv::kWhite) {
                    ++white;
                    continue;
                }
                ASSERT_EQ(r, g) << asset.name << " " << x << "," << y;
                ASSERT_LT(r, 255u) << asset.name;
                ASSERT_TRUE(b == r || b == 255) << asset.name << " " << x << "," << y;
                (b == 255 ? sawBlue : sawBlack) = true;
            }
        EXPECT_GT(white, 0) << asset.name;
        EXPECT_LT(white, depth.Width() * depth.Height()) << asset.name;
    }
    EXPECT_TRUE(sawBlack);
    EXPECT_TRUE(sawBlue);
}

unsigned U16(const std::vector<char>& b, std::size_t at)
{
    if (at + 2 > b.size()) return 0;
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
std::uint32_t U32(const std::vector<char>& b, std::size_t at) { return U16(b, at) | static_cast<std::uint32_t>(U16(b, at + 2)) << 16; }

struct BmpShape {
    int width, height, bits;
};
BmpShape ShapeOf(const std::vector<char>& bmp)
{
    if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M') return {0, 0, 0};
    return {static_cast<int>(U32(bmp, 18)), static_cast<int>(U32(bmp, 22)), static_cast<int>(U16(bmp, 28))};
}

// The programs draw these pictures unscaled: the sizes are the places they fill.
TEST_F(Regenerated, PicturesHaveTheSizesTheProgramsDrawThemAt)
{
    const struct {
        const char* path;
        int width, height, bits;
    } expected[] = {
        {"painter/app/res/toolbar.bmp", 27 * 19, 14, 4},   // 27 button images of 19 x 14, 16 colours
        {"painter/app/res/splash.bmp", 400, 250, 24},      // centred on the screen at start-up
        {"painter/app/res/about.bmp", kAboutSize, kAboutSize, 24},
        {"setup/res/welcome.bmp", 164, 314, 24},           // the welcome page's left column
        {"setup/res/splash.bmp", 420, 372, 24},            // the setup's splash window, with room for tall fonts
    };
    for (const auto& e : expected) {
        const BmpShape shape = ShapeOf(ReadAll(dir / e.path));
        EXPECT_EQ(shape.width, e.width) << e.path;
        EXPECT_EQ(shape.height, e.height) << e.path;
        EXPECT_EQ(shape.bits, e.bits) << e.path;
    }
    // The 24-bit ones load in the painter's own reader.
    for (const char* path : {"painter/app/res/splash.bmp", "painter/app/res/about.bmp", "setup/res/welcome.bmp", "setup/res/splash.bmp"}) {
        rv::CDibImage picture;
        EXPECT_TRUE(picture.LoadBmp((dir / path).string())) << path;
    }
}

// Disabled tool-bar buttons keep only the pixels that are neither the face
// colour nor white, so every image needs a dark shape of its own; and no two
// buttons may look alike.
TEST_F(Regenerated, ToolbarImagesAreDistinctAndKeepAShapeWhenDisabled)
{
    const Rgba face{192, 192, 192, 255}, white{255, 255, 255, 255};
    std::set<std::vector<std::uint32_t>> seen;
    for (int i = 0; i < kToolbarImages; ++i) {
        const Canvas image = ToolbarImage(i);
        std::vector<std::uint32_t> pixels;
        int dark = 0;
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x) {
                const Rgba p = image.At(x, y);
                pixels.push_back(static_cast<std::uint32_t>(p.r) << 16 | p.g << 8 | p.b);
                if (!(p == face) && !(p == white)) ++dark;
            }
        EXPECT_GE(dark, 20) << "image " << i;
        EXPECT_TRUE(seen.insert(pixels).second) << "image " << i << " repeats an earlier one";
    }
    // The strip holds the images side by side, and only the 16 standard colours.
    const auto strip = ReadAll(dir / "painter/app/res/toolbar.bmp");
    ASSERT_EQ(U32(strip, 46), 16u); // colours used
    const Canvas fifth = ToolbarImage(4);
    const std::size_t stride = ((27 * 19 + 1) / 2 + 3) & ~std::size_t{3};
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 19; ++x) {
            const std::size_t column = 4 * 19 + static_cast<std::size_t>(x);
            const std::size_t at = U32(strip, 10) + static_cast<std::size_t>(13 - y) * stride + column / 2;
            ASSERT_LT(at, strip.size());
            const int index = column % 2 == 0 ? static_cast<unsigned char>(strip[at]) >> 4 : strip[at] & 0xF;
            EXPECT_EQ(VgaPalette()[static_cast<std::size_t>(index)], fifth.At(x, y)) << x << "," << y;
        }
}

// The program's icon: the small, large and extra-large images the system asks
// for, opaque in the middle and clear in the rounded corners.
TEST_F(Regenerated, ProgramIconHasTheThreeUsualSizes)
{
    const auto ico = ReadAll(dir / "painter/app/res/Relievo.ico");
    ASSERT_GE(ico.size(), 6u + 3 * 16);
    EXPECT_EQ(U16(ico, 2), 1u);
    ASSERT_EQ(U16(ico, 4), 3u);
    const int sizes[] = {16, 32, 48};
    for (int i = 0; i < 3; ++i) {
        const int n = static_cast<unsigned char>(ico[6 + 16 * i]);
        ASSERT_EQ(n, sizes[i]);
        const std::size_t image = U32(ico, 6 + 16 * i + 12) + 40;
        auto alpha = [&](int x, int y) { return static_cast<unsigned char>(ico[image + static_cast<std::size_t>((n - 1 - y) * n + x) * 4 + 3]); };
        EXPECT_EQ(alpha(n / 2, n / 2), 255) << n;
        EXPECT_EQ(alpha(0, 0), 0) << n;
    }
}

// The tool-bar strip holds 16 colours only: a picture with any other colour
// cannot be stored, and says so rather than writing a wrong colour.
TEST(Formats, SixteenColourBmpRefusesOtherColours)
{
    Canvas c(3, 2, VgaPalette()[7]);
    EXPECT_EQ(Bmp4(c).size(), 54u + 64 + 2 * 4); // headers, palette, two padded rows
    c.Set(1, 1, Rgba{200, 200, 200, 255});
    EXPECT_TRUE(Bmp4(c).empty());
}

// Each cursor is a 32 x 32 black-and-white cursor whose hot spot lies on its
// drawing (or right beside it), where the tool acts.
TEST_F(Regenerated, CursorHotSpotsSitOnTheirDrawing)
{
    for (int id : {142, 143, 144, 145, 152, 153, 154}) {
        const auto cur = ReadAll(dir / "painter/app/res" / ("cursor" + std::to_string(id) + ".cur"));
        ASSERT_GE(cur.size(), 22u + 40 + 8 + 256) << id;
        EXPECT_EQ(U16(cur, 2), 2u) << id; // a cursor, not an icon
        EXPECT_EQ(U16(cur, 4), 1u) << id;
        EXPECT_EQ(static_cast<unsigned char>(cur[6]), 32) << id;
        const unsigned hx = U16(cur, 10), hy = U16(cur, 12);
        EXPECT_EQ(hx, static_cast<unsigned>(CursorHotSpot(id).x)) << id;
        EXPECT_EQ(hy, static_cast<unsigned>(CursorHotSpot(id).y)) << id;
        ASSERT_LT(hx, 32u);
        ASSERT_LT(hy, 32u);
        // The mask bits (1 = transparent) follow the 32 rows of colour bits, bottom-up.
        const std::size_t mask = U32(cur, 18) + 40 + 8 + 128;
        auto opaque = [&](unsigned x, unsigned y) {
            if (x >= 32 || y >= 32) return false;
            const std::size_t at = mask + (31 - y) * 4 + x / 8;
            return ((static_cast<unsigned char>(cur[at]) >> (7 - x % 8)) & 1) == 0;
        };
        bool drawn = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) drawn = drawn || opaque(hx + dx, hy + dy);
        EXPECT_TRUE(drawn) << "cursor " << id << ": hot spot " << hx << "," << hy << " off the drawing";
    }
}

// The eraser-kind icons: a small and a large image each, showing the spot
// each kind leaves: soft fading out, round, square.
TEST_F(Regenerated, EraserIconsShowTheirKind)
{
    for (int id : {147, 148, 149}) {
        const auto ico = ReadAll(dir / "painter/app/res" / ("icon" + std::to_string(id) + ".ico"));
        ASSERT_GE(ico.size(), 6u + 32) << id;
        EXPECT_EQ(U16(ico, 2), 1u) << id;
        ASSERT_EQ(U16(ico, 4), 2u) << id;
        EXPECT_EQ(static_cast<unsigned char>(ico[6]), 16) << id;
        EXPECT_EQ(static_cast<unsigned char>(ico[6 + 16]), 32) << id;
        // Alpha of the 32 x 32 image at (x, y): 32-bit rows, bottom-up, after the header.
        const std::size_t image = U32(ico, 6 + 16 + 12) + 40;
        auto alpha = [&](int x, int y) { return static_cast<unsigned char>(ico[image + static_cast<std::size_t>((31 - y) * 32 + x) * 4 + 3]); };
        EXPECT_EQ(alpha(16, 16), 255) << id;
        if (id == 147) {
            EXPECT_GT(alpha(16, 16), alpha(22, 16)) << "the soft spot fades";
            EXPECT_GT(alpha(22, 16), alpha(28, 16)) << "the soft spot fades";
            EXPECT_GT(alpha(22, 16), 0);
        }
        if (id == 148) {
            EXPECT_EQ(alpha(16, 3), 255) << "round: full at the top of the circle";
            EXPECT_EQ(alpha(5, 5), 0) << "round: the corners are clear";
        }
        if (id == 149) {
            EXPECT_EQ(alpha(5, 5), 255) << "square: the corners are full";
        }
    }
}

} // namespace
} // namespace rvassets
