#include "painter/stereo/DepthMap.h"

#include "painter/stereo/tests/ImageTestUtil.h"

#include <gtest/gtest.h>

#include <random>

namespace rv {
namespace {

using testing::FillRandom;

PictureLayout Layout(int w, int h, int period)
{
    PictureLayout layout;
    layout.pictureWidth = w;
    layout.pictureHeight = h;
    layout.period = period;
    return layout;
}

TEST(FitDepthMap, CropsALargerPictureAtTheRightAndBottom)
{
    std::mt19937 rng(8);
    CDibImage loaded, original;
    ASSERT_TRUE(loaded.Create(1000, 700));
    FillRandom(loaded, rng);
    ASSERT_TRUE(original.Create(1000, 700));
    for (int y = 0; y < 700; ++y)
        for (int x = 0; x < 1000; ++x) original.SetPixel(x, y, loaded.GetPixel(x, y));
    ASSERT_TRUE(FitDepthMap(loaded, Layout(800, 600, 100)));
    ASSERT_EQ(loaded.Width(), 700);
    ASSERT_EQ(loaded.Height(), 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 700; ++x) ASSERT_EQ(loaded.GetPixel(x, y), original.GetPixel(x, y)) << x << "," << y;
}

TEST(FitDepthMap, PadsASmallerPictureWithWhite)
{
    std::mt19937 rng(9);
    CDibImage loaded, original;
    ASSERT_TRUE(loaded.Create(300, 200));
    FillRandom(loaded, rng);
    ASSERT_TRUE(original.Create(300, 200));
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) original.SetPixel(x, y, loaded.GetPixel(x, y));
    ASSERT_TRUE(FitDepthMap(loaded, Layout(800, 600, 100)));
    ASSERT_EQ(loaded.Width(), 700);
    ASSERT_EQ(loaded.Height(), 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 700; ++x)
            ASSERT_EQ(loaded.GetPixel(x, y), x < 300 && y < 200 ? original.GetPixel(x, y) : kWhite) << x << "," << y;
    // Row padding stays white as in a new picture.
    CDibImage fresh;
    ASSERT_TRUE(fresh.Create(699, 2));
    ASSERT_TRUE(FitDepthMap(fresh, Layout(799, 2, 100)));
    EXPECT_EQ(fresh.Bits()[3 * 699], 0xFF);
}

TEST(FitDepthMap, AnEmptyDepthMapBecomesWhite)
{
    CDibImage empty;
    ASSERT_TRUE(FitDepthMap(empty, Layout(800, 600, 100)));
    CDibImage white;
    ASSERT_TRUE(white.Create(700, 600));
    EXPECT_EQ(empty.BlockSize(), white.BlockSize());
    EXPECT_EQ(std::memcmp(empty.Block(), white.Block(), static_cast<std::size_t>(white.BlockSize())), 0);
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
