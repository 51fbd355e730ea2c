#include "installer/wizard/core/DibFile.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vela {
namespace {

std::uint16_t Get16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t Get32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void Put16(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void Put32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Reads up to size bytes, going on after short reads until the stream gives
// nothing more.
std::size_t ReadUpTo(IBinaryFile& file, unsigned char* buffer, std::size_t size)
{
    std::size_t got = 0;
    while (got < size) {
        const std::size_t n = file.Read(buffer + got, size - got);
        if (n == 0) break;
        got += n;
    }
    return got;
}

bool IsKnownDepth(std::uint32_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

std::unique_ptr<CPackedDib> LoadDib(IBinaryFile& file)
{
    // The file header, when there is one; without it the information header
    // starts the file and the pixels follow the colour table.
    unsigned char fileHeader[kDibFileHeaderSize];
    if (!file.Seek(0) || ReadUpTo(file, fileHeader, sizeof fileHeader) != sizeof fileHeader) return nullptr;
    std::uint32_t infoStart = kDibFileHeaderSize;
    std::uint32_t pixelOffset = 0;
    if (fileHeader[0] == 'B' && fileHeader[1] == 'M') {
        pixelOffset = Get32(fileHeader + 10);
    } else {
        infoStart = 0;
    }

    unsigned char info[kDibHeaderSize] = {};
    if (!file.Seek(infoStart)) return nullptr;
    const std::size_t got = ReadUpTo(file, info, sizeof info);
    const std::uint32_t headerSize = Get32(info);
    if (headerSize != kDibCoreHeaderSize && headerSize != kDibHeaderSize) return nullptr;
    if (got < headerSize) return nullptr;
    const bool core = headerSize == kDibCoreHeaderSize;

    std::int32_t width, height;
    std::uint32_t planes, bits, compression = 0, coloursUsed = 0, coloursImportant = 0;
    std::uint32_t xDensity = 0, yDensity = 0;
    if (core) {
        width = Get16(info + 4);
        height = Get16(info + 6);
        planes = Get16(info + 8);
        bits = Get16(info + 10);
    } else {
        width = static_cast<std::int32_t>(Get32(info + 4));
        height = static_cast<std::int32_t>(Get32(info + 8));
        planes = Get16(info + 12);
        bits = Get16(info + 14);
        compression = Get32(info + 16);
        xDensity = Get32(info + 24);
        yDensity = Get32(info + 28);
        coloursUsed = Get32(info + 32);
        coloursImportant = Get32(info + 36);
    }

    // Only what the block can describe exactly is drawn.
    if (planes != 1 || !IsKnownDepth(bits) || compression != 0) return nullptr;
    // The row count of a top-down picture is the negated height, taken
    // unsigned so that the most negative height is simply too tall.
    const bool topDown = height < 0;
    const std::uint32_t rows = topDown ? 0u - static_cast<std::uint32_t>(height) : static_cast<std::uint32_t>(height);
    if (width <= 0 || width > kDibMaxSide || rows == 0 || rows > static_cast<std::uint32_t>(kDibMaxSide))
        return nullptr;

    // The colour table: the full table of a palette picture unless the
    // header names fewer colours; a table of at most 256 entries otherwise.
    std::uint32_t colours;
    if (bits <= 8) {
        const std::uint32_t full = 1u << bits;
        colours = (core || coloursUsed == 0 || coloursUsed > full) ? full : coloursUsed;
    } else {
        colours = core ? 0 : std::min<std::uint32_t>(coloursUsed, 256);
    }
    if (coloursImportant > colours || core) coloursImportant = core ? colours : 0;

    // Both sides are at most 32,767 and a pixel at most 32 bits: a row fits
    // 32 bits, and the picture does once it is known not to exceed the limit
    // (checked by division, so that the product cannot wrap).
    const std::uint32_t stride = (bits * static_cast<std::uint32_t>(width) + 31) / 32 * 4;
    if (stride > kDibMaxPixelBytes / rows) return nullptr;
    const std::uint32_t imageSize = stride * rows;

    auto dib = std::unique_ptr<CPackedDib>(new (std::nothrow) CPackedDib);
    if (!dib) return nullptr;
    const std::size_t tableBytes = std::size_t{colours} * 4;
    dib->blockSize_ = kDibHeaderSize + tableBytes + imageSize;
    dib->block_.reset(new (std::nothrow) unsigned char[dib->blockSize_]());
    if (!dib->block_) return nullptr;
    dib->pixelOffset_ = kDibHeaderSize + tableBytes;
    dib->stride_ = stride;
    dib->width_ = width;
    dib->height_ = static_cast<std::int32_t>(rows);
    dib->bitsPerPixel_ = static_cast<std::uint16_t>(bits);
    dib->colourCount_ = colours;

    unsigned char* block = dib->block_.get();
    Put32(block, kDibHeaderSize);
    Put32(block + 4, static_cast<std::uint32_t>(width));
    Put32(block + 8, rows);
    Put16(block + 12, 1);
    Put16(block + 14, bits);
    Put32(block + 16, 0);
    Put32(block + 20, imageSize);
    Put32(block + 24, xDensity);
    Put32(block + 28, yDensity);
    Put32(block + 32, colours);
    Put32(block + 36, coloursImportant);

    // The colour table: 3-byte entries of a core header widened to 4 bytes,
    // from the last entry backwards, each with a reserved byte of 0. A table
    // the file lacks stays zero.
    unsigned char* table = block + kDibHeaderSize;
    const std::uint32_t tableStart = infoStart + headerSize;
    if (colours > 0 && file.Seek(tableStart)) {
        if (core) {
            ReadUpTo(file, table, std::size_t{colours} * 3);
            for (std::size_t i = colours; i-- > 0;) {
                const unsigned char blue = table[i * 3], green = table[i * 3 + 1], red = table[i * 3 + 2];
                table[i * 4] = blue;
                table[i * 4 + 1] = green;
                table[i * 4 + 2] = red;
                table[i * 4 + 3] = 0;
            }
        } else {
            ReadUpTo(file, table, tableBytes);
        }
    }

    // The pixels, in pieces; what the file lacks stays zero.
    const std::uint32_t pixelStart = pixelOffset != 0 ? pixelOffset : tableStart + colours * (core ? 3 : 4);
    if (file.Seek(pixelStart)) {
        unsigned char* pixels = block + dib->pixelOffset_;
        std::size_t left = imageSize;
        while (left > 0) {
            const std::size_t piece = std::min(left, kDibReadPiece);
            const std::size_t n = ReadUpTo(file, pixels, piece);
            if (n < piece) break;
            pixels += n;
            left -= n;
        }
    }

    // Rows stored top-down are turned bottom-up.
    if (topDown) {
        unsigned char* pixels = block + dib->pixelOffset_;
        const std::size_t rowBytes = dib->stride_;
        for (std::size_t top = 0, bottom = std::size_t{rows} - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(pixels + top * rowBytes, pixels + (top + 1) * rowBytes, pixels + bottom * rowBytes);
    }
    return dib;
}

std::unique_ptr<CPackedDib> LoadDibFile(IPlatform& platform, std::string_view path)
{
    std::unique_ptr<IBinaryFile> file = platform.OpenForReading(path);
    if (!file) return nullptr;
    return LoadDib(*file);
}

bool MakeDibPalette(const CPackedDib* dib, DibPalette& palette)
{
    palette.version = 0x300;
    palette.count = 0;
    if (!dib) return false;
    if (dib->ColourCount() > 0) {
        const unsigned char* table = dib->ColourTable();
        palette.count = static_cast<std::uint16_t>(std::min<std::uint32_t>(dib->ColourCount(), 256));
        for (std::size_t i = 0; i < palette.count; ++i)
            palette.entries[i] = {table[i * 4 + 2], table[i * 4 + 1], table[i * 4], 0};
        return true;
    }
    if (dib->BitsPerPixel() == 24) {
        palette.count = 256;
        for (unsigned i = 0; i < 256; ++i) {
            palette.entries[i] = {static_cast<std::uint8_t>((i % 8) * 32), static_cast<std::uint8_t>(((i / 8) % 8) * 32),
                                  static_cast<std::uint8_t>((i / 64) * 64), 0};
        }
        return true;
    }
    return false;
}

} // namespace vela
