#include "painter/stereo/Stereogram.h"

#include <algorithm>
#include <array>
#include <vector>

namespace rv {

int FeelStep(int feel) { return 240 / std::clamp(feel, kMinFeel, kMaxFeel); }

namespace {

Colour ReadBgr(const std::uint8_t* p) { return static_cast<Colour>(p[0]) << 16 | static_cast<Colour>(p[1]) << 8 | p[2]; }
void WriteBgr(std::uint8_t* p, Colour c)
{
    p[0] = static_cast<std::uint8_t>(c >> 16);
    p[1] = static_cast<std::uint8_t>(c >> 8);
    p[2] = static_cast<std::uint8_t>(c);
}

// A chain of copies: made when the left-to-right pass is at column `time`,
// so a later chain overwrites an earlier one where they meet.
struct Chain {
    int time = -1; // -1: none
    Colour colour = kWhite;
};

} // namespace

// Every column x that has depth starts a chain of copies of its current
// colour at x + s + period, x + s + 2 period, ... up to the right edge.
// Instead of writing each chain out (about width^2 / period writes a row),
// one sweep from left to right keeps, for every residue modulo the period,
// the newest chain that has reached the sweep: the colour of a column is that
// chain's colour, or the untouched background when there is none. A chain
// that starts right of its column waits at its start column until the sweep
// gets there; one that starts at or left of it (a shift of minus the period
// or less) is newer than everything already swept, so it is written over
// those columns at once and takes over its residue.
void GenerateStereogram(CDibImage& background, const CDibImage& depthMap, const StereogramParams& params)
{
    const int period = params.period;
    const int columns = params.pictureWidth - period; // columns with a depth of their own
    if (period < 1 || columns <= 0 || background.Empty()) return;
    const int limit = std::min(params.pictureWidth, background.Width()); // columns chains can write
    const int rows = std::min(params.pictureHeight, background.Height());
    const int depthColumns = std::min(columns, depthMap.Width());
    if (depthColumns <= 0) return;
    const int step = FeelStep(params.feel);

    // Shifts by red value for the black family [0] and the blue family [1],
    // and the same modulo the period (so the sweep has no division).
    std::array<std::array<int, 256>, 2> shift{};
    std::array<std::array<int, 256>, 2> shiftResidue{};
    for (int family = 0; family < 2; ++family)
        for (int red = 0; red < 255; ++red) {
            const int s = DepthShift((family ? 0xFF0000u : 0u) | static_cast<Colour>(red), step);
            shift[family][static_cast<std::size_t>(red)] = s;
            shiftResidue[family][static_cast<std::size_t>(red)] = ((s % period) + period) % period;
        }

    // Chains start at columns below `limit`, so only residues below it occur.
    std::vector<Chain> waiting(static_cast<std::size_t>(limit));              // by start column
    std::vector<Chain> newest(static_cast<std::size_t>(std::min(period, limit))); // by residue
    const int end = std::max(limit, depthColumns);
    for (int y = 0; y < std::min(rows, depthMap.Height()); ++y) { // rows beyond the depth map are flat
        std::uint8_t* row = background.Bits() + static_cast<std::size_t>(background.Height() - 1 - y) * background.Stride();
        const std::uint8_t* depth =
            depthMap.Bits() + static_cast<std::size_t>(depthMap.Height() - 1 - y) * depthMap.Stride();
        std::fill(newest.begin(), newest.end(), Chain{});
        int residue = -1; // x modulo the period
        for (int x = 0; x < end; ++x) {
            if (++residue == period) residue = 0;
            Colour colour = kWhite; // columns beyond the background read as white
            if (x < limit) {
                std::uint8_t* pixel = row + 3 * static_cast<std::size_t>(x);
                Chain& current = newest[static_cast<std::size_t>(residue)];
                Chain& arriving = waiting[static_cast<std::size_t>(x)];
                if (arriving.time > current.time) current = arriving;
                arriving.time = -1;
                if (current.time >= 0) {
                    colour = current.colour;
                    WriteBgr(pixel, colour);
                } else {
                    colour = ReadBgr(pixel);
                }
            }
            if (x >= depthColumns) continue;
            const std::uint8_t* d = depth + 3 * static_cast<std::size_t>(x);
            const int red = d[2];
            if (red == 0xFF) continue;
            const bool blue = d[0] == 0xFF;
            long long start = static_cast<long long>(x) + shift[blue][static_cast<std::size_t>(red)] + period;
            if (start >= params.pictureWidth) {
                // Only the first copy is made past the picture width; it can
                // still land in a wider background, where nothing reads it.
                if (start < background.Width()) WriteBgr(row + 3 * static_cast<std::size_t>(start), colour);
                continue;
            }
            if (start < 0) start += (-start + period - 1) / period * period;
            if (start >= limit) continue;
            const Chain chain{x, colour};
            if (start > x) {
                waiting[static_cast<std::size_t>(start)] = chain;
                continue;
            }
            int c = static_cast<int>(start);
            for (; c <= x && c < limit; c += period) WriteBgr(row + 3 * static_cast<std::size_t>(c), colour);
            if (c < limit) {
                int r = residue + shiftResidue[blue][static_cast<std::size_t>(red)];
                if (r >= period) r -= period;
                newest[static_cast<std::size_t>(r)] = chain;
            }
        }
    }
}

int ReadFeelText(std::string_view text)
{
    text = text.substr(0, 3);
    std::size_t i = 0;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; };
    while (i < text.size() && blank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

namespace {
FeelChange StepFeel(std::string_view displayText, int stopValue, int delta)
{
    FeelChange change;
    change.feel = ReadFeelText(displayText);
    if (change.feel == stopValue) return change;
    change.feel += delta;
    change.textChanged = true;
    change.text = std::to_string(change.feel);
    return change;
}
} // namespace

FeelChange DecreaseFeel(std::string_view displayText) { return StepFeel(displayText, kMinFeel, -1); }
FeelChange IncreaseFeel(std::string_view displayText) { return StepFeel(displayText, kMaxFeel, +1); }

} // namespace rv
