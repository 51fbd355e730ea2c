#include "tools/assets/Assets.h"

#include "painter/image/DibImage.h"
#include "tools/assets/Noise.h"
#include "tools/assets/Pictures.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>

namespace rvassets {
namespace {

using rv::CDibImage;
using rv::Colour;

using Painter = std::function<Colour(int x, int y)>;

bool Save(const std::string& root, const Asset& asset, int w, int h, const Painter& paint, std::string& failed)
{
    CDibImage img;
    if (!img.Create(w, h)) {
        failed = asset.name;
        return false;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.SetPixel(x, y, paint(x, y));
    const std::string path = root + "/" + asset.folder + "/" + asset.name;
    if (!img.SaveBmp(path)) {
        failed = path;
        return false;
    }
    return true;
}

// b1, 100 x 100: colourful noise, smooth colour clouds with fine grain.
Colour Clouds(int x, int y)
{
    const int hue = ValueNoise(x, y, 25, 100, 100, 11) * 6 + ValueNoise(x, y, 10, 100, 100, 12) * 2;
    const int value = 150 + Noise255(x, y, 13) * 105 / 255;
    return Hue(hue, value);
}

// b2, 80 x 120: dots of many colours on a speckled dark ground.
Colour Dots(int x, int y)
{
    const int cellX = 20, cellY = 20;
    const int i = x / cellX, j = y / cellY;
    const int cx = i * cellX + 4 + Noise255(i, j, 21) % 12, cy = j * cellY + 4 + Noise255(i, j, 22) % 12;
    const int radius = 3 + Noise255(i, j, 23) % 5;
    const int dx = x - cx, dy = y - cy;
    if (dx * dx + dy * dy <= radius * radius)
        return Hue(Noise255(i, j, 24) * 6, 200 + (radius * radius - dx * dx - dy * dy) * 55 / (radius * radius));
    const int speck = Noise255(x, y, 25);
    return speck > 230 ? Rgb(240, 240, 200) : Rgb(20 + speck / 8, 24 + speck / 6, 48 + speck / 5);
}

// b3, 128 x 128: a basket weave of two-coloured strands with grain.
Colour Weave(int x, int y)
{
    const int band = 16;
    const bool over = ((x / band) + (y / band)) % 2 == 0;
    const int along = over ? y % band : x % band;
    const int across = over ? x % band : y % band;
    const int edge = std::min(across, band - 1 - across);
    const int shade = 120 + edge * 16 + Noise255(x, y, 31) / 4 - along;
    const int grain = Noise255(x / 2, y, 32) / 6;
    return over ? Rgb(shade + grain, shade * 3 / 5, shade / 4) : Rgb(shade / 4, shade * 3 / 5 + grain, shade);
}

// b4, 90 x 200: diagonal rainbow stripes sprinkled with noise.
Colour Stripes(int x, int y)
{
    const int d = (x * 2 + y * 3) % 90; // wraps at the tile width and height
    const int stripe = d / 15;
    const int value = 170 + Noise255(x, y, 41) * 85 / 255;
    Colour c = Hue(stripe * 256 + (d % 15) * 6, value);
    if (Noise255(x, y, 42) < 20) c = Rgb(255 - Noise255(x, y, 43) / 4, 250, 240);
    return c;
}

// b5, 64 x 64: confetti, every pixel a random bright colour.
Colour Confetti(int x, int y) { return Hue(static_cast<int>(Hash(x, y, 51) % 1536), 140 + Noise255(x, y, 52) * 115 / 255); }

// b6, 120 x 96: marble, veins bent by layered noise.
Colour Marble(int x, int y)
{
    const int turbulence = ValueNoise(x, y, 24, 120, 96, 61) * 4 + ValueNoise(x, y, 12, 120, 96, 62) * 2 +
                           ValueNoise(x, y, 6, 120, 96, 63);
    const int phase = (x * 256 / 40 + y * 256 / 48 + turbulence * 2) % 512;
    const int vein = phase < 256 ? phase : 511 - phase; // triangle wave 0..255
    const int light = 90 + vein * 150 / 255 + Noise255(x, y, 64) / 12;
    return Rgb(light, light * 9 / 10, light * 7 / 10 + (255 - vein) / 5);
}

// Depth colours: the black family r = g = b = v and the blue family
// r = g = v, b = 255; white is flat.
Colour Black(int v) { return Rgb(v, v, v); }
Colour Blue(int v) { return Rgb(v, v, 255); }
constexpr int kDepthW = 700, kDepthH = 600; // 800 x 600 less b1's period of 100

// A blue-family dome: red 0 (nearest) at the centre rising to 240 (flat) at the rim.
Colour Dome(int x, int y)
{
    const int cx = 350, cy = 300, r = 240;
    const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
    if (d2 >= r * r) return rv::kWhite;
    return Blue(240 * d2 / (r * r));
}

// Black-family shapes at three depths: a rectangle, a disc and a frame.
Colour Shapes(int x, int y)
{
    if ((x - 480) * (x - 480) + (y - 200) * (y - 200) < 110 * 110) return Black(160);
    if (x >= 80 && x < 300 && y >= 80 && y < 260) return Black(96);
    const bool frameOuter = x >= 150 && x < 550 && y >= 340 && y < 540;
    const bool frameInner = x >= 190 && x < 510 && y >= 380 && y < 500;
    if (frameOuter && !frameInner) return Black(224);
    return rv::kWhite;
}

// Both families: a black-family pyramid on the left, a blue-family ring on
// the right, a blue bar across the bottom.
Colour Mixed(int x, int y)
{
    const int px = 180, py = 260, half = 140;
    const int dist = std::max(std::abs(x - px), std::abs(y - py));
    if (dist < half) return Black(dist * 254 / half);
    const int d2 = (x - 520) * (x - 520) + (y - 260) * (y - 260);
    if (d2 < 130 * 130 && d2 >= 70 * 70) return Blue(64);
    if (y >= 470 && y < 540 && x >= 60 && x < 640) return Blue(160);
    return rv::kWhite;
}

// Six steps of the black family from left to right, flat top and bottom.
Colour Steps(int x, int y)
{
    if (y < 60 || y >= 540) return rv::kWhite;
    return Black(std::min(254, (x * 6 / kDepthW) * 40 + 20));
}

struct Recipe {
    Asset asset;
    int width, height;
    Colour (*paint)(int, int);
};

const Recipe kRecipes[] = {
    {{"back", "b1.bmp"}, 100, 100, Clouds},     {{"back", "b2.bmp"}, 80, 120, Dots},
    {{"back", "b3.bmp"}, 128, 128, Weave},      {{"back", "b4.bmp"}, 90, 200, Stripes},
    {{"back", "b5.bmp"}, 64, 64, Confetti},     {{"back", "b6.bmp"}, 120, 96, Marble},
    {{"sample", "dome.bmp"}, kDepthW, kDepthH, Dome},
    {{"sample", "shapes.bmp"}, kDepthW, kDepthH, Shapes},
    {{"sample", "mixed.bmp"}, kDepthW, kDepthH, Mixed},
    {{"sample", "steps.bmp"}, kDepthW, kDepthH, Steps},
};

// The program's own pictures, made whole as file bytes.
struct FileRecipe {
    Asset asset;
    Bytes (*make)();
};

const char kPainterRes[] = "painter/app/res";
const char kSetupRes[] = "setup/res";

const FileRecipe kFiles[] = {
    {{kPainterRes, "toolbar.bmp"}, ToolbarStrip},
    {{kPainterRes, "splash.bmp"}, SplashPicture},
    {{kPainterRes, "about.bmp"}, AboutPicture},
    {{kPainterRes, "Relievo.ico"}, ProgramIcon},
    {{kPainterRes, "cursor142.cur"}, [] { return ToolCursor(142); }},
    {{kPainterRes, "cursor143.cur"}, [] { return ToolCursor(143); }},
    {{kPainterRes, "cursor144.cur"}, [] { return ToolCursor(144); }},
    {{kPainterRes, "cursor145.cur"}, [] { return ToolCursor(145); }},
    {{kPainterRes, "cursor152.cur"}, [] { return ToolCursor(152); }},
    {{kPainterRes, "cursor153.cur"}, [] { return ToolCursor(153); }},
    {{kPainterRes, "cursor154.cur"}, [] { return ToolCursor(154); }},
    {{kPainterRes, "icon147.ico"}, [] { return EraserIcon(147); }},
    {{kPainterRes, "icon148.ico"}, [] { return EraserIcon(148); }},
    {{kPainterRes, "icon149.ico"}, [] { return EraserIcon(149); }},
    {{kSetupRes, "welcome.bmp"}, SetupWelcome},
    {{kSetupRes, "splash.bmp"}, SetupSplash},
};

bool WriteFile(const std::string& path, const Bytes& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

} // namespace

std::vector<Asset> AssetList()
{
    std::vector<Asset> list;
    for (const auto& r : kRecipes) list.push_back(r.asset);
    for (const auto& f : kFiles) list.push_back(f.asset);
    return list;
}

bool WriteAssets(const std::string& root, std::string& failed)
{
    for (const auto& r : kRecipes)
        if (!Save(root, r.asset, r.width, r.height, r.paint, failed)) return false;
    for (const auto& f : kFiles) {
        const std::string path = root + "/" + f.asset.folder + "/" + f.asset.name;
        const Bytes bytes = f.make();
        if (bytes.empty()) {
            failed = path + " (the picture cannot be stored in its format)";
            return false;
        }
        if (!WriteFile(path, bytes)) {
            failed = path;
            return false;
        }
    }
    return true;
}

} // namespace rvassets
