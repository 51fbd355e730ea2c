#pragma once
// The background pattern: a tile (from the back folder or made at random) and
// its repetition over the picture size. The tile's width is the period the
// stereogram copies at.
#include "painter/image/DibImage.h"
#include "painter/stereo/RandomSource.h"

#include <string>

namespace rv {

// The numbers that size the pictures of the drawing view.
struct PictureLayout {
    static constexpr int kDefaultWidth = 800;
    static constexpr int kDefaultHeight = 600;
    static constexpr int kDefaultPeriod = 100; // when no tile could be loaded

    int pictureWidth = kDefaultWidth;
    int pictureHeight = kDefaultHeight;
    int period = kDefaultPeriod;    // tile width, the horizontal repeat distance
    int tileHeight = 0;             // the vertical repeat distance

    // The depth map covers the picture less one period on the right.
    int DepthMapWidth() const { return pictureWidth - period; }
    int DepthMapHeight() const { return pictureHeight; }
};

// The random tile's size; making one also sets the picture height.
constexpr int kRandomTileWidth = 100;
constexpr int kRandomTileHeight = 480;

// Relative path of the n-th tile, ".\back\b<n>.bmp" (n from 1).
std::string TilePath(int n);
// The n-th tile that exists: ".\back\b<n>.bmp", or when there is no such
// BMP the PNG or else the JPEG of that number; empty when there is none.
std::string FindTilePath(int n);
// The tile the painter starts with, ".\back\b1.bmp" (or the PNG or JPEG
// of number 1 when that BMP is missing).
inline const char kFirstTilePath[] = ".\\back\\b1.bmp";

// What the drawing view starts with: the first tile loaded into `background`
// (a failure is not reported), period and tile height from it, and a period
// of 100 when there is no tile (the tile height is then 0).
void LoadFirstTile(CDibImage& background, PictureLayout& layout);

// Loads a tile into `background` and takes period and tile height from it.
// A BMP path whose file is missing reads the PNG or else the JPEG of the
// same name.
// On failure the layout is unchanged (a tile of another depth has shown
// "Not a 24bit BMP!" and left `background` empty).
bool LoadTile(CDibImage& background, const std::string& path, PictureLayout& layout);

// Repeats the top-left period x tileHeight area of `background` over a new
// pictureWidth x pictureHeight picture that replaces it. Tile pixels outside
// the current image read as white; without a usable tile area (period or
// tileHeight below 1) every pixel is outside it and the picture is white.
// When the picture cannot be made, shows "Imply memory error!" and returns
// false with `background` unchanged.
bool GenerateBackground(CDibImage& background, const PictureLayout& layout);

// Makes the next random 100 x 480 tile from `random` into `background`:
// period 100, tile height 480 and picture height 480 are set first. When the
// tile cannot be made, shows "Create bmp error!" and returns false, the
// layout already changed and `background` kept.
bool RandomBackground(CDibImage& background, PictureLayout& layout, CRandomSource& random = ProcessRandom());

} // namespace rv
