#include "painter/stereo/DepthMap.h"

#include "painter/stereo/tests/ImageTestUtil.h"

#include <gtest/gtest.h>

#include <random>

namespace rv {
namespace {

using testing::CopyImage;
using testing::FillRandom;
using testing::SameBlock;

PictureLayout Layout(int w, int h, int period)
{
    PictureLayout layout;
    layout.pictureWidth = w;
    layout.pictureHeight = h;
    layout.period = period;
    return layout;
}

// For an 800 x 600 picture of period 100 the depth map is 700 x 600: a
// larger picture is cropped at the right and bottom, a smaller one padded
// with white there, and no picture at all is white.
TEST(FitDepthMap, CropsOrPadsWithWhiteToThePictureLessOnePeriod)
{
    std::mt19937 rng(8);
    for (auto [w, h] : {std::pair{1000, 700}, {300, 200}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        CDibImage loaded, original;
        ASSERT_TRUE(loaded.Create(w, h));
        FillRandom(loaded, rng);
        CopyImage(loaded, original);
        ASSERT_TRUE(FitDepthMap(loaded, Layout(800, 600, 100)));
        ASSERT_EQ(loaded.Width(), 700);
        ASSERT_EQ(loaded.Height(), 600);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 700; ++x)
                ASSERT_EQ(loaded.GetPixel(x, y), x < w && y < h ? original.GetPixel(x, y) : kWhite) << x << "," << y;
    }
    CDibImage empty, white;
    ASSERT_TRUE(FitDepthMap(empty, Layout(800, 600, 100)));
    ASSERT_TRUE(white.Create(700, 600));
    EXPECT_TRUE(SameBlock(empty, white)) << "an empty depth map";

    // Row padding stays white as in a new picture.
    CDibImage fresh;
    ASSERT_TRUE(fresh.Create(699, 2));
    ASSERT_TRUE(FitDepthMap(fresh, Layout(799, 2, 100)));
    EXPECT_EQ(fresh.Bits()[3 * 699], 0xFF);
}

TEST(FitDepthMap, SizesWithoutADepthColumnKeepTheOldDepthMap)
{
    CDibImage depth;
    ASSERT_TRUE(depth.Create(4, 4));
    depth.SetPixel(2, 2, 0x808080);
    EXPECT_FALSE(FitDepthMap(depth, Layout(100, 600, 100)));
    EXPECT_FALSE(FitDepthMap(depth, Layout(800, 0, 100)));
    EXPECT_FALSE(MakeBlankDepthMap(depth, Layout(50, 10, 100)));
    EXPECT_EQ(depth.Width(), 4);
    EXPECT_EQ(depth.GetPixel(2, 2), 0x808080u);
}

TEST(MakeBlankDepthMap, GivesAWhiteMapOfThePictureLessOnePeriod)
{
    CDibImage depth;
    ASSERT_TRUE(depth.Create(4, 4));
    depth.SetPixel(0, 0, 0);
    ASSERT_TRUE(MakeBlankDepthMap(depth, Layout(800, 600, 64)));
    EXPECT_EQ(depth.Width(), 736);
    EXPECT_EQ(depth.Height(), 600);
    EXPECT_EQ(depth.GetPixel(0, 0), kWhite);
}

} // namespace
} // namespace rv
