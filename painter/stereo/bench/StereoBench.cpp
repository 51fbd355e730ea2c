// Tiling, the random tile and stereogram generation at the default and at a
// 4K picture size, each beside the plain pass it is measured against: a copy
// of the picture for tiling and the random tile, and for the stereogram the
// floor, one pass that reads every depth pixel once and writes every picture
// pixel once (a copy of each depth row into its picture row). Times are
// wall-clock; the CPU time is the whole process's, every thread's included,
// so that a pass on several threads costs what all of them spend.
//
// Arguments of the stereogram cases: picture width and height, period, feel,
// the depth map's family (0 black, 1 blue, 2 both) and threads (0: one per
// core).
#include "painter/stereo/Background.h"
#include "painter/stereo/RowBands.h"
#include "painter/stereo/Stereogram.h"
#include "painter/stereo/tests/LiteralStereogram.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using rv::CDibImage;

void MakeTile(CDibImage& tile, int period)
{
    tile.Create(period, period);
    rv::CRandomSource random(12345);
    for (int y = 0; y < period; ++y)
        for (int x = 0; x < period; ++x)
            tile.SetPixel(x, y, static_cast<rv::Colour>(random.Next()) << 9 ^ static_cast<rv::Colour>(random.Next()));
}

// A busy depth map: bands of gradients over the whole red range, a few white
// gaps; of the black family, the blue family, or bands of each in turn.
void MakeBusyDepth(CDibImage& depth, int width, int height, int family)
{
    depth.Create(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int band = (x / 97 + y / 53) % 5;
            const int v = (x * 7 + y * 3) % 255;
            const rv::Colour black = static_cast<rv::Colour>(v) * 0x010101u;
            const rv::Colour blue = 0xFF0000u | static_cast<rv::Colour>(v) * 0x000101u;
            rv::Colour c = rv::kWhite;
            if (band != 0) c = family == 0 ? black : family == 1 ? blue : band % 2 ? black : blue;
            depth.SetPixel(x, y, c);
        }
}

rv::PictureLayout Layout(const benchmark::State& state)
{
    rv::PictureLayout layout;
    layout.pictureWidth = static_cast<int>(state.range(0));
    layout.pictureHeight = static_cast<int>(state.range(1));
    layout.period = static_cast<int>(state.range(2));
    layout.tileHeight = layout.period;
    return layout;
}

int Threads(std::int64_t arg) { return arg == 0 ? rv::MachineRowThreads() : static_cast<int>(arg); }

void CopyBits(const CDibImage& from, CDibImage& to)
{
    std::memcpy(to.Bits(), from.Bits(), static_cast<std::size_t>(from.Height()) * from.Stride());
}

// Reads every depth pixel once and writes every picture pixel once: the
// depth row goes to the left of the picture row, white to the last period.
void Floor(CDibImage& picture, const CDibImage& depth, int threads)
{
    const int depthBytes = 3 * depth.Width();
    const int restBytes = 3 * (picture.Width() - depth.Width());
    rv::ForEachRowBand(picture.Height(), threads, 16, [&](int first, int last, int) {
        for (int y = first; y < last; ++y) {
            std::uint8_t* row = picture.Bits() + static_cast<std::size_t>(y) * picture.Stride();
            std::memcpy(row, depth.Bits() + static_cast<std::size_t>(y) * depth.Stride(), static_cast<std::size_t>(depthBytes));
            std::memset(row + depthBytes, 0xFF, static_cast<std::size_t>(restBytes));
        }
    });
}

enum class Pass { Generator, Literal, Floor };

// Every pass starts from the same tiled picture, restored outside the timing.
template <Pass kind>
void StereoPass(benchmark::State& state)
{
    const auto layout = Layout(state);
    const int feel = static_cast<int>(state.range(3));
    const int family = static_cast<int>(state.range(4));
    const int threads = Threads(state.range(5));
    CDibImage tiled, depth, picture;
    MakeTile(tiled, layout.period);
    rv::GenerateBackground(tiled, layout);
    MakeBusyDepth(depth, layout.DepthMapWidth(), layout.DepthMapHeight(), family);
    picture.Create(tiled.Width(), tiled.Height());
    for (auto _ : state) {
        state.PauseTiming();
        CopyBits(tiled, picture);
        state.ResumeTiming();
        if constexpr (kind == Pass::Generator)
            rv::GenerateStereogram(picture, depth, {layout.pictureWidth, layout.pictureHeight, layout.period, feel}, threads);
        else if constexpr (kind == Pass::Literal)
            rv::testing::LiteralGenerateStereogram(picture, depth, layout.pictureWidth, layout.pictureHeight,
                                                   layout.period, feel);
        else
            Floor(picture, depth, threads);
        benchmark::DoNotOptimize(picture.Bits());
        benchmark::ClobberMemory();
    }
    state.counters["threads"] = kind == Pass::Literal ? 1 : threads;
}
void BM_GenerateStereogram(benchmark::State& state) { StereoPass<Pass::Generator>(state); }
void BM_LiteralStereogram(benchmark::State& state) { StereoPass<Pass::Literal>(state); }
void BM_StereogramFloor(benchmark::State& state) { StereoPass<Pass::Floor>(state); }

void BM_GenerateBackground(benchmark::State& state)
{
    const auto layout = Layout(state);
    CDibImage tile;
    MakeTile(tile, layout.period);
    for (auto _ : state) {
        CDibImage picture; // the tile, then the tiled picture
        picture.Create(tile.Width(), tile.Height());
        CopyBits(tile, picture);
        rv::GenerateBackground(picture, layout);
        benchmark::DoNotOptimize(picture.Bits());
    }
}

void BM_RandomBackground(benchmark::State& state)
{
    rv::CRandomSource random;
    for (auto _ : state) {
        CDibImage tile;
        rv::PictureLayout layout;
        rv::RandomBackground(tile, layout, random);
        benchmark::DoNotOptimize(tile.Bits());
    }
}

// What tiling and the random tile are measured against: a new picture of
// that size, made and copied into.
void BM_PlainCopy(benchmark::State& state)
{
    CDibImage source;
    source.Create(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        CDibImage copy;
        copy.Create(source.Width(), source.Height());
        CopyBits(source, copy);
        benchmark::DoNotOptimize(copy.Bits());
    }
}

struct Size {
    int w, h;
};
constexpr Size kSizes[] = {{800, 600}, {3840, 2160}};

void StereoCases(benchmark::internal::Benchmark* b, bool withFeelAndFamily, bool withThreads)
{
    const std::vector<int> feels = withFeelAndFamily ? std::vector<int>{15, 240} : std::vector<int>{15};
    const std::vector<int> families = withFeelAndFamily ? std::vector<int>{0, 1, 2} : std::vector<int>{2};
    const std::vector<int> threadCounts = withThreads ? std::vector<int>{1, 0} : std::vector<int>{1};
    for (auto [w, h] : kSizes)
        for (int period : {64, 100})
            for (int feel : feels)
                for (int family : families)
                    for (int threads : threadCounts) b->Args({w, h, period, feel, family, threads});
    b->ArgNames({"w", "h", "period", "feel", "family", "threads"})->Unit(benchmark::kMillisecond)->UseRealTime()
        ->MeasureProcessCPUTime();
}

BENCHMARK(BM_StereogramFloor)->Apply([](auto* b) { StereoCases(b, false, true); });
BENCHMARK(BM_GenerateStereogram)->Apply([](auto* b) { StereoCases(b, true, true); });
BENCHMARK(BM_LiteralStereogram)->Apply([](auto* b) { StereoCases(b, true, false); });

BENCHMARK(BM_GenerateBackground)->Apply([](auto* b) {
    for (auto [w, h] : kSizes)
        for (int period : {64, 100}) b->Args({w, h, period});
    b->ArgNames({"w", "h", "period"})->Unit(benchmark::kMillisecond);
});
BENCHMARK(BM_RandomBackground)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainCopy)->Args({rv::kRandomTileWidth, rv::kRandomTileHeight})->Args({800, 600})->Args({3840, 2160})
    ->ArgNames({"w", "h"})->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
