// The undo history's row packer against the plain one it replaced, kept here
// as it was: a push per run and a byte compare per pixel.
#include "painter/app/view/RowPacking.h"
#include "painter/image/DibImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace rv {
namespace {

void LiteralPackRow(const std::uint8_t* row, int width, int stride, std::vector<std::uint8_t>& out)
{
    const std::size_t start = out.size();
    const std::size_t rawSize = static_cast<std::size_t>(stride);
    out.push_back(kPackedRuns);
    int x = 0;
    while (x < width) {
        const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
        int run = 1;
        while (x + run < width && run < 255 && std::memcmp(p, p + 3 * run, 3) == 0) ++run;
        out.push_back(static_cast<std::uint8_t>(run));
        out.insert(out.end(), p, p + 3);
        x += run;
        if (out.size() - start > rawSize) break;
    }
    if (out.size() - start > rawSize) {
        out.resize(start);
        out.push_back(kPackedRaw);
        out.insert(out.end(), row, row + rawSize);
        return;
    }
    out.insert(out.end(), row + 3 * static_cast<std::size_t>(width), row + rawSize);
}

// Rows of random widths and run structures, each in a buffer of exactly its
// stride so that a read past the row is a read past the allocation.
class RowMaker {
public:
    explicit RowMaker(unsigned seed) : random_(seed) {}

    int Width()
    {
        static const int kWidths[] = {1, 2, 3, 4, 5, 7, 8, 9, 254, 255, 256, 257, 511, 765, 1025};
        if (Below(3) == 0) return kWidths[Below(std::size(kWidths))];
        return 1 + static_cast<int>(Below(Below(4) == 0 ? 2000 : 64));
    }

    // Fills the pixels of `row` (width pixels) with one of several kinds of
    // structure, and the pad bytes with noise.
    void Fill(std::vector<std::uint8_t>& row, int width)
    {
        const std::size_t pixels = 3 * static_cast<std::size_t>(width);
        for (std::size_t i = pixels; i < row.size(); ++i) row[i] = Byte();
        switch (Below(6)) {
        case 0: Runs(row, width, [](RowMaker&) { return 1 << 30; }); break; // flat
        case 1: // noise
            for (std::size_t i = 0; i < pixels; ++i) row[i] = Byte();
            break;
        case 2: // a ramp: short runs of neighbouring grey levels
            Runs(row, width, [](RowMaker& m) { return 1 + static_cast<int>(m.Below(12)); });
            break;
        case 3: // runs of the lengths where the packer splits
            Runs(row, width, [](RowMaker& m) {
                static const int kLengths[] = {1, 3, 4, 5, 8, 254, 255, 256, 257, 510, 511};
                return kLengths[m.Below(std::size(kLengths))];
            });
            break;
        case 4: // runs of any length
            Runs(row, width, [](RowMaker& m) { return 1 + static_cast<int>(m.Below(m.Below(2) ? 600 : 9)); });
            break;
        default: { // just as many runs as make the runs about the raw row's size
            const int stride = CDibImage::StrideFor(width);
            const int count = std::max(1, std::min(width, (stride - 1) / 4 - 1 + static_cast<int>(Below(4))));
            std::vector<int> cuts{0, width};
            while (static_cast<int>(cuts.size()) < count + 1) {
                const int cut = 1 + static_cast<int>(Below(static_cast<unsigned>(std::max(1, width - 1))));
                if (cut < width && std::find(cuts.begin(), cuts.end(), cut) == cuts.end()) cuts.push_back(cut);
            }
            std::sort(cuts.begin(), cuts.end());
            std::uint8_t colour[3] = {Byte(), Byte(), Byte()};
            for (std::size_t c = 0; c + 1 < cuts.size(); ++c) {
                NextColour(colour);
                for (int x = cuts[c]; x < cuts[c + 1]; ++x)
                    std::memcpy(&row[3 * static_cast<std::size_t>(x)], colour, 3);
            }
        }
        }
    }

    unsigned Below(std::size_t n) { return static_cast<unsigned>(random_() % n); }
    std::uint8_t Byte() { return static_cast<std::uint8_t>(random_()); }

private:
    // A colour unlike the last: often only one of its bytes differs, so
    // that each byte of the compare is put to the test.
    void NextColour(std::uint8_t colour[3])
    {
        if (Below(2) == 0) {
            colour[Below(3)] ^= static_cast<std::uint8_t>(1 + Below(255));
        } else {
            const std::uint8_t old[3] = {colour[0], colour[1], colour[2]};
            do {
                for (int i = 0; i < 3; ++i) colour[i] = Below(3) == 0 ? Byte() : static_cast<std::uint8_t>(Below(4));
            } while (std::memcmp(old, colour, 3) == 0);
        }
    }

    template <class Length> void Runs(std::vector<std::uint8_t>& row, int width, Length length)
    {
        std::uint8_t colour[3] = {Byte(), Byte(), Byte()};
        for (int x = 0; x < width;) {
            const int end = std::min(width, x + std::max(1, length(*this)));
            for (; x < end; ++x) std::memcpy(&row[3 * static_cast<std::size_t>(x)], colour, 3);
            NextColour(colour);
        }
    }

    std::mt19937 random_;
};

TEST(RowPacking, PacksAsThePlainPackerAndUnpacksToTheRow)
{
    RowMaker maker(2024);
    std::vector<std::uint8_t> scratch; // kept from row to row, as the history does
    int raw = 0, runs = 0;
    for (int i = 0; i < 6000; ++i) {
        const int width = maker.Width();
        const int stride = CDibImage::StrideFor(width);
        std::vector<std::uint8_t> row(static_cast<std::size_t>(stride));
        maker.Fill(row, width);

        // Packed rows follow one another: both packers append.
        std::vector<std::uint8_t> expected(maker.Below(3), 0xA5);
        std::vector<std::uint8_t> packed = expected;
        const std::size_t start = packed.size();
        LiteralPackRow(row.data(), width, stride, expected);
        PackRow(row.data(), width, stride, packed, scratch);
        ASSERT_EQ(packed, expected) << "row " << i << ", width " << width;
        (packed[start] == kPackedRaw ? raw : runs)++;

        std::vector<std::uint8_t> unpacked(static_cast<std::size_t>(stride), 0x5A);
        const std::vector<std::uint8_t> alone(packed.begin() + static_cast<std::ptrdiff_t>(start), packed.end());
        UnpackRow(alone.data(), alone.data() + alone.size(), width, unpacked.data(), stride);
        ASSERT_EQ(unpacked, row) << "row " << i << ", width " << width;
    }
    // Both forms were made many times.
    EXPECT_GT(raw, 500);
    EXPECT_GT(runs, 500);
}

} // namespace
} // namespace rv
