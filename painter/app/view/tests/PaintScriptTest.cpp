// Gesture scripts replayed through the drawing view, checked pixel by pixel
// against expectations worked out from the geometry of each script.
#include "painter/app/view/PaintScript.h"
#include "painter/app/view/tests/FakeViewSystem.h"
#include "painter/painting/tests/PaintFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <queue>
#include <set>
#include <sstream>

namespace rv {
namespace {

using test::Blue;
using test::Grey;
using testing::BlankPlayer;

// The ramp with the initial curve (a circular dome) rising from c2.
int RampLevel(float t, int c1, int c2)
{
    const int column = static_cast<int>((t + 1) * 58);
    const double x = column / 118.0;
    return std::min(c1 + c2 - static_cast<int>(c1 * std::sqrt(1 - x * x)), 240);
}

std::string ReadScript(const std::string& name)
{
    std::ifstream in("../../painting/tests/scripts/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return {std::istreambuf_iterator<char>(in), {}};
}

std::unique_ptr<CPaintScriptPlayer> Play(const std::string& name, int width, int height)
{
    auto player = BlankPlayer(width, height);
    std::string problem;
    EXPECT_TRUE(player->Run(ReadScript(name), problem)) << name << ": " << problem;
    return player;
}

// Compares the whole depth map with the expectation.
void ExpectDepth(const CPaintScriptPlayer& player, const std::function<Colour(int, int)>& expected)
{
    const CDibImage& d = player.DepthMap();
    int wrong = 0;
    for (int y = 0; y < d.Height(); ++y)
        for (int x = 0; x < d.Width(); ++x)
            if (d.GetPixel(x, y) != expected(x, y) && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << d.GetPixel(x, y) << " not "
                              << expected(x, y);
    EXPECT_EQ(wrong, 0);
}

// The screen shows the depth map framed on its right and bottom, white beyond.
void ExpectScreenShowsDepth(const CPaintScriptPlayer& player)
{
    const CDibImage& d = player.DepthMap();
    const CMemorySurface& s = player.Screen();
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            Colour expected = kWhite;
            if (x < d.Width() && y < d.Height()) expected = d.GetPixel(x, y);
            else if (x <= d.Width() && y <= d.Height()) expected = 0;
            ASSERT_EQ(s.GetPixel(x, y), expected) << x << "," << y;
        }
}

TEST(PaintScripts, Strokes)
{
    const auto player = Play("strokes.txt", 40, 30);
    const std::set<std::pair<int, int>> pencil{{5, 5}, {6, 5}, {7, 6}, {8, 6}, {9, 7}};
    ExpectDepth(*player, [&](int x, int y) {
        const bool line = y == 20 && x >= 10 && x <= 30;
        return line || pencil.count({x, y}) ? Grey(150) : kWhite;
    });
    ExpectScreenShowsDepth(*player);
}

TEST(PaintScripts, LassoRegionBoundsTheFill)
{
    const auto player = Play("lasso-fill.txt", 60, 50);
    // The slanted edge from (50, 10) to (10, 40), one point per column.
    const auto edgeY = [](int x) { return 10 + 3 * (50 - x) / 4; };
    const auto inside = [&](int x, int y) {
        if (x <= 10 || y <= 10 || x >= 50 || y >= edgeY(x)) return false;
        int rowEnd = 10; // rightmost outline point of row y
        for (int e = 10; e <= 50; ++e)
            if (edgeY(e) == y) rowEnd = std::max(rowEnd, e);
        return x < rowEnd;
    };
    std::set<std::pair<int, int>> filled;
    std::queue<std::pair<int, int>> todo;
    todo.push({20, 20});
    while (!todo.empty()) {
        const auto [x, y] = todo.front();
        todo.pop();
        if (!inside(x, y) || !filled.insert({x, y}).second) continue;
        todo.push({x + 1, y});
        todo.push({x - 1, y});
        todo.push({x, y + 1});
        todo.push({x, y - 1});
    }
    EXPECT_GT(filled.size(), 400u);
    ExpectDepth(*player, [&](int x, int y) { return filled.count({x, y}) ? Grey(90) : kWhite; });
    ExpectScreenShowsDepth(*player);
}

TEST(PaintScripts, GradientRectangle)
{
    const auto player = Play("gradient.txt", 50, 60);
    ExpectDepth(*player, [](int x, int y) {
        if (x == 0 || y < 10 || y > 50) return kWhite;
        const float t = static_cast<float>(std::abs(y - 10) - std::abs(y - 50)) / 40.0f;
        return Grey(RampLevel(t, 240, 40));
    });
}

TEST(PaintScripts, ScrollAndPanel)
{
    const auto player = Play("scroll-panel.txt", 80, 60);
    ExpectDepth(*player, [](int x, int y) {
        const bool rect = x >= 15 && x <= 25 && y >= 10 && y <= 17;
        const bool erased = x >= 17 && x <= 22 && y >= 9 && y <= 14;
        return rect && !erased ? Blue(80) : kWhite;
    });
    ExpectScreenShowsDepth(*player);
}

TEST(PaintScripts, ClearDropsTheRegion)
{
    const auto player = Play("clear.txt", 40, 40);
    ExpectDepth(*player, [](int x, int y) { return y == 2 && x >= 2 && x <= 38 ? Grey(150) : kWhite; });
    EXPECT_TRUE(player->View().Board().Lasso().IsOpen());
    EXPECT_FALSE(player->View().Board().RegionActive());
}

TEST(PaintScripts, BrushThenPicker)
{
    const auto player = Play("brush-picker.txt", 40, 40);
    ExpectDepth(*player, [](int x, int y) {
        if (y == 35 && x >= 5 && x <= 35) return Grey(197);
        const int g = static_cast<int>(std::sqrt((x - 20) * (x - 20) + (y - 20) * (y - 20)));
        if (g > 5) return kWhite;
        const float t = static_cast<float>((0.5 - g / 5.0) * 2);
        return Grey(RampLevel(t, 240, 0));
    });
    EXPECT_EQ(player->View().Panel().ColourValue(), 197);
}

TEST(PaintScripts, PointsBeyondTheCanvas)
{
    const auto player = Play("beyond-canvas.txt", 60, 40);
    // Presses beyond the canvas opened no lasso and left the region alone.
    EXPECT_TRUE(player->View().Board().RegionActive());
    EXPECT_FALSE(player->View().Board().Lasso().IsOpen());
    std::string problem;
    ASSERT_TRUE(player->Run("down 30 30\nup 30 30\n", problem)) << problem; // clears the region
    EXPECT_FALSE(player->View().Board().RegionActive());

    // The outline of the ellipse in the box (30, 5)-(90, 45), from its axes.
    std::set<std::pair<int, int>> ellipse;
    const int cx = 60, cy = 25;
    const double a = 30, b = 20;
    for (int x = 30; x <= 90; ++x) {
        const int h = static_cast<int>(std::sqrt(b * b - (b * b) / (a * a) * (cx - x) * (cx - x)));
        ellipse.insert({x, cy + h});
        ellipse.insert({x, cy - h});
    }
    for (int y = 6; y <= 44; ++y) {
        const int h = static_cast<int>(std::sqrt(a * a - (a * a) / (b * b) * (cy - y) * (cy - y)));
        ellipse.insert({cx + h, y});
        ellipse.insert({cx - h, y});
    }
    ExpectDepth(*player, [&](int x, int y) {
        const bool line = y == 30 && x >= 10;
        return (line || ellipse.count({x, y})) && x > 0 && y > 0 ? Grey(150) : kWhite;
    });
    EXPECT_EQ(player->DepthMap().GetPixel(31, 20), Grey(150)); // the ellipse did reach the canvas
    ExpectScreenShowsDepth(*player);
}

TEST(PaintScripts, FiguresDraggedToTheFarCornerPaintTheCanvasPart)
{
    auto player = BlankPlayer(50, 40);
    std::string problem;
    ASSERT_TRUE(player->Run("tool filled-rect\ndown 30 20\nmove 32767 32767\nup 32767 32767\n"
                            "tool filled-ellipse\ndown 5 5\nup 32767 32767\n"
                            "panel pen-width 9\ntool pencil\ndown 2 35\nmove 32767 35\nup 32767 35\n",
                            problem))
        << problem;
    // The filled ellipse's box is so large that its canvas part is the
    // inside of its upper left arc: the canvas below the arc.
    EXPECT_EQ(player->DepthMap().GetPixel(49, 39), Grey(150));
    EXPECT_EQ(player->DepthMap().GetPixel(30, 20), Grey(150));
    EXPECT_EQ(player->DepthMap().GetPixel(6, 6), kWhite); // outside the far ellipse's arc
    // The wide pencil paints round the start of its far stroke only.
    EXPECT_EQ(player->DepthMap().GetPixel(4, 35), Grey(150));
    ExpectScreenShowsDepth(*player);
}

TEST(PaintScriptLines, PressAndReleaseFollowThePointer)
{
    auto player = BlankPlayer(40, 30);
    std::string problem;
    ASSERT_TRUE(player->Run("tool line\ndown 5 5\nup 20 5\n", problem)) << problem;
    ExpectDepth(*player, [](int x, int y) { return y == 5 && x >= 5 && x <= 20 ? Grey(150) : kWhite; });
    ExpectScreenShowsDepth(*player);
    EXPECT_EQ(player->WaitCursors(), 1);
}

TEST(PaintScriptLines, BlankLinesCommentsAndLineEnds)
{
    auto player = BlankPlayer(20, 20);
    std::string problem;
    ASSERT_TRUE(player->Run("# a comment\r\n\r\n   \n\t# indented\ntool\tpencil\r\ndown 3 3\nmove  5 3 \nup 5 3", problem))
        << problem;
    EXPECT_EQ(player->DepthMap().GetPixel(4, 3), Grey(150));
    EXPECT_EQ(player->View().Board().GetTool(), ToolPencil);
}

TEST(PaintScriptLines, MalformedLinesStopTheReplay)
{
    struct Case {
        const char* line;
        const char* says;
    };
    const Case cases[] = {
        {"spray 1 2", "unknown command 'spray'"},
        {"move 1", "missing value"},
        {"move 1 2 3", "unexpected '3'"},
        {"move -1 0", "out of range (0 to 32767)"},
        {"down 0 32768", "out of range (0 to 32767)"},
        {"up 99999999999 0", "not a whole number"},
        {"up x 2", "'x' is not a whole number"},
        {"scroll 20 0", "out of range (0 to 19)"},
        {"tool spray", "unknown tool 'spray'"},
        {"tool", "missing value"},
        {"panel pen-width 0", "out of range (1 to 100)"},
        {"panel eraser-width 301", "out of range (2 to 300)"},
        {"panel c1 9", "out of range (10 to 240)"},
        {"panel value 2x", "not a whole number"},
        {"panel low-left 2", "out of range (0 to 1)"},
        {"panel family red", "not one of black, blue"},
        {"panel eraser-kind hard", "not one of soft, circular, square"},
        {"panel size 3", "unknown panel setting 'size'"},
        {"clear now", "unexpected 'now'"},
    };
    for (const Case& c : cases) {
        auto player = BlankPlayer(20, 20);
        std::string problem;
        const std::string script = std::string("tool pencil\n") + c.line + "\ndown 3 3\nmove 8 8\nup 8 8\n";
        EXPECT_FALSE(player->Run(script, problem)) << c.line;
        EXPECT_EQ(problem.rfind("line 2: ", 0), 0u) << problem;
        EXPECT_NE(problem.find(c.says), std::string::npos) << problem;
        EXPECT_EQ(player->DepthMap().GetPixel(5, 5), kWhite) << "ran past " << c.line;
    }
}

TEST(PaintScriptLines, PanelSettingsReachTheTools)
{
    auto player = BlankPlayer(30, 30);
    std::string problem;
    ASSERT_TRUE(player->Run("panel pen-width 7\npanel eraser-width 12\npanel eraser-kind circular\n"
                            "panel curve 0\npanel low-right 1\npanel low-left 0\npanel c1 100\n"
                            "panel c2 20\npanel family blue\npanel value 33\n",
                            problem))
        << problem;
    const CToolPanel& panel = player->View().Panel();
    EXPECT_EQ(player->View().Board().PenWidth(), 7);
    EXPECT_EQ(panel.EraserWidth(), 12);
    EXPECT_EQ(panel.EraserKind(), 2);
    EXPECT_FALSE(panel.LowLeft());
    EXPECT_TRUE(panel.LowRight());
    EXPECT_EQ(panel.ColourValue(), 33);
    EXPECT_TRUE(panel.IsBlue());
    // Two refreshes: the strip already shows c1 100 and c2 20, falling.
    EXPECT_EQ(panel.StripColumn(117), Blue(20));
    EXPECT_EQ(panel.StripColumn(0), Blue(100 + 20 - static_cast<int>(100 * std::pow(1 - std::sqrt(117 / 118.0), 2))));

    // A box already in the wanted state is not clicked.
    ASSERT_TRUE(player->Run("panel low-right 1\n", problem));
    EXPECT_TRUE(panel.LowRight());
}

} // namespace
} // namespace rv
