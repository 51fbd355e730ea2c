#include "DibImage.h"

#include "painter/image/DrawSurface.h"
#include "painter/image/Platform.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

namespace rv {
namespace {

void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}
std::uint32_t Get16(const std::uint8_t* p) { return p[0] | static_cast<std::uint32_t>(p[1]) << 8; }
std::uint32_t Get32(const std::uint8_t* p) { return Get16(p) | Get16(p + 2) << 16; }

struct FileCloser {
    std::FILE* f;
    ~FileCloser()
    {
        if (f) std::fclose(f);
    }
};

} // namespace

CDibImage::~CDibImage() { Free(); }

void CDibImage::Swap(CDibImage& other) noexcept
{
    std::swap(width_, other.width_);
    std::swap(height_, other.height_);
    std::swap(colourCount_, other.colourCount_);
    std::swap(blockSize_, other.blockSize_);
    std::swap(block_, other.block_);
    std::swap(bits_, other.bits_);
}

void CDibImage::Free()
{
    delete[] block_;
    block_ = bits_ = nullptr;
    width_ = height_ = colourCount_ = blockSize_ = 0;
}

bool CDibImage::Create(int width, int height)
{
    if (width <= 0 || height <= 0 || width > (INT_MAX - 3) / 3) return false;
    const long long size = kInfoHeaderSize + static_cast<long long>(height) * StrideFor(width);
    if (size > INT_MAX) return false;
    std::uint8_t* block = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size)];
    if (!block) return false;
    Free();
    block_ = block;
    blockSize_ = static_cast<int>(size);
    width_ = width;
    height_ = height;
    bits_ = block_ + kInfoHeaderSize;

    std::uint8_t* h = block_;
    std::memset(h, 0, kInfoHeaderSize);
    Put32(h + 0, kInfoHeaderSize);
    Put32(h + 4, static_cast<std::uint32_t>(width));
    Put32(h + 8, static_cast<std::uint32_t>(height));
    Put16(h + 12, 1);
    Put16(h + 14, 24);
    Put32(h + 24, 2834);
    Put32(h + 28, 2834);
    Clear();
    return true;
}

void CDibImage::Clear()
{
    if (bits_) std::memset(bits_, 0xFF, static_cast<std::size_t>(height_) * Stride());
}

bool CDibImage::LoadBmp(const std::string& path)
{
    FileCloser file{OpenFile(path, "rb")};
    if (!file.f) return false;
    if (std::fseek(file.f, 0, SEEK_END) != 0) return false;
    const long length = std::ftell(file.f);
    if (length < kFileHeaderSize + kInfoHeaderSize || length - kFileHeaderSize > INT_MAX) return false;
    if (std::fseek(file.f, 0, SEEK_SET) != 0) return false;

    std::uint8_t fileHeader[kFileHeaderSize];
    if (std::fread(fileHeader, 1, kFileHeaderSize, file.f) != kFileHeaderSize) return false;
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') return false;

    const int blockSize = static_cast<int>(length - kFileHeaderSize);
    std::uint8_t* block = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(blockSize)];
    if (!block) return false;
    if (std::fread(block, 1, static_cast<std::size_t>(blockSize), file.f) != static_cast<std::size_t>(blockSize)) {
        delete[] block;
        return false;
    }

    if (Get16(block + 14) != 24) {
        delete[] block;
        Free();
        ShowMessage("Not a 24bit BMP!");
        return false;
    }

    // The header's size must be one the block really holds: a zero, negative
    // (top-down) or oversized picture is refused like a truncated file, so
    // pixel access never leaves the block.
    const int width = static_cast<int>(Get32(block + 4));
    const int height = static_cast<int>(Get32(block + 8));
    if (width <= 0 || height <= 0 || width > (INT_MAX - 3) / 3 ||
        kInfoHeaderSize + static_cast<long long>(height) * StrideFor(width) > blockSize) {
        delete[] block;
        return false;
    }

    Free();
    block_ = block;
    blockSize_ = blockSize;
    colourCount_ = 0;
    bits_ = block_ + kInfoHeaderSize;
    width_ = width;
    height_ = height;
    return true;
}

bool CDibImage::SaveBmp(const std::string& path) const
{
    if (!block_) return false;
    FileCloser file{OpenFile(path, "wb")};
    if (!file.f) return false;
    std::uint8_t fileHeader[kFileHeaderSize] = {'B', 'M'};
    Put32(fileHeader + 2, static_cast<std::uint32_t>(blockSize_) + kFileHeaderSize);
    Put32(fileHeader + 10, kFileHeaderSize + kInfoHeaderSize + 4 * static_cast<std::uint32_t>(colourCount_));
    if (std::fwrite(fileHeader, 1, kFileHeaderSize, file.f) != kFileHeaderSize) return false;
    if (std::fwrite(block_, 1, static_cast<std::size_t>(blockSize_), file.f) != static_cast<std::size_t>(blockSize_))
        return false;
    const int closed = std::fclose(file.f);
    file.f = nullptr;
    return closed == 0;
}

bool CDibImage::Draw(IDrawSurface& surface, int x, int y, int drawWidth, int drawHeight) const
{
    if (!block_) return false;
    return surface.StretchDib(x, y, drawWidth == -1 ? width_ : drawWidth, drawHeight == -1 ? height_ : drawHeight,
                              width_, height_, block_, bits_);
}

} // namespace rv
