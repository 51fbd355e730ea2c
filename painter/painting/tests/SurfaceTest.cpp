// The in-memory screen: inverted figures, the frame, and pictures drawn on it.
#include "painter/image/DibImage.h"
#include "painter/painting/MemorySurface.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>
#include <utility>

namespace rv {
namespace {

using Set = std::set<std::pair<int, int>>;

Set Black(const CMemorySurface& s)
{
    Set set;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.GetPixel(x, y) == 0) set.insert({x, y});
    return set;
}

TEST(MemorySurface, PixelsAndBounds)
{
    CMemorySurface s(10, 5);
    EXPECT_EQ(s.GetPixel(3, 3), kWhite);
    s.SetPixel(3, 3, 0x123456);
    EXPECT_EQ(s.GetPixel(3, 3), 0x123456u);
    s.SetPixel(10, 0, 0);
    s.SetPixel(-1, 0, 0);
    s.SetPixel(0, 5, 0);
    EXPECT_EQ(s.GetPixel(10, 0), kWhite);
    EXPECT_TRUE(Black(s).empty());
}

// Rows across every edge, written at once on the screen and the picture and
// pixel by pixel on copies of them: the same pixels.
TEST(RowWrites, AreThePixelWritesTheyStandFor)
{
    CMemorySurface row(12, 6), single(12, 6);
    CDibImage rowImage, singleImage;
    ASSERT_TRUE(rowImage.Create(11, 6)); // rows with padding
    ASSERT_TRUE(singleImage.Create(11, 6));
    std::vector<Colour> colours(40);
    for (std::size_t i = 0; i < colours.size(); ++i) colours[i] = static_cast<Colour>(0xAB000000u | i * 0x030507u);
    const struct {
        int x, y, count;
    } rows[] = {{0, 0, 12}, {-7, 1, 10}, {8, 2, 9}, {-10, 3, 30}, {3, 5, 1}, {2, -1, 8}, {2, 6, 8}, {12, 4, 3}, {5, 4, 0}};
    for (const auto& r : rows) {
        row.SetRow(r.x, r.y, colours.data(), r.count);
        rowImage.SetRow(r.x, r.y, colours.data(), r.count);
        for (int i = 0; i < r.count; ++i) {
            single.SetPixel(r.x + i, r.y, colours[static_cast<std::size_t>(i)]);
            singleImage.SetPixel(r.x + i, r.y, colours[static_cast<std::size_t>(i)]);
        }
    }
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 12; ++x) ASSERT_EQ(row.GetPixel(x, y), single.GetPixel(x, y)) << x << ", " << y;
    EXPECT_EQ(std::vector<std::uint8_t>(rowImage.Bits(), rowImage.Bits() + 6 * rowImage.Stride()),
              std::vector<std::uint8_t>(singleImage.Bits(), singleImage.Bits() + 6 * singleImage.Stride()));
    EXPECT_EQ(row.GetPixel(11, 3), colours[21] & 0xFFFFFF);
    EXPECT_EQ(rowImage.GetPixel(10, 3), colours[20] & 0xFFFFFF);
}

TEST(MemorySurface, LinesExcludeTheirEndPoint)
{
    CMemorySurface s(20, 20);
    s.InvertLine(2, 3, 6, 3);
    EXPECT_EQ(Black(s), (Set{{2, 3}, {3, 3}, {4, 3}, {5, 3}}));
    s.InvertLine(2, 3, 6, 3);
    EXPECT_TRUE(Black(s).empty());
    s.InvertLine(4, 4, 4, 4);
    EXPECT_TRUE(Black(s).empty());
    s.InvertLine(10, 10, 7, 13);
    EXPECT_EQ(Black(s), (Set{{10, 10}, {9, 11}, {8, 12}}));
}

TEST(MemorySurface, InvertingTwiceRestores)
{
    CMemorySurface s(30, 30);
    for (int i = 0; i < 30; ++i) s.SetPixel(i, i, 0x405060);
    CMemorySurface before = s;
    s.InvertLine(1, 28, 27, 2);
    s.InvertRectangle(25, 3, 5, 20, true);
    s.InvertRectangle(2, 2, 12, 14, false);
    s.InvertEllipse(4, 4, 26, 17, true);
    s.InvertEllipse(26, 17, 4, 4, false);
    s.InvertEllipse(26, 17, 4, 4, false);
    s.InvertEllipse(4, 4, 26, 17, true);
    s.InvertRectangle(12, 14, 2, 2, false);
    s.InvertRectangle(5, 20, 25, 3, true);
    s.InvertLine(1, 28, 27, 2);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(s.GetPixel(x, y), before.GetPixel(x, y));
}

TEST(MemorySurface, RectanglesAndEllipsesCoverTheirBox)
{
    CMemorySurface s(20, 20);
    s.InvertRectangle(2, 2, 6, 5, true);
    EXPECT_EQ(Black(s), (Set{{2, 2}, {3, 2}, {4, 2}, {5, 2}, {2, 3}, {5, 3}, {2, 4}, {3, 4}, {4, 4}, {5, 4}}));
    s.InvertRectangle(2, 2, 6, 5, true);
    s.InvertRectangle(2, 2, 6, 5, false);
    EXPECT_EQ(Black(s).size(), 12u);
    s.InvertRectangle(2, 2, 6, 5, false);
    s.InvertRectangle(3, 3, 3, 9, false); // no width
    s.InvertEllipse(3, 3, 9, 3, false);   // no height
    EXPECT_TRUE(Black(s).empty());

    s.InvertEllipse(0, 0, 9, 7, false);
    const Set filled = Black(s);
    for (const auto& [x, y] : filled) {
        EXPECT_LT(x, 9);
        EXPECT_LT(y, 7);
    }
    EXPECT_TRUE(filled.count({4, 3}));
    EXPECT_FALSE(filled.count({0, 0}));
    s.InvertEllipse(0, 0, 9, 7, false);
    s.InvertEllipse(0, 0, 9, 7, true);
    const Set hollow = Black(s);
    EXPECT_LT(hollow.size(), filled.size());
    EXPECT_FALSE(hollow.count({4, 3}));
    for (const auto& p : hollow) EXPECT_TRUE(filled.count(p));
}

TEST(MemorySurface, FrameAndPicture)
{
    CMemorySurface s(8, 6);
    s.Fill(0x00FF00);
    s.FrameRectangle(0, 0, 5, 4); // black border, white inside
    EXPECT_EQ(s.GetPixel(0, 0), 0u);
    EXPECT_EQ(s.GetPixel(4, 3), 0u);
    EXPECT_EQ(s.GetPixel(2, 2), kWhite);
    EXPECT_EQ(s.GetPixel(5, 2), 0x00FF00u);

    CDibImage image;
    ASSERT_TRUE(image.Create(3, 2));
    image.SetPixel(0, 0, 0x010203);
    image.SetPixel(2, 1, 0x0A0B0C);
    ASSERT_TRUE(image.Draw(s, 1, 1));
    EXPECT_EQ(s.GetPixel(1, 1), 0x010203u);
    EXPECT_EQ(s.GetPixel(3, 2), 0x0A0B0Cu);
    EXPECT_EQ(s.GetPixel(2, 1), kWhite);
    EXPECT_EQ(s.GetPixel(4, 3), 0u); // beyond the picture
    ASSERT_TRUE(image.Draw(s, -2, -1)); // partly off the surface
    EXPECT_EQ(s.GetPixel(0, 0), 0x0A0B0Cu);
}

} // namespace
} // namespace rv
