#pragma once
// A device the painter draws on: the window's device context in the program,
// an in-memory surface in the tests and tools.
#include <cstdint>

namespace rv {

class IDrawSurface {
public:
    virtual ~IDrawSurface() = default;

    // Stretches a whole 24-bit bottom-up DIB (srcWidth x srcHeight, described
    // by the 40-byte info header) onto the destination rectangle, copying.
    virtual bool StretchDib(int x, int y, int width, int height,
                            int srcWidth, int srcHeight,
                            const std::uint8_t* infoHeader, const std::uint8_t* bits) = 0;
};

// The drawing view's client area as the paint board sees it: single pixels,
// the rubber bands drawn with the inverting mix mode, and the framed
// rectangle the view paints behind the depth map. Coordinates are client
// coordinates; colours are 0x00BBGGRR.
class IPaintSurface : public IDrawSurface {
public:
    // Reads outside the surface give white; writes there are dropped.
    virtual void SetPixel(int x, int y, std::uint32_t colour) = 0;
    virtual std::uint32_t GetPixel(int x, int y) const = 0;
    // Writes count pixels of row y, colours[i] at x + i, as SetPixel would
    // one by one; surfaces that hold their pixels in memory write the row
    // at once.
    virtual void SetRow(int x, int y, const std::uint32_t* colours, int count)
    {
        for (int i = 0; i < count; ++i) SetPixel(x + i, y, colours[i]);
    }

    // Inverted figures (every covered pixel's red, green and blue replaced by
    // 255 minus itself), so that drawing the same figure twice restores the
    // surface. A line excludes its end point; a line of zero length or a
    // figure of zero width or height draws nothing. Rectangles and ellipses
    // take any two opposite corners and cover the box up to, not including,
    // the larger coordinates. Hollow figures invert only their one-pixel
    // border; the others invert the interior as well (the surface's own
    // brush under the inverting mix mode).
    virtual void InvertLine(int x0, int y0, int x1, int y1) = 0;
    virtual void InvertRectangle(int x0, int y0, int x1, int y1, bool hollow) = 0;
    virtual void InvertEllipse(int x0, int y0, int x1, int y1, bool hollow) = 0;

    // A rectangle with the surface's current pen (black, one pixel) and brush
    // (white), as the view draws the frame behind the depth map.
    virtual void FrameRectangle(int left, int top, int right, int bottom) = 0;
};

} // namespace rv
