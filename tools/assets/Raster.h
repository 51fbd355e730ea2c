#pragma once
// A small raster for the program's pictures: an RGBA canvas with the few
// drawing operations the pictures need (pixel-art grids, anti-aliased discs
// lines, ellipses and polygons by 4 x 4 supersampling, a built-in bitmap font), and writers for
// the file formats the resources take: 24-bit and 16-colour BMP, monochrome
// cursors and 32-bit icons. Integer arithmetic and square roots only, so the
// same bytes come out on every machine.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rvassets {

using Bytes = std::vector<std::uint8_t>;

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba&) const = default;
};
constexpr Rgba kClear{0, 0, 0, 0};
Rgba Mix(Rgba from, Rgba to, int t256); // t256 = 0 gives from, 256 gives to

class Canvas {
public:
    Canvas(int width, int height, Rgba fill = kClear);
    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgba At(int x, int y) const;
    void Set(int x, int y, Rgba c);             // ignored outside
    void Blend(int x, int y, Rgba c, int a256); // c over the pixel with coverage a256 (0..256) times c's alpha
    void Fill(int x, int y, int w, int h, Rgba c);
    void Frame(int x, int y, int w, int h, Rgba c);
    void Paste(const Canvas& src, int x, int y); // src over this, by its alpha

    // Anti-aliased shapes; coordinates in 1/16 pixel ("sub" units).
    void Disc(int cx16, int cy16, int r16, Rgba c);
    void Line(int x0_16, int y0_16, int x1_16, int y1_16, int width16, Rgba c);
    // Ellipse band between the radii (rx, ry) and (rx - width, ry - width);
    // a width of 0 fills the ellipse.
    void Ellipse(int cx16, int cy16, int rx16, int ry16, int width16, Rgba c);
    struct Point {
        int x, y; // 1/16 pixel
    };
    void Polygon(const std::vector<Point>& points, Rgba c); // even-odd rule
    // A one-pixel line of `c` around every pixel of alpha 128 or more, on the
    // pixels next to it (eight neighbours) that are below.
    void Outline(Rgba c);

    // Pixel art: one character per pixel from `legend` ("k=black" pairs);
    // a character missing from the legend (or '.') leaves the pixel alone.
    struct Key {
        char ch;
        Rgba colour;
    };
    void Grid(int x, int y, const std::vector<std::string_view>& rows, const std::vector<Key>& legend);

    // Text in the built-in 5 x 7 font, each font pixel drawn as a scale x
    // scale block; returns the width drawn. Characters the font lacks are blanks.
    int Text(int x, int y, std::string_view text, int scale, Rgba c);
    static int TextWidth(std::string_view text, int scale);

private:
    int width_, height_;
    std::vector<Rgba> px_;
};

// The font's glyph for `ch`: 7 rows of 5 bits (bit 4 is the left column), or
// nullptr when the font has no glyph for it.
const std::uint8_t* Glyph(char ch);

// File formats.
Bytes Bmp24(const Canvas& c);
// A 16-colour BMP in the standard VGA palette; every pixel must be one of its
// colours (alpha ignored). Returns an empty result when one is not.
Bytes Bmp4(const Canvas& c);
const std::vector<Rgba>& VgaPalette();
// A 32 x 32 black-and-white cursor: pixels of alpha 128 or more are black or
// white (whichever is nearer), the others transparent.
Bytes Cursor(const Canvas& c, int hotX, int hotY);
// An icon holding each canvas (square, up to 256) as a 32-bit image with alpha
// and a mask.
Bytes Icon(const std::vector<Canvas>& images);

} // namespace rvassets
