#pragma once
// What the painter needs of a PNG and JPEG codec. The pictures themselves
// are always held as 24-bit DIBs; a codec only turns file bytes into rows of
// pixels and back. Each build links one codec: the native build the Debian
// libraries (libpng, libjpeg-turbo), the Windows programs the system's
// imaging component.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rv {

enum class PictureFormat { Unknown, Bmp, Png, Jpeg };

// Where a decoder puts the picture.
class IPictureSink {
public:
    virtual ~IPictureSink() = default;
    // Called once with the picture's size before any pixel is decoded;
    // false refuses the picture (the decoder then stops and fails).
    virtual bool Begin(int width, int height) = 0;
    // Row y (0 is the top) of width pixels, each red, green, blue, alpha
    // in 16 bits (an 8-bit value v arrives as v * 257). Rows may come in
    // any order; every row comes once.
    virtual void Row(int y, const std::uint16_t* rgba) = 0;
};

class IPictureCodec {
public:
    virtual ~IPictureCodec() = default;
    // Decodes a whole PNG or JPEG file. On failure returns false with a
    // short English reason ("truncated", "bad CRC", ...).
    virtual bool Decode(PictureFormat format, const std::uint8_t* data, std::size_t size, IPictureSink& sink,
                        std::string& problem) = 0;
    // Encodes rows of 8-bit blue, green, red pixels as an 8-bit RGB PNG
    // file: the top row at `top`, each next row `step` bytes further (a
    // bottom-up DIB has a negative step).
    virtual bool EncodePng(int width, int height, const std::uint8_t* top, std::ptrdiff_t step,
                           std::vector<std::uint8_t>& file, std::string& problem) = 0;
};

// The codec of this build.
IPictureCodec& DefaultPictureCodec();

} // namespace rv
