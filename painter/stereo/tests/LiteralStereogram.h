#pragma once
// The stereogram transform written out word for word, one GetPixel and
// SetPixel per pixel: the reference the production transform must match.
#include "painter/image/DibImage.h"

namespace rv::testing {

void LiteralGenerateStereogram(CDibImage& background, const CDibImage& depthMap, int pictureWidth,
                               int pictureHeight, int period, int feel);

} // namespace rv::testing
