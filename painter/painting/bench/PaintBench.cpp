// The painter's slowest gestures: a gradient rectangle under a long lasso
// outline, a flood fill of the whole canvas, a wide brush stroke.
#include "painter/image/DibImage.h"
#include "painter/painting/MemorySurface.h"
#include "painter/painting/PaintBoard.h"
#include "painter/painting/ToolPanel.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace rv {
namespace {

constexpr int kWidth = 700;
constexpr int kHeight = 600;

struct Canvas {
    Canvas() : screen(kWidth + 2, kHeight + 2)
    {
        depth.Create(kWidth, kHeight);
        board = std::make_unique<CPaintBoard>(kWidth, kHeight, depth);
        panel.Create(board.get());
        panel.Refresh(0);
        panel.Refresh(0);
        board->SetPanel(&panel);
    }
    void Click(int x, int y)
    {
        board->OnMouseMove(x, y, screen);
        board->OnMouseDown(x, y, screen);
        board->OnMouseUp(x, y, screen);
    }
    CDibImage depth;
    CMemorySurface screen;
    CToolPanel panel;
    std::unique_ptr<CPaintBoard> board;
};

void GradientRectUnderLasso(benchmark::State& state)
{
    Canvas c;
    // A 20-pointed star spanning the canvas: its outline has several
    // thousand points.
    c.board->SetTool(ToolLasso);
    for (int i = 0; i < 40; ++i) {
        const double a = 2 * 3.141592653589793 * i / 40;
        const double r = i % 2 ? 0.6 : 1.0;
        c.Click(350 + static_cast<int>(340 * r * std::cos(a)), 300 + static_cast<int>(290 * r * std::sin(a)));
    }
    c.Click(690, 300);
    if (!c.board->RegionActive()) state.SkipWithError("lasso did not close");
    state.counters["outline"] = static_cast<double>(c.board->Outline().size());
    c.board->SetTool(ToolGradientRect);
    for (auto _ : state) {
        c.board->OnMouseDown(100, 100, c.screen);
        c.board->OnMouseMove(600, 500, c.screen);
        c.board->OnMouseUp(600, 500, c.screen);
    }
}
BENCHMARK(GradientRectUnderLasso)->Unit(benchmark::kMillisecond);

void FloodFillWholeCanvas(benchmark::State& state)
{
    Canvas c;
    c.board->SetTool(ToolFill);
    int value = 0;
    for (auto _ : state) {
        c.panel.SetColourValue(value++ % 200);
        c.board->OnMouseDown(350, 300, c.screen);
        c.board->OnMouseUp(350, 300, c.screen);
    }
}
BENCHMARK(FloodFillWholeCanvas)->Unit(benchmark::kMillisecond);

void WideBrushStroke(benchmark::State& state)
{
    Canvas c;
    c.panel.SetSliderPos(CToolPanel::IdPenWidth, 100);
    c.panel.Refresh(0);
    c.panel.Refresh(0);
    c.board->SetTool(ToolBrush);
    for (auto _ : state) {
        state.PauseTiming();
        c.depth.Clear();
        state.ResumeTiming();
        c.board->OnMouseDown(50, 300, c.screen);
        for (int i = 1; i <= 100; ++i) c.board->OnMouseMove(50 + 6 * i, 300 + (i % 7) * 3, c.screen);
        c.board->OnMouseUp(650, 300, c.screen);
    }
}
BENCHMARK(WideBrushStroke)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace rv

BENCHMARK_MAIN();
