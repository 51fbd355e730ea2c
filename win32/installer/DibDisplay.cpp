#include "win32/installer/DibDisplay.h"

#include <memory>

namespace w32 {

HPALETTE CreateDibPalette(const vela::CPackedDib* dib)
{
    vela::DibPalette description;
    if (!vela::MakeDibPalette(dib, description) || description.count == 0) return nullptr;
    // LOGPALETTE holds one entry; the rest follow it in the same block.
    const std::size_t bytes = sizeof(LOGPALETTE) + (description.count - 1) * sizeof(PALETTEENTRY);
    std::unique_ptr<unsigned char[]> block(new unsigned char[bytes]());
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.get());
    palette->palVersion = description.version;
    palette->palNumEntries = description.count;
    for (unsigned i = 0; i < description.count; ++i) {
        palette->palPalEntry[i].peRed = description.entries[i].red;
        palette->palPalEntry[i].peGreen = description.entries[i].green;
        palette->palPalEntry[i].peBlue = description.entries[i].blue;
        palette->palPalEntry[i].peFlags = description.entries[i].flags;
    }
    return CreatePalette(palette);
}

bool PaintDib(HDC dc, int x, int y, int width, int height, const vela::CPackedDib& dib, int sourceX, int sourceY)
{
    // Rows are stored bottom-up: the source y counts from the bottom.
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), sourceX,
                      dib.Height() - height - sourceY, 0, static_cast<UINT>(dib.Height()), dib.Pixels(),
                      reinterpret_cast<const BITMAPINFO*>(dib.Header()), DIB_RGB_COLORS);
    return true;
}

void DrawBitmapFile(vela::IPlatform& platform, std::string_view path, HDC dc, int x, int y)
{
    std::unique_ptr<vela::CPackedDib> dib = vela::LoadDibFile(platform, path);
    HPALETTE palette = CreateDibPalette(dib.get());
    if (dib) {
        HPALETTE previous = nullptr;
        if (palette) {
            previous = SelectPalette(dc, palette, FALSE);
            RealizePalette(dc);
        }
        PaintDib(dc, x, y, dib->Width(), dib->Height(), *dib, 0, 0);
        if (palette) SelectPalette(dc, previous, TRUE);
    }
    if (palette) DeleteObject(palette);
}

} // namespace w32
