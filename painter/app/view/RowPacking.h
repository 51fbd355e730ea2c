#pragma once
// One picture row packed for the undo history, and back. A packed row starts
// with its form: raw (the row's bytes, pad included, as they stand), or runs
// of (count, blue, green, red) with count 1 to 255, followed by the row's pad
// bytes. A row is kept raw when its runs would outgrow the raw row.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rv {

inline constexpr std::uint8_t kPackedRaw = 0;
inline constexpr std::uint8_t kPackedRuns = 1;

// Appends row (width pixels of 3 bytes, then pad up to stride) packed to
// out. `scratch` is working room a caller may keep from row to row.
void PackRow(const std::uint8_t* row, int width, int stride, std::vector<std::uint8_t>& out,
             std::vector<std::uint8_t>& scratch);

// Writes the packed row [packed, end) back to row (width pixels, stride
// bytes).
void UnpackRow(const std::uint8_t* packed, const std::uint8_t* end, int width, std::uint8_t* row, int stride);

} // namespace rv
