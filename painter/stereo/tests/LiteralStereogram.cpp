#include "painter/stereo/tests/LiteralStereogram.h"

namespace rv::testing {

void LiteralGenerateStereogram(CDibImage& background, const CDibImage& depthMap, int pictureWidth,
                               int pictureHeight, int period, int feel)
{
    const int step = 240 / feel;
    for (int y = 0; y < pictureHeight; ++y) {
        for (int x = 0; x < pictureWidth - period; ++x) {
            const Colour d = depthMap.GetPixel(x, y);
            const int R = static_cast<int>(d & 0xFF);
            const int B = static_cast<int>((d >> 16) & 0xFF);
            if (R == 255) continue;
            int s;
            if (B == 255)
                s = (240 - R) / step;
            else
                s = -(R / step);
            const Colour c = background.GetPixel(x, y);
            background.SetPixel(x + s + 1 * period, y, c);
            for (int k = 2; x + s + k * period < pictureWidth; ++k) background.SetPixel(x + s + k * period, y, c);
        }
    }
}

} // namespace rv::testing
