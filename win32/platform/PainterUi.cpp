#include "win32/platform/PainterUi.h"

#include "win32/platform/Text.h"

#include <algorithm>

namespace w32 {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

// COLORREF 0x00BBGGRR and a 32-bit DIB pixel 0x00RRGGBB hold the same bytes
// in opposite order.
std::uint32_t SwapRedBlue(std::uint32_t c)
{
    return (c & 0x00FF00) | (c & 0xFF) << 16 | (c >> 16 & 0xFF);
}

struct Box {
    int left, top, right, bottom;
    bool Empty() const { return left >= right || top >= bottom; }
};
Box Normalise(int x0, int y0, int x1, int y1)
{
    return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

// Selects the inverting mix mode, a one-pixel pen and the given brush for
// the lifetime of the object.
class InvertingTools {
public:
    InvertingTools(HDC dc, bool hollow) : dc_(dc)
    {
        oldRop_ = SetROP2(dc, R2_NOT);
        oldPen_ = SelectObject(dc, GetStockObject(BLACK_PEN));
        oldBrush_ = SelectObject(dc, GetStockObject(hollow ? NULL_BRUSH : BLACK_BRUSH));
    }
    ~InvertingTools()
    {
        SelectObject(dc_, oldBrush_);
        SelectObject(dc_, oldPen_);
        SetROP2(dc_, oldRop_);
    }
    InvertingTools(const InvertingTools&) = delete;
    InvertingTools& operator=(const InvertingTools&) = delete;

private:
    HDC dc_;
    int oldRop_;
    HGDIOBJ oldPen_;
    HGDIOBJ oldBrush_;
};

} // namespace

bool CDcSurface::StretchDib(int x, int y, int width, int height, int srcWidth, int srcHeight,
                            const std::uint8_t* infoHeader, const std::uint8_t* bits)
{
    Touched(x, y, x + width, y + height);
    const int lines = StretchDIBits(dc_, x, y, width, height, 0, 0, srcWidth, srcHeight, bits,
                                    reinterpret_cast<const BITMAPINFO*>(infoHeader), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}

void CDcSurface::SetPixel(int x, int y, std::uint32_t colour)
{
    Touched(x, y, x + 1, y + 1);
    ::SetPixel(dc_, x, y, colour & 0xFFFFFF);
}

std::uint32_t CDcSurface::GetPixel(int x, int y) const
{
    const COLORREF c = ::GetPixel(dc_, x, y);
    return c == CLR_INVALID ? kWhite : c & 0xFFFFFF;
}

void CDcSurface::InvertLine(int x0, int y0, int x1, int y1)
{
    if (x0 == x1 && y0 == y1) return;
    const Box b = Normalise(x0, y0, x1, y1);
    Touched(b.left, b.top, b.right + 1, b.bottom + 1);
    InvertingTools tools(dc_, true);
    POINT old;
    MoveToEx(dc_, x0, y0, &old);
    LineTo(dc_, x1, y1); // the end point is left out
    MoveToEx(dc_, old.x, old.y, nullptr);
    GdiFlush();
}

void CDcSurface::InvertRectangle(int x0, int y0, int x1, int y1, bool hollow)
{
    const Box b = Normalise(x0, y0, x1, y1);
    if (b.Empty()) return;
    Touched(b.left, b.top, b.right, b.bottom);
    if (b.right - b.left <= 2 || b.bottom - b.top <= 2) {
        // A box one or two pixels across is all border; as an outline GDI
        // would invert its overlapping sides twice and leave them unchanged.
        PatBlt(dc_, b.left, b.top, b.right - b.left, b.bottom - b.top, DSTINVERT);
    } else {
        InvertingTools tools(dc_, hollow);
        Rectangle(dc_, b.left, b.top, b.right, b.bottom);
    }
    GdiFlush();
}

void CDcSurface::InvertEllipse(int x0, int y0, int x1, int y1, bool hollow)
{
    const Box b = Normalise(x0, y0, x1, y1);
    if (b.Empty()) return;
    Touched(b.left, b.top, b.right, b.bottom);
    InvertingTools tools(dc_, hollow);
    Ellipse(dc_, b.left, b.top, b.right, b.bottom);
    GdiFlush();
}

void CDcSurface::FrameRectangle(int left, int top, int right, int bottom)
{
    const Box b = Normalise(left, top, right, bottom);
    if (b.Empty()) return;
    Touched(b.left, b.top, b.right, b.bottom);
    Rectangle(dc_, b.left, b.top, b.right, b.bottom);
    GdiFlush();
}

CDibSurface::CDibSurface() : CDcSurface(MakeDc()) {}

CDibSurface::~CDibSurface()
{
    Release();
    if (Dc()) DeleteDC(Dc());
}

HDC CDibSurface::MakeDc() { return CreateCompatibleDC(nullptr); }

void CDibSurface::Release()
{
    if (bitmap_) {
        SelectObject(Dc(), oldBitmap_);
        DeleteObject(bitmap_);
    }
    bitmap_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
    dirty_ = {0, 0, 0, 0};
}

bool CDibSurface::Resize(int width, int height)
{
    Release();
    if (!Dc() || width <= 0 || height <= 0) return false;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height; // top-down: row y starts at y * width
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(Dc(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return false;
    }
    bitmap_ = bitmap;
    oldBitmap_ = SelectObject(Dc(), bitmap_);
    bits_ = static_cast<std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
    std::fill(bits_, bits_ + static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kWhite);
    return true;
}

void CDibSurface::SetPixel(int x, int y, std::uint32_t colour)
{
    if (x < 0 || x >= width_ || y < 0 || y >= height_) return;
    Touched(x, y, x + 1, y + 1);
    bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] =
        SwapRedBlue(colour & 0xFFFFFF);
}

void CDibSurface::SetRow(int x, int y, const std::uint32_t* colours, int count)
{
    if (y < 0 || y >= height_ || count <= 0) return;
    const long long first = std::max<long long>(x, 0), end = std::min<long long>(static_cast<long long>(x) + count, width_);
    if (first >= end) return;
    Touched(static_cast<int>(first), y, static_cast<int>(end), y + 1);
    // The loop in plain ints, the swap written out: this library is built
    // for size, and a call and a 64-bit counter per pixel cost the painter
    // more than the rest of a row write.
    std::uint32_t* out = bits_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                         static_cast<std::size_t>(first);
    const std::uint32_t* in = colours + (first - x);
    const int n = static_cast<int>(end - first);
    for (int i = 0; i < n; ++i) {
        const std::uint32_t c = in[i];
        out[i] = (c & 0x00FF00) | (c & 0xFF) << 16 | (c >> 16 & 0xFF);
    }
}

std::uint32_t CDibSurface::GetPixel(int x, int y) const
{
    if (x < 0 || x >= width_ || y < 0 || y >= height_) return kWhite;
    return SwapRedBlue(
        bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] &
        0xFFFFFF);
}

void CDibSurface::Touched(int left, int top, int right, int bottom)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width_);
    bottom = std::min(bottom, height_);
    if (left >= right || top >= bottom) return;
    if (dirty_.left >= dirty_.right || dirty_.top >= dirty_.bottom) {
        dirty_ = {left, top, right, bottom};
        return;
    }
    dirty_.left = std::min<LONG>(dirty_.left, left);
    dirty_.top = std::min<LONG>(dirty_.top, top);
    dirty_.right = std::max<LONG>(dirty_.right, right);
    dirty_.bottom = std::max<LONG>(dirty_.bottom, bottom);
}

void CDibSurface::Present(HDC dc)
{
    GdiFlush();
    const RECT r = dirty_;
    dirty_ = {0, 0, 0, 0};
    if (r.left >= r.right || r.top >= r.bottom) return;
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, Dc(), r.left, r.top, SRCCOPY);
}

void CDibSurface::PresentAll(HDC dc)
{
    GdiFlush();
    dirty_ = {0, 0, 0, 0};
    if (width_ > 0 && height_ > 0) BitBlt(dc, 0, 0, width_, height_, Dc(), 0, 0, SRCCOPY);
}

void CWin32MessageBox::Show(std::string_view text)
{
    MessageBoxW(owner_, Widen(text).c_str(), caption_, MB_OK | MB_ICONEXCLAMATION);
}

} // namespace w32
