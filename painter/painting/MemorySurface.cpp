#include "painter/painting/MemorySurface.h"

#include <algorithm>
#include <cstdlib>

namespace rv {
namespace {

constexpr Colour kBlack = 0x000000;

// The box [left, right) x [top, bottom) of two opposite corners.
struct Box {
    int left, top, right, bottom;
};
Box Normalise(int x0, int y0, int x1, int y1)
{
    return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

} // namespace

CMemorySurface::CMemorySurface(int width, int height)
    : width_(width > 0 && height > 0 ? width : 0), height_(width > 0 && height > 0 ? height : 0),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kWhite)
{
}

void CMemorySurface::Fill(Colour colour) { std::fill(pixels_.begin(), pixels_.end(), colour & 0xFFFFFF); }

bool CMemorySurface::StretchDib(int x, int y, int width, int height, int srcWidth, int srcHeight,
                                const std::uint8_t*, const std::uint8_t* bits)
{
    if (!bits || width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) return false;
    const long long stride = CDibImage::StrideFor(srcWidth);
    for (int dy = 0; dy < height; ++dy) {
        const int ty = y + dy;
        if (ty < 0 || ty >= height_) continue;
        const long long sy = static_cast<long long>(dy) * srcHeight / height;
        const std::uint8_t* row = bits + (srcHeight - 1 - sy) * stride;
        for (int dx = 0; dx < width; ++dx) {
            const int tx = x + dx;
            if (tx < 0 || tx >= width_) continue;
            const long long sx = static_cast<long long>(dx) * srcWidth / width;
            const std::uint8_t* p = row + 3 * sx;
            SetPixel(tx, ty, static_cast<Colour>(p[0]) << 16 | static_cast<Colour>(p[1]) << 8 | p[2]);
        }
    }
    return true;
}

void CMemorySurface::SetPixel(int x, int y, std::uint32_t colour)
{
    if (Contains(x, y)) pixels_[static_cast<std::size_t>(y) * width_ + x] = colour & 0xFFFFFF;
}

void CMemorySurface::SetRow(int x, int y, const std::uint32_t* colours, int count)
{
    if (y < 0 || y >= height_ || count <= 0) return;
    const long long first = std::max<long long>(x, 0), end = std::min<long long>(static_cast<long long>(x) + count, width_);
    Colour* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
    for (long long i = first; i < end; ++i) row[i] = colours[i - x] & 0xFFFFFF;
}

std::uint32_t CMemorySurface::GetPixel(int x, int y) const
{
    return Contains(x, y) ? pixels_[static_cast<std::size_t>(y) * width_ + x] : kWhite;
}

void CMemorySurface::Invert(int x, int y)
{
    if (Contains(x, y)) pixels_[static_cast<std::size_t>(y) * width_ + x] ^= 0xFFFFFF;
}

void CMemorySurface::InvertLine(int x0, int y0, int x1, int y1)
{
    // Bresenham from the start point, stopping before the end point.
    const long long dx = std::llabs(static_cast<long long>(x1) - x0);
    const long long dy = -std::llabs(static_cast<long long>(y1) - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    long long err = dx + dy;
    int x = x0, y = y0;
    while (x != x1 || y != y1) {
        Invert(x, y);
        const long long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void CMemorySurface::InvertRectangle(int x0, int y0, int x1, int y1, bool hollow)
{
    const Box b = Normalise(x0, y0, x1, y1);
    if (b.left == b.right || b.top == b.bottom) return;
    for (int y = std::max(b.top, 0); y < std::min(b.bottom, height_); ++y)
        for (int x = std::max(b.left, 0); x < std::min(b.right, width_); ++x)
            if (!hollow || x == b.left || x == b.right - 1 || y == b.top || y == b.bottom - 1) Invert(x, y);
}

void CMemorySurface::InvertEllipse(int x0, int y0, int x1, int y1, bool hollow)
{
    const Box b = Normalise(x0, y0, x1, y1);
    if (b.left == b.right || b.top == b.bottom) return;
    const double cx = (static_cast<double>(b.left) + b.right) / 2;
    const double cy = (static_cast<double>(b.top) + b.bottom) / 2;
    const double rx = (static_cast<double>(b.right) - b.left) / 2;
    const double ry = (static_cast<double>(b.bottom) - b.top) / 2;
    // A pixel belongs to the ellipse when its centre does; the border is the
    // part of the ellipse with a neighbour outside it.
    const auto inside = [&](int x, int y) {
        if (x < b.left || x >= b.right || y < b.top || y >= b.bottom) return false;
        const double u = (x + 0.5 - cx) / rx;
        const double v = (y + 0.5 - cy) / ry;
        return u * u + v * v <= 1.0;
    };
    for (int y = std::max(b.top, 0); y < std::min(b.bottom, height_); ++y)
        for (int x = std::max(b.left, 0); x < std::min(b.right, width_); ++x) {
            if (!inside(x, y)) continue;
            if (hollow && inside(x - 1, y) && inside(x + 1, y) && inside(x, y - 1) && inside(x, y + 1)) continue;
            Invert(x, y);
        }
}

void CMemorySurface::FrameRectangle(int left, int top, int right, int bottom)
{
    const Box b = Normalise(left, top, right, bottom);
    if (b.left == b.right || b.top == b.bottom) return;
    for (int y = std::max(b.top, 0); y < std::min(b.bottom, height_); ++y)
        for (int x = std::max(b.left, 0); x < std::min(b.right, width_); ++x) {
            const bool border = x == b.left || x == b.right - 1 || y == b.top || y == b.bottom - 1;
            SetPixel(x, y, border ? kBlack : kWhite);
        }
}

} // namespace rv
