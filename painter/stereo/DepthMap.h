#pragma once
// Sizing the depth map: it covers the picture less one period, anchored at the
// top-left of the background.
#include "painter/image/DibImage.h"
#include "painter/stereo/Background.h"

namespace rv {

// Replaces `depthMap` with a white picture of the layout's depth-map size
// (what the settings do). Returns false, keeping the old depth map, when that
// size is not positive or the memory cannot be had.
bool MakeBlankDepthMap(CDibImage& depthMap, const PictureLayout& layout);

// Fits `depthMap` to the layout's depth-map size (what the import does): a
// new white picture of that size receives the old one's pixels from the
// top-left, so a larger picture is cropped at the right and bottom and a
// smaller one padded with white. Returns false, keeping the old depth map,
// when the new picture cannot be made.
bool FitDepthMap(CDibImage& depthMap, const PictureLayout& layout);

} // namespace rv
