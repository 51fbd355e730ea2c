// The tool cursors (black and white, with a black outline so that they show
// on white paper and on dark depth alike) and the three eraser-kind icons.
#include "tools/assets/Pictures.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace rvassets {
namespace {

constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

// A tool lying diagonally, its tip at (tx, ty) and its body running up and
// to the right. Along the tool s = dx - dy grows from 0 at the tip; across
// it p = dx + dy (both in units of half a pixel diagonal, so whole numbers).
// `paint` gives the colour at (s, p), or nullptr outside the tool.
template <class Paint>
void Diagonal(Canvas& c, int tx, int ty, Paint paint)
{
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            const int dx = x - tx, dy = y - ty;
            if (const Rgba* colour = paint(dx - dy, dx + dy)) c.Set(x, y, *colour);
        }
}

Canvas PencilCursor()
{
    Canvas c(32, 32);
    Diagonal(c, 1, 30, [](int s, int p) -> const Rgba* {
        const int half = s < 14 ? s / 2 : 7; // the sharpened cone, then the body
        if (s < 0 || s > 46 || std::abs(p) > half) return nullptr;
        if (s < 5) return &kBlack;                // the lead
        if (s == 14 || s == 15) return &kBlack;   // where the wood meets the paint
        if (s >= 36 && s <= 38) return &kBlack;   // the metal band
        if (s > 15 && s < 36 && std::abs(p) <= 1) return &kBlack; // the body's ridge
        return &kWhite;
    });
    c.Outline(kBlack);
    return c;
}

Canvas BrushCursor()
{
    Canvas c(32, 32);
    Diagonal(c, 1, 30, [](int s, int p) -> const Rgba* {
        if (s < 0 || s > 48) return nullptr;
        if (s <= 18) { // the inked hair: a drop that swells from the tip
            const int half = s < 12 ? s * 5 / 12 : 5 - (s - 12) / 3;
            return std::abs(p) <= half ? &kBlack : nullptr;
        }
        if (std::abs(p) > 2) return nullptr;
        if (s <= 21) return &kBlack;                // the ring that holds the hair
        if (s % 10 == 0) return &kBlack;            // the bamboo's joints
        return &kWhite;
    });
    c.Outline(kBlack);
    // The handle is white with a black edge; the hair needs a white edge to
    // show on dark depth.
    Canvas rim(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (c.At(x, y).a >= 128) continue;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (c.At(x + dx, y + dy) == kBlack) rim.Set(x, y, kWhite);
        }
    c.Paste(rim, 0, 0);
    return c;
}

Canvas PickerCursor()
{
    Canvas c(32, 32);
    Diagonal(c, 1, 30, [](int s, int p) -> const Rgba* {
        if (s < 0 || s > 44) return nullptr;
        const int a = std::abs(p);
        if (s < 4) return a <= 1 ? &kBlack : nullptr;   // the glass tip
        if (s < 26) return a <= 3 ? (a == 3 || s < 12 ? &kBlack : &kWhite) : nullptr; // the tube, a drop inside
        if (s < 30) return a <= 7 ? &kBlack : nullptr;  // the collar
        const int half = s < 40 ? 5 : 5 - (s - 40); // the rubber bulb, rounded off
        return a <= half ? &kBlack : nullptr;
    });
    c.Outline(kWhite);
    c.Outline(kBlack);
    return c;
}

Canvas Crosshair(int cx, int cy, int arm, int gap)
{
    Canvas c(32, 32);
    for (int d = gap; d <= arm; ++d) {
        c.Set(cx + d, cy, kBlack), c.Set(cx - d, cy, kBlack);
        c.Set(cx, cy + d, kBlack), c.Set(cx, cy - d, kBlack);
    }
    c.Set(cx, cy, kBlack);
    c.Outline(kWhite);
    return c;
}

Canvas BucketCursor()
{
    // The can, tipped over to the left: its mouth at the lower left, the
    // handle arching over it, paint running out to the drop the hot spot sits on.
    Canvas c(32, 32);
    c.Polygon({{14 * 16, 5 * 16}, {28 * 16, 14 * 16}, {21 * 16, 25 * 16}, {7 * 16, 16 * 16}}, kWhite);
    c.Line(14 * 16, 5 * 16, 7 * 16, 16 * 16, 32, kBlack); // the mouth, seen edge on
    c.Line(17 * 16, 9 * 16, 24 * 16, 14 * 16, 20, kBlack); // a band round the can
    c.Polygon({{9 * 16, 13 * 16}, {12 * 16, 15 * 16}, {6 * 16, 23 * 16}, {4 * 16, 23 * 16}}, kBlack); // the paint
    c.Disc(4 * 16 + 8, 26 * 16, 2 * 16 + 4, kBlack);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const Rgba p = c.At(x, y);
            c.Set(x, y, p.a < 128 ? kClear : (p.r >= 128 ? kWhite : kBlack));
        }
    c.Outline(kBlack);
    // The handle, from one side of the can to the other, over the top.
    Canvas handle(32, 32);
    handle.Ellipse(22 * 16, 8 * 16, 7 * 16, 5 * 16, 20, kBlack);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (handle.At(x, y).a >= 128 && c.At(x, y).a < 128) c.Set(x, y, kBlack);
    c.Outline(kWhite);
    return c;
}

Canvas EraserCursor()
{
    // The footprint's centre is the hot spot; a small eraser block sits above
    // and to the right of it.
    Canvas c = Crosshair(10, 21, 4, 0);
    c.Polygon({{16 * 16, 13 * 16}, {24 * 16, 3 * 16}, {31 * 16, 9 * 16}, {23 * 16, 19 * 16}}, kWhite);
    c.Line(19 * 16, 9 * 16 + 8, 27 * 16, 16 * 16, 24, kBlack); // where the sleeve begins
    c.Outline(kBlack);
    return c;
}

Canvas LassoCursor()
{
    // The rope's end is the hot spot at the lower left; it winds up to a wide
    // loop lying above, knotted where the loop closes.
    Canvas c(32, 32);
    c.Ellipse(19 * 16, 8 * 16, 12 * 16, 6 * 16, 24, kBlack);
    const int rope[][2] = {{2, 29}, {4, 25}, {7, 23}, {8, 20}, {7, 17}, {9, 14}, {12, 13}};
    for (std::size_t i = 1; i < std::size(rope); ++i)
        c.Line(rope[i - 1][0] * 16, rope[i - 1][1] * 16, rope[i][0] * 16, rope[i][1] * 16, 24, kBlack);
    c.Disc(12 * 16, 13 * 16, 24, kBlack); // the knot
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) c.Set(x, y, c.At(x, y).a >= 128 ? kBlack : kClear);
    c.Outline(kWhite);
    return c;
}

} // namespace

HotSpot CursorHotSpot(int id)
{
    switch (id) {
    case 142: return {1, 30};  // the pencil's lead
    case 143: return {15, 15}; // the cross
    case 144: return {4, 27};  // the drop of paint
    case 145: return {10, 21}; // the eraser's centre
    case 152: return {2, 29};  // the rope's end
    case 153: return {1, 30};  // the dropper's tip
    case 154: return {1, 30};  // the brush's tip
    default: return {0, 0};
    }
}

Bytes ToolCursor(int id)
{
    Canvas c(32, 32);
    switch (id) {
    case 142: c = PencilCursor(); break;
    case 143: c = Crosshair(15, 15, 10, 3); break;
    case 144: c = BucketCursor(); break;
    case 145: c = EraserCursor(); break;
    case 152: c = LassoCursor(); break;
    case 153: c = PickerCursor(); break;
    case 154: c = BrushCursor(); break;
    default: return {};
    }
    const HotSpot hot = CursorHotSpot(id);
    return Cursor(c, hot.x, hot.y);
}

namespace {

// The eraser kinds as the eraser leaves them: a soft spot that fades out, a
// round spot and a square one, in slate blue.
Canvas EraserKindImage(int id, int n)
{
    constexpr Rgba kInk{40, 64, 112, 255};
    Canvas c(n, n);
    const int centre = n * 8, radius = n * 7; // in 1/16 pixel: the middle, and 7/16 of the size
    switch (id) {
    case 147:
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const long long dx = x * 16 + 8 - centre, dy = y * 16 + 8 - centre;
                const long long d2 = dx * dx + dy * dy, r2 = static_cast<long long>(radius) * radius;
                if (d2 >= r2) continue;
                // Full strength in the middle, fading to nothing at the rim.
                const int a = static_cast<int>(255 - 255 * d2 / r2);
                c.Set(x, y, Rgba{kInk.r, kInk.g, kInk.b, static_cast<std::uint8_t>(a)});
            }
        break;
    case 148: c.Disc(centre, centre, radius, kInk); break;
    case 149: {
        const int m = n / 8;
        c.Fill(m, m, n - 2 * m, n - 2 * m, kInk);
        break;
    }
    default: break;
    }
    return c;
}

} // namespace

Bytes EraserIcon(int id)
{
    if (id < 147 || id > 149) return {};
    return Icon({EraserKindImage(id, 16), EraserKindImage(id, 32)});
}

} // namespace rvassets
