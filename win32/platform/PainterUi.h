#pragma once
// The painter's drawing surfaces and message boxes over Win32.
#include "painter/image/DrawSurface.h"
#include "painter/image/Platform.h"

#include <windows.h>

namespace w32 {

// A device context as the painter's drawing surface: pictures are copied
// with StretchDIBits, single pixels with SetPixel and GetPixel, rubber
// bands drawn with the inverting mix mode (R2_NOT) and the null brush for
// the hollow figures. Every figure leaves the mix mode, pen and brush as it
// found them.
class CDcSurface : public rv::IPaintSurface {
public:
    explicit CDcSurface(HDC dc) : dc_(dc) {}
    HDC Dc() const { return dc_; }

    bool StretchDib(int x, int y, int width, int height, int srcWidth, int srcHeight,
                    const std::uint8_t* infoHeader, const std::uint8_t* bits) override;
    void SetPixel(int x, int y, std::uint32_t colour) override;
    std::uint32_t GetPixel(int x, int y) const override;
    void InvertLine(int x0, int y0, int x1, int y1) override;
    void InvertRectangle(int x0, int y0, int x1, int y1, bool hollow) override;
    void InvertEllipse(int x0, int y0, int x1, int y1, bool hollow) override;
    void FrameRectangle(int left, int top, int right, int bottom) override;

protected:
    // Called with the box every drawing operation may have touched
    // (right and bottom excluded), before any clipping. GDI work is flushed
    // after each operation, so memory behind the context is current.
    virtual void Touched(int /*left*/, int /*top*/, int /*right*/, int /*bottom*/) {}

private:
    HDC dc_;
};

// An off-screen copy of a window's client area: a top-down 32-bit DIB
// section in a memory device context. Pixels are read and written straight
// in memory, figures go through GDI on the memory context, and the surface
// remembers the box it changed since the last Present, which copies that box
// onto the window. What the painter reads back is therefore exactly what
// the window shows, and a tool that touches every pixel costs no more than
// one copy to the screen.
class CDibSurface final : public CDcSurface {
public:
    CDibSurface();
    ~CDibSurface() override;
    CDibSurface(const CDibSurface&) = delete;
    CDibSurface& operator=(const CDibSurface&) = delete;

    // Makes the surface width x height pixels (white). False, and an empty
    // surface, when the bitmap cannot be made.
    bool Resize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }

    void SetPixel(int x, int y, std::uint32_t colour) override;
    std::uint32_t GetPixel(int x, int y) const override;
    void SetRow(int x, int y, const std::uint32_t* colours, int count) override;

    // Copies what changed since the last call onto dc (client coordinates)
    // and forgets it; PresentAll copies the whole surface.
    void Present(HDC dc);
    void PresentAll(HDC dc);
    // The changed box, empty when nothing changed.
    RECT Dirty() const { return dirty_; }

protected:
    void Touched(int left, int top, int right, int bottom) override;

private:
    static HDC MakeDc();
    void Release();

    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    RECT dirty_{0, 0, 0, 0};
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
