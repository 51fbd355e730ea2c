#include "painter/stereo/Stereogram.h"

#include "painter/stereo/RowBands.h"

#include "painter/stereo/tests/ImageTestUtil.h"
#include "painter/stereo/tests/LiteralStereogram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

namespace rv {
namespace {

using testing::CopyImage;
using testing::FillRandom;
using testing::LiteralGenerateStereogram;
using testing::SameBlock;

constexpr Colour Grey(int v) { return static_cast<Colour>(v) * 0x010101u; }
constexpr Colour Blue(int v) { return 0xFF0000u | static_cast<Colour>(v) * 0x000101u; }

std::vector<Colour> Row(const CDibImage& img, int y)
{
    std::vector<Colour> row;
    for (int x = 0; x < img.Width(); ++x) row.push_back(img.GetPixel(x, y));
    return row;
}

TEST(StereogramShift, StepComesFromTheFeel)
{
    EXPECT_EQ(FeelStep(15), 16);
    EXPECT_EQ(FeelStep(1), 240);
    EXPECT_EQ(FeelStep(120), 2);
    for (int feel = 121; feel <= 240; ++feel) EXPECT_EQ(FeelStep(feel), 1) << feel;
    // Out-of-range feels never give a zero or negative step.
    EXPECT_EQ(FeelStep(0), 240);
    EXPECT_EQ(FeelStep(-5), 240);
    EXPECT_EQ(FeelStep(241), 1);
}

TEST(StereogramShift, FamiliesShiftInOppositeDirections)
{
    EXPECT_FALSE(HasDepth(kWhite));
    EXPECT_FALSE(HasDepth(0x0000FF));        // any colour with full red is flat
    EXPECT_TRUE(HasDepth(Blue(254)));
    const int step15 = FeelStep(15);
    EXPECT_EQ(DepthShift(Grey(160), step15), -10);
    EXPECT_EQ(DepthShift(Blue(0), step15), 15);
    EXPECT_EQ(DepthShift(Blue(240), step15), 0);
    EXPECT_EQ(DepthShift(Grey(0), step15), 0);
    const int step1 = FeelStep(1);
    for (int v = 0; v < 255; ++v) {
        EXPECT_EQ(DepthShift(Grey(v), step1), v >= 240 ? -1 : 0) << v;
        EXPECT_EQ(DepthShift(Blue(v), step1), v == 0 ? 1 : 0) << v;
    }
    EXPECT_EQ(DepthShift(Blue(250), 1), -10);
    // Green does not matter; blue decides the family.
    EXPECT_EQ(DepthShift(0x0000A0, step15), DepthShift(0x00FFA0, step15));
    EXPECT_EQ(DepthShift(0xFF00A0, step15), DepthShift(Blue(0xA0), step15));
}

// Background row a b c d a b c d a b, depth white except column 1 (grey 32).
TEST(Stereogram, WorkedRowCopiesAndPropagates)
{
    const Colour a = 0x112233, b = 0x445566, c = 0x778899, d = 0xAABBCC;
    CDibImage bg;
    ASSERT_TRUE(bg.Create(10, 1));
    const Colour pattern[4] = {a, b, c, d};
    for (int x = 0; x < 10; ++x) bg.SetPixel(x, 0, pattern[x % 4]);
    CDibImage depth;
    ASSERT_TRUE(depth.Create(6, 1));
    depth.SetPixel(1, 0, Grey(32));

    CDibImage once;
    CopyImage(bg, once);
    GenerateStereogram(once, depth, {10, 1, 4, 15});
    EXPECT_EQ(Row(once, 0), (std::vector<Colour>{a, b, c, b, a, b, c, b, a, b}));

    // A depth pixel at column 3 (black, no shift) now reads b, not d.
    depth.SetPixel(3, 0, Grey(0));
    GenerateStereogram(bg, depth, {10, 1, 4, 15});
    EXPECT_EQ(Row(bg, 0), (std::vector<Colour>{a, b, c, b, a, b, c, b, a, b}));
    depth.SetPixel(3, 0, Blue(224)); // shift +1: b lands on 8, not d
    CDibImage again;
    ASSERT_TRUE(again.Create(10, 1));
    for (int x = 0; x < 10; ++x) again.SetPixel(x, 0, pattern[x % 4]);
    GenerateStereogram(again, depth, {10, 1, 4, 15});
    EXPECT_EQ(Row(again, 0), (std::vector<Colour>{a, b, c, b, a, b, c, b, b, b}));
}

TEST(Stereogram, FlatAndUnshiftedDepthLeaveAPeriodicBackgroundAlone)
{
    std::mt19937 rng(7);
    CDibImage tile;
    ASSERT_TRUE(tile.Create(37, 1));
    FillRandom(tile, rng);
    CDibImage bg;
    ASSERT_TRUE(bg.Create(300, 20));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 300; ++x) bg.SetPixel(x, y, tile.GetPixel(x % 37, 0));
    CDibImage before;
    CopyImage(bg, before);

    CDibImage depth;
    ASSERT_TRUE(depth.Create(300 - 37, 20));
    GenerateStereogram(bg, depth, {300, 20, 37, 15});
    EXPECT_TRUE(SameBlock(bg, before)) << "white depth";

    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < depth.Width(); ++x) depth.SetPixel(x, y, (x + y) % 3 ? Grey(0) : Blue(240));
    GenerateStereogram(bg, depth, {300, 20, 37, 15});
    EXPECT_TRUE(SameBlock(bg, before)) << "shift 0 everywhere";
}

TEST(Stereogram, GreenHasNoEffect)
{
    std::mt19937 rng(3);
    CDibImage bg1, bg2, depth1, depth2;
    ASSERT_TRUE(bg1.Create(200, 8));
    FillRandom(bg1, rng);
    CopyImage(bg1, bg2);
    ASSERT_TRUE(depth1.Create(150, 8));
    ASSERT_TRUE(depth2.Create(150, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 150; ++x) {
            const Colour base = (x / 10 + y) % 2 ? Grey(x) : Blue(x);
            depth1.SetPixel(x, y, base);
            depth2.SetPixel(x, y, (base & 0xFF00FFu) | (rng() & 0xFF00u));
        }
    GenerateStereogram(bg1, depth1, {200, 8, 50, 40});
    GenerateStereogram(bg2, depth2, {200, 8, 50, 40});
    EXPECT_TRUE(SameBlock(bg1, bg2));
}

TEST(Stereogram, OnlyTheColumnsLeftOfTheLastPeriodAreRead)
{
    // The period grew after the depth map was made: depth columns from
    // pictureWidth - period on belong to no column and are not read.
    std::mt19937 rng(11);
    CDibImage bg, before, depth;
    ASSERT_TRUE(bg.Create(120, 4));
    FillRandom(bg, rng);
    CopyImage(bg, before);
    ASSERT_TRUE(depth.Create(100, 4)); // made for period 20
    for (int y = 0; y < 4; ++y)
        for (int x = 70; x < 100; ++x) depth.SetPixel(x, y, Blue(0));
    GenerateStereogram(bg, depth, {120, 4, 50, 15}); // now period 50: columns 0..69
    EXPECT_TRUE(SameBlock(bg, before));
}

TEST(Stereogram, UnusableSizesChangeNothing)
{
    std::mt19937 rng(5);
    CDibImage bg, before, depth;
    ASSERT_TRUE(bg.Create(60, 3));
    FillRandom(bg, rng);
    CopyImage(bg, before);
    ASSERT_TRUE(depth.Create(60, 3));
    for (int x = 0; x < 60; ++x) depth.SetPixel(x, 1, Grey(100));
    GenerateStereogram(bg, depth, {60, 3, 0, 15});   // no period
    GenerateStereogram(bg, depth, {60, 3, -4, 15});
    GenerateStereogram(bg, depth, {60, 3, 60, 15});  // no column left of the last period
    GenerateStereogram(bg, depth, {60, 0, 10, 15});  // no rows
    EXPECT_TRUE(SameBlock(bg, before));
    CDibImage empty;
    GenerateStereogram(empty, depth, {60, 3, 10, 15});
    EXPECT_TRUE(empty.Empty());
}

TEST(Stereogram, APictureWidthFarBeyondTheBackgroundOnlyReachesTheBackground)
{
    // New settings may make the picture width huge while the background
    // keeps its size; only the background's columns can change, so the
    // literal transform over a width just covering depth map and background
    // gives the same picture.
    std::mt19937 rng(21);
    CDibImage fast, literal, depth;
    ASSERT_TRUE(fast.Create(60, 5));
    FillRandom(fast, rng);
    CopyImage(fast, literal);
    ASSERT_TRUE(depth.Create(30, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 30; ++x) depth.SetPixel(x, y, x % 2 ? Grey(static_cast<int>(rng() % 255)) : Blue(static_cast<int>(rng() % 255)));
    GenerateStereogram(fast, depth, {1 << 30, 5, 10, 200});
    LiteralGenerateStereogram(literal, depth, 60 + 10, 5, 10, 200);
    EXPECT_TRUE(SameBlock(fast, literal));

    // With a period far wider than the background every copy lands beyond it.
    GenerateStereogram(fast, depth, {1 << 30, 5, 1 << 29, 15});
    EXPECT_TRUE(SameBlock(fast, literal));
}

// A depth row drawn the way painted maps look: runs of white, of one black
// value and of one blue value, with now and then a single odd pixel.
Colour RandomDepth(std::mt19937& rng)
{
    // The ends of each family's range: the largest shifts either way, the
    // last red before flat, blue one short of the blue family, and full red
    // with any blue (flat).
    static constexpr Colour kEdges[] = {Grey(0), Grey(254), Blue(0), Blue(254), Blue(240), Blue(241),
                                        0xFE00FEu, 0xFE0000u, 0xFF00FFu, 0x0000FFu};
    switch (rng() % 5) {
    case 0: return kWhite;
    case 1: return Grey(static_cast<int>(rng() % 255));
    case 2: return Blue(static_cast<int>(rng() % 255));
    case 3: return kEdges[rng() % std::size(kEdges)];
    default: return rng() & 0xFFFFFF; // any colour at all
    }
}

void FillDepth(CDibImage& depth, std::mt19937& rng)
{
    for (int y = 0; y < depth.Height(); ++y) {
        Colour run = kWhite;
        for (int x = 0; x < depth.Width(); ++x) {
            if (rng() % 16 == 0) run = RandomDepth(rng);
            depth.SetPixel(x, y, rng() % 40 == 0 ? RandomDepth(rng) : run);
        }
    }
}

TEST(Stereogram, MatchesTheLiteralTransformOnRandomRows)
{
    std::mt19937 rng(20261208);
    int compared = 0, backwardRounds = 0;
    for (int round = 0; round < 2000; ++round) {
        const int period = 1 + static_cast<int>(rng() % 300);
        const int width = period + 1 + static_cast<int>(rng() % 360);
        const int height = 1 + static_cast<int>(rng() % 3);
        // High feels (step 1 or 2) with small periods make chains that start
        // left of their source column.
        const int feel = rng() % 3 == 0 ? 100 + static_cast<int>(rng() % 141) : 1 + static_cast<int>(rng() % 240);

        // The depth map usually fits; sometimes it was made for another period
        // or picture height, or is empty.
        int depthWidth = width - period, depthHeight = height;
        switch (rng() % 5) {
        case 0: depthWidth += static_cast<int>(rng() % 200); break;
        case 1: depthWidth = 1 + static_cast<int>(rng() % depthWidth); depthHeight += static_cast<int>(rng() % 3); break;
        case 2: depthHeight = 1 + static_cast<int>(rng() % height); break;
        default: break;
        }
        CDibImage depth;
        if (rng() % 50 != 0) {
            ASSERT_TRUE(depth.Create(depthWidth, depthHeight));
            FillDepth(depth, rng);
        }
        // The background usually has the picture size; after new settings it
        // may not.
        int bgWidth = width, bgHeight = height;
        if (rng() % 6 == 0) bgWidth = 1 + static_cast<int>(rng() % (width + 100));
        if (rng() % 6 == 0) bgHeight = 1 + static_cast<int>(rng() % (height + 2));
        CDibImage fast, literal;
        ASSERT_TRUE(fast.Create(bgWidth, bgHeight));
        FillRandom(fast, rng);
        CopyImage(fast, literal);

        // Count the rounds whose rows hold a chain starting left of its
        // source column (shift below minus the period).
        bool backwards = false;
        for (int y = 0; y < height && !backwards; ++y)
            for (int x = 0; x < width - period; ++x) {
                const Colour d = depth.GetPixel(x, y);
                if (HasDepth(d) && DepthShift(d, FeelStep(feel)) < -period) backwards = true;
            }
        backwardRounds += backwards;

        GenerateStereogram(fast, depth, {width, height, period, feel});
        LiteralGenerateStereogram(literal, depth, width, height, period, feel);
        ASSERT_TRUE(SameBlock(fast, literal)) << "round " << round << ": width " << width << " height " << height
                                              << " period " << period << " feel " << feel << " depth " << depthWidth
                                              << "x" << depthHeight << " background " << bgWidth << "x" << bgHeight;
        ++compared;
    }
    EXPECT_EQ(compared, 2000);
    EXPECT_GT(backwardRounds, 100);
}

// Rows are shared among threads; the picture must not depend on how many.
TEST(Stereogram, AnyThreadCountGivesTheLiteralPicture)
{
    std::mt19937 rng(20261209);
    const int most = std::max(8, MachineRowThreads() + 2);
    for (int round = 0; round < 12; ++round) {
        // Periods of the bundled tiles and the random tile, and small ones;
        // feels that give forward chains only and ones that start chains left
        // of their source; odd widths, heights of a few bands of rows.
        const int period = std::array{64, 100, 7, 33}[static_cast<std::size_t>(round % 4)];
        const int feel = std::array{15, 240, 1 + static_cast<int>(rng() % 240)}[static_cast<std::size_t>(round % 3)];
        const int width = period + 1 + 2 * static_cast<int>(rng() % 200);
        const int height = 17 + static_cast<int>(rng() % 120);
        CDibImage original, literal, depth;
        ASSERT_TRUE(original.Create(width, height));
        FillRandom(original, rng);
        CopyImage(original, literal);
        ASSERT_TRUE(depth.Create(width - period, height));
        FillDepth(depth, rng);
        LiteralGenerateStereogram(literal, depth, width, height, period, feel);
        for (int threads = 1; threads <= most; ++threads) {
            CDibImage fast;
            CopyImage(original, fast);
            GenerateStereogram(fast, depth, {width, height, period, feel}, threads);
            ASSERT_TRUE(SameBlock(fast, literal)) << "round " << round << ": " << width << "x" << height << " period "
                                                  << period << " feel " << feel << " threads " << threads;
        }
    }
}

// Depth maps where every pixel differs from the next (gradients over the
// whole red range, as the benchmarks use), at a 4K row width and one more,
// and at the widest row whose chains are held in 16 bits and one more, for
// the bundled periods and the ends of the feel range, each family alone and
// both in turn: the shift changes at almost every column.
TEST(Stereogram, MatchesTheLiteralTransformOnBusyWideRows)
{
    std::mt19937 rng(4096);
    for (int width : {3840, 3841, 16383, 16384})
        for (int period : {64, 100})
            for (int feel : {15, 240, 1 + static_cast<int>(rng() % 240)})
                for (int family = 0; family < 3; ++family) {
                    const int height = width < 10000 ? 3 : 1;
                    CDibImage fast, literal, depth;
                    ASSERT_TRUE(fast.Create(width, height));
                    FillRandom(fast, rng);
                    CopyImage(fast, literal);
                    ASSERT_TRUE(depth.Create(width - period, height));
                    const int slope = 1 + static_cast<int>(rng() % 11), offset = static_cast<int>(rng() % 255);
                    for (int y = 0; y < height; ++y)
                        for (int x = 0; x < depth.Width(); ++x) {
                            const int v = (x * slope + offset + y) % 255;
                            const bool blue = family == 1 || (family == 2 && (x / 97) % 2 == 1);
                            depth.SetPixel(x, y, (x / 61) % 5 == 0 ? kWhite : blue ? Blue(v) : Grey(v));
                        }
                    LiteralGenerateStereogram(literal, depth, width, height, period, feel);
                    GenerateStereogram(fast, depth, {width, height, period, feel});
                    ASSERT_TRUE(SameBlock(fast, literal))
                        << "width " << width << " period " << period << " feel " << feel << " family " << family;
                }
}

// At the default picture size the rows are shared among the machine's cores.
TEST(Stereogram, MatchesTheLiteralTransformOnAFullPicture)
{
    std::mt19937 rng(99);
    for (auto [period, feel] : {std::pair{100, 15}, {64, 240}, {7, 15}}) {
        CDibImage fast, literal, depth;
        ASSERT_TRUE(fast.Create(800, 600));
        FillRandom(fast, rng);
        CopyImage(fast, literal);
        ASSERT_TRUE(depth.Create(800 - period, 600));
        FillDepth(depth, rng);
        GenerateStereogram(fast, depth, {800, 600, period, feel});
        LiteralGenerateStereogram(literal, depth, 800, 600, period, feel);
        EXPECT_TRUE(SameBlock(fast, literal)) << period << " " << feel;
    }
}

} // namespace
} // namespace rv
