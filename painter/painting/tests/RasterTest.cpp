// The rasterisers and the point tests the tools share.
#include "PaintFixture.h"

#include <algorithm>
#include <vector>

namespace rv::test {
namespace {

using Points = std::vector<Point>;

class Rasterisers : public PaintFixture {
protected:
    Points Line(Point a, Point b)
    {
        board->Points().clear();
        board->SetAnchor(a);
        board->SetCurrent(b);
        board->RasterLine();
        return board->Points();
    }
    Points Ellipse(Point a, Point b)
    {
        board->Points().clear();
        board->SetAnchor(a);
        board->SetCurrent(b);
        board->RasterEllipse();
        return board->Points();
    }
};

// A line steps along its longer axis, truncating towards zero, and lists
// its points from the smaller coordinate whichever way it was drawn.
TEST_F(Rasterisers, LinePoints)
{
    struct Row {
        Point a, b;
        Points expected;
        const char* why;
    };
    const Row rows[] = {
        {{0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}, "along x"},
        {{0, 0}, {2, 4}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}}, "along y"},
        {{4, 2}, {0, 0}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}, "drawn backwards"},
        // y = 0.5 x: at x = -3 and -1 the exact values -1.5 and -0.5 become -1 and 0.
        {{0, 0}, {-4, -2}, {{-4, -2}, {-3, -1}, {-2, -1}, {-1, 0}, {0, 0}}, "truncated towards zero"},
        {{3, 3}, {6, 6}, {{3, 3}, {4, 4}, {5, 5}, {6, 6}}, "diagonal"},
        {{5, 1}, {5, 4}, {{5, 1}, {5, 2}, {5, 3}, {5, 4}}, "upright"},
        {{7, 7}, {7, 7}, {}, "a single point draws nothing"},
    };
    for (const Row& r : rows) EXPECT_EQ(Line(r.a, r.b), r.expected) << r.why;
}

TEST_F(Rasterisers, LineAppendsToThePointList)
{
    Line({0, 0}, {2, 0});
    board->SetAnchor({10, 10});
    board->SetCurrent({10, 11});
    board->RasterLine();
    EXPECT_EQ(board->Points(), (Points{{0, 0}, {1, 0}, {2, 0}, {10, 10}, {10, 11}}));
}

TEST_F(Rasterisers, EllipseColumnPassThenRowPass)
{
    const Points p = Ellipse({0, 0}, {4, 4});
    ASSERT_EQ(p.size(), 16u);
    // Column pass: (x, 2 + h) then (x, 2 - h), h = trunc(sqrt(4 - (2 - x)^2)).
    const Points columns(p.begin(), p.begin() + 10);
    EXPECT_EQ(columns, (Points{{0, 2}, {0, 2}, {1, 3}, {1, 1}, {2, 4}, {2, 0}, {3, 3}, {3, 1}, {4, 2}, {4, 2}}));
    const Points rows(p.begin() + 10, p.end());
    EXPECT_EQ(rows, (Points{{3, 1}, {1, 1}, {4, 2}, {0, 2}, {3, 3}, {1, 3}}));
}

TEST_F(Rasterisers, EllipseStaysInItsBox)
{
    for (const Point& corner : {Point{37, 20}, Point{10, 55}, Point{11, 11}, Point{60, 21}}) {
        const Points p = Ellipse({10, 20}, corner);
        const int xl = std::min(10, corner.x), xr = std::max(10, corner.x);
        const int yt = std::min(20, corner.y), yb = std::max(20, corner.y);
        for (const Point& q : p) {
            EXPECT_GE(q.x, xl);
            EXPECT_LE(q.x, xr);
            EXPECT_GE(q.y, yt);
            EXPECT_LE(q.y, yb);
        }
    }
    // A box of no width: only the row pass has points, down the middle.
    EXPECT_EQ(Ellipse({5, 0}, {5, 4}), (Points{{5, 1}, {5, 1}, {5, 2}, {5, 2}, {5, 3}, {5, 3}}));
}

TEST_F(Rasterisers, NearStrokeUsesTruncatedDistance)
{
    Line({10, 10}, {10, 10 + 1});
    EXPECT_TRUE(board->NearStroke(10, 10, 1));  // distance 0
    EXPECT_FALSE(board->NearStroke(11, 10, 1)); // distance 1 is not below 1
    EXPECT_TRUE(board->NearStroke(11, 12, 2));  // sqrt 2 truncates to 1
    EXPECT_FALSE(board->NearStroke(12, 10, 2));
    EXPECT_TRUE(board->NearStroke(12, 10, 3));
}

TEST_F(Rasterisers, ColumnSpanNeedsPointsAboveAndBelow)
{
    Line({20, 5}, {20, 9});
    EXPECT_TRUE(board->InColumnSpan(20, 7));
    EXPECT_TRUE(board->InColumnSpan(20, 5));  // the same point serves both sides
    EXPECT_FALSE(board->InColumnSpan(20, 4));
    EXPECT_FALSE(board->InColumnSpan(20, 10));
    EXPECT_FALSE(board->InColumnSpan(21, 7));
}

TEST_F(Rasterisers, TruncatedDistance)
{
    EXPECT_EQ(TruncatedDistance(3, 4), 5);
    EXPECT_EQ(TruncatedDistance(1, 1), 1);
    EXPECT_EQ(TruncatedDistance(-2, 2), 2);
    EXPECT_EQ(TruncatedDistance(5, 5), 7); // 7.07
    EXPECT_EQ(TruncatedDistance(0, 0), 0);
}

TEST_F(Rasterisers, PencilWorkedExample)
{
    board->SetTool(ToolPencil);
    Drag({{10, 10}, {14, 12}});
    EXPECT_EQ(Painted(), (PixelSet{{10, 10}, {11, 10}, {12, 11}, {13, 11}, {14, 12}}));
    for (const auto& [x, y] : Painted()) {
        EXPECT_EQ(depth.GetPixel(x, y), Grey(150));
        EXPECT_EQ(screen.GetPixel(x, y), Grey(150));
    }
}

TEST_F(Rasterisers, PencilPressAloneAndContinuation)
{
    board->SetTool(ToolPencil);
    Click(30, 30);
    EXPECT_TRUE(Painted().empty());
    // Each move continues from the last one.
    Drag({{40, 40}, {42, 40}, {42, 42}});
    EXPECT_EQ(Painted(), (PixelSet{{40, 40}, {41, 40}, {42, 40}, {42, 41}, {42, 42}}));
}

TEST_F(Rasterisers, WidePencilPaintsAroundTheSegmentStart)
{
    board->SetTool(ToolPencil);
    SetSlider(CToolPanel::IdPenWidth, 4);
    ASSERT_EQ(board->PenWidth(), 4);
    Drag({{20, 20}, {30, 20}});
    // Half width 2: the 5 x 5 square around (20, 20), pixels closer than 2
    // to the segment (20..30, 20).
    PixelSet expected;
    for (int x = 19; x <= 22; ++x)
        for (int y = 19; y <= 21; ++y) expected.insert({x, y});
    EXPECT_EQ(Painted(), expected);
}

} // namespace
} // namespace rv::test
