// A gesture script replayed through the drawing view on a small depth map.
// Oracle: the player never fails without saying why, the depth map keeps its
// size, and every painted pixel is one of the two depth families or white
// once a lasso region's dashes, the complement of what lies under them, are
// taken out.
#include "fuzz/FuzzCheck.h"

#include "painter/app/view/PaintScript.h"

#include <cstdio>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 4096) return 0;  // long scripts only repeat what short ones do
    auto depth = std::make_unique<rv::CDibImage>();
    FUZZ_CHECK(depth->Create(48, 36));
    rv::CPaintScriptPlayer player(std::move(depth));
    std::string problem;
    const bool ran = player.Run(std::string_view(reinterpret_cast<const char*>(data), size), problem);
    FUZZ_CHECK(ran == problem.empty());
    if (!ran) FUZZ_CHECK(problem.rfind("line ", 0) == 0);
    player.View().Board().ToggleRegionDashes();
    const rv::CDibImage& map = player.DepthMap();
    FUZZ_CHECK(map.Width() == 48 && map.Height() == 36);
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 48; ++x) {
            const rv::Colour c = map.GetPixel(x, y);
            const unsigned r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
            if (!(r == g && (b == r || b == 0xFF))) std::fprintf(stderr, "pixel %d %d: %06x\n", x, y, c);
            FUZZ_CHECK(r == g && (b == r || b == 0xFF));
        }
    return 0;
}
