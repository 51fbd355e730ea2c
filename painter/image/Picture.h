#pragma once
// Pictures in the three file formats the painter reads: 24-bit BMP (read as
// ever), PNG (every colour type and bit depth, interlaced or not; alpha is
// composed onto white) and JPEG (baseline and progressive). Whatever the
// file, the picture is held as the usual 24-bit DIB, so the engines never
// see the difference. Stereograms and depth maps can also be written as PNG.
#include "painter/image/DibImage.h"
#include "painter/image/PictureCodec.h"

#include <cstdint>
#include <string>

namespace rv {

// The loaders' messages for PNG and JPEG files.
inline constexpr const char* kMsgDamagedPng = "Damaged PNG: cannot read the picture!";
inline constexpr const char* kMsgDamagedJpeg = "Damaged JPEG: cannot read the picture!";
inline constexpr const char* kMsgPictureTooLarge = "Picture too large!";
inline constexpr const char* kMsgNoCodec = "PNG and JPEG pictures cannot be read here!";

// The format by the file's first bytes: "BM", the PNG signature, or a JPEG
// start-of-image marker.
PictureFormat SniffPictureFormat(const std::uint8_t* data, std::size_t size);

// Replaces the picture with a BMP, PNG or JPEG file, told apart by their
// first bytes. A BMP (or a file of no known kind) goes to LoadBmp and fares
// exactly as there. A PNG or JPEG that cannot be read shows a message (the
// damaged-file one, or "Picture too large!" when its 24-bit form would not
// fit, said before any pixel is decoded) and keeps the old picture; a
// missing file fails silently. `reason`, when given, gets the message with
// the codec's own reason for a PNG or JPEG that failed.
bool LoadPicture(CDibImage& image, const std::string& path, std::string* reason = nullptr);
// The same from bytes in memory (not for BMP files); `problem` gets the
// message and the codec's reason. `maxPixels`, when not 0, is a caller's
// own bound on width x height, refused as too large.
bool DecodePicture(CDibImage& image, const std::uint8_t* data, std::size_t size, std::string& problem,
                   long long maxPixels = 0, IPictureCodec& codec = DefaultPictureCodec());

// The width and height a PNG or JPEG file states in its header (read from
// its first megabyte), without decoding it; false for other files.
bool ReadStatedSize(const std::string& path, long long& width, long long& height);

// Writes the picture as an 8-bit RGB PNG file, whole or not at all.
bool SavePng(const CDibImage& image, const std::string& path);
// SavePng when the path ends in ".png" (any case), SaveBmp otherwise.
bool SavePicture(const CDibImage& image, const std::string& path);
bool HasPngExtension(const std::string& path);

// One 16-bit RGBA pixel channel composed onto white and rounded to 8 bits:
// the same arithmetic in every build.
inline std::uint8_t OnWhite(std::uint32_t channel, std::uint32_t alpha)
{
    const std::uint64_t c = static_cast<std::uint64_t>(channel) * alpha + 65535ull * (65535u - alpha);
    // c / 65535 is the 16-bit result; scaled to 8 bits: x * 255 / 65535.
    return static_cast<std::uint8_t>((c * 255 + 65535ull * 65535 / 2) / (65535ull * 65535));
}

} // namespace rv
