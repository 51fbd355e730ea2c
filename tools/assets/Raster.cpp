#include "tools/assets/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace rvassets {

Rgba Mix(Rgba from, Rgba to, int t256)
{
    t256 = std::clamp(t256, 0, 256);
    auto m = [t256](int a, int b) { return static_cast<std::uint8_t>(a + (b - a) * t256 / 256); };
    return {m(from.r, to.r), m(from.g, to.g), m(from.b, to.b), m(from.a, to.a)};
}

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(width), height_(height), px_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill)
{
}

Rgba Canvas::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kClear;
    return px_[static_cast<std::size_t>(y) * width_ + x];
}

void Canvas::Set(int x, int y, Rgba c)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    px_[static_cast<std::size_t>(y) * width_ + x] = c;
}

void Canvas::Blend(int x, int y, Rgba c, int a256)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || a256 <= 0) return;
    Rgba& d = px_[static_cast<std::size_t>(y) * width_ + x];
    const int a = std::min(a256, 256) * c.a / 255; // 0..256, the source's weight
    // Porter-Duff "over" with straight alpha, in integers.
    const int da = d.a * (256 - a) / 256;
    const int outA = a * 255 / 256 + da;
    if (outA == 0) {
        d = kClear;
        return;
    }
    auto ch = [&](int s, int dv) { return static_cast<std::uint8_t>((s * a * 255 / 256 + dv * da) / outA); };
    d = {ch(c.r, d.r), ch(c.g, d.g), ch(c.b, d.b), static_cast<std::uint8_t>(std::min(outA, 255))};
}

void Canvas::Fill(int x, int y, int w, int h, Rgba c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Set(i, j, c);
}

void Canvas::Frame(int x, int y, int w, int h, Rgba c)
{
    Fill(x, y, w, 1, c);
    Fill(x, y + h - 1, w, 1, c);
    Fill(x, y, 1, h, c);
    Fill(x + w - 1, y, 1, h, c);
}

void Canvas::Paste(const Canvas& src, int x, int y)
{
    for (int j = 0; j < src.height_; ++j)
        for (int i = 0; i < src.width_; ++i) Blend(x + i, y + j, src.At(i, j), 256);
}

namespace {

// Coverage of pixel (x, y) by `inside`, sampled at 4 x 4 points, as 0..256.
template <class Inside>
int Coverage(int x, int y, Inside inside)
{
    int hits = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
            if (inside(x * 16 + sx * 4 + 2, y * 16 + sy * 4 + 2)) ++hits; // sample points in 1/16 pixel
    return hits * 16;
}

template <class Inside>
void Shape(Canvas& c, int x0, int y0, int x1, int y1, Rgba colour, Inside inside)
{
    for (int y = std::max(y0, 0); y <= std::min(y1, c.Height() - 1); ++y)
        for (int x = std::max(x0, 0); x <= std::min(x1, c.Width() - 1); ++x) c.Blend(x, y, colour, Coverage(x, y, inside));
}

long long Sq(long long v) { return v * v; }

} // namespace

void Canvas::Disc(int cx16, int cy16, int r16, Rgba c)
{
    Shape(*this, (cx16 - r16) / 16 - 1, (cy16 - r16) / 16 - 1, (cx16 + r16) / 16 + 1, (cy16 + r16) / 16 + 1, c,
          [=](int x, int y) { return Sq(x - cx16) + Sq(y - cy16) <= Sq(r16); });
}

void Canvas::Line(int x0, int y0, int x1, int y1, int width16, Rgba c)
{
    const long long dx = x1 - x0, dy = y1 - y0, len2 = std::max(1LL, dx * dx + dy * dy);
    const long long half2 = Sq(width16) / 4;
    Shape(*this, (std::min(x0, x1) - width16) / 16 - 1, (std::min(y0, y1) - width16) / 16 - 1,
          (std::max(x0, x1) + width16) / 16 + 1, (std::max(y0, y1) + width16) / 16 + 1, c, [=](int x, int y) {
              // Distance from the segment: project onto it, clamp to its
              // ends, measure (in units scaled by its squared length).
              const long long t = std::clamp((x - x0) * dx + (y - y0) * dy, 0LL, len2);
              const long long px = x0 * len2 + t * dx, py = y0 * len2 + t * dy; // scaled by len2
              const long long ex = (x * len2 - px) / len2, ey = (y * len2 - py) / len2;
              return ex * ex + ey * ey <= half2;
          });
}

void Canvas::Ellipse(int cx, int cy, int rx, int ry, int width, Rgba c)
{
    const int irx = std::max(rx - width, 1), iry = std::max(ry - width, 1);
    Shape(*this, (cx - rx) / 16 - 1, (cy - ry) / 16 - 1, (cx + rx) / 16 + 1, (cy + ry) / 16 + 1, c, [=](int x, int y) {
        const long long dx = x - cx, dy = y - cy;
        if (dx * dx * Sq(ry) + dy * dy * Sq(rx) > Sq(rx) * Sq(ry)) return false;
        return width <= 0 || dx * dx * Sq(iry) + dy * dy * Sq(irx) > Sq(irx) * Sq(iry);
    });
}

void Canvas::Polygon(const std::vector<Point>& points, Rgba c)
{
    if (points.size() < 3) return;
    int x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
    for (const Point& p : points) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    }
    Shape(*this, x0 / 16 - 1, y0 / 16 - 1, x1 / 16 + 1, y1 / 16 + 1, c, [&](int x, int y) {
        bool in = false;
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const Point& a = points[i];
            const Point& b = points[j];
            if ((a.y > y) != (b.y > y)) {
                // x of the edge at height y, compared without division.
                const long long lhs = static_cast<long long>(x - a.x) * (b.y - a.y);
                const long long rhs = static_cast<long long>(b.x - a.x) * (y - a.y);
                if ((b.y > a.y) ? lhs < rhs : lhs > rhs) in = !in;
            }
        }
        return in;
    });
}

void Canvas::Outline(Rgba c)
{
    const Canvas before = *this;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            if (before.At(x, y).a >= 128) continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (before.At(x + dx, y + dy).a >= 128) near = true;
            if (near) Set(x, y, c);
        }
}

void Canvas::Grid(int x, int y, const std::vector<std::string_view>& rows, const std::vector<Key>& legend)
{
    for (std::size_t j = 0; j < rows.size(); ++j)
        for (std::size_t i = 0; i < rows[j].size(); ++i)
            for (const Key& k : legend)
                if (k.ch == rows[j][i]) Set(x + static_cast<int>(i), y + static_cast<int>(j), k.colour);
}

namespace {

struct GlyphRow {
    char ch;
    std::uint8_t rows[7];
};

// A 5 x 7 font of our own: digits, both cases and the punctuation the
// pictures use.
constexpr GlyphRow kFont[] = {
    {' ', {0, 0, 0, 0, 0, 0, 0}},
    {'0', {0b01110, 0b10001, 0b10011, 0b10101, 0b11001, 0b10001, 0b01110}},
    {'1', {0b00100, 0b01100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110}},
    {'2', {0b01110, 0b10001, 0b00001, 0b00010, 0b00100, 0b01000, 0b11111}},
    {'3', {0b11111, 0b00010, 0b00100, 0b00010, 0b00001, 0b10001, 0b01110}},
    {'4', {0b00010, 0b00110, 0b01010, 0b10010, 0b11111, 0b00010, 0b00010}},
    {'5', {0b11111, 0b10000, 0b11110, 0b00001, 0b00001, 0b10001, 0b01110}},
    {'6', {0b00110, 0b01000, 0b10000, 0b11110, 0b10001, 0b10001, 0b01110}},
    {'7', {0b11111, 0b00001, 0b00010, 0b00100, 0b01000, 0b01000, 0b01000}},
    {'8', {0b01110, 0b10001, 0b10001, 0b01110, 0b10001, 0b10001, 0b01110}},
    {'9', {0b01110, 0b10001, 0b10001, 0b01111, 0b00001, 0b00010, 0b01100}},
    {'A', {0b01110, 0b10001, 0b10001, 0b10001, 0b11111, 0b10001, 0b10001}},
    {'B', {0b11110, 0b10001, 0b10001, 0b11110, 0b10001, 0b10001, 0b11110}},
    {'C', {0b01110, 0b10001, 0b10000, 0b10000, 0b10000, 0b10001, 0b01110}},
    {'D', {0b11100, 0b10010, 0b10001, 0b10001, 0b10001, 0b10010, 0b11100}},
    {'E', {0b11111, 0b10000, 0b10000, 0b11110, 0b10000, 0b10000, 0b11111}},
    {'F', {0b11111, 0b10000, 0b10000, 0b11110, 0b10000, 0b10000, 0b10000}},
    {'G', {0b01110, 0b10001, 0b10000, 0b10111, 0b10001, 0b10001, 0b01111}},
    {'H', {0b10001, 0b10001, 0b10001, 0b11111, 0b10001, 0b10001, 0b10001}},
    {'I', {0b01110, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110}},
    {'J', {0b00111, 0b00010, 0b00010, 0b00010, 0b00010, 0b10010, 0b01100}},
    {'K', {0b10001, 0b10010, 0b10100, 0b11000, 0b10100, 0b10010, 0b10001}},
    {'L', {0b10000, 0b10000, 0b10000, 0b10000, 0b10000, 0b10000, 0b11111}},
    {'M', {0b10001, 0b11011, 0b10101, 0b10101, 0b10001, 0b10001, 0b10001}},
    {'N', {0b10001, 0b10001, 0b11001, 0b10101, 0b10011, 0b10001, 0b10001}},
    {'O', {0b01110, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01110}},
    {'P', {0b11110, 0b10001, 0b10001, 0b11110, 0b10000, 0b10000, 0b10000}},
    {'Q', {0b01110, 0b10001, 0b10001, 0b10001, 0b10101, 0b10010, 0b01101}},
    {'R', {0b11110, 0b10001, 0b10001, 0b11110, 0b10100, 0b10010, 0b10001}},
    {'S', {0b01111, 0b10000, 0b10000, 0b01110, 0b00001, 0b00001, 0b11110}},
    {'T', {0b11111, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100}},
    {'U', {0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01110}},
    {'V', {0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01010, 0b00100}},
    {'W', {0b10001, 0b10001, 0b10001, 0b10101, 0b10101, 0b10101, 0b01010}},
    {'X', {0b10001, 0b10001, 0b01010, 0b00100, 0b01010, 0b10001, 0b10001}},
    {'Y', {0b10001, 0b10001, 0b10001, 0b01010, 0b00100, 0b00100, 0b00100}},
    {'Z', {0b11111, 0b00001, 0b00010, 0b00100, 0b01000, 0b10000, 0b11111}},
    {'a', {0b00000, 0b00000, 0b01110, 0b00001, 0b01111, 0b10001, 0b01111}},
    {'b', {0b10000, 0b10000, 0b10110, 0b11001, 0b10001, 0b10001, 0b11110}},
    {'c', {0b00000, 0b00000, 0b01110, 0b10000, 0b10000, 0b10001, 0b01110}},
    {'d', {0b00001, 0b00001, 0b01101, 0b10011, 0b10001, 0b10001, 0b01111}},
    {'e', {0b00000, 0b00000, 0b01110, 0b10001, 0b11111, 0b10000, 0b01110}},
    {'f', {0b00110, 0b01001, 0b01000, 0b11100, 0b01000, 0b01000, 0b01000}},
    {'g', {0b00000, 0b00000, 0b01111, 0b10001, 0b01111, 0b00001, 0b01110}},
    {'h', {0b10000, 0b10000, 0b10110, 0b11001, 0b10001, 0b10001, 0b10001}},
    {'i', {0b00100, 0b00000, 0b01100, 0b00100, 0b00100, 0b00100, 0b01110}},
    {'j', {0b00010, 0b00000, 0b00110, 0b00010, 0b00010, 0b10010, 0b01100}},
    {'k', {0b10000, 0b10000, 0b10010, 0b10100, 0b11000, 0b10100, 0b10010}},
    {'l', {0b01100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110}},
    {'m', {0b00000, 0b00000, 0b11010, 0b10101, 0b10101, 0b10001, 0b10001}},
    {'n', {0b00000, 0b00000, 0b10110, 0b11001, 0b10001, 0b10001, 0b10001}},
    {'o', {0b00000, 0b00000, 0b01110, 0b10001, 0b10001, 0b10001, 0b01110}},
    {'p', {0b00000, 0b00000, 0b11110, 0b10001, 0b11110, 0b10000, 0b10000}},
    {'q', {0b00000, 0b00000, 0b01101, 0b10011, 0b01111, 0b00001, 0b00001}},
    {'r', {0b00000, 0b00000, 0b10110, 0b11001, 0b10000, 0b10000, 0b10000}},
    {'s', {0b00000, 0b00000, 0b01110, 0b10000, 0b01110, 0b00001, 0b11110}},
    {'t', {0b01000, 0b01000, 0b11100, 0b01000, 0b01000, 0b01001, 0b00110}},
    {'u', {0b00000, 0b00000, 0b10001, 0b10001, 0b10001, 0b10011, 0b01101}},
    {'v', {0b00000, 0b00000, 0b10001, 0b10001, 0b10001, 0b01010, 0b00100}},
    {'w', {0b00000, 0b00000, 0b10001, 0b10001, 0b10101, 0b10101, 0b01010}},
    {'x', {0b00000, 0b00000, 0b10001, 0b01010, 0b00100, 0b01010, 0b10001}},
    {'y', {0b00000, 0b00000, 0b10001, 0b10001, 0b01111, 0b00001, 0b01110}},
    {'z', {0b00000, 0b00000, 0b11111, 0b00010, 0b00100, 0b01000, 0b11111}},
    {'.', {0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b01100, 0b01100}},
    {',', {0b00000, 0b00000, 0b00000, 0b00000, 0b01100, 0b00100, 0b01000}},
    {':', {0b00000, 0b01100, 0b01100, 0b00000, 0b01100, 0b01100, 0b00000}},
    {'-', {0b00000, 0b00000, 0b00000, 0b11111, 0b00000, 0b00000, 0b00000}},
    {'+', {0b00000, 0b00100, 0b00100, 0b11111, 0b00100, 0b00100, 0b00000}},
    {'(', {0b00010, 0b00100, 0b01000, 0b01000, 0b01000, 0b00100, 0b00010}},
    {')', {0b01000, 0b00100, 0b00010, 0b00010, 0b00010, 0b00100, 0b01000}},
    {'/', {0b00000, 0b00001, 0b00010, 0b00100, 0b01000, 0b10000, 0b00000}},
    {'!', {0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00000, 0b00100}},
    {'\'', {0b01100, 0b00100, 0b01000, 0b00000, 0b00000, 0b00000, 0b00000}},
    {'&', {0b01100, 0b10010, 0b10100, 0b01000, 0b10101, 0b10010, 0b01101}},
    {'@', {0b01110, 0b10001, 0b10111, 0b11001, 0b10111, 0b10001, 0b01110}}, // the copyright sign
};

} // namespace

const std::uint8_t* Glyph(char ch)
{
    for (const auto& g : kFont)
        if (g.ch == ch) return g.rows;
    return nullptr;
}

int Canvas::TextWidth(std::string_view text, int scale)
{
    return text.empty() ? 0 : (static_cast<int>(text.size()) * 6 - 1) * scale;
}

int Canvas::Text(int x, int y, std::string_view text, int scale, Rgba c)
{
    int pen = x;
    for (char ch : text) {
        if (const std::uint8_t* g = Glyph(ch))
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (g[row] & (0x10 >> col)) Fill(pen + col * scale, y + row * scale, scale, scale, c);
        pen += 6 * scale;
    }
    return TextWidth(text, scale);
}

// ---- File formats ----

namespace {

void Put16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

void InfoHeader(Bytes& b, int width, int height, int bits, std::uint32_t imageSize, std::uint32_t colours)
{
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(width));
    Put32(b, static_cast<std::uint32_t>(height));
    Put16(b, 1);
    Put16(b, static_cast<unsigned>(bits));
    Put32(b, 0); // uncompressed
    Put32(b, imageSize);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, colours);
    Put32(b, 0);
}

void FileHeader(Bytes& b, std::uint32_t fileSize, std::uint32_t pixelOffset)
{
    b.push_back('B');
    b.push_back('M');
    Put32(b, fileSize);
    Put32(b, 0);
    Put32(b, pixelOffset);
}

} // namespace

Bytes Bmp24(const Canvas& c)
{
    const int stride = (c.Width() * 3 + 3) & ~3;
    const auto image = static_cast<std::uint32_t>(stride * c.Height());
    Bytes b;
    FileHeader(b, 54 + image, 54);
    InfoHeader(b, c.Width(), c.Height(), 24, image, 0);
    for (int y = c.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < c.Width(); ++x) {
            const Rgba p = c.At(x, y);
            b.push_back(p.b);
            b.push_back(p.g);
            b.push_back(p.r);
        }
        for (int pad = c.Width() * 3; pad < stride; ++pad) b.push_back(0);
    }
    return b;
}

const std::vector<Rgba>& VgaPalette()
{
    static const std::vector<Rgba> palette = {
        {0, 0, 0, 255},       {128, 0, 0, 255},   {0, 128, 0, 255},   {128, 128, 0, 255},
        {0, 0, 128, 255},     {128, 0, 128, 255}, {0, 128, 128, 255}, {192, 192, 192, 255},
        {128, 128, 128, 255}, {255, 0, 0, 255},   {0, 255, 0, 255},   {255, 255, 0, 255},
        {0, 0, 255, 255},     {255, 0, 255, 255}, {0, 255, 255, 255}, {255, 255, 255, 255},
    };
    return palette;
}

Bytes Bmp4(const Canvas& c)
{
    const auto& palette = VgaPalette();
    const int stride = ((c.Width() + 1) / 2 + 3) & ~3;
    const auto image = static_cast<std::uint32_t>(stride * c.Height());
    Bytes b;
    FileHeader(b, 54 + 64 + image, 54 + 64);
    InfoHeader(b, c.Width(), c.Height(), 4, image, 16);
    for (const Rgba& p : palette) {
        b.push_back(p.b);
        b.push_back(p.g);
        b.push_back(p.r);
        b.push_back(0);
    }
    for (int y = c.Height() - 1; y >= 0; --y) {
        Bytes row(static_cast<std::size_t>(stride), 0);
        for (int x = 0; x < c.Width(); ++x) {
            Rgba p = c.At(x, y);
            p.a = 255;
            const auto it = std::find(palette.begin(), palette.end(), p);
            if (it == palette.end()) return {};
            const int index = static_cast<int>(it - palette.begin());
            row[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

Bytes Cursor(const Canvas& c, int hotX, int hotY)
{
    // 32 x 32, one bit per pixel: the colour (XOR) bits then the mask (AND)
    // bits, both bottom-up in rows of 4 bytes.
    Bytes xorBits, andBits;
    for (int y = 31; y >= 0; --y) {
        std::uint32_t x32 = 0, a32 = 0;
        for (int x = 0; x < 32; ++x) {
            const Rgba p = c.At(x, y);
            const std::uint32_t bit = 0x80000000u >> x;
            if (p.a < 128) {
                a32 |= bit;
            } else if (p.r + p.g + p.b >= 384) {
                x32 |= bit;
            }
        }
        for (int k = 3; k >= 0; --k) xorBits.push_back(static_cast<std::uint8_t>(x32 >> (k * 8)));
        for (int k = 3; k >= 0; --k) andBits.push_back(static_cast<std::uint8_t>(a32 >> (k * 8)));
    }
    const std::uint32_t imageSize = 40 + 8 + 128 + 128;
    Bytes b;
    Put16(b, 0);
    Put16(b, 2); // cursor
    Put16(b, 1);
    b.push_back(32);
    b.push_back(32);
    b.push_back(2); // colours
    b.push_back(0);
    Put16(b, static_cast<unsigned>(hotX));
    Put16(b, static_cast<unsigned>(hotY));
    Put32(b, imageSize);
    Put32(b, 22);
    InfoHeader(b, 32, 64, 1, 256, 2);
    Put32(b, 0x00000000); // black
    Put32(b, 0x00FFFFFF); // white
    b.insert(b.end(), xorBits.begin(), xorBits.end());
    b.insert(b.end(), andBits.begin(), andBits.end());
    return b;
}

Bytes Icon(const std::vector<Canvas>& images)
{
    std::vector<Bytes> bodies;
    for (const Canvas& c : images) {
        const int n = c.Width();
        const int maskStride = ((n + 31) / 32) * 4;
        Bytes body;
        InfoHeader(body, n, 2 * n, 32, static_cast<std::uint32_t>(n * n * 4 + maskStride * n), 0);
        for (int y = n - 1; y >= 0; --y)
            for (int x = 0; x < n; ++x) {
                const Rgba p = c.At(x, y);
                body.push_back(p.b);
                body.push_back(p.g);
                body.push_back(p.r);
                body.push_back(p.a);
            }
        for (int y = n - 1; y >= 0; --y) {
            Bytes row(static_cast<std::size_t>(maskStride), 0);
            for (int x = 0; x < n; ++x)
                if (c.At(x, y).a < 128) row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            body.insert(body.end(), row.begin(), row.end());
        }
        bodies.push_back(std::move(body));
    }
    Bytes b;
    Put16(b, 0);
    Put16(b, 1); // icon
    Put16(b, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int n = images[i].Width();
        b.push_back(static_cast<std::uint8_t>(n >= 256 ? 0 : n));
        b.push_back(static_cast<std::uint8_t>(n >= 256 ? 0 : n));
        b.push_back(0); // no palette
        b.push_back(0);
        Put16(b, 1);  // planes
        Put16(b, 32); // bits per pixel
        Put32(b, static_cast<std::uint32_t>(bodies[i].size()));
        Put32(b, offset);
        offset += static_cast<std::uint32_t>(bodies[i].size());
    }
    for (const Bytes& body : bodies) b.insert(b.end(), body.begin(), body.end());
    return b;
}

} // namespace rvassets
