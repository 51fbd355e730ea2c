#include "painter/stereo/Background.h"

#include "painter/image/Picture.h"
#include "painter/image/Platform.h"

#include <algorithm>
#include <cstring>

namespace rv {

CRandomSource& ProcessRandom()
{
    static CRandomSource source;
    return source;
}

std::string TilePath(int n) { return ".\\back\\b" + std::to_string(n) + ".bmp"; }

namespace {

bool Exists(const std::string& path)
{
    std::FILE* file = OpenFile(path, "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

// path when that file exists; for a missing ".bmp" the PNG or else the JPEG
// of the same name; empty when there is none.
std::string ExistingPicture(const std::string& path)
{
    if (Exists(path)) return path;
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".bmp") != 0) return std::string();
    std::string other = path;
    for (const char* extension : {".png", ".jpg"}) {
        other.replace(other.size() - 4, 4, extension);
        if (Exists(other)) return other;
    }
    return std::string();
}

} // namespace

std::string FindTilePath(int n) { return ExistingPicture(TilePath(n)); }

bool LoadTile(CDibImage& background, const std::string& path, PictureLayout& layout)
{
    const std::string found = ExistingPicture(path);
    if (!LoadPicture(background, found.empty() ? path : found)) return false;
    layout.period = background.Width();
    layout.tileHeight = background.Height();
    return true;
}

void LoadFirstTile(CDibImage& background, PictureLayout& layout)
{
    PictureLayout tile;
    LoadTile(background, kFirstTilePath, tile);
    layout.period = background.Width() != 0 ? background.Width() : PictureLayout::kDefaultPeriod;
    layout.tileHeight = background.Height();
}

bool GenerateBackground(CDibImage& background, const PictureLayout& layout)
{
    CDibImage picture;
    if (!picture.Create(layout.pictureWidth, layout.pictureHeight)) {
        ShowMessage("Imply memory error!");
        return false;
    }
    const int width = layout.pictureWidth;
    const int height = layout.pictureHeight;
    const int period = layout.period;
    const int tileHeight = layout.tileHeight;
    if (period >= 1 && tileHeight >= 1 && !background.Empty()) {
        // One tile row is period pixels wide, of which the part inside the
        // current image is copied and the rest stays white; the row is then
        // repeated across the picture.
        const int inside = std::min(period, background.Width());
        const std::size_t rowBytes = 3 * static_cast<std::size_t>(width);
        for (int y = 0; y < height; ++y) {
            const int ty = y % tileHeight;
            std::uint8_t* dst = picture.Bits() + static_cast<std::size_t>(height - 1 - y) * picture.Stride();
            if (ty >= background.Height()) continue; // white
            const std::uint8_t* src =
                background.Bits() + static_cast<std::size_t>(background.Height() - 1 - ty) * background.Stride();
            const std::size_t first = 3 * static_cast<std::size_t>(std::min(inside, width));
            std::memcpy(dst, src, first);
            // Doubling copies of the first period fill the row.
            std::size_t done = 3 * static_cast<std::size_t>(std::min(period, width));
            while (done < rowBytes) {
                const std::size_t n = std::min(done, rowBytes - done);
                std::memcpy(dst + done, dst, n);
                done += n;
            }
        }
    }
    background.Swap(picture);
    return true;
}

namespace {

// k steps of the random source at once: state -> multiplier * state + increment.
struct SourceSteps {
    std::uint32_t multiplier = 1, increment = 0;
    constexpr SourceSteps Then(SourceSteps next) const
    {
        return {next.multiplier * multiplier, next.multiplier * increment + next.increment};
    }
    constexpr std::uint32_t From(std::uint32_t state) const { return multiplier * state + increment; }
};
constexpr SourceSteps Steps(int k)
{
    SourceSteps steps;
    for (int i = 0; i < k; ++i) steps = steps.Then({214013u, 2531011u});
    return steps;
}
constexpr std::uint8_t Draw(std::uint32_t state) { return static_cast<std::uint8_t>(((state >> 16) & 0x7FFF) % 255); }

} // namespace

// Each pixel draws three numbers, and three more when it gets a colour. The
// states after 1, 3, 4, 5 and 6 draws all follow from the pixel's first state
// at once, so a pixel waits on the one before it for a single step, not six.
bool RandomBackground(CDibImage& background, PictureLayout& layout, CRandomSource& random)
{
    layout.period = kRandomTileWidth;
    layout.tileHeight = kRandomTileHeight;
    layout.pictureHeight = kRandomTileHeight;
    CDibImage tile;
    if (!tile.Create(kRandomTileWidth, kRandomTileHeight)) {
        ShowMessage("Create bmp error!");
        return false;
    }
    constexpr SourceSteps one = Steps(1), three = Steps(3), four = Steps(4), five = Steps(5), six = Steps(6);
    std::uint32_t state = random.State();
    for (int y = 0; y < kRandomTileHeight; ++y) {
        std::uint8_t* pixel = tile.Bits() + static_cast<std::size_t>(kRandomTileHeight - 1 - y) * tile.Stride();
        for (int x = 0; x < kRandomTileWidth; ++x, pixel += 3) {
            const bool coloured = ((one.From(state) >> 16) & 0x7FFF) > 3000;
            // Stored blue, green, red: the draws after the three for r.
            pixel[0] = coloured ? Draw(four.From(state)) : 0xFF;
            pixel[1] = coloured ? Draw(five.From(state)) : 0xFF;
            pixel[2] = coloured ? Draw(six.From(state)) : 0xFF;
            state = coloured ? six.From(state) : three.From(state);
        }
    }
    random = CRandomSource(state);
    background.Swap(tile);
    return true;
}

} // namespace rv
