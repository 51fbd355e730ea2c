#include "painter/stereo/Stereogram.h"

#include "painter/stereo/RowBands.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace rv {

int FeelStep(int feel) { return 240 / std::clamp(feel, kMinFeel, kMaxFeel); }

namespace {

// The colours whose chain starts at or left of its source: in each family
// (black, blue) the reds from this one to 254, as the copy distance only
// shrinks as red grows; 255, no depth, never does.
using BackwardReds = std::array<std::uint8_t, 2>;
constexpr BackwardReds kNoBackward{0xFF, 0xFF};

// What a depth colour does in its row, by family and red value: tables
// indexed by red, plus 256 for the blue family (blue 255). A chain of copies
// starts at source + s + period and covers every period from there to the
// right edge.
struct ChainTable {
    // From the source to the first column right of it that the chain covers;
    // `limit` (which puts it past every column the row can write) when that
    // column lies outside them, and for flat colours.
    std::array<std::int32_t, 512> ahead{};
    // From the source to the first write of a chain that starts at or left
    // of its source, s + period (from -253 to 0): such a chain also
    // overwrites columns already passed. `limit` for every other colour.
    std::array<std::int32_t, 512> start{};
    // The colours that start their chain at or left of the source.
    BackwardReds backward = kNoBackward;
    bool anyBackward = false;
};

std::size_t TableIndex(const std::uint8_t* depthPixel) { return depthPixel[2] | ((depthPixel[0] + 1u) & 0x100u); }

// The table indices of n depth pixels, and with kFind whether any of them
// starts its chain at or left of its source (false without).
template <bool kFind>
bool TableIndices(const std::uint8_t* depth, int n, std::uint16_t* index, const BackwardReds& backward)
{
    bool any = false;
    for (int x = 0; x < n; ++x, depth += 3) {
        const std::size_t i = TableIndex(depth);
        index[x] = static_cast<std::uint16_t>(i);
        if constexpr (kFind) any |= depth[2] != 0xFF && depth[2] >= backward[i >> 8];
    }
    return any;
}

#if defined(__i386__) || defined(__x86_64__)
// Sixteen pixels at a time: their red and blue bytes picked out of the 48
// bytes they fill.
template <bool kFind>
__attribute__((target("ssse3"), force_align_arg_pointer)) bool TableIndicesSsse3(const std::uint8_t* depth, int n,
                                                                                std::uint16_t* index,
                                                                                const BackwardReds& backward)
{
    // Byte i of each mask picks the red (or blue) byte of pixel i from one of
    // the three loads; -1 leaves zero.
    const __m128i red0 = _mm_setr_epi8(2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i red1 = _mm_setr_epi8(-1, -1, -1, -1, -1, 1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1);
    const __m128i red2 = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 3, 6, 9, 12, 15);
    const __m128i blue0 = _mm_setr_epi8(0, 3, 6, 9, 12, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i blue1 = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, 2, 5, 8, 11, 14, -1, -1, -1, -1, -1);
    const __m128i blue2 = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1, 4, 7, 10, 13);
    const __m128i full = _mm_set1_epi8(-1), zero = _mm_setzero_si128(), family = _mm_set1_epi16(0x100);
    const __m128i blackFrom = _mm_set1_epi8(static_cast<char>(backward[0]));
    const __m128i blueFrom = _mm_set1_epi8(static_cast<char>(backward[1]));
    __m128i any = zero;
    int x = 0;
    for (; x + 16 <= n; x += 16, depth += 48) {
        const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(depth));
        const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(depth + 16));
        const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(depth + 32));
        const __m128i red = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(v0, red0), _mm_shuffle_epi8(v1, red1)),
                                         _mm_shuffle_epi8(v2, red2));
        const __m128i blue = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(v0, blue0), _mm_shuffle_epi8(v1, blue1)),
                                          _mm_shuffle_epi8(v2, blue2));
        const __m128i isBlue = _mm_cmpeq_epi8(blue, full);
        if constexpr (kFind) {
            // red >= its family's first backward red, and not 255.
            const __m128i first = _mm_or_si128(_mm_and_si128(isBlue, blueFrom), _mm_andnot_si128(isBlue, blackFrom));
            any = _mm_or_si128(any, _mm_andnot_si128(_mm_cmpeq_epi8(red, full), _mm_cmpeq_epi8(_mm_max_epu8(red, first), red)));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(index + x),
                         _mm_or_si128(_mm_unpacklo_epi8(red, zero), _mm_and_si128(_mm_unpacklo_epi8(isBlue, isBlue), family)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(index + x + 8),
                         _mm_or_si128(_mm_unpackhi_epi8(red, zero), _mm_and_si128(_mm_unpackhi_epi8(isBlue, isBlue), family)));
    }
    return TableIndices<kFind>(depth, n - x, index + x, backward) | (_mm_movemask_epi8(any) != 0);
}
#endif

using TableIndexFunction = bool (*)(const std::uint8_t* depth, int n, std::uint16_t* index, const BackwardReds& backward);

// The table indices alone, and with the look for chains starting at or left
// of their source.
struct TableIndexFunctions {
    TableIndexFunction plain, finding;
};

TableIndexFunctions FastestTableIndices()
{
#if defined(__i386__) || defined(__x86_64__)
    unsigned a, b, c, d;
    if (__get_cpuid(1, &a, &b, &c, &d) && (c & bit_SSSE3)) return {TableIndicesSsse3<false>, TableIndicesSsse3<true>};
#endif
    return {TableIndices<false>, TableIndices<true>};
}

ChainTable MakeChainTable(int step, int period, int limit)
{
    ChainTable table;
    for (int family = 0; family < 2; ++family)
        for (int red = 0; red < 256; ++red) {
            const int i = red + 256 * family;
            table.ahead[i] = table.start[i] = limit;
            if (red == 0xFF) continue;
            const long long s = DepthShift((family ? 0xFF0000u : 0u) | static_cast<Colour>(red), step);
            long long first = s + period;
            if (first < 1) {
                table.start[i] = static_cast<int>(first);
                table.backward[family] = std::min(table.backward[family], static_cast<std::uint8_t>(red));
                table.anyBackward = true;
                first += (-first / period + 1) * period;
            }
            table.ahead[i] = static_cast<int>(std::min<long long>(first, limit));
        }
    return table;
}

struct RowSetup {
    int period;
    int pictureWidth;
    int limit;        // columns of the row that chains can write
    int depthColumns; // columns with a depth pixel of their own
    int columns;      // limit or depthColumns, whichever is more
    int backgroundWidth;
    int step;
    ChainTable table;
    TableIndexFunctions tableIndices;
};

// Columns marked between two requests for the next row.
constexpr int kFetchBlock = 128;

// The pixel of a thread's `pixels` where the passed row starts, for a row
// of this many columns: after the row as it was and a pixel of room. Counted
// in pixels, not bytes, so that it fits an int for any row an image can have.
int PassedStart(int columns) { return columns + 2; }

template <typename Index>
std::vector<Index> Unmoved(int limit, int from)
{
    std::vector<Index> pixels(static_cast<std::size_t>(limit));
    for (int c = 0; c < limit; ++c) pixels[static_cast<std::size_t>(c)] = static_cast<Index>(from + c);
    return pixels;
}

// Chains are held by pixels of a thread's `pixels`, at most twice the row's
// columns and one more: in 16 bits where that fits (rows of up to 16,383
// columns), which halves the memory the marking and carrying passes go
// through, and in 32 bits for wider rows.
bool FitsShortIndex(int columns) { return 2 * columns + 1 <= std::numeric_limits<std::int16_t>::max(); }

// Chains that start left of the row reach it a few periods later.
constexpr int kLeftMargin = 256;

// Memory of one thread.
template <typename Index>
struct RowScratch {
    explicit RowScratch(const RowSetup& setup)
        : unmoved(Unmoved<Index>(setup.limit, 0)), passedUnmoved(Unmoved<Index>(setup.limit, PassedStart(setup.columns))),
          index(static_cast<std::size_t>(setup.depthColumns)), arrive(2 * static_cast<std::size_t>(setup.limit)),
          pixels(3 * (2 * static_cast<std::size_t>(setup.columns) + 2) + 4, 0xFF)
    {
        if (setup.table.anyBackward)
            owner.resize(kLeftMargin + static_cast<std::size_t>(setup.depthColumns) + static_cast<std::size_t>(setup.limit));
    }
    // Each column to limit as it was, and as the pass left it: pixels of
    // `pixels`.
    std::vector<Index> unmoved, passedUnmoved;
    // The table index of each depth pixel of the row, or of a block of them.
    std::vector<std::uint16_t> index;
    // Where each column's colour comes from, a pixel of `pixels`:
    // [0, limit) first the column itself as it was, then the newest chain
    // arriving there (the first column right of its source that it covers),
    // then the newest chain covering it from the left. A chain is held by
    // its source's pixel in the passed row, above every pixel of the row as
    // it was, so the newest chain is the largest value. [limit, 2 limit)
    // takes the chains that arrive nowhere.
    std::vector<Index> arrive;
    // From kLeftMargin on: the column itself as the pass left it, then the
    // newest chain starting at or left of its source there, then the newest
    // such chain covering it; -1 left of the row. Other chains cover only
    // columns right of their source, already final in the passed row.
    std::vector<Index> owner;
    // The row as it was, then from `PassedStart` the row as the
    // left-to-right pass leaves it (white from limit to columns); room after
    // each for four-byte moves.
    std::vector<std::uint8_t> pixels;
};

// here[i] = max(here[i], left[i]) for i < n; the two never overlap.
template <typename Index>
void TakeNewer(Index* __restrict here, const Index* __restrict left, int n)
{
    for (int i = 0; i < n; ++i) here[i] = std::max(here[i], left[i]);
}

// owner[c] = max(owner[c], owner[c - period]) for c from first + period to
// end, left to right: each column then holds the newest chain of all those
// covering it or the column a period to the left.
template <typename Index>
void SpreadByPeriod(Index* owner, int first, int end, int period)
{
    for (int c = first + period; c < end; c += period) TakeNewer(owner + c, owner + c - period, std::min(period, end - c));
}

// The row the thread does next, asked for from memory while this one is
// worked on, a little at a time, so that it is in the cache when needed.
struct NextRow {
    const std::uint8_t* picture = nullptr;
    std::size_t pictureBytes = 0;
    const std::uint8_t* depth = nullptr;
    std::size_t depthBytes = 0;

    // Bytes [from, to) of both rows, as far as each goes.
    void Fetch(std::size_t from, std::size_t to) const
    {
        for (std::size_t i = from; i < to; i += 64) {
            if (i < pictureBytes) __builtin_prefetch(picture + i);
            if (i < depthBytes) __builtin_prefetch(depth + i);
        }
    }
};

// Marks the chain of each of n sources at its column + offset[its table
// index] of `marks`; the newest (rightmost) source wins. The first source's
// chain is held by `value`, each next one's by 1 more.
template <typename Index>
void MarkChains(Index* __restrict marks, const std::uint16_t* __restrict index, int n, const std::int32_t* __restrict offset,
                int value)
{
#pragma GCC unroll 8
    for (int x = 0; x < n; ++x, ++marks, ++value) marks[offset[index[x]]] = static_cast<Index>(value);
}
// Both marks at once: at x + ahead in `arrive`, at x + start in `starts`.
template <typename Index>
void MarkChains(Index* __restrict arrive, Index* __restrict starts, const std::uint16_t* __restrict index, int n,
                const ChainTable& table, int value)
{
    const std::int32_t* __restrict ahead = table.ahead.data();
    const std::int32_t* __restrict start = table.start.data();
#pragma GCC unroll 8
    for (int x = 0; x < n; ++x, ++arrive, ++starts, ++value) {
        arrive[ahead[index[x]]] = static_cast<Index>(value);
        starts[start[index[x]]] = static_cast<Index>(value);
    }
}

// Four bytes moved, of which the fourth lands on the next pixel's first byte
// and is put right by the next move (or falls into room kept for it).
void Move4(std::uint8_t* to, const std::uint8_t* from) { std::memcpy(to, from, 4); }

// The colour a column holds when the left-to-right pass reaches it is the
// colour of the newest chain made before then that covers it, or the
// untouched background; a chain takes the colour its source held then. The
// newest chain covering a column is the one arriving there or the one
// covering the column a period to the left, whichever is newer; which chains
// those are follows from the depth row alone, and the source of each lies
// left of the columns it reaches, so one pass from left to right copies
// every column's colour from its owner's source, already final. Chains that
// start at or left of their source also overwrite columns the pass has gone
// by, and the newest chain of all covering a column decides its final
// colour: where that chain's source lies at or right of the column, the
// column takes the colour the source held when the pass reached it.
template <typename Index>
void TransformRow(std::uint8_t* row, const std::uint8_t* depth, const RowSetup& setup, RowScratch<Index>& scratch,
                  const NextRow& next)
{
    const int limit = setup.limit;
    const ChainTable& table = setup.table;
    const int direct = std::min(setup.depthColumns, limit); // sources inside the background
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(limit);
    std::uint8_t* pixels = scratch.pixels.data();
    const int passed = PassedStart(setup.columns);
    std::uint8_t* work = pixels + 3 * static_cast<std::size_t>(passed);
    std::memcpy(pixels, row, rowBytes);

    Index* arrive = scratch.arrive.data();
    std::memcpy(arrive, scratch.unmoved.data(), static_cast<std::size_t>(limit) * sizeof *arrive);
    // Where some colours start their chain at or left of their source, the
    // row's table indices are made first and tell whether it holds any;
    // otherwise they are made a block at a time as the chains are marked.
    std::uint16_t* index = scratch.index.data();
    const bool indexedFirst = table.anyBackward;
    const bool backward = indexedFirst && setup.tableIndices.finding(depth, setup.depthColumns, index, table.backward);
    Index* owner = backward ? scratch.owner.data() + kLeftMargin : nullptr;
    if (owner) {
        std::fill(owner - kLeftMargin, owner, -1);
        std::memcpy(owner, scratch.passedUnmoved.data(), static_cast<std::size_t>(limit) * sizeof *owner);
    }
    for (int x = 0; x < direct; x += kFetchBlock) {
        const int n = std::min(direct - x, kFetchBlock);
        next.Fetch(3 * static_cast<std::size_t>(x), 3 * static_cast<std::size_t>(x + n));
        // A block made here reuses the start of `index`, which stays in the cache.
        const std::uint16_t* block = indexedFirst ? index + x : index;
        if (!indexedFirst) setup.tableIndices.plain(depth + 3 * static_cast<std::size_t>(x), n, index, table.backward);
        if (owner)
            MarkChains(arrive + x, owner + x, block, n, table, passed + x);
        else
            MarkChains(arrive + x, block, n, table.ahead.data(), passed + x);
    }
    next.Fetch(3 * static_cast<std::size_t>(direct), 3 * static_cast<std::size_t>(std::max(limit, setup.depthColumns)));
    if (owner) MarkChains(owner + direct, index + direct, setup.depthColumns - direct, table.start.data(), passed + direct);
    // Each column from its owner's source, already final, or as it was.
    SpreadByPeriod(arrive, 0, limit, setup.period);
#pragma GCC unroll 8
    for (int c = 0; c < limit; ++c) Move4(work + 3 * static_cast<std::size_t>(c), pixels + 3 * static_cast<std::size_t>(arrive[c]));

    if (owner) {
        SpreadByPeriod(owner, -kLeftMargin, limit, setup.period);
        // Sources right of the background read white there.
        std::memset(work + rowBytes, 0xFF, 3 * static_cast<std::size_t>(setup.columns - limit) + 1);
#pragma GCC unroll 8
        for (int c = 0; c + 1 < limit; ++c) Move4(row + 3 * static_cast<std::size_t>(c), pixels + 3 * static_cast<std::size_t>(owner[c]));
        std::memcpy(row + 3 * static_cast<std::size_t>(limit - 1), pixels + 3 * static_cast<std::size_t>(owner[limit - 1]), 3);
    } else {
        std::memcpy(row, work, rowBytes);
    }

    // A chain starting at or beyond the picture width makes only its first
    // copy, which can still land in a wider background, where nothing reads
    // it; it takes the colour its source held when the pass reached it.
    if (setup.backgroundWidth > setup.pictureWidth)
        for (int x = 0; x < setup.depthColumns; ++x) {
            const std::uint8_t* d = depth + 3 * static_cast<std::size_t>(x);
            if (d[2] == 0xFF) continue;
            const Colour colour = static_cast<Colour>(d[0]) << 16 | d[2];
            const long long first = static_cast<long long>(x) + DepthShift(colour, setup.step) + setup.period;
            if (first >= setup.pictureWidth && first < setup.backgroundWidth)
                std::memcpy(row + 3 * static_cast<std::size_t>(first), work + 3 * static_cast<std::size_t>(x), 3);
        }
}

// The rows shared among the threads, each with its own memory.
template <typename Index>
void TransformRows(CDibImage& background, const CDibImage& depthMap, const RowSetup& setup, int rows, int threads)
{
    constexpr int kBandRows = 16;
    threads = std::clamp(threads, 1, std::min(kMaxRowThreads, (rows - 1) / kBandRows + 1)); // a band each at most
    std::vector<RowScratch<Index>> scratch(static_cast<std::size_t>(threads), RowScratch<Index>(setup));
    ForEachRowBand(rows, threads, kBandRows, [&](int first, int last, int worker) {
        auto rowOf = [](auto& image, int y) { return image.Bits() + static_cast<std::size_t>(image.Height() - 1 - y) * image.Stride(); };
        for (int y = first; y < last; ++y) {
            NextRow next;
            if (y + 1 < last)
                next = {rowOf(background, y + 1), 3 * static_cast<std::size_t>(setup.limit), rowOf(depthMap, y + 1),
                        3 * static_cast<std::size_t>(setup.depthColumns)};
            TransformRow(rowOf(background, y), rowOf(depthMap, y), setup, scratch[static_cast<std::size_t>(worker)], next);
        }
    });
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
    const int scratchColumns = std::max(limit, depthColumns);
    const RowSetup setup{period, params.pictureWidth, limit, depthColumns, scratchColumns, background.Width(),
                         step, MakeChainTable(step, period, limit), FastestTableIndices()};
    if (FitsShortIndex(scratchColumns))
        TransformRows<std::int16_t>(background, depthMap, setup, rows, threads);
    else
        TransformRows<int>(background, depthMap, setup, rows, threads);
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
