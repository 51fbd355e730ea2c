#pragma once
// Where the package begins in the installer's own file: a fixed figure,
// which is also the stub's own size. The build defines it (VELA_PACKAGE_OFFSET
// in the top-level CMakeLists.txt, the one place of the figure), pads the
// stub to exactly that size and fails when the stub outgrows it. The stub
// carries the figure in a tagged slot, so that velapack and the tests can
// read it from a stub as built.
#include <cstddef>
#include <cstdint>
#include <string_view>

#ifndef VELA_PACKAGE_OFFSET
#error "VELA_PACKAGE_OFFSET comes from the build (the top-level CMakeLists.txt)"
#endif

namespace vela {

inline constexpr std::uint64_t kPackageOffset = VELA_PACKAGE_OFFSET;

inline constexpr char kPackageOffsetTag[16] = "VelaPackageOfs=";

struct PackageOffsetSlot {
    char tag[16];
    std::uint64_t offset;
};

// Defined in PackageOffset.cpp, read through PackageOffset() so that the
// figure is taken from the program as built.
extern const volatile PackageOffsetSlot kPackageOffsetSlot;

inline std::uint64_t PackageOffset() { return kPackageOffsetSlot.offset; }

// Finds the slot in a stub's bytes: offset is the eight little-endian bytes
// after the first tag; unique tells whether the tag occurs only once. False
// when there is no complete slot.
inline bool FindPackageOffsetSlot(std::string_view bytes, std::uint64_t& offset, bool& unique)
{
    const std::string_view tag(kPackageOffsetTag, sizeof kPackageOffsetTag);
    const std::size_t at = bytes.find(tag);
    if (at == std::string_view::npos || at + tag.size() + 8 > bytes.size()) return false;
    unique = bytes.find(tag, at + 1) == std::string_view::npos;
    offset = 0;
    for (std::size_t i = 8; i-- > 0;) offset = (offset << 8) | static_cast<unsigned char>(bytes[at + tag.size() + i]);
    return true;
}

} // namespace vela
