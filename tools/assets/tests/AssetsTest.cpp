#include "tools/assets/Assets.h"

#include "painter/image/DibImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

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
        dir = fs::temp_directory_path() / "rv_assets_test";
        fs::remove_all(dir);
        fs::create_directories(dir / "back");
        fs::create_directories(dir / "sample");
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

} // namespace
} // namespace rvassets
