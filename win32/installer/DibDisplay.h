#pragma once
// BMP files on a device context: the packed picture that the portable loader
// reads is handed to SetDIBitsToDevice unscaled, with a logical palette
// realised for it where it has one. Every paint loads the file anew.
#include <windows.h>

#include <string>
#include <string_view>

#include "installer/package/Platform.h"
#include "installer/wizard/core/DibFile.h"

namespace w32 {

// The logical palette of a picture (its colour table, or the 3-3-2 cube for
// 24 bits); nullptr when it has none. The caller deletes it.
HPALETTE CreateDibPalette(const vela::CPackedDib* dib);

// Copies the picture's pixels to (x, y, width, height) of the device,
// unscaled, from the source point (sourceX, sourceY) counted from the top.
bool PaintDib(HDC dc, int x, int y, int width, int height, const vela::CPackedDib& dib, int sourceX, int sourceY);

// Loads the file and draws it at (x, y) at its own size, its palette selected
// in the foreground for the time of the drawing. A file that cannot be read
// or is refused by the loader draws nothing.
void DrawBitmapFile(vela::IPlatform& platform, std::string_view path, HDC dc, int x, int y);

} // namespace w32
