#include "painter/stereo/DepthMap.h"

#include <algorithm>
#include <cstring>

namespace rv {

bool MakeBlankDepthMap(CDibImage& depthMap, const PictureLayout& layout)
{
    CDibImage blank;
    if (!blank.Create(layout.DepthMapWidth(), layout.DepthMapHeight())) return false;
    depthMap.Swap(blank);
    return true;
}

bool FitDepthMap(CDibImage& depthMap, const PictureLayout& layout)
{
    CDibImage fitted;
    if (!fitted.Create(layout.DepthMapWidth(), layout.DepthMapHeight())) return false;
    const int width = std::min(fitted.Width(), depthMap.Width());
    const int height = std::min(fitted.Height(), depthMap.Height());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = depthMap.Bits() + static_cast<std::size_t>(depthMap.Height() - 1 - y) * depthMap.Stride();
        std::uint8_t* dst = fitted.Bits() + static_cast<std::size_t>(fitted.Height() - 1 - y) * fitted.Stride();
        std::memcpy(dst, src, 3 * static_cast<std::size_t>(width));
    }
    depthMap.Swap(fitted);
    return true;
}

} // namespace rv
