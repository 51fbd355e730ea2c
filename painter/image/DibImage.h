#pragma once
// The painter's one image type: a 24-bit bottom-up DIB held in one block laid
// out like a BMP file body (40-byte info header, pixel rows).
#include <cstdint>
#include <string>

#include "painter/image/Platform.h"

namespace rv {

class IDrawSurface;

// The loader's messages.
inline constexpr const char* kMsgNot24Bit = "Not a 24bit BMP!";
inline constexpr const char* kMsgCompressedBmp = "Compressed BMP not supported!";
inline constexpr const char* kMsgBadBmpHeader = "Unknown BMP header!";
inline constexpr const char* kMsgDamagedBmp = "Damaged BMP: sizes do not fit the file!";

// Colour values are 0x00BBGGRR; white means no depth.
using Colour = std::uint32_t;
constexpr Colour kWhite = 0xFFFFFF;

class CDibImage {
public:
    static constexpr int kInfoHeaderSize = 40;
    static constexpr int kFileHeaderSize = 14;

    CDibImage() = default;
    ~CDibImage();
    CDibImage(const CDibImage&) = delete;
    CDibImage& operator=(const CDibImage&) = delete;
    // Exchanges the pictures of two images (a replacement is built completely
    // before it takes the place of the old picture).
    void Swap(CDibImage& other) noexcept;

    // Makes a white picture of width x height. Returns false, keeping the old
    // picture, when the size is not positive or the memory cannot be had.
    bool Create(int width, int height);
    // Whether a picture of that size fits the one block (at most 2 GiB less
    // one byte): what Create and the loaders refuse otherwise.
    static bool SizeFits(long long width, long long height);
    // Replaces the picture with an uncompressed 24-bit BMP file. The info
    // header may be larger than 40 bytes, the pixels may start anywhere after
    // it, and a negative height (top-down rows) is turned upright; the
    // picture is always held as a 40-byte header and bottom-up rows. A file
    // of another depth shows "Not a 24bit BMP!" and leaves the image empty. A
    // compressed picture, an unknown header or sizes that do not fit the file
    // show their own message; these and the silent failures (missing, not
    // "BM", shorter than its headers) keep the old picture.
    bool LoadBmp(const std::string& path);
    // Writes the picture as a BMP file: first as path + ".saving", which
    // then replaces any file at path, so a failed save (a full disk) leaves
    // the old file as it was and nothing else behind.
    static constexpr const char* kSavingSuffix = rv::kSavingSuffix;
    bool SaveBmp(const std::string& path) const;
    bool Draw(IDrawSurface& surface, int x, int y, int drawWidth = -1, int drawHeight = -1) const;

    Colour GetPixel(int x, int y) const
    {
        if (!block_ || x < 0 || x >= width_ || y < 0 || y >= height_) return kWhite;
        const std::uint8_t* p = bits_ + static_cast<std::size_t>(height_ - 1 - y) * Stride() + 3 * static_cast<std::size_t>(x);
        return static_cast<Colour>(p[0]) << 16 | static_cast<Colour>(p[1]) << 8 | p[2];
    }
    void SetPixel(int x, int y, Colour colour)
    {
        if (!block_ || x < 0 || x >= width_ || y < 0 || y >= height_) return;
        std::uint8_t* p = bits_ + static_cast<std::size_t>(height_ - 1 - y) * Stride() + 3 * static_cast<std::size_t>(x);
        p[0] = static_cast<std::uint8_t>(colour >> 16);
        p[1] = static_cast<std::uint8_t>(colour >> 8);
        p[2] = static_cast<std::uint8_t>(colour);
    }
    // Writes count pixels of row y, colours[i] at x + i, as SetPixel would
    // one by one (pixels outside the picture are dropped).
    void SetRow(int x, int y, const Colour* colours, int count);
    void Clear();

    std::uint8_t* Bits() { return bits_; }
    const std::uint8_t* Bits() const { return bits_; }
    const std::uint8_t* Block() const { return block_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int BlockSize() const { return blockSize_; }
    int Stride() const { return StrideFor(width_); }
    bool Empty() const { return block_ == nullptr; }

    // Bytes in one pixel row: 3 x width rounded up to a multiple of 4.
    static int StrideFor(int width) { return (3 * width + 3) & ~3; }

private:
    void Free();

    int width_ = 0;
    int height_ = 0;
    int colourCount_ = 0;
    int blockSize_ = 0;
    std::uint8_t* block_ = nullptr;
    std::uint8_t* bits_ = nullptr;
};

} // namespace rv
