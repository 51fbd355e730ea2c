#include "painter/app/view/RowPacking.h"

#include <algorithm>
#include <cstring>

namespace rv {
namespace {

constexpr int kMaxRun = 255;

// A pixel as one 24-bit number, read a byte at a time: the last pixel of a
// picture's last row has nothing after it.
inline std::uint32_t Pixel(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16;
}

inline std::uint32_t Word(const std::uint8_t* p)
{
    std::uint32_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// The length of the run of equal pixels that starts at p, at most `limit`
// (1 or more) pixels.
inline int RunLength(const std::uint8_t* p, int limit)
{
    int run = 1;
    if (limit >= 5 && std::memcmp(p, p + 3, 3) == 0) {
        // Four pixels of one colour are three words: compare four at a time,
        // reading only pixels of the run's reach.
        const std::uint8_t pattern[12] = {p[0], p[1], p[2], p[0], p[1], p[2], p[0], p[1], p[2], p[0], p[1], p[2]};
        const std::uint32_t w0 = Word(pattern), w1 = Word(pattern + 4), w2 = Word(pattern + 8);
        while (run + 4 <= limit) {
            const std::uint8_t* q = p + 3 * run;
            if (((Word(q) ^ w0) | (Word(q + 4) ^ w1) | (Word(q + 8) ^ w2)) != 0) break;
            run += 4;
        }
    }
    const std::uint32_t colour = Pixel(p);
    while (run < limit && Pixel(p + 3 * run) == colour) ++run;
    return run;
}

} // namespace

void PackRow(const std::uint8_t* row, int width, int stride, std::vector<std::uint8_t>& out,
             std::vector<std::uint8_t>& scratch)
{
    const std::size_t rawSize = static_cast<std::size_t>(stride);
    const std::size_t pixelBytes = 3 * static_cast<std::size_t>(width);
    // The runs are given up as soon as they outgrow the raw row, so they
    // never take more than the raw row and one run; the pad bytes follow
    // only runs that did not.
    if (scratch.size() < rawSize + 4) scratch.resize(rawSize + 4);
    std::uint8_t* const begin = scratch.data();
    std::uint8_t* q = begin;
    *q++ = kPackedRuns;
    int x = 0;
    while (x < width) {
        const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
        const int run = RunLength(p, std::min(width - x, kMaxRun));
        q[0] = static_cast<std::uint8_t>(run);
        q[1] = p[0];
        q[2] = p[1];
        q[3] = p[2];
        q += 4;
        x += run;
        // Runs that save nothing: the raw row is no larger.
        if (static_cast<std::size_t>(q - begin) > rawSize) break;
    }
    if (static_cast<std::size_t>(q - begin) > rawSize) {
        out.push_back(kPackedRaw);
        out.insert(out.end(), row, row + rawSize);
        return;
    }
    std::memcpy(q, row + pixelBytes, rawSize - pixelBytes);
    q += rawSize - pixelBytes;
    out.insert(out.end(), begin, q);
}

void UnpackRow(const std::uint8_t* packed, const std::uint8_t* end, int width, std::uint8_t* row, int stride)
{
    const std::uint8_t* p = packed;
    if (*p++ == kPackedRaw) {
        std::memcpy(row, p, static_cast<std::size_t>(stride));
        return;
    }
    std::uint8_t* out = row;
    std::uint8_t* const pixelsEnd = row + 3 * static_cast<std::size_t>(width);
    while (out < pixelsEnd && p + 4 <= end) {
        // A run never reaches past the row's pixels.
        const std::size_t run = std::min<std::size_t>(p[0], static_cast<std::size_t>(pixelsEnd - out) / 3);
        std::size_t i = 0;
        if (run >= 4) {
            const std::uint8_t pattern[12] = {p[1], p[2], p[3], p[1], p[2], p[3], p[1], p[2], p[3], p[1], p[2], p[3]};
            for (; i + 4 <= run; i += 4, out += 12) std::memcpy(out, pattern, 12);
        }
        for (; i < run; ++i, out += 3) {
            out[0] = p[1];
            out[1] = p[2];
            out[2] = p[3];
        }
        p += 4;
    }
    std::memcpy(out, p, static_cast<std::size_t>(end - p));
}

} // namespace rv
