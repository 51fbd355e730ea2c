#include "painter/app/view/TilePicker.h"

#include "painter/app/view/DrawingView.h"
#include "painter/image/DibImage.h"
#include "painter/image/Picture.h"
#include "painter/image/Platform.h"
#include "painter/stereo/Background.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace rv {
namespace {

const char kFileNotExist[] = "file not exist!";
// Where a BMP file keeps the picture's width and height.
constexpr long kSizeFieldsOffset = 18;

std::int32_t LittleEndian32(const unsigned char* p)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace

void CTilePicker::OnInitialUpdate()
{
    names_.clear();
    // b<n>.bmp, or b<n>.png or b<n>.jpg where that BMP is missing; the
    // first number with none of them ends the list.
    for (int n = 1; n <= kMaxTiles; ++n) {
        const std::string path = FindTilePath(n);
        if (path.empty()) break;
        names_.push_back(path.substr(path.rfind('\\') + 1));
    }
}

void CTilePicker::OnSelectionChange(int index)
{
    if (index < 0 || index >= kMaxTiles) return;
    const std::string found = FindTilePath(index + 1);
    const std::string path = found.empty() ? TilePath(index + 1) : found;

    // The bottom-left corner of the tile, upright, from the box's top-left;
    // a tile smaller than the box shows whole. A tile that does not load
    // leaves the box empty.
    CDibImage tile;
    LoadPicture(tile, path);
    previewWidth_ = tile.Empty() ? 0 : std::min(tile.Width(), kPreviewWidth);
    previewHeight_ = tile.Empty() ? 0 : std::min(tile.Height(), kPreviewHeight);
    preview_.assign(static_cast<std::size_t>(previewWidth_) * static_cast<std::size_t>(previewHeight_), kWhite);
    for (int y = 0; y < previewHeight_; ++y)
        for (int x = 0; x < previewWidth_; ++x)
            preview_[static_cast<std::size_t>(y * previewWidth_ + x)] =
                tile.GetPixel(x, tile.Height() - previewHeight_ + y);

    // The size stored in the file, whatever the loader made of it.
    long long width = 0, height = 0;
    if (ReadStatedSize(path, width, height)) {
        widthText_ = std::to_string(width);
        heightText_ = std::to_string(height);
        return;
    }
    std::FILE* file = OpenFile(path, "rb");
    if (!file) {
        ShowMessage(kFileNotExist);
        return;
    }
    unsigned char fields[8];
    const bool read = std::fseek(file, kSizeFieldsOffset, SEEK_SET) == 0 && std::fread(fields, 1, 8, file) == 8;
    std::fclose(file);
    // A file too short to hold the fields has no size to show.
    widthText_ = read ? std::to_string(LittleEndian32(fields)) : std::string();
    heightText_ = read ? std::to_string(LittleEndian32(fields + 4)) : std::string();
}

void CTilePicker::OnActivate()
{
    preview_.clear();
    previewWidth_ = previewHeight_ = 0;
}

void CTilePicker::PaintPreview(IPaintSurface& box, Colour empty) const
{
    for (int y = 0; y < kPreviewHeight; ++y)
        for (int x = 0; x < kPreviewWidth; ++x)
            box.SetPixel(x, y, x < previewWidth_ && y < previewHeight_
                                   ? preview_[static_cast<std::size_t>(y * previewWidth_ + x)]
                                   : empty);
}

void CTilePicker::OnUseTile(int index)
{
    // Nothing selected: there is no tile to use, and the view keeps the one
    // it has (a path to a tile that does not exist would stop every later
    // Initialise too).
    if (!view_ || index < 0 || index >= kMaxTiles) return;
    const std::string found = FindTilePath(index + 1);
    if (!view_->SetTilePath(found.empty() ? TilePath(index + 1) : found)) return;
    view_->Initialise();
}

void CTilePicker::OnRandom()
{
    if (view_) view_->RandomBackground();
}

} // namespace rv
