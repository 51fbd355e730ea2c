#pragma once
// A 32-bit top-down DIB section selected into a memory DC, filled white or
// black, read back as 0x00BBGGRR colour values: the device context the
// surface tests draw on.
#include <windows.h>

#include <cstdint>

#include "painter/image/DibImage.h"

namespace w32::testing {

class DibTarget {
public:
    DibTarget(int width, int height, DWORD fill = WHITENESS) : width_(width), height_(height)
    {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, width, height, fill);
        GdiFlush();
    }
    ~DibTarget()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DibTarget(const DibTarget&) = delete;
    DibTarget& operator=(const DibTarget&) = delete;

    HDC Dc() const { return dc_; }
    rv::Colour At(int x, int y) const
    {
        GdiFlush();
        const auto p = static_cast<const std::uint32_t*>(bits_)[y * width_ + x];
        return (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    void* bits_ = nullptr;
};

} // namespace w32::testing
