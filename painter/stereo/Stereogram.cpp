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
struct Chain {
    int start;     // first column written (not negative)
    Colour colour;
};

class RowChains {
public:
    void Reset(int period)
    {
        if (static_cast<int>(residues_.size()) < period) residues_.resize(static_cast<std::size_t>(period));
        for (int r = 0; r < period; ++r) residues_[static_cast<std::size_t>(r)].clear();
    }
    // The newest chain covering column c, or nullptr.
    const Chain* Covering(int c, int period) const
    {
        const auto& stack = residues_[static_cast<std::size_t>(c % period)];
        auto it = std::upper_bound(stack.begin(), stack.end(), c, [](int col, const Chain& ch) { return col < ch.start; });
        return it == stack.begin() ? nullptr : &*(it - 1);
    }
    void Add(int start, Colour colour, int period)
    {
        auto& stack = residues_[static_cast<std::size_t>(start % period)];
        while (!stack.empty() && stack.back().start >= start) stack.pop_back();
        stack.push_back({start, colour});
    }
    const std::vector<Chain>& Residue(int r) const { return residues_[static_cast<std::size_t>(r)]; }

private:
    std::vector<std::vector<Chain>> residues_;
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

    // Shifts by red value for the black family [0] and the blue family [1].
    std::array<std::array<int, 256>, 2> shift{};
    for (int red = 0; red < 255; ++red) {
        shift[0][static_cast<std::size_t>(red)] = DepthShift(static_cast<Colour>(red), step);
        shift[1][static_cast<std::size_t>(red)] = DepthShift(0xFF0000u | static_cast<Colour>(red), step);
    }

    const int depthColumns = std::min(columns, depthMap.Width());
    RowChains chains;
    for (int y = 0; y < rows; ++y) {
        if (y >= depthMap.Height() || depthColumns <= 0) continue; // a flat row stays as it is
        std::uint8_t* row = background.Bits() + static_cast<std::size_t>(background.Height() - 1 - y) * background.Stride();
        const std::uint8_t* depth =
            depthMap.Bits() + static_cast<std::size_t>(depthMap.Height() - 1 - y) * depthMap.Stride();
        chains.Reset(period);
        bool touched = false;
        for (int x = 0; x < depthColumns; ++x) {
            const std::uint8_t* d = depth + 3 * static_cast<std::size_t>(x);
            const int red = d[2];
            if (red == 0xFF) continue;
            const int s = shift[d[0] == 0xFF][static_cast<std::size_t>(red)];
            Colour colour = kWhite; // columns beyond the background read as white
            if (x < limit) {
                const Chain* c = chains.Covering(x, period);
                colour = c ? c->colour : ReadBgr(row + 3 * static_cast<std::size_t>(x));
            }
            long long start = static_cast<long long>(x) + s + period;
            if (start >= params.pictureWidth) {
                // Only the first copy is made past the picture width; it can
                // still land in a wider background, where nothing reads it.
                if (start < background.Width()) WriteBgr(row + 3 * static_cast<std::size_t>(start), colour);
                continue;
            }
            if (start < 0) start += (-start + period - 1) / period * period;
            if (start >= limit) continue;
            chains.Add(static_cast<int>(start), colour, period);
            touched = true;
        }
        if (!touched) continue;
        for (int r = 0; r < period && r < limit; ++r) {
            const std::vector<Chain>& stack = chains.Residue(r);
            if (stack.empty()) continue;
            std::size_t i = 0;
            for (int c = stack.front().start; c < limit; c += period) {
                while (i + 1 < stack.size() && stack[i + 1].start <= c) ++i;
                WriteBgr(row + 3 * static_cast<std::size_t>(c), stack[i].colour);
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
