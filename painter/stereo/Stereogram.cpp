#include "painter/stereo/Stereogram.h"

#include <algorithm>
#include <array>
#include <vector>

namespace rv {

int FeelStep(int feel) { return 240 / std::clamp(feel, kMinFeel, kMaxFeel); }

namespace {

// Every column x that has depth starts a chain of copies of its current
// colour at x + s + period, x + s + 2 period, ... up to the right edge, and a
// later chain overwrites an earlier one where they meet. Instead of writing
// each chain out (about width^2 / period writes a row), the row keeps, for
// every residue modulo the period, the chains that can still decide a column:
// a new chain hides every older chain of its residue that starts at or after
// it. The colour at a column is then that of the newest chain starting at or
// before it, or the untouched background when there is none.
class RowChains {
public:
    // Chains start at columns below `limit`: only residues below it occur,
    // and the starts within a residue are distinct, so a residue never holds
    // more than limit / period + 1 chains.
    void Reset(int period, int limit)
    {
        const std::size_t residues = static_cast<std::size_t>(std::min(period, limit));
        capacity_ = static_cast<std::size_t>(limit / period + 1);
        const std::size_t cells = capacity_ * residues;
        if (starts_.size() < cells) {
            starts_.resize(cells);
            colours_.resize(cells);
        }
        sizes_.assign(residues, 0);
    }
    // The colour of the newest chain covering column c (of residue r), or false.
    bool Covering(int c, std::size_t r, Colour& colour) const
    {
        const int* starts = &starts_[r * capacity_];
        // The newest chains start furthest right: look from the top.
        for (std::size_t i = sizes_[r]; i-- > 0;)
            if (starts[i] <= c) {
                colour = colours_[r * capacity_ + i];
                return true;
            }
        return false;
    }
    // A chain from column `start` (of residue r) on.
    void Add(int start, std::size_t r, Colour colour)
    {
        const std::size_t base = r * capacity_;
        std::size_t n = sizes_[r];
        while (n > 0 && starts_[base + n - 1] >= start) --n;
        starts_[base + n] = start;
        colours_[base + n] = colour;
        sizes_[r] = n + 1;
    }
    std::size_t Size(int r) const { return sizes_[static_cast<std::size_t>(r)]; }
    int Start(int r, std::size_t i) const { return starts_[static_cast<std::size_t>(r) * capacity_ + i]; }
    Colour ColourAt(int r, std::size_t i) const { return colours_[static_cast<std::size_t>(r) * capacity_ + i]; }

private:
    std::size_t capacity_ = 0;
    std::vector<int> starts_;
    std::vector<Colour> colours_;
    std::vector<std::size_t> sizes_;
};

Colour ReadBgr(const std::uint8_t* p) { return static_cast<Colour>(p[0]) << 16 | static_cast<Colour>(p[1]) << 8 | p[2]; }
void WriteBgr(std::uint8_t* p, Colour c)
{
    p[0] = static_cast<std::uint8_t>(c >> 16);
    p[1] = static_cast<std::uint8_t>(c >> 8);
    p[2] = static_cast<std::uint8_t>(c);
}

} // namespace

void GenerateStereogram(CDibImage& background, const CDibImage& depthMap, const StereogramParams& params)
{
    const int period = params.period;
    const int columns = params.pictureWidth - period; // columns with a depth of their own
    if (period < 1 || columns <= 0 || background.Empty()) return;
    const int limit = std::min(params.pictureWidth, background.Width()); // writable columns
    const int rows = std::min(params.pictureHeight, background.Height());
    const int step = FeelStep(params.feel);

    // Shifts by red value for the black family [0] and the blue family [1],
    // and the same modulo the period (so the inner loop has no division).
    std::array<std::array<int, 256>, 2> shift{};
    std::array<std::array<int, 256>, 2> shiftResidue{};
    for (int family = 0; family < 2; ++family)
        for (int red = 0; red < 255; ++red) {
            const int s = DepthShift((family ? 0xFF0000u : 0u) | static_cast<Colour>(red), step);
            shift[family][static_cast<std::size_t>(red)] = s;
            shiftResidue[family][static_cast<std::size_t>(red)] = ((s % period) + period) % period;
        }

    const int depthColumns = std::min(columns, depthMap.Width());
    RowChains chains;
    for (int y = 0; y < rows; ++y) {
        if (y >= depthMap.Height() || depthColumns <= 0) continue; // a flat row stays as it is
        std::uint8_t* row = background.Bits() + static_cast<std::size_t>(background.Height() - 1 - y) * background.Stride();
        const std::uint8_t* depth =
            depthMap.Bits() + static_cast<std::size_t>(depthMap.Height() - 1 - y) * depthMap.Stride();
        chains.Reset(period, limit);
        bool touched = false;
        int residue = -1; // x modulo the period
        for (int x = 0; x < depthColumns; ++x) {
            if (++residue == period) residue = 0;
            const std::uint8_t* d = depth + 3 * static_cast<std::size_t>(x);
            const int red = d[2];
            if (red == 0xFF) continue;
            const bool blue = d[0] == 0xFF;
            const int s = shift[blue][static_cast<std::size_t>(red)];
            Colour colour = kWhite; // columns beyond the background read as white
            if (x < limit && !chains.Covering(x, static_cast<std::size_t>(residue), colour))
                colour = ReadBgr(row + 3 * static_cast<std::size_t>(x));
            long long start = static_cast<long long>(x) + s + period;
            if (start >= params.pictureWidth) {
                // Only the first copy is made past the picture width; it can
                // still land in a wider background, where nothing reads it.
                if (start < background.Width()) WriteBgr(row + 3 * static_cast<std::size_t>(start), colour);
                continue;
            }
            if (start < 0) start += (-start + period - 1) / period * period;
            if (start >= limit) continue;
            int startResidue = residue + shiftResidue[blue][static_cast<std::size_t>(red)];
            if (startResidue >= period) startResidue -= period;
            chains.Add(static_cast<int>(start), static_cast<std::size_t>(startResidue), colour);
            touched = true;
        }
        if (!touched) continue;
        for (int r = 0; r < period && r < limit; ++r) {
            const std::size_t n = chains.Size(r);
            if (n == 0) continue;
            std::size_t i = 0;
            for (int c = chains.Start(r, 0); c < limit; c += period) {
                while (i + 1 < n && chains.Start(r, i + 1) <= c) ++i;
                WriteBgr(row + 3 * static_cast<std::size_t>(c), chains.ColourAt(r, i));
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
