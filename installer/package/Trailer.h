#pragma once
// The integrity trailer that velapack appends after a package: a start tag,
// the CRC-32 of the package bytes (header, script and stored items), the
// package's length and an end mark. The installer checks it before it writes
// anything; a package without one is installed as before.
//
// Layout (24 bytes, numbers little-endian):
//   0  8  "VELASUM1"
//   8  4  CRC-32 (the zlib/PNG polynomial) of the package bytes
//  12  8  package length in bytes
//  20  4  "VEND"
//
// A signed installer carries its Authenticode certificate table after the
// trailer (the security directory of the PE header names it); the table may
// be preceded by up to 7 zero bytes that align it. The trailer is looked for
// before that table.
//
// Everything here works on fixed buffers and needs no allocation, so the
// stub can use it as it stands.
#include <cstddef>
#include <cstdint>

#include "installer/package/Platform.h"

namespace vela {

inline constexpr std::size_t kTrailerSize = 24;
inline constexpr char kTrailerTag[] = "VELASUM1";  // 8 bytes
inline constexpr char kTrailerEnd[] = "VEND";      // 4 bytes

// CRC-32 (reflected, polynomial 0xEDB88320, initial and final inversion) of
// a buffer, continued from crc (0 for a new one).
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size);

// The trailer of a package of the given length and CRC-32.
void FormatTrailer(std::uint32_t crc, std::uint64_t packageLength, char (&trailer)[kTrailerSize]);

// Where a signature's certificate table lies, from the PE header at the start
// of the file; false when the file is no PE file or has no certificate table.
bool FindCertificateTable(IBinaryFile& file, std::uint64_t& offset, std::uint64_t& size);

enum class TrailerCheck {
    Absent,          // no trailer: the package is taken as it stands
    Sound,           // the trailer is there and the package matches it
    Truncated,       // the file ends inside a trailer
    Misplaced,       // a trailer tag lies near the end, but not a trailer of this layout
    LengthMismatch,  // the trailer's package length is not where the package lies
    CrcMismatch,     // the package bytes differ from those the trailer was made for
    Unreadable,      // the file could not be read
};

struct TrailerInfo {
    TrailerCheck result = TrailerCheck::Absent;
    std::uint64_t trailerOffset = 0;    // where the trailer starts (Sound, LengthMismatch, CrcMismatch)
    std::uint64_t packageLength = 0;    // as the trailer gives it
    std::uint32_t storedCrc = 0;        // as the trailer gives it
    std::uint32_t computedCrc = 0;      // of the package bytes (Sound, CrcMismatch)
    bool signatureFound = false;        // a certificate table follows the trailer
};

// Checks the package at packageOffset of an installer against its trailer:
// reads the package once, in blocks, when a trailer is there.
TrailerInfo CheckTrailer(IBinaryFile& file, std::uint64_t packageOffset);

// A short English description of a result, for the package tool.
const char* DescribeTrailerCheck(TrailerCheck result);

} // namespace vela
