// Undo on a 1920 x 1080 canvas after 50 full-canvas gradient rectangles: the
// history's memory, the time of one undo (rows exchanged with the depth map),
// the time of packing the rows one such gesture changed (what each release
// pays) and, for scale, the time of one repaint of the view.
#include "painter/app/view/PaintScript.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace rv {
namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kSteps = 50;

std::unique_ptr<CPaintScriptPlayer> FiftyGradients()
{
    auto depth = std::make_unique<CDibImage>();
    depth->Create(kWidth, kHeight);
    auto player = std::make_unique<CPaintScriptPlayer>(std::move(depth));
    std::string problem;
    for (int i = 0; i < kSteps; ++i) {
        // Each drag runs corner to corner at its own slant and ramp, so every
        // row of the canvas changes at every step.
        const std::string script = "panel c2 " + std::to_string(i * 4 % 240) + "\ntool gradient-rect\ndown " +
                                   std::to_string(1 + 7 * i) + " 1\nmove 1900 " + std::to_string(1070 - 5 * i) +
                                   "\nup 1900 " + std::to_string(1070 - 5 * i) + "\n";
        if (!player->Run(script, problem)) std::fprintf(stderr, "%s\n", problem.c_str());
    }
    return player;
}

CPaintScriptPlayer& Shared()
{
    static std::unique_ptr<CPaintScriptPlayer> player = FiftyGradients();
    return *player;
}

void Undo1920x1080(benchmark::State& state)
{
    CPaintScriptPlayer& player = Shared();
    CDrawingView& view = player.View();
    for (auto _ : state) {
        view.Undo();
        state.PauseTiming();
        view.Redo();
        state.ResumeTiming();
    }
    const CUndoHistory& history = view.History();
    state.counters["steps"] = static_cast<double>(history.UndoCount());
    state.counters["history_MiB"] = static_cast<double>(history.Bytes()) / (1 << 20);
    state.counters["raw_MiB"] =
        static_cast<double>(kSteps) * kHeight * CDibImage::StrideFor(kWidth) / (1 << 20);
}
BENCHMARK(Undo1920x1080)->Unit(benchmark::kMillisecond);

// The step one gradient rectangle makes over another: every row changed, the
// rows before it a ramp of another slant.
void PackGradientStep1920x1080(benchmark::State& state)
{
    auto depth = std::make_unique<CDibImage>();
    depth->Create(kWidth, kHeight);
    CPaintScriptPlayer player(std::move(depth));
    std::string problem;
    if (!player.Run("panel c2 40\ntool gradient-rect\ndown 1 1\nmove 1900 1070\nup 1900 1070\n", problem))
        std::fprintf(stderr, "%s\n", problem.c_str());
    const CDibImage& map = player.DepthMap();
    const std::vector<std::uint8_t> before(map.Bits(), map.Bits() + static_cast<std::size_t>(kHeight) * map.Stride());
    if (!player.Run("panel c2 200\ntool gradient-rect\ndown 8 1\nmove 1900 1065\nup 1900 1065\n", problem))
        std::fprintf(stderr, "%s\n", problem.c_str());
    CPackedRows rows;
    for (auto _ : state) {
        rows.PackChanged(before.data(), kWidth, kHeight, player.DepthMap());
        benchmark::DoNotOptimize(rows.Bytes());
    }
    state.counters["rows"] = static_cast<double>(rows.RowCount());
    state.counters["packed_KiB"] = static_cast<double>(rows.Bytes()) / 1024;
}
BENCHMARK(PackGradientStep1920x1080)->Unit(benchmark::kMillisecond);

void Repaint1920x1080(benchmark::State& state)
{
    CPaintScriptPlayer& player = Shared();
    CMemorySurface screen(kWidth + 2, kHeight + 2);
    for (auto _ : state) {
        screen.Fill(kWhite);
        player.View().OnDraw(screen);
        benchmark::DoNotOptimize(screen.GetPixel(5, 5));
    }
}
BENCHMARK(Repaint1920x1080)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace rv

BENCHMARK_MAIN();
