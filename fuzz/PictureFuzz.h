#pragma once
// The PNG and JPEG targets: a file decoded from memory as the painter reads
// a tile or a depth map. Oracle: a refused file leaves the old picture and
// says why with the right message; a decoded one is a whole 24-bit picture
// of the stated size, decodes the same way twice, and its PNG reads back to
// the same pixels.
#include "fuzz/FuzzCheck.h"

#include "painter/image/DibImage.h"
#include "painter/image/Picture.h"

#include <cstring>
#include <string>
#include <vector>

namespace rvfuzz {

// Pictures beyond this are refused as too large here, so a lying header
// cannot make each run allocate gigabytes.
constexpr long long kMaxFuzzPixels = 1 << 22;

inline int FuzzPicture(rv::PictureFormat format, const std::uint8_t* data, std::size_t size)
{
    // Every input is made a file of the target's kind, so the codec rather
    // than the format sniffing sees the rest.
    std::vector<std::uint8_t> file;
    if (format == rv::PictureFormat::Png) file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    else file = {0xFF, 0xD8, 0xFF};
    if (size >= file.size() && std::memcmp(data, file.data(), file.size()) == 0) file.clear();
    file.insert(file.end(), data, data + size);

    rv::CDibImage picture;
    FUZZ_CHECK(picture.Create(3, 2));
    picture.SetPixel(1, 1, 0x123456);
    std::string problem;
    if (!rv::DecodePicture(picture, file.data(), file.size(), problem, kMaxFuzzPixels)) {
        FUZZ_CHECK(picture.Width() == 3 && picture.GetPixel(1, 1) == 0x123456);
        const char* damaged = format == rv::PictureFormat::Png ? rv::kMsgDamagedPng : rv::kMsgDamagedJpeg;
        FUZZ_CHECK(problem.rfind(damaged, 0) == 0 || problem == rv::kMsgPictureTooLarge ||
                   problem == "Imply memory error!");
        return 0;
    }
    const int w = picture.Width(), h = picture.Height();
    FUZZ_CHECK(w > 0 && h > 0 && static_cast<long long>(w) * h <= kMaxFuzzPixels);
    FUZZ_CHECK(picture.Bits() == picture.Block() + 40);
    FUZZ_CHECK(picture.BlockSize() == 40 + static_cast<long long>(h) * picture.Stride());

    rv::CDibImage again;
    FUZZ_CHECK(rv::DecodePicture(again, file.data(), file.size(), problem, kMaxFuzzPixels));
    FUZZ_CHECK(std::memcmp(again.Block(), picture.Block(), static_cast<std::size_t>(picture.BlockSize())) == 0);

    if (static_cast<long long>(w) * h <= (1 << 16)) {
        std::vector<std::uint8_t> png;
        const std::uint8_t* top = picture.Bits() + static_cast<std::size_t>(h - 1) * picture.Stride();
        FUZZ_CHECK(rv::DefaultPictureCodec().EncodePng(w, h, top, -static_cast<std::ptrdiff_t>(picture.Stride()), png,
                                                       problem));
        rv::CDibImage back;
        FUZZ_CHECK(rv::DecodePicture(back, png.data(), png.size(), problem));
        FUZZ_CHECK(std::memcmp(back.Block(), picture.Block(), static_cast<std::size_t>(picture.BlockSize())) == 0);
    }
    return 0;
}

} // namespace rvfuzz
