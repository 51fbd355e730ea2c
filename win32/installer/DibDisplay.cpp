#include "win32/installer/DibDisplay.h"

#include <cstddef>
#include <memory>

namespace w32 {

// The description is laid out as a LOGPALETTE with all its entries.
static_assert(sizeof(vela::DibPaletteEntry) == sizeof(PALETTEENTRY));
static_assert(offsetof(vela::DibPalette, version) == offsetof(LOGPALETTE, palVersion));
static_assert(offsetof(vela::DibPalette, count) == offsetof(LOGPALETTE, palNumEntries));
static_assert(offsetof(vela::DibPalette, entries) == offsetof(LOGPALETTE, palPalEntry));
static_assert(offsetof(vela::DibPaletteEntry, red) == offsetof(PALETTEENTRY, peRed));
static_assert(offsetof(vela::DibPaletteEntry, green) == offsetof(PALETTEENTRY, peGreen));
static_assert(offsetof(vela::DibPaletteEntry, blue) == offsetof(PALETTEENTRY, peBlue));
static_assert(offsetof(vela::DibPaletteEntry, flags) == offsetof(PALETTEENTRY, peFlags));

HPALETTE CreateDibPalette(const vela::CPackedDib* dib)
{
    vela::DibPalette description;
    if (!vela::MakeDibPalette(dib, description) || description.count == 0) return nullptr;
    return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&description));
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
