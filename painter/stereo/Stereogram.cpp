#include "painter/stereo/Stereogram.h"

#include "painter/stereo/RowBands.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace rv {

int FeelStep(int feel) { return 240 / std::clamp(feel, kMinFeel, kMaxFeel); }

namespace {

// What a depth colour does in its row, by family and red value. A chain of
// copies starts at source + s + period and covers every period from there to
// the right edge.
struct ChainTable {
    // From the source to the first column right of it that the chain covers;
    // `limit` (which puts it past every column the row can write) when that
    // column lies outside them, and for flat colours.
    std::array<int, 256> black{}, blue{};
    const int* Ahead(const std::uint8_t* depthPixel) const { return depthPixel[0] == 0xFF ? blue.data() : black.data(); }
    // Chains that start at or left of their source also overwrite columns
    // already passed: from the source to the start (s + period, -254 to 0),
    // and 1 for the others.
    std::array<int, 256> blackStart{}, blueStart{};
    bool anyBackward = false;
};

ChainTable MakeChainTable(int step, int period, int limit)
{
    ChainTable table;
    for (int family = 0; family < 2; ++family) {
        int* ahead = family ? table.blue.data() : table.black.data();
        int* start = family ? table.blueStart.data() : table.blackStart.data();
        for (int red = 0; red < 256; ++red) {
            ahead[red] = limit;
            start[red] = 1;
            if (red == 0xFF) continue;
            const long long s = DepthShift((family ? 0xFF0000u : 0u) | static_cast<Colour>(red), step);
            long long first = s + period;
            if (first < 1) {
                start[red] = static_cast<int>(first);
                table.anyBackward = true;
                first += (-first / period + 1) * period;
            }
            ahead[red] = static_cast<int>(std::min<long long>(first, limit));
        }
    }
    return table;
}

struct RowSetup {
    int period;
    int pictureWidth;
    int limit;        // columns of the row that chains can write
    int depthColumns; // columns with a depth pixel of their own
    int backgroundWidth;
    int step;
    ChainTable table;
};

// Memory of one thread.
struct RowScratch {
    // [0, limit): first the newest chain arriving at each column (the first
    // column right of its source that it covers), then the newest chain
    // covering it; chains are held by their source's byte offset in the row,
    // -1 for none. [limit, 2 limit) takes the chains that arrive nowhere.
    std::vector<int> owner;
};

void CopyPixel(std::uint8_t* row, std::size_t to, std::size_t from) { std::memcpy(row + to, row + from, 3); }

// The colour a column holds when the left-to-right pass reaches it is the
// colour of the newest chain made before then that covers it, or the
// untouched background; a chain takes the colour its source held then. The
// newest chain covering a column is the one arriving there or the one
// covering the column a period to the left, whichever is newer; which chains
// those are follows from the depth row alone, and the source of each lies
// left of the columns it reaches, so one pass from left to right copies
// every column's colour from its owner's source, already final. Chains that
// start at or left of their source also overwrite columns the pass has gone
// by; those writes follow, in the order of their sources, which keep the
// colours they had when the pass reached them.
void TransformRow(std::uint8_t* row, const std::uint8_t* depth, const RowSetup& setup, RowScratch& scratch)
{
    const int period = setup.period;
    const int limit = setup.limit;
    const ChainTable& table = setup.table;
    const int direct = std::min(setup.depthColumns, limit); // sources inside the background
    int* owner = scratch.owner.data();
    std::fill(owner, owner + limit, -1);

    for (int x = 0; x < direct; ++x) {
        const std::uint8_t* d = depth + 3 * static_cast<std::size_t>(x);
        owner[x + table.Ahead(d)[d[2]]] = 3 * x; // a later chain arriving at the same column is newer
    }
    for (int c = period; c < limit; c += period) {
        int* here = owner + c;
        const int* left = here - period;
        const int n = std::min(period, limit - c);
        for (int i = 0; i < n; ++i) here[i] = std::max(here[i], left[i]);
    }
    for (int c = 0; c < limit; ++c)
        if (owner[c] >= 0) CopyPixel(row, 3 * static_cast<std::size_t>(c), static_cast<std::size_t>(owner[c]));

    // A chain starting at or beyond the picture width makes only its first
    // copy, which can still land in a wider background, where nothing reads
    // it. Made before the late writes, which may change the sources.
    if (setup.backgroundWidth > setup.pictureWidth)
        for (int x = 0; x < setup.depthColumns; ++x) {
            const std::uint8_t* d = depth + 3 * static_cast<std::size_t>(x);
            if (d[2] == 0xFF) continue;
            const Colour colour = static_cast<Colour>(d[0]) << 16 | d[2];
            const long long start = static_cast<long long>(x) + DepthShift(colour, setup.step) + period;
            if (start >= setup.pictureWidth && start < setup.backgroundWidth)
                CopyPixel(row, 3 * static_cast<std::size_t>(start), 3 * static_cast<std::size_t>(x));
        }
    if (!table.anyBackward) return;
    auto start = [&](int x) {
        const std::uint8_t* d = depth + 3 * static_cast<std::size_t>(x);
        return x + (d[0] == 0xFF ? table.blueStart : table.blackStart)[d[2]];
    };
    const std::size_t pitch = 3 * static_cast<std::size_t>(period);
    for (int x = 0; x < direct; ++x) {
        int c = start(x);
        if (c > x) continue;
        if (c < 0) c += (-c + period - 1) / period * period;
        const std::size_t from = 3 * static_cast<std::size_t>(x);
        for (std::size_t to = 3 * static_cast<std::size_t>(c); to <= from; to += pitch) CopyPixel(row, to, from);
    }
    // Depth columns beyond a narrower background read white there.
    for (int x = direct; x < setup.depthColumns; ++x) {
        int c = start(x);
        if (c > x) continue;
        if (c < 0) c += (-c + period - 1) / period * period;
        for (; c < limit; c += period) std::memset(row + 3 * static_cast<std::size_t>(c), 0xFF, 3);
    }
}

} // namespace

void GenerateStereogram(CDibImage& background, const CDibImage& depthMap, const StereogramParams& params)
{
    // A thread is worth starting for a hundred thousand pixels or so.
    const long long pixels = static_cast<long long>(std::clamp(params.pictureHeight, 0, background.Height())) *
                             std::clamp(params.pictureWidth, 0, background.Width());
    GenerateStereogram(background, depthMap, params,
                       static_cast<int>(std::clamp<long long>(pixels >> 17, 1, MachineRowThreads())));
}

void GenerateStereogram(CDibImage& background, const CDibImage& depthMap, const StereogramParams& params, int threads)
{
    const int period = params.period;
    const int columns = params.pictureWidth - period;
    if (period < 1 || columns <= 0 || background.Empty()) return;
    const int limit = std::min(params.pictureWidth, background.Width());
    const int depthColumns = std::min(columns, depthMap.Width());
    const int rows = std::min({params.pictureHeight, background.Height(), depthMap.Height()}); // rows beyond the depth map are flat
    if (depthColumns <= 0 || rows <= 0) return;
    const int step = FeelStep(params.feel);
    const RowSetup setup{period, params.pictureWidth, limit, depthColumns, background.Width(), step,
                         MakeChainTable(step, period, limit)};

    constexpr int kBandRows = 16;
    threads = std::clamp(threads, 1, std::min(kMaxRowThreads, (rows - 1) / kBandRows + 1)); // a band each at most
    std::vector<RowScratch> scratch(static_cast<std::size_t>(threads));
    for (RowScratch& s : scratch) s.owner.resize(2 * static_cast<std::size_t>(limit));
    ForEachRowBand(rows, threads, kBandRows, [&](int first, int last, int worker) {
        for (int y = first; y < last; ++y)
            TransformRow(background.Bits() + static_cast<std::size_t>(background.Height() - 1 - y) * background.Stride(),
                         depthMap.Bits() + static_cast<std::size_t>(depthMap.Height() - 1 - y) * depthMap.Stride(), setup,
                         scratch[static_cast<std::size_t>(worker)]);
    });
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
