#include "DibImage.h"

#include "painter/image/DrawSurface.h"
#include "painter/image/Platform.h"

#include <algorithm>
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

bool CDibImage::SizeFits(long long width, long long height)
{
    if (width <= 0 || height <= 0 || width > (INT_MAX - 3) / 3 || height > INT_MAX) return false;
    return kInfoHeaderSize + height * StrideFor(static_cast<int>(width)) <= INT_MAX;
}

bool CDibImage::Create(int width, int height)
{
    if (!SizeFits(width, height)) return false;
    const long long size = kInfoHeaderSize + static_cast<long long>(height) * StrideFor(width);
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

void CDibImage::SetRow(int x, int y, const Colour* colours, int count)
{
    if (!block_ || y < 0 || y >= height_ || count <= 0) return;
    const long long first = std::max<long long>(x, 0), end = std::min<long long>(static_cast<long long>(x) + count, width_);
    if (first >= end) return;
    // Plain int counters from here: a 64-bit one costs a 32-bit build more
    // than the pixel.
    std::uint8_t* q =
        bits_ + static_cast<std::size_t>(height_ - 1 - y) * Stride() + 3 * static_cast<std::size_t>(first);
    const Colour* in = colours + (first - x);
    const int n = static_cast<int>(end - first);
    for (int i = 0; i < n; ++i, q += 3) {
        const Colour c = in[i];
        q[0] = static_cast<std::uint8_t>(c >> 16);
        q[1] = static_cast<std::uint8_t>(c >> 8);
        q[2] = static_cast<std::uint8_t>(c);
    }
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

    const int bodySize = static_cast<int>(length - kFileHeaderSize);
    std::uint8_t* body = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(bodySize)];
    if (!body) return false;
    struct BodyOwner {
        std::uint8_t*& p;
        ~BodyOwner() { delete[] p; }
    } owner{body};
    if (std::fread(body, 1, static_cast<std::size_t>(bodySize), file.f) != static_cast<std::size_t>(bodySize))
        return false;

    // Only the info headers that begin with the 40-byte layout (40, and the
    // larger ones other programs write: 52, 56, 108, 124 bytes) are read.
    const std::uint32_t headerSize = Get32(body);
    if (headerSize < static_cast<std::uint32_t>(kInfoHeaderSize) || headerSize > static_cast<std::uint32_t>(bodySize)) {
        ShowMessage(kMsgBadBmpHeader);
        return false;
    }
    if (Get16(body + 14) != 24) {
        Free();
        ShowMessage(kMsgNot24Bit);
        return false;
    }
    if (Get32(body + 16) != 0) {
        ShowMessage(kMsgCompressedBmp);
        return false;
    }

    // The numbers must describe pixels the file really holds: a zero or
    // oversized picture, or rows that reach past the end, are refused, so
    // pixel access never leaves the block.
    const std::int32_t width = static_cast<std::int32_t>(Get32(body + 4));
    const std::int32_t signedHeight = static_cast<std::int32_t>(Get32(body + 8));
    const std::uint32_t pixelOffset = Get32(fileHeader + 10);
    const bool topDown = signedHeight < 0;
    const long long height = topDown ? -static_cast<long long>(signedHeight) : signedHeight;
    const long long firstRow = static_cast<long long>(pixelOffset) - kFileHeaderSize;
    if (width <= 0 || height <= 0 || height > INT_MAX || width > (INT_MAX - 3) / 3 ||
        firstRow < static_cast<long long>(headerSize) ||
        firstRow + height * StrideFor(width) > bodySize) {
        ShowMessage(kMsgDamagedBmp);
        return false;
    }
    const std::size_t rowsSize = static_cast<std::size_t>(height) * static_cast<std::size_t>(StrideFor(width));

    // A plain picture is held as the file has it. Any other is moved into
    // the usual block: a 40-byte header, the rows bottom-up, then whatever
    // followed the rows in the file.
    if (headerSize == static_cast<std::uint32_t>(kInfoHeaderSize) && firstRow == kInfoHeaderSize && !topDown) {
        Free();
        block_ = body;
        body = nullptr;
        blockSize_ = bodySize;
    } else {
        const std::size_t tail = static_cast<std::size_t>(bodySize) - static_cast<std::size_t>(firstRow) - rowsSize;
        const std::size_t size = kInfoHeaderSize + rowsSize + tail;
        std::uint8_t* block = new (std::nothrow) std::uint8_t[size];
        if (!block) return false;
        std::memcpy(block, body, kInfoHeaderSize);
        Put32(block + 0, kInfoHeaderSize);
        Put32(block + 8, static_cast<std::uint32_t>(height));
        Put32(block + 32, 0);  // colours used: the block has no colour table
        Put32(block + 36, 0);
        const std::size_t stride = static_cast<std::size_t>(StrideFor(width));
        const std::uint8_t* rows = body + firstRow;
        for (long long r = 0; r < height; ++r) {
            const long long from = topDown ? height - 1 - r : r;
            std::memcpy(block + kInfoHeaderSize + static_cast<std::size_t>(r) * stride,
                        rows + static_cast<std::size_t>(from) * stride, stride);
        }
        if (tail > 0) std::memcpy(block + kInfoHeaderSize + rowsSize, rows + rowsSize, tail);
        Free();
        block_ = block;
        blockSize_ = static_cast<int>(size);
    }
    colourCount_ = 0;
    bits_ = block_ + kInfoHeaderSize;
    width_ = width;
    height_ = static_cast<int>(height);
    return true;
}

bool CDibImage::SaveBmp(const std::string& path) const
{
    if (!block_) return false;
    return WriteFileWhole(path, [this](std::FILE* file) {
        std::uint8_t fileHeader[kFileHeaderSize] = {'B', 'M'};
        Put32(fileHeader + 2, static_cast<std::uint32_t>(blockSize_) + kFileHeaderSize);
        Put32(fileHeader + 10, kFileHeaderSize + kInfoHeaderSize + 4 * static_cast<std::uint32_t>(colourCount_));
        return std::fwrite(fileHeader, 1, kFileHeaderSize, file) == kFileHeaderSize &&
               std::fwrite(block_, 1, static_cast<std::size_t>(blockSize_), file) ==
                   static_cast<std::size_t>(blockSize_);
    });
}

bool CDibImage::Draw(IDrawSurface& surface, int x, int y, int drawWidth, int drawHeight) const
{
    if (!block_) return false;
    return surface.StretchDib(x, y, drawWidth == -1 ? width_ : drawWidth, drawHeight == -1 ? height_ : drawHeight,
                              width_, height_, block_, bits_);
}

} // namespace rv
