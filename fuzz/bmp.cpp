// A BMP file as a tile and as a depth map: loading, tiling, fitting and the
// stereogram. The file is served from memory through the painter's file
// opener. Oracle: a loaded picture's pixels lie inside its block, every
// step keeps its sizes, and a refused load leaves the old picture.
#include "fuzz/FuzzCheck.h"

#include "painter/image/DibImage.h"
#include "painter/image/Platform.h"
#include "painter/stereo/Background.h"
#include "painter/stereo/DepthMap.h"
#include "painter/stereo/Stereogram.h"

#include <cstring>
#include <string>

namespace {

class MemoryFiles : public rv::IFileOpener {
public:
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::FILE* Open(const std::string&, const char* mode) override
    {
        if (std::strcmp(mode, "rb") != 0) return nullptr;
        // fmemopen refuses an empty buffer; an empty file is a file that ends at once.
        static char none = 0;
        return size ? fmemopen(const_cast<std::uint8_t*>(data), size, "rb") : fmemopen(&none, 1, "r");
    }
};

class QuietBox : public rv::IMessageBox {
public:
    void Show(std::string_view) override {}
};

// Pictures larger than this are only loaded: the oracle on every pixel and
// the stereogram of a huge picture would make each run slow.
constexpr long long kMaxWorkedPixels = 1 << 16;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static MemoryFiles files;
    static QuietBox box;
    rv::SetFileOpener(&files);
    rv::SetMessageBox(&box);
    files.data = size ? data : nullptr;
    files.size = size;

    rv::CDibImage picture;
    FUZZ_CHECK(picture.Create(3, 2));
    picture.SetPixel(1, 1, 0x123456);
    if (!picture.LoadBmp("input.bmp")) {
        FUZZ_CHECK(picture.Empty() || (picture.Width() == 3 && picture.GetPixel(1, 1) == 0x123456));
        return 0;
    }
    const int w = picture.Width(), h = picture.Height();
    FUZZ_CHECK(w > 0 && h > 0);
    FUZZ_CHECK(picture.Bits() == picture.Block() + 40);
    FUZZ_CHECK(picture.BlockSize() >= 40 + static_cast<long long>(h) * picture.Stride());
    FUZZ_CHECK(picture.Block()[0] == 40 && picture.Block()[14] == 24);
    if (static_cast<long long>(w) * h > kMaxWorkedPixels) return 0;

    // Every pixel is readable (ASan watches the block's bounds).
    unsigned sum = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) sum += picture.GetPixel(x, y);
    (void)sum;

    // The picture as a tile, tiled to a small picture, and as the depth map.
    rv::PictureLayout layout;
    layout.period = w;
    layout.tileHeight = h;
    layout.pictureWidth = w + 1 + static_cast<int>(data[size - 1] % 64);
    layout.pictureHeight = 1 + static_cast<int>(data[0] % 48);
    rv::CDibImage depth;
    FUZZ_CHECK(depth.LoadBmp("input.bmp"));
    rv::CDibImage background;
    background.Swap(picture);
    FUZZ_CHECK(rv::GenerateBackground(background, layout));
    FUZZ_CHECK(background.Width() == layout.pictureWidth && background.Height() == layout.pictureHeight);
    FUZZ_CHECK(rv::FitDepthMap(depth, layout));
    FUZZ_CHECK(depth.Width() == layout.DepthMapWidth() && depth.Height() == layout.DepthMapHeight());

    rv::StereogramParams params;
    params.pictureWidth = layout.pictureWidth;
    params.pictureHeight = layout.pictureHeight;
    params.period = layout.period;
    params.feel = 1 + data[size / 2] % 240;
    rv::GenerateStereogram(background, depth, params);
    FUZZ_CHECK(background.Width() == layout.pictureWidth);
    return 0;
}
