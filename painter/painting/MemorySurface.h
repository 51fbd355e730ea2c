#pragma once
// The drawing view's client area held in memory: what the paint board draws
// on in the tests and in relievo-cli.
#include "painter/image/DibImage.h"
#include "painter/image/DrawSurface.h"

#include <vector>

namespace rv {

class CMemorySurface final : public IPaintSurface {
public:
    // A white surface of width x height pixels (an empty one when either is
    // not positive).
    CMemorySurface(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Fills the whole surface, as the window's background erase does.
    void Fill(Colour colour);

    bool StretchDib(int x, int y, int width, int height, int srcWidth, int srcHeight,
                    const std::uint8_t* infoHeader, const std::uint8_t* bits) override;
    void SetPixel(int x, int y, std::uint32_t colour) override;
    std::uint32_t GetPixel(int x, int y) const override;
    void SetRow(int x, int y, const std::uint32_t* colours, int count) override;
    void InvertLine(int x0, int y0, int x1, int y1) override;
    void InvertRectangle(int x0, int y0, int x1, int y1, bool hollow) override;
    void InvertEllipse(int x0, int y0, int x1, int y1, bool hollow) override;
    void FrameRectangle(int left, int top, int right, int bottom) override;

private:
    bool Contains(int x, int y) const { return x >= 0 && x < width_ && y >= 0 && y < height_; }
    void Invert(int x, int y);

    int width_;
    int height_;
    std::vector<Colour> pixels_;
};

} // namespace rv
