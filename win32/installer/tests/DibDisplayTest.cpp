// BMP files drawn on a device context under Wine: unscaled at the given
// point, top row first, colour tables honoured, palettes built as the pages
// need them, nothing drawn for a file that cannot be read.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "win32/installer/DibDisplay.h"
#include "win32/installer/PackageSystem.h"

namespace {

constexpr int kSide = 24;
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A BMP file's bytes; pixels given top row first as 0xRRGGBB (24 bits) or as
// colour indexes (8 bits, with the given table).
std::string Bmp(int width, int height, int bits, const std::vector<std::uint32_t>& pixels,
                const std::vector<std::uint32_t>& table = {}, int gap = 0)
{
    const int stride = (width * bits + 31) / 32 * 4;
    const int offset = 14 + 40 + static_cast<int>(table.size()) * 4 + gap;
    std::string bmp(offset + stride * height, '\0');
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bmp.size()));
    put32(10, offset);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bmp[26] = 1;
    bmp[28] = static_cast<char>(bits);
    put32(46, static_cast<std::uint32_t>(table.size()));
    for (std::size_t i = 0; i < table.size(); ++i) put32(54 + 4 * static_cast<int>(i), table[i]);
    for (int y = 0; y < height; ++y) {
        char* row = &bmp[offset + (height - 1 - y) * stride];  // bottom-up
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[y * width + x];
            if (bits == 24) {
                row[3 * x] = static_cast<char>(p);
                row[3 * x + 1] = static_cast<char>(p >> 8);
                row[3 * x + 2] = static_cast<char>(p >> 16);
            } else {
                row[x] = static_cast<char>(p);
            }
        }
    }
    return bmp;
}

std::string TempFile(const std::string& name, const std::string& bytes)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

// A white 24 × 24 memory canvas with 32-bit pixels.
struct Canvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = nullptr;
    std::uint32_t* bits = nullptr;
    HGDIOBJ previous = nullptr;
    Canvas()
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kSide;
        info.bmiHeader.biHeight = -kSide;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        previous = SelectObject(dc, bitmap);
        for (int i = 0; i < kSide * kSide; ++i) bits[i] = 0xFFFFFF;
    }
    ~Canvas()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const std::uint32_t p = bits[y * kSide + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int NonWhite() const
    {
        GdiFlush();
        int n = 0;
        for (int i = 0; i < kSide * kSide; ++i) n += (bits[i] & 0xFFFFFF) != 0xFFFFFF;
        return n;
    }
};

TEST(DibDisplay, DrawsATrueColourFileUnscaledAtItsPointTopRowFirst)
{
    const std::string path =
        TempFile("dib-24.bmp", Bmp(3, 2, 24, {0xFF0000, 0x00FF00, 0x0000FF, 0x102030, 0x405060, 0x708090}, {}, 6));
    w32::CPackageSystem platform;
    Canvas canvas;
    w32::DrawBitmapFile(platform, path, canvas.dc, 5, 7);
    EXPECT_EQ(canvas.At(5, 7), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(6, 7), RGB(0, 255, 0));
    EXPECT_EQ(canvas.At(7, 7), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(5, 8), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(canvas.At(7, 8), RGB(0x70, 0x80, 0x90));
    EXPECT_EQ(canvas.NonWhite(), 6) << "nothing outside the picture's own size";
    DeleteFileA(path.c_str());
}

TEST(DibDisplay, DrawsAnIndexedFileThroughItsColourTable)
{
    const std::string path =
        TempFile("dib-8.bmp", Bmp(2, 2, 8, {0, 1, 2, 1}, {0x00FF00FF, 0x00000000, 0x0000FFFF}));
    w32::CPackageSystem platform;
    Canvas canvas;
    w32::DrawBitmapFile(platform, path, canvas.dc, 0, 0);
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 255));
    EXPECT_EQ(canvas.At(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(0, 1), RGB(0, 255, 255));
    EXPECT_EQ(canvas.At(1, 1), RGB(0, 0, 0));
    DeleteFileA(path.c_str());
}

TEST(DibDisplay, AMissingOrRefusedFileDrawsNothing)
{
    w32::CPackageSystem platform;
    Canvas canvas;
    w32::DrawBitmapFile(platform, "C:\\no such folder\\none.bmp", canvas.dc, 0, 0);
    const std::string notBmp = TempFile("dib-bad.bmp", std::string(60, 'x'));
    w32::DrawBitmapFile(platform, notBmp, canvas.dc, 0, 0);
    EXPECT_EQ(canvas.NonWhite(), 0);
    DeleteFileA(notBmp.c_str());
}

TEST(DibDisplay, PaintsAPartOfThePictureFromASourcePointCountedFromTheTop)
{
    std::vector<std::uint32_t> pixels(16);
    for (int i = 0; i < 16; ++i) pixels[i] = static_cast<std::uint32_t>(i * 0x0F0F0F);
    const std::string path = TempFile("dib-part.bmp", Bmp(4, 4, 24, pixels));
    w32::CPackageSystem platform;
    std::unique_ptr<vela::CPackedDib> dib = vela::LoadDibFile(platform, path);
    ASSERT_TRUE(dib);
    Canvas canvas;
    EXPECT_TRUE(w32::PaintDib(canvas.dc, 10, 10, 2, 2, *dib, 1, 1));
    const auto grey = [](int i) { return RGB(i * 15, i * 15, i * 15); };
    EXPECT_EQ(canvas.At(10, 10), grey(5));  // row 1, column 1 of the picture
    EXPECT_EQ(canvas.At(11, 10), grey(6));
    EXPECT_EQ(canvas.At(10, 11), grey(9));
    EXPECT_EQ(canvas.At(11, 11), grey(10));
    EXPECT_EQ(canvas.NonWhite(), 4);
    DeleteFileA(path.c_str());
}

TEST(DibDisplay, BuildsThePalettesThePagesRealise)
{
    w32::CPackageSystem platform;
    const std::string trueColour = TempFile("dib-p24.bmp", Bmp(1, 1, 24, {0}));
    std::unique_ptr<vela::CPackedDib> dib = vela::LoadDibFile(platform, trueColour);
    HPALETTE cube = w32::CreateDibPalette(dib.get());
    ASSERT_TRUE(cube);
    PALETTEENTRY entries[256] = {};
    EXPECT_EQ(GetPaletteEntries(cube, 0, 256, entries), 256u);
    EXPECT_EQ(entries[9].peRed, 32);
    EXPECT_EQ(entries[9].peGreen, 32);
    EXPECT_EQ(entries[9].peBlue, 0);
    EXPECT_EQ(entries[64].peRed, 0);
    EXPECT_EQ(entries[64].peBlue, 64);
    DeleteObject(cube);

    std::vector<std::uint32_t> table(20);
    for (int i = 0; i < 20; ++i) table[i] = static_cast<std::uint32_t>(i * 10);
    const std::string indexed = TempFile("dib-p8.bmp", Bmp(1, 1, 8, {3}, table));
    dib = vela::LoadDibFile(platform, indexed);
    HPALETTE own = w32::CreateDibPalette(dib.get());
    ASSERT_TRUE(own);
    EXPECT_EQ(GetPaletteEntries(own, 0, 256, entries), 20u);
    EXPECT_EQ(entries[3].peBlue, 30);
    DeleteObject(own);

    EXPECT_EQ(w32::CreateDibPalette(nullptr), nullptr);
    DeleteFileA(trueColour.c_str());
    DeleteFileA(indexed.c_str());
}

} // namespace
