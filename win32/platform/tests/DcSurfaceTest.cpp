// CDibImage drawn onto a real device context under Wine.
#include "painter/image/DibImage.h"
#include "win32/platform/PainterUi.h"

#include <gtest/gtest.h>

#include "win32/platform/tests/DibTarget.h"

namespace {

using w32::testing::DibTarget;

TEST(DcSurface, DrawPutsTheTopRowAtTheTopAndKeepsChannelOrder)
{
    rv::CDibImage img;
    ASSERT_TRUE(img.Create(3, 2));
    img.SetPixel(0, 0, 0x0000FF); // red, top-left
    img.SetPixel(2, 0, 0xFF0000); // blue, top-right
    img.SetPixel(1, 1, 0x00FF00); // green, bottom-middle

    DibTarget target(8, 6, BLACKNESS);
    w32::CDcSurface surface(target.Dc());
    ASSERT_TRUE(img.Draw(surface, 2, 1));
    EXPECT_EQ(target.At(2, 1), 0x0000FFu);
    EXPECT_EQ(target.At(4, 1), 0xFF0000u);
    EXPECT_EQ(target.At(3, 2), 0x00FF00u);
    EXPECT_EQ(target.At(3, 1), 0xFFFFFFu);
    EXPECT_EQ(target.At(1, 1), 0u); // outside the picture: untouched
    EXPECT_EQ(target.At(5, 1), 0u);
    EXPECT_EQ(target.At(2, 3), 0u);
}

TEST(DcSurface, DrawStretchesToTheGivenSize)
{
    rv::CDibImage img;
    ASSERT_TRUE(img.Create(2, 1));
    img.SetPixel(0, 0, 0x123456);
    img.SetPixel(1, 0, 0x654321);
    DibTarget target(8, 4, BLACKNESS);
    w32::CDcSurface surface(target.Dc());
    ASSERT_TRUE(img.Draw(surface, 0, 0, 8, 4));
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(target.At(0, y), 0x123456u);
        EXPECT_EQ(target.At(3, y), 0x123456u);
        EXPECT_EQ(target.At(4, y), 0x654321u);
        EXPECT_EQ(target.At(7, y), 0x654321u);
    }
}

} // namespace
