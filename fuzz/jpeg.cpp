// A JPEG file as a tile or depth map (see PictureFuzz.h).
#include "fuzz/PictureFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return rvfuzz::FuzzPicture(rv::PictureFormat::Jpeg, data, size);
}
