// CDibImage drawn onto a real device context under Wine.
#include "painter/image/DibImage.h"
#include "win32/platform/PainterUi.h"

#include <gtest/gtest.h>

namespace {

// A 24-bit top-down DIB section selected into a memory DC, read back as
// 0x00BBGGRR colour values.
class DibTarget {
public:
    DibTarget(int width, int height) : width_(width)
    {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 24;
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, width, height, BLACKNESS);
    }
    ~DibTarget()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    rv::Colour At(int x, int y) const
    {
        GdiFlush();
        const int stride = (3 * width_ + 3) & ~3;
        const auto* p = static_cast<const unsigned char*>(bits_) + y * stride + 3 * x;
        return static_cast<rv::Colour>(p[0]) << 16 | static_cast<rv::Colour>(p[1]) << 8 | p[2];
    }

private:
    int width_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    void* bits_ = nullptr;
};

TEST(DcSurface, DrawPutsTheTopRowAtTheTopAndKeepsChannelOrder)
{
    rv::CDibImage img;
    ASSERT_TRUE(img.Create(3, 2));
    img.SetPixel(0, 0, 0x0000FF); // red, top-left
    img.SetPixel(2, 0, 0xFF0000); // blue, top-right
    img.SetPixel(1, 1, 0x00FF00); // green, bottom-middle

    DibTarget target(8, 6);
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
    DibTarget target(8, 4);
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
