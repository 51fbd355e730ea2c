#include "win32/platform/PainterUi.h"

#include "win32/platform/Text.h"

namespace w32 {

bool CDcSurface::StretchDib(int x, int y, int width, int height, int srcWidth, int srcHeight,
                            const std::uint8_t* infoHeader, const std::uint8_t* bits)
{
    const int lines = StretchDIBits(dc_, x, y, width, height, 0, 0, srcWidth, srcHeight, bits,
                                    reinterpret_cast<const BITMAPINFO*>(infoHeader), DIB_RGB_COLORS, SRCCOPY);
    return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}

void CWin32MessageBox::Show(std::string_view text)
{
    MessageBoxW(owner_, Widen(text).c_str(), caption_, MB_OK | MB_ICONEXCLAMATION);
}

} // namespace w32
