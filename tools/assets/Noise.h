#pragma once
// Colour and noise helpers shared by the tiles, the depth maps and the
// program's pictures: integer arithmetic only, the same numbers everywhere.
#include "painter/image/DibImage.h"

#include <algorithm>
#include <cstdint>

namespace rvassets {

inline rv::Colour Rgb(int r, int g, int b)
{
    auto c = [](int v) { return static_cast<rv::Colour>(std::clamp(v, 0, 255)); };
    return c(b) << 16 | c(g) << 8 | c(r);
}

// A small hash: the same pseudo-random number for the same inputs everywhere.
inline std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t seed)
{
    std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}
inline int Noise255(int x, int y, std::uint32_t seed) { return static_cast<int>(Hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), seed) & 0xFF); }

// Smooth value noise on a lattice of `cell` pixels that wraps at w x h
// (multiples of cell), so a tile made from it repeats without a seam.
inline int ValueNoise(int x, int y, int cell, int w, int h, std::uint32_t seed)
{
    const int cx = x / cell, cy = y / cell;
    const int fx = x % cell, fy = y % cell;
    const int nx = w / cell, ny = h / cell;
    auto at = [&](int i, int j) { return Noise255(i % nx, j % ny, seed); };
    const int top = at(cx, cy) * (cell - fx) + at(cx + 1, cy) * fx;
    const int bottom = at(cx, cy + 1) * (cell - fx) + at(cx + 1, cy + 1) * fx;
    return (top * (cell - fy) + bottom * fy) / (cell * cell);
}

// Hue 0..1535 around the colour wheel at full saturation, scaled by value.
inline rv::Colour Hue(int hue, int value)
{
    hue = ((hue % 1536) + 1536) % 1536;
    const int f = hue % 256;
    int r = 0, g = 0, b = 0;
    switch (hue / 256) {
    case 0: r = 255, g = f; break;
    case 1: r = 255 - f, g = 255; break;
    case 2: g = 255, b = f; break;
    case 3: g = 255 - f, b = 255; break;
    case 4: r = f, b = 255; break;
    default: r = 255, b = 255 - f; break;
    }
    return Rgb(r * value / 255, g * value / 255, b * value / 255);
}

} // namespace rvassets
