#pragma once
// BMP files for the wizard's pictures: the file read into one packed block
// (40-byte information header, colour table, pixel rows bottom-up, exactly
// what the device-independent bitmap calls take) and the logical palette
// that goes with it.
//
// The loader is safe on any file. The block always holds every byte its
// header describes: the colour table has the header's colours-used entries
// and the pixel part has stride × height bytes, whatever the file's own
// image-size field says; pixel data the file lacks stays zero (drawn black).
// It refuses (returns nothing, so nothing is drawn): headers other than the
// 12-byte core and 40-byte information header, compressed pictures (run
// lengths, bit fields, JPEG, PNG), bit depths other than 1, 4, 8, 16, 24 and
// 32, planes other than 1, a width or height of 0 or beyond 32,767 (widths
// below 0 too), and pixel data of more than 64 MiB. A colours-used field
// beyond what the depth can index counts as the full table (2, 16 or 256);
// 16-, 24- and 32-bit pictures keep at most 256 table entries. A picture
// stored top-down (negative height) has its rows turned bottom-up in the
// block and a positive height.
//
// Drawing a loaded picture unscaled at (x, y) with the device-independent
// bitmap calls: the block's start is the BITMAPINFO (header and colour
// table, DIB_RGB_COLORS) and Pixels() the bits; the source origin of a
// w × h part at (sx, sy) is (sx, Height() - h - sy), scan lines 0 to
// Height(), as the rows are stored bottom-up.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "installer/package/Platform.h"

namespace vela {

inline constexpr std::size_t kDibHeaderSize = 40;
inline constexpr std::size_t kDibCoreHeaderSize = 12;
inline constexpr std::size_t kDibFileHeaderSize = 14;
inline constexpr std::size_t kDibReadPiece = 32768;
inline constexpr std::int32_t kDibMaxSide = 32767;
inline constexpr std::size_t kDibMaxPixelBytes = std::size_t{64} << 20;

// A loaded picture: one zero-initialised block, owned.
class CPackedDib {
public:
    // The whole block: header, colour table, pixels.
    const unsigned char* Block() const { return block_.get(); }
    std::size_t BlockSize() const { return blockSize_; }
    // The 40-byte header at the start of the block (BITMAPINFOHEADER layout).
    const unsigned char* Header() const { return block_.get(); }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }  // always positive
    std::uint16_t BitsPerPixel() const { return bitsPerPixel_; }
    // Entries of the colour table (blue, green, red, 0), equal to the
    // header's colours-used field.
    std::uint32_t ColourCount() const { return colourCount_; }
    const unsigned char* ColourTable() const { return block_.get() + kDibHeaderSize; }
    // The pixel rows, bottom-up, each padded to a multiple of 4 bytes.
    const unsigned char* Pixels() const { return block_.get() + pixelOffset_; }
    std::size_t PixelBytes() const { return blockSize_ - pixelOffset_; }
    std::size_t Stride() const { return stride_; }

private:
    friend std::unique_ptr<CPackedDib> LoadDib(IBinaryFile& file);
    std::unique_ptr<unsigned char[]> block_;
    std::size_t blockSize_ = 0;
    std::size_t pixelOffset_ = 0;
    std::size_t stride_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::uint16_t bitsPerPixel_ = 0;
    std::uint32_t colourCount_ = 0;
};

// Reads a BMP from the start of a stream: with or without the 14-byte "BM"
// file header (without it the pixels follow the colour table), with the
// 12-byte core header (converted to the 40-byte header, its colour triples
// widened to 4-byte entries) or the 40-byte header. Nothing on any refusal.
std::unique_ptr<CPackedDib> LoadDib(IBinaryFile& file);
// Opens the file through the platform and loads it; nothing when it cannot
// be opened.
std::unique_ptr<CPackedDib> LoadDibFile(IPlatform& platform, std::string_view path);

// A logical palette's description (LOGPALETTE with PALETTEENTRY entries).
struct DibPaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;
};
struct DibPalette {
    std::uint16_t version = 0x300;
    std::uint16_t count = 0;
    DibPaletteEntry entries[256];
};
// The palette for a picture: its colour table when it has one, the 3-3-2
// colour cube of 256 entries for a 24-bit picture without one (red = (i mod
// 8) × 32, green = ((i / 8) mod 8) × 32, blue = (i / 64) × 64), and none
// (false) for 16- and 32-bit pictures without a table or no picture.
bool MakeDibPalette(const CPackedDib* dib, DibPalette& palette);

} // namespace vela
