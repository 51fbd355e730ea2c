#pragma once
// A device the painter draws on: the window's device context in the program,
// an in-memory surface in the tests and tools.
#include <cstdint>

namespace rv {

class IDrawSurface {
public:
    virtual ~IDrawSurface() = default;

    // Stretches a whole 24-bit bottom-up DIB (srcWidth x srcHeight, described
    // by the 40-byte info header) onto the destination rectangle, copying.
    virtual bool StretchDib(int x, int y, int width, int height,
                            int srcWidth, int srcHeight,
                            const std::uint8_t* infoHeader, const std::uint8_t* bits) = 0;
};

} // namespace rv
