// Tiling and stereogram generation at the default and at a 4K picture size.
#include "painter/stereo/Background.h"
#include "painter/stereo/Stereogram.h"
#include "painter/stereo/tests/LiteralStereogram.h"

#include <benchmark/benchmark.h>

#include <cstring>

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

// A busy depth map: bands of the black family and the blue family with
// gradients, a few white gaps.
void MakeBusyDepth(CDibImage& depth, int width, int height)
{
    depth.Create(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int band = (x / 97 + y / 53) % 5;
            const int v = (x * 7 + y * 3) % 255;
            rv::Colour c = rv::kWhite;
            if (band == 1 || band == 3) c = static_cast<rv::Colour>(v) * 0x010101u;
            if (band == 2 || band == 4) c = 0xFF0000u | static_cast<rv::Colour>(v) * 0x000101u;
            depth.SetPixel(x, y, c);
        }
}

rv::PictureLayout Layout(int width, int height, int period)
{
    rv::PictureLayout layout;
    layout.pictureWidth = width;
    layout.pictureHeight = height;
    layout.period = period;
    layout.tileHeight = period;
    return layout;
}

void BM_GenerateBackground(benchmark::State& state)
{
    const auto layout = Layout(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                               static_cast<int>(state.range(2)));
    CDibImage tile;
    MakeTile(tile, layout.period);
    for (auto _ : state) {
        CDibImage bg;
        bg.Create(tile.Width(), tile.Height());
        std::memcpy(bg.Bits(), tile.Bits(), static_cast<std::size_t>(tile.Height()) * tile.Stride());
        rv::GenerateBackground(bg, layout);
        benchmark::DoNotOptimize(bg.Bits());
    }
}

template <bool Literal>
void Stereogram(benchmark::State& state)
{
    const auto layout = Layout(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                               static_cast<int>(state.range(2)));
    CDibImage tile, tiled, depth;
    MakeTile(tile, layout.period);
    tiled.Create(tile.Width(), tile.Height());
    std::memcpy(tiled.Bits(), tile.Bits(), static_cast<std::size_t>(tile.Height()) * tile.Stride());
    rv::GenerateBackground(tiled, layout);
    MakeBusyDepth(depth, layout.DepthMapWidth(), layout.DepthMapHeight());
    CDibImage bg;
    bg.Create(tiled.Width(), tiled.Height());
    const std::size_t bytes = static_cast<std::size_t>(tiled.Height()) * tiled.Stride();
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(bg.Bits(), tiled.Bits(), bytes);
        state.ResumeTiming();
        if constexpr (Literal)
            rv::testing::LiteralGenerateStereogram(bg, depth, layout.pictureWidth, layout.pictureHeight,
                                                   layout.period, 15);
        else
            rv::GenerateStereogram(bg, depth, {layout.pictureWidth, layout.pictureHeight, layout.period, 15});
        benchmark::DoNotOptimize(bg.Bits());
    }
}
void BM_GenerateStereogram(benchmark::State& state) { Stereogram<false>(state); }
void BM_LiteralStereogram(benchmark::State& state) { Stereogram<true>(state); }

void Sizes(benchmark::internal::Benchmark* b)
{
    for (int period : {100, 64}) {
        b->Args({800, 600, period});
        b->Args({3840, 2160, period});
    }
    b->ArgNames({"w", "h", "period"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_GenerateBackground)->Apply(Sizes);
BENCHMARK(BM_GenerateStereogram)->Apply(Sizes);
BENCHMARK(BM_LiteralStereogram)->Apply(Sizes);

} // namespace

BENCHMARK_MAIN();
