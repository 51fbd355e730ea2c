#pragma once
// A board on a white depth map with its panel and a screen that shows the
// depth map, as the drawing view sets them up in the painting stage.
#include "painter/image/DibImage.h"
#include "painter/painting/MemorySurface.h"
#include "painter/painting/PaintBoard.h"
#include "painter/painting/ToolPanel.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace rv::test {

constexpr Colour Grey(int v) { return static_cast<Colour>(v) * 0x010101u; }
constexpr Colour Blue(int v) { return static_cast<Colour>(v) * 0x000101u | 0xFF0000u; }

using PixelSet = std::set<std::pair<int, int>>;

class PaintFixture : public ::testing::Test {
protected:
    explicit PaintFixture(int width = 100, int height = 100) : screen(width + 2, height + 2)
    {
        depth.Create(width, height);
        board = std::make_unique<CPaintBoard>(width, height, depth);
        panel.Create(board.get());
        panel.Refresh(0);
        panel.Refresh(0);
        board->SetPanel(&panel);
        Repaint();
    }

    // The view's repaint: white, the framed rectangle, the depth map over it.
    void Repaint()
    {
        const Point s = board->ScrollOffset();
        screen.Fill(kWhite);
        screen.FrameRectangle(-s.x, -s.y, depth.Width() + 1 - s.x, depth.Height() + 1 - s.y);
        depth.Draw(screen, -s.x, -s.y);
        board->RedrawOverlay(screen);
    }

    // Mouse events as the view forwards them: moves reach the board while
    // the button is down, and always for the lasso.
    void Down(int x, int y)
    {
        buttonDown = true;
        board->OnMouseDown(x, y, screen);
    }
    void Move(int x, int y)
    {
        if (buttonDown || board->GetTool() == ToolLasso) board->OnMouseMove(x, y, screen);
    }
    void Up(int x, int y)
    {
        buttonDown = false;
        board->OnMouseUp(x, y, screen);
    }
    // A press, moves to each point in turn, a release at the last one.
    void Drag(std::initializer_list<Point> path)
    {
        const Point first = *path.begin();
        Move(first.x, first.y);
        Down(first.x, first.y);
        Point last = first;
        for (const Point& p : path) {
            if (&p == path.begin()) continue;
            Move(p.x, p.y);
            last = p;
        }
        Up(last.x, last.y);
    }
    void Click(int x, int y)
    {
        Move(x, y);
        Down(x, y);
        Up(x, y);
    }
    void SetSlider(int id, int pos)
    {
        panel.SetSliderPos(id, pos);
        panel.Refresh(0);
        panel.Refresh(0);
    }

    // Depth-map pixels that are not white.
    PixelSet Painted() const
    {
        PixelSet set;
        for (int y = 0; y < depth.Height(); ++y)
            for (int x = 0; x < depth.Width(); ++x)
                if (depth.GetPixel(x, y) != kWhite) set.insert({x, y});
        return set;
    }
    // Whether the screen shows the depth map (unscrolled) pixel for pixel.
    bool ScreenMatchesDepth() const
    {
        for (int y = 0; y < depth.Height(); ++y)
            for (int x = 0; x < depth.Width(); ++x)
                if (screen.GetPixel(x, y) != depth.GetPixel(x, y)) return false;
        return true;
    }
    // A depth-map pixel and the colour it should have, with the reason.
    struct Spot {
        int x, y;
        Colour expected;
        const char* why = "";
    };
    void ExpectDepth(std::initializer_list<Spot> spots) const
    {
        for (const Spot& s : spots)
            EXPECT_EQ(depth.GetPixel(s.x, s.y), s.expected) << "at " << s.x << "," << s.y << ": " << s.why;
    }
    // Fills a rectangle of the depth map directly, then repaints.
    void FillDepth(int x0, int y0, int x1, int y1, Colour c)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) depth.SetPixel(x, y, c);
        Repaint();
    }

    CDibImage depth;
    CMemorySurface screen;
    CToolPanel panel;
    std::unique_ptr<CPaintBoard> board;
    bool buttonDown = false;
};

} // namespace rv::test
