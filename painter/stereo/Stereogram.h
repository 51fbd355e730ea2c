#pragma once
// The stereogram transform: the tiled background is rewritten in place, row by
// row, by copying each column's colour one period (plus or minus the depth
// shift) to the right, and on from there to the right edge.
#include "painter/image/DibImage.h"

#include <string>
#include <string_view>

namespace rv {

constexpr int kMinFeel = 1;
constexpr int kMaxFeel = 240;
constexpr int kDefaultFeel = 15;
inline const char kDefaultFeelText[] = "15";

struct StereogramParams {
    int pictureWidth = 800;
    int pictureHeight = 600;
    int period = 100;
    int feel = kDefaultFeel;
};

// 240 / feel; a feel outside 1..240 is taken as the nearest bound, so the
// step is never 0.
int FeelStep(int feel);

// Whether a depth colour carries depth: any colour with full red is flat.
constexpr bool HasDepth(Colour depth) { return (depth & 0xFF) != 0xFF; }

// The shift of a depth colour (red below 255): the blue family (blue 255)
// lengthens the copy distance by (240 - red) / step, the black family shortens
// it by red / step.
constexpr int DepthShift(Colour depth, int step)
{
    const int red = static_cast<int>(depth & 0xFF);
    const int blue = static_cast<int>((depth >> 16) & 0xFF);
    return blue == 0xFF ? (240 - red) / step : -(red / step);
}

// Turns `background` into the stereogram of `depthMap` (read only; pixels
// outside it are flat). Columns 0 .. pictureWidth - period - 1 of rows
// 0 .. pictureHeight - 1 are processed left to right; writes outside the
// background are dropped. Does nothing when period is below 1. Rows are
// independent, so a large picture is shared among the machine's cores, or
// among `threads` threads; the picture is the same whatever the count.
void GenerateStereogram(CDibImage& background, const CDibImage& depthMap, const StereogramParams& params);
void GenerateStereogram(CDibImage& background, const CDibImage& depthMap, const StereogramParams& params, int threads);

// The two 3D-feel commands on the text of the feel display: the value read
// from the text (at most three characters, decimal) becomes the feel; unless
// it is at the stop value (1 when decreasing, 240 when increasing) the feel
// moves by one and the display shows the new value.
struct FeelChange {
    int feel = kDefaultFeel;
    bool textChanged = false;
    std::string text; // the display's new text when textChanged
};
int ReadFeelText(std::string_view text);
FeelChange DecreaseFeel(std::string_view displayText);
FeelChange IncreaseFeel(std::string_view displayText);

} // namespace rv
