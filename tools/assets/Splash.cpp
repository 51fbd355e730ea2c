// The large pictures: the painter's splash and about pictures and the setup's
// welcome and splash pictures. Each shows a real stereogram, made by the
// program's own engine from a soft tile and a hidden relief, under a title
// in raised letters. Also the program's icon: a raised R on a blue tile.
#include "tools/assets/Pictures.h"

#include "painter/stereo/Stereogram.h"
#include "tools/assets/Noise.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace rvassets {
namespace {

constexpr Rgba kNavy{16, 28, 72, 255};
constexpr Rgba kDeep{6, 12, 36, 255};
constexpr Rgba kGold{255, 214, 120, 255};
constexpr Rgba kPale{214, 226, 255, 255};

Rgba FromColour(rv::Colour c)
{
    return {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
            static_cast<std::uint8_t>((c >> 16) & 0xFF), 255};
}

// The tile's colours: deep blue through teal and pale sky to warm gold.
Rgba Palette(int t) // t = 0..255
{
    static const Rgba stops[] = {{18, 34, 96, 255}, {26, 120, 150, 255}, {170, 210, 228, 255}, {236, 186, 92, 255}, {150, 70, 60, 255}};
    t = std::clamp(t, 0, 255);
    const int i = std::min(t * 4 / 256, 3), f = (t * 4) % 256;
    return Mix(stops[i], stops[i + 1], f);
}

// A soft tile that repeats without a seam (w and h multiples of 8): colour
// clouds with a fine grain, so that the eyes find something to lock on.
rv::Colour TilePixel(int x, int y, int w, int h, std::uint32_t seed)
{
    const int t = (ValueNoise(x, y, w / 2, w, h, seed) * 3 + ValueNoise(x, y, 8, w, h, seed + 1) * 2) / 5;
    const Rgba base = Palette(128 + (t - 128) * 7 / 4); // stretched: the clouds average out toward the middle
    const int grain = Noise255(x % w, y % h, seed + 3) / 4 - 32;
    return Rgb(base.r + grain, base.g + grain, base.b + grain);
}

// The stereogram of `depth` (a function giving a depth colour for each
// point, white for flat) over w x h with the given period.
template <class Depth>
Canvas Stereogram(int w, int h, int period, std::uint32_t seed, Depth depth)
{
    rv::CDibImage picture, depthMap;
    Canvas out(w, h);
    const int tileH = 8 * ((h + 7) / 8); // one tile high: no repeat from top to bottom
    if (!picture.Create(w, h) || !depthMap.Create(w - period, h)) return out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) picture.SetPixel(x, y, TilePixel(x % period, y % tileH, period, tileH, seed));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w - period; ++x) depthMap.SetPixel(x, y, depth(x, y));
    rv::StereogramParams params;
    params.pictureWidth = w;
    params.pictureHeight = h;
    params.period = period;
    params.feel = 15;
    rv::GenerateStereogram(picture, depthMap, params);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out.Set(x, y, FromColour(picture.GetPixel(x, y)));
    return out;
}

// Depth of a dome of radius r at (cx, cy): grey `top` at the top falling to flat.
rv::Colour Dome(int x, int y, int cx, int cy, int r, int top = 200)
{
    const long long d2 = static_cast<long long>(x - cx) * (x - cx) + static_cast<long long>(y - cy) * (y - cy);
    if (d2 >= static_cast<long long>(r) * r) return rv::kWhite;
    const int v = static_cast<int>(top - top * d2 / (static_cast<long long>(r) * r));
    return Rgb(v, v, v);
}

void VerticalGradient(Canvas& c, int x, int y, int w, int h, Rgba top, Rgba bottom)
{
    for (int j = 0; j < h; ++j) c.Fill(x, y + j, w, 1, Mix(top, bottom, h > 1 ? j * 256 / (h - 1) : 0));
}

// Darkens (or lightens) a band of the canvas by blending `tint` over it.
void Veil(Canvas& c, int x, int y, int w, int h, Rgba tint, int a256)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) c.Blend(i, j, tint, a256);
}

// The shape of `text` in the built-in font at `scale` pixels per font pixel,
// four times finer still for smooth edges: the font's stair-steps are
// rounded off by doubling it three times with Scale2x (a corner is filled
// where both its neighbours agree), then it is sampled to the size wanted.
// One font pixel of margin all round.
class TextShape {
public:
    static constexpr int kFine = 4; // samples per picture pixel, each way

    TextShape(std::string_view text, int scale) : step_(scale * kFine)
    {
        int w = Canvas::TextWidth(text, 1) + 2, h = 9;
        Canvas one(w, h);
        one.Text(1, 1, text, 1, Rgba{255, 255, 255, 255});
        std::vector<std::uint8_t> m(static_cast<std::size_t>(w * h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) m[static_cast<std::size_t>(y * w + x)] = one.At(x, y).a != 0;
        for (int round = 0; round < 3; ++round) {
            auto at = [&](int x, int y) { return x < 0 || y < 0 || x >= w || y >= h ? 0 : m[static_cast<std::size_t>(y * w + x)]; };
            std::vector<std::uint8_t> twice(static_cast<std::size_t>(4 * w * h));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const int p = at(x, y), up = at(x, y - 1), right = at(x + 1, y), left = at(x - 1, y), down = at(x, y + 1);
                    const int corner[4] = {
                        left == up && left != down && up != right ? up : p,
                        up == right && up != left && right != down ? right : p,
                        down == left && down != right && left != up ? left : p,
                        right == down && right != up && down != left ? down : p,
                    };
                    for (int k = 0; k < 4; ++k)
                        twice[static_cast<std::size_t>((2 * y + k / 2) * 2 * w + 2 * x + k % 2)] = static_cast<std::uint8_t>(corner[k]);
                }
            m.swap(twice);
            w *= 2, h *= 2;
        }
        fine_ = std::move(m);
        fineW_ = w;
        fineH_ = h;
    }
    // Size in samples, and whether sample (x, y) is inside the letters.
    int Width() const { return fineW_ / 8 * step_; }
    int Height() const { return fineH_ / 8 * step_; }
    bool In(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= Width() || y >= Height()) return false;
        return fine_[static_cast<std::size_t>((y * 8 / step_) * fineW_ + x * 8 / step_)] != 0;
    }

private:
    int step_; // samples per font pixel
    std::vector<std::uint8_t> fine_;
    int fineW_ = 0, fineH_ = 0;
};

// Text in raised letters with smooth edges: a soft shadow below and to the
// right, the face, a light bevel on the upper left edges and a dark one on
// the lower right. (x, y) is where the text's first font pixel goes.
void ReliefText(Canvas& c, int x, int y, std::string_view text, int scale, Rgba face)
{
    constexpr int f = TextShape::kFine;
    const TextShape shape(text, scale);
    const int w = shape.Width() / f, h = shape.Height() / f; // in picture pixels
    const int left = x - scale, top = y - scale;             // the shape's margin
    auto coverage = [&](int i, int j) { // 0..16 samples of picture pixel (i, j) inside
        int n = 0;
        for (int sy = 0; sy < f; ++sy)
            for (int sx = 0; sx < f; ++sx) n += shape.In(i * f + sx, j * f + sy);
        return n;
    };
    // The shadow: the shape moved down and right, blurred over 3 x 3.
    const int off = std::max(2, scale / 2);
    for (int j = 0; j < h + off + 1; ++j)
        for (int i = 0; i < w + off + 1; ++i) {
            int n = 0;
            for (int dj = -1; dj <= 1; ++dj)
                for (int di = -1; di <= 1; ++di) n += coverage(i - off + di, j - off + dj);
            if (n) c.Blend(left + i, top + j, Rgba{0, 0, 0, 255}, n * 150 / (9 * f * f));
        }
    const Rgba light = Mix(face, Rgba{255, 255, 255, 255}, 170), dark = Mix(face, Rgba{0, 0, 0, 255}, 110);
    const int bevel = std::max(1, scale / 3) * f;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            int n = 0, r = 0, g = 0, b = 0;
            for (int sy = 0; sy < f; ++sy)
                for (int sx = 0; sx < f; ++sx) {
                    const int px = i * f + sx, py = j * f + sy;
                    if (!shape.In(px, py)) continue;
                    int toLight = bevel + 1, toDark = bevel + 1;
                    for (int k = 1; k <= bevel; ++k) {
                        if (toLight > bevel && (!shape.In(px - k, py) || !shape.In(px, py - k))) toLight = k;
                        if (toDark > bevel && (!shape.In(px + k, py) || !shape.In(px, py + k))) toDark = k;
                    }
                    const Rgba p = toLight <= bevel && toLight <= toDark ? light : toDark <= bevel ? dark : face;
                    ++n, r += p.r, g += p.g, b += p.b;
                }
            if (n)
                c.Blend(left + i, top + j,
                        Rgba{static_cast<std::uint8_t>(r / n), static_cast<std::uint8_t>(g / n), static_cast<std::uint8_t>(b / n), 255},
                        n * 256 / (f * f));
        }
}

// Plain text with smooth edges (scale 2 and up; scale 1 stays crisp).
void SmoothText(Canvas& c, int x, int y, std::string_view text, int scale, Rgba colour)
{
    if (scale < 2) {
        c.Text(x, y, text, scale, colour);
        return;
    }
    constexpr int f = TextShape::kFine;
    const TextShape shape(text, scale);
    for (int j = 0; j < shape.Height() / f; ++j)
        for (int i = 0; i < shape.Width() / f; ++i) {
            int n = 0;
            for (int sy = 0; sy < f; ++sy)
                for (int sx = 0; sx < f; ++sx) n += shape.In(i * f + sx, j * f + sy);
            c.Blend(x - scale + i, y - scale + j, colour, n * 256 / (f * f));
        }
}

void CentredText(Canvas& c, int y, std::string_view text, int scale, Rgba colour)
{
    SmoothText(c, (c.Width() - Canvas::TextWidth(text, scale)) / 2, y, text, scale, colour);
}

// A thin light frame with a dark line inside it, round the whole picture.
void Border(Canvas& c)
{
    c.Frame(0, 0, c.Width(), c.Height(), Rgba{120, 140, 200, 255});
    c.Frame(1, 1, c.Width() - 2, c.Height() - 2, kDeep);
}

} // namespace

Bytes SplashPicture()
{
    const int w = kSplashWidth, h = kSplashHeight, band = 84;
    // The hidden relief: a large dome and a small one beside it.
    Canvas c = Stereogram(w, h, 80, 71, [](int x, int y) {
        const rv::Colour small = Dome(x, y, 250, 70, 40);
        return small != rv::kWhite ? small : Dome(x, y, 130, 84, 90);
    });
    // The title band: the stereogram shows through at the top edge.
    for (int j = 0; j < band; ++j) {
        const int a = j < 16 ? 120 + j * 8 : 248;
        Veil(c, 0, h - band + j, w, 1, Mix(kNavy, kDeep, j * 256 / band), a);
    }
    c.Fill(0, h - band, w, 1, Rgba{150, 170, 230, 255});
    ReliefText(c, 26, h - band + 16, "Relievo", 5, kGold);
    SmoothText(c, 238, h - band + 20, "Stereogram", 2, kPale);
    SmoothText(c, 238, h - band + 40, "Painter", 2, kPale);
    c.Text(26, h - 18, "Version 1.0", 1, Rgba{170, 186, 230, 255});
    c.Text(w - 26 - Canvas::TextWidth("Look through the picture", 1), h - 18, "Look through the picture", 1,
           Rgba{170, 186, 230, 255});
    Border(c);
    return Bmp24(c);
}

Bytes AboutPicture()
{
    const int n = kAboutSize, band = 26;
    Canvas c = Stereogram(n, n, 32, 83, [](int x, int y) { return Dome(x, y, 32, 36, 26, 96); });
    for (int j = 0; j < band; ++j) Veil(c, 0, n - band + j, n, 1, Mix(kNavy, kDeep, j * 256 / band), j < 4 ? 160 + j * 20 : 245);
    ReliefText(c, (n - Canvas::TextWidth("Relievo", 2)) / 2, n - band + 7, "Relievo", 2, kGold);
    Border(c);
    return Bmp24(c);
}

Bytes SetupWelcome()
{
    const int w = kWelcomeWidth, h = kWelcomeHeight;
    Canvas c(w, h);
    VerticalGradient(c, 0, 0, w, h, Rgba{20, 40, 104, 255}, Rgba{4, 10, 30, 255});
    // A stereogram window in the middle of the column.
    const int pw = 128, ph = 150, px = (w - pw) / 2, py = 78;
    const Canvas window = Stereogram(pw, ph, 40, 97, [](int x, int y) { return Dome(x, y, 44, 75, 40, 150); });
    c.Fill(px - 3, py - 3, pw + 6, ph + 6, Rgba{150, 170, 230, 255});
    c.Fill(px - 2, py - 2, pw + 4, ph + 4, kDeep);
    c.Paste(window, px, py);
    ReliefText(c, (w - Canvas::TextWidth("Relievo", 3)) / 2, 22, "Relievo", 3, kGold);
    CentredText(c, 52, "Setup", 2, kPale);
    CentredText(c, 246, "Stereogram", 2, kPale);
    CentredText(c, 266, "Painter", 2, kPale);
    CentredText(c, 292, "Version 1.0", 1, Rgba{150, 166, 214, 255});
    return Bmp24(c);
}

Bytes SetupSplash()
{
    const int w = kSetupSplashWidth, h = kSetupSplashHeight, band = 96;
    // The title band at the top, the stereogram below it.
    Canvas c(w, h);
    VerticalGradient(c, 0, 0, w, band, Rgba{22, 40, 100, 255}, kDeep);
    const Canvas picture = Stereogram(w, h - band, 84, 59, [](int x, int y) {
        const rv::Colour small = Dome(x, y, 262, 70, 40);
        return small != rv::kWhite ? small : Dome(x, y, 136, 84, 70);
    });
    c.Paste(picture, 0, band);
    // The band's lower edge fades into the picture.
    for (int j = 0; j < 14; ++j) Veil(c, 0, band + j, w, 1, kDeep, 220 - j * 16);
    c.Fill(0, band - 1, w, 1, Rgba{150, 170, 230, 255});
    ReliefText(c, 30, 16, "Relievo", 5, kGold);
    SmoothText(c, 248, 20, "Setup", 3, kPale);
    c.Text(30, 70, "Stereogram painter, version 1.0", 1, Rgba{170, 186, 230, 255});
    c.Text(w - 30 - Canvas::TextWidth("Preparing to install...", 1), 70, "Preparing to install...", 1,
           Rgba{170, 186, 230, 255});
    Border(c);
    return Bmp24(c);
}

namespace {

Canvas ProgramIconImage(int n)
{
    Canvas c(n, n);
    // A tile with rounded corners, light blue at the top to deep blue below.
    const int radius = std::max(3, n / 5) * TextShape::kFine, size = n * TextShape::kFine;
    auto inside = [&](int x, int y) {
        const int cx = std::clamp(x, radius, size - radius), cy = std::clamp(y, radius, size - radius);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int hits = 0;
            for (int sy = 0; sy < TextShape::kFine; ++sy)
                for (int sx = 0; sx < TextShape::kFine; ++sx)
                    hits += inside(x * TextShape::kFine + sx, y * TextShape::kFine + sy);
            const Rgba tile = Mix(Rgba{70, 130, 230, 255}, Rgba{14, 32, 104, 255}, y * 256 / (n - 1));
            c.Blend(x, y, tile, hits * 256 / (TextShape::kFine * TextShape::kFine));
        }
    const int scale = n >= 48 ? 5 : n >= 32 ? 3 : 2;
    ReliefText(c, (n - 5 * scale) / 2, (n - 7 * scale) / 2, "R", scale, kGold);
    return c;
}

} // namespace

Bytes ProgramIcon() { return Icon({ProgramIconImage(16), ProgramIconImage(32), ProgramIconImage(48)}); }

} // namespace rvassets
