#include "tools/velapack/WizardPicture.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "installer/package/Platform.h"
#include "installer/wizard/core/DibFile.h"

namespace velapack {
namespace {

constexpr std::uint32_t kRgb = 0;        // no compression
constexpr std::uint32_t kBitFields = 3;  // pixels by colour masks

std::uint32_t Get16(const std::string& b, std::size_t at)
{
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

std::uint32_t Get32(const std::string& b, std::size_t at)
{
    return Get16(b, at) | Get16(b, at + 2) << 16;
}

void Put32(std::string& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

bool DrawnDepth(std::uint32_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool LoaderTakes(const std::string& bytes)
{
    std::unique_ptr<vela::IBinaryFile> file = vela::OpenMemoryFile(bytes);
    return vela::LoadDib(*file) != nullptr;
}

// Bit fields an uncompressed picture of that depth has anyway.
bool PlainMasks(std::uint32_t bits, std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    if (bits == 16) return red == 0x7C00 && green == 0x03E0 && blue == 0x001F;
    if (bits == 32) return red == 0xFF0000 && green == 0xFF00 && blue == 0xFF;
    return false;
}

} // namespace

bool PrepareWizardPicture(std::string& bytes, std::string& reason)
{
    constexpr std::size_t kFile = vela::kDibFileHeaderSize;
    if (bytes.size() < kFile + 4 || bytes[0] != 'B' || bytes[1] != 'M') {
        reason = "is not a BMP file";
        return false;
    }
    const std::uint32_t headerSize = Get32(bytes, kFile);
    const bool longHeader = headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124;
    if (headerSize != vela::kDibCoreHeaderSize && headerSize != vela::kDibHeaderSize && !longHeader) {
        reason = "has a " + std::to_string(headerSize) + "-byte information header, which the installer cannot read";
        return false;
    }
    if (bytes.size() < kFile + headerSize) {
        reason = "ends inside its information header";
        return false;
    }
    if (headerSize == vela::kDibCoreHeaderSize) {
        if (LoaderTakes(bytes)) return true;
        reason = "has a depth or size the installer does not draw";
        return false;
    }

    const std::uint32_t bits = Get16(bytes, kFile + 14);
    std::uint32_t compression = Get32(bytes, kFile + 16);
    // Bit fields lie inside a longer header, after the 40-byte one.
    const std::size_t masks = kFile + vela::kDibHeaderSize;
    std::size_t table = kFile + headerSize;
    if (compression == kBitFields && bytes.size() >= masks + 12 &&
        PlainMasks(bits, Get32(bytes, masks), Get32(bytes, masks + 4), Get32(bytes, masks + 8))) {
        compression = kRgb;
        if (headerSize == vela::kDibHeaderSize) table += 12;
    }
    if (compression != kRgb) {
        reason = "is compressed (compression " + std::to_string(compression) +
                 "); the installer draws uncompressed pictures only";
        return false;
    }
    if (!DrawnDepth(bits)) {
        reason = "has " + std::to_string(bits) + " bits per pixel; the installer draws 1, 4, 8, 16, 24 or 32";
        return false;
    }
    if (headerSize == vela::kDibHeaderSize && table == kFile + headerSize) {
        if (LoaderTakes(bytes)) return true;
        reason = "has a size or plane count the installer does not draw";
        return false;
    }

    // The same picture with the 40-byte header: the header's first 40 bytes
    // (the fields they share), the colour table, the pixels.
    const std::uint32_t coloursUsed = Get32(bytes, kFile + 32);
    std::uint32_t colours = 0;
    if (bits <= 8) colours = coloursUsed == 0 || coloursUsed > (1u << bits) ? 1u << bits : coloursUsed;
    else colours = std::min<std::uint32_t>(coloursUsed, 256);
    const std::uint32_t pixelStart = Get32(bytes, 10);
    if (table + std::size_t{colours} * 4 > bytes.size() || pixelStart > bytes.size() ||
        pixelStart < table + std::size_t{colours} * 4) {
        reason = "ends before its colour table and pixels, or they overlap";
        return false;
    }
    std::string made = bytes.substr(0, kFile + vela::kDibHeaderSize);
    Put32(made, kFile, vela::kDibHeaderSize);
    Put32(made, kFile + 16, kRgb);
    Put32(made, kFile + 32, colours);
    made += bytes.substr(table, std::size_t{colours} * 4);
    Put32(made, 10, static_cast<std::uint32_t>(made.size()));
    made += bytes.substr(pixelStart);
    Put32(made, 2, static_cast<std::uint32_t>(made.size()));
    if (!LoaderTakes(made)) {
        reason = "has a size or plane count the installer does not draw";
        return false;
    }
    bytes = std::move(made);
    return true;
}

} // namespace velapack
