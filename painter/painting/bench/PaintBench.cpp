// The painter's slowest gestures: a gradient rectangle under a long lasso
// outline, a flood fill of the whole canvas, a wide brush stroke; and each
// tool that paints the whole canvas, on the view's screen held in memory
// and on a screen that only counts what reaches it (what the board itself
// costs).
#include "painter/image/DibImage.h"
#include "painter/painting/MemorySurface.h"
#include "painter/painting/PaintBoard.h"
#include "painter/painting/ToolPanel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
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

// A screen that keeps nothing: counts the pixels written to it.
class CountingSurface final : public IPaintSurface {
public:
    bool StretchDib(int, int, int, int, int, int, const std::uint8_t*, const std::uint8_t*) override { return true; }
    void SetPixel(int, int, std::uint32_t) override { ++pixels; }
    std::uint32_t GetPixel(int, int) const override { return kWhite; }
    void SetRow(int, int, const std::uint32_t*, int count) override { pixels += count; }
    void InvertLine(int, int, int, int) override {}
    void InvertRectangle(int, int, int, int, bool) override {}
    void InvertEllipse(int, int, int, int, bool) override {}
    void FrameRectangle(int, int, int, int) override {}
    long long pixels = 0;
};

// Args: tool, canvas width and height, 1 for the counting screen. The
// screen is the drawing view of a 1920 x 1080 window (1109 x 905), or the
// canvas and its frame when that is smaller; the drag runs corner to corner
// (the circle from the middle of the view), the fill presses there.
void WholeCanvasTool(benchmark::State& state)
{
    const int tool = static_cast<int>(state.range(0));
    const int width = static_cast<int>(state.range(1)), height = static_cast<int>(state.range(2));
    CDibImage depth;
    depth.Create(width, height);
    CPaintBoard board(width, height, depth);
    CToolPanel panel;
    panel.Create(&board);
    panel.Refresh(0);
    panel.Refresh(0);
    board.SetPanel(&panel);
    CMemorySurface memory(std::min(width + 2, 1109), std::min(height + 2, 905));
    CountingSurface counting;
    IPaintSurface& screen = state.range(3) ? static_cast<IPaintSurface&>(counting) : memory;
    board.SetTool(tool);
    const Point centre{std::min(width / 2, 1109 / 2), std::min(height / 2, 905 / 2)};
    const Point from = tool == ToolGradientCircle || tool == ToolFill ? centre : Point{0, 0};
    const Point to = tool == ToolFill ? centre : Point{width - 1, height - 1};
    int value = 0;
    for (auto _ : state) {
        if (tool == ToolFill) {
            state.PauseTiming();
            depth.Clear();
            panel.SetColourValue(value++ % 200);
            state.ResumeTiming();
        }
        board.OnMouseDown(from.x, from.y, screen);
        if (tool != ToolFill) board.OnMouseMove(to.x, to.y, screen);
        board.OnMouseUp(to.x, to.y, screen);
    }
    state.SetLabel(state.range(3) ? "counting screen" : "memory screen");
}
BENCHMARK(WholeCanvasTool)
    ->ArgNames({"tool", "width", "height", "counting"})
    ->ArgsProduct({{ToolGradientRect, ToolGradientCircle, ToolFilledRect, ToolFilledEllipse, ToolFill},
                   {1820},
                   {1080},
                   {0, 1}})
    ->Args({ToolGradientRect, 700, 600, 0})
    ->Args({ToolGradientCircle, 700, 600, 0})
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace rv

BENCHMARK_MAIN();
