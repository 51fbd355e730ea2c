#pragma once
// The painter's drawing surface and message boxes over Win32.
#include "painter/image/DrawSurface.h"
#include "painter/image/Platform.h"

#include <windows.h>

namespace w32 {

// A device context as the painter's drawing surface; pictures are copied
// onto it with StretchDIBits.
class CDcSurface : public rv::IDrawSurface {
public:
    explicit CDcSurface(HDC dc) : dc_(dc) {}
    bool StretchDib(int x, int y, int width, int height, int srcWidth, int srcHeight,
                    const std::uint8_t* infoHeader, const std::uint8_t* bits) override;
    HDC Dc() const { return dc_; }

private:
    HDC dc_;
};

// Modal message boxes with an OK button, owned by the program's main window
// (when it has one) and captioned with the program's title.
class CWin32MessageBox final : public rv::IMessageBox {
public:
    explicit CWin32MessageBox(const wchar_t* caption) : caption_(caption) {}
    void SetOwner(HWND owner) { owner_ = owner; }
    void Show(std::string_view text) override;

private:
    const wchar_t* caption_;
    HWND owner_ = nullptr;
};

} // namespace w32
