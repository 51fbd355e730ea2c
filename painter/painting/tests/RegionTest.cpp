// The clip test and the lasso: opening, adding, closing, dashes, clearing.
#include "PaintFixture.h"

namespace rv::test {
namespace {

class Region : public PaintFixture {
protected:
    // Clicks the lasso through the given vertices.
    void Lasso(std::initializer_list<Point> vertices)
    {
        board->SetTool(ToolLasso);
        for (const Point& p : vertices) Click(p.x, p.y);
    }
    void Triangle() { Lasso({{20, 20}, {80, 20}, {20, 80}, {21, 21}}); }
    // The outline points inverted by the dashes: those at an index i with
    // i mod 8 below 4, an odd number of times (edges share their ends).
    PixelSet Dashes() const
    {
        const auto& outline = board->Outline();
        PixelSet dashes;
        for (std::size_t i = 0; i < outline.size(); ++i) {
            if (i % 8 >= 4) continue;
            const std::pair<int, int> p{outline[i].x, outline[i].y};
            if (!dashes.erase(p)) dashes.insert(p);
        }
        return dashes;
    }
    // Every depth-map pixel white except the dashes.
    bool OnlyDashes() const { return Painted() == Dashes(); }
};

TEST_F(Region, WithoutARegionTheCanvasEdgesAreNeverPainted)
{
    EXPECT_FALSE(board->IsInside(0, 50));
    EXPECT_FALSE(board->IsInside(50, 0));
    EXPECT_FALSE(board->IsInside(100, 50));
    EXPECT_FALSE(board->IsInside(50, 100));
    EXPECT_TRUE(board->IsInside(1, 1));
    EXPECT_TRUE(board->IsInside(99, 99));

    board->SetTool(ToolRect);
    Drag({{0, 0}, {100, 100}});
    EXPECT_EQ(depth.GetPixel(0, 0), kWhite);
    EXPECT_EQ(depth.GetPixel(0, 50), kWhite);
    EXPECT_EQ(depth.GetPixel(50, 0), kWhite);
    Drag({{1, 1}, {99, 99}});
    EXPECT_EQ(depth.GetPixel(1, 1), Grey(150));
    EXPECT_EQ(depth.GetPixel(99, 99), Grey(150));
}

TEST_F(Region, TriangleClipsEveryTool)
{
    Triangle();
    ASSERT_TRUE(board->RegionActive());
    EXPECT_FALSE(board->Lasso().IsOpen());
    EXPECT_TRUE(board->IsInside(30, 30));
    EXPECT_TRUE(board->IsInside(25, 70));
    EXPECT_FALSE(board->IsInside(70, 70)); // beyond the slanted edge
    EXPECT_FALSE(board->IsInside(10, 10));
    EXPECT_FALSE(board->IsInside(50, 20)); // on the top edge: nothing above it
    EXPECT_FALSE(board->IsInside(20, 50)); // on the left edge: nothing left of it

    // A filled rectangle over everything paints the inside only.
    board->SetTool(ToolFilledRect);
    Drag({{1, 1}, {99, 99}});
    EXPECT_EQ(depth.GetPixel(30, 30), Grey(150));
    EXPECT_EQ(depth.GetPixel(21, 78), Grey(150));
    EXPECT_EQ(depth.GetPixel(70, 70), kWhite);
    EXPECT_EQ(depth.GetPixel(90, 10), kWhite);
    EXPECT_EQ(depth.GetPixel(5, 5), kWhite);
}

TEST_F(Region, LassoCycleDrawsAndRestoresTheDashes)
{
    FillDepth(1, 1, 99, 99, Grey(100));
    board->SetTool(ToolLasso);
    Click(20, 20);
    EXPECT_TRUE(board->Lasso().IsOpen());
    Click(80, 20);
    Click(80, 80);
    EXPECT_EQ(board->Lasso().Vertices().size(), 3u);
    // The open polygon is on the screen only.
    EXPECT_EQ(depth.GetPixel(50, 20), Grey(100));
    EXPECT_NE(screen.GetPixel(50, 20), Grey(100));

    Click(22, 20); // distance 2 from the first vertex closes
    ASSERT_TRUE(board->RegionActive());
    EXPECT_EQ(board->Lasso().Vertices().back(), (Point{20, 20}));
    // The outline is the three edges; every fourth-of-eight point is a dash
    // inverted in the depth map and on the screen alike.
    const auto outline = board->Outline();
    ASSERT_EQ(outline.size(), 61u + 61u + 61u);
    const PixelSet dashes = Dashes();
    EXPECT_GT(dashes.size(), 80u);
    for (const Point& p : outline) {
        const bool dash = dashes.count({p.x, p.y}) != 0;
        EXPECT_EQ(depth.GetPixel(p.x, p.y), dash ? Grey(155) : Grey(100)) << p.x << "," << p.y;
    }
    EXPECT_TRUE(ScreenMatchesDepth());

    Click(50, 50); // the next lasso press clears the region
    EXPECT_FALSE(board->RegionActive());
    EXPECT_FALSE(board->Lasso().IsOpen());
    for (int y = 1; y < 100; ++y)
        for (int x = 1; x < 100; ++x) ASSERT_EQ(depth.GetPixel(x, y), Grey(100)) << x << "," << y;
    EXPECT_TRUE(ScreenMatchesDepth());
    // That press started nothing; the following one opens a new lasso.
    Click(30, 30);
    EXPECT_TRUE(board->Lasso().IsOpen());
}

TEST_F(Region, ClosingDistance)
{
    Lasso({{20, 20}, {60, 20}, {60, 60}, {23, 20}});
    EXPECT_TRUE(board->Lasso().IsOpen()); // distance 3 adds a vertex
    EXPECT_EQ(board->Lasso().Vertices().size(), 4u);
    Click(21, 22); // truncated distance 2 closes
    EXPECT_TRUE(board->RegionActive());
    EXPECT_TRUE(OnlyDashes());
}

TEST_F(Region, DegenerateLassoEnclosesNothing)
{
    Lasso({{20, 20}, {60, 60}, {20, 20}});
    ASSERT_TRUE(board->RegionActive());
    board->SetTool(ToolFill);
    Click(40, 30);
    board->SetTool(ToolFilledRect);
    Drag({{1, 1}, {99, 99}});
    EXPECT_TRUE(OnlyDashes());
}

TEST_F(Region, PressesBeyondTheCanvasAreIgnored)
{
    Lasso({{101, 50}, {50, 101}});
    EXPECT_FALSE(board->Lasso().IsOpen());
    Lasso({{100, 100}});
    EXPECT_TRUE(board->Lasso().IsOpen());
}

TEST_F(Region, OpenLassoSurvivesOtherToolsAndItsEdgesAreNeverPainted)
{
    Lasso({{20, 20}, {80, 20}});
    board->SetTool(ToolLine);
    Drag({{10, 90}, {30, 90}});
    EXPECT_EQ(Painted().size(), 21u); // the line alone
    EXPECT_EQ(depth.GetPixel(50, 20), kWhite);

    Lasso({{80, 80}, {20, 21}});
    ASSERT_TRUE(board->RegionActive());
    EXPECT_EQ(board->Lasso().Vertices().size(), 4u);
    EXPECT_TRUE(board->IsInside(70, 30));
    EXPECT_FALSE(board->IsInside(30, 70));
}

TEST_F(Region, ScreenShowsTheDepthMapOnceTheBandsAreGone)
{
    board->SetTool(ToolLasso);
    Click(20, 20);
    Move(50, 40);
    Move(70, 25);
    Click(80, 20);
    Move(60, 70);
    Click(80, 80);
    Click(20, 20);
    EXPECT_TRUE(ScreenMatchesDepth());
}

TEST_F(Region, RepaintKeepsTheOpenLasso)
{
    Lasso({{20, 20}, {80, 20}});
    Move(80, 80);
    const CMemorySurface before = screen;
    Repaint();
    for (int y = 0; y < screen.Height(); ++y)
        for (int x = 0; x < screen.Width(); ++x) ASSERT_EQ(screen.GetPixel(x, y), before.GetPixel(x, y));
    Click(80, 80);
    Click(20, 20);
    EXPECT_TRUE(ScreenMatchesDepth());
    EXPECT_TRUE(OnlyDashes());
}

TEST_F(Region, DashesFollowTheRegionWhenTheViewScrolls)
{
    Triangle();
    const PixelSet unscrolled = Painted();
    board->SetScrollOffset(5, 3);
    PixelSet shifted;
    for (const auto& [x, y] : unscrolled) shifted.insert({x + 5, y + 3});
    EXPECT_EQ(Painted(), shifted);
    Repaint();
    board->SetTool(ToolLasso);
    Click(50, 50);
    EXPECT_FALSE(board->RegionActive());
    EXPECT_TRUE(Painted().empty());
}

TEST_F(Region, RemoveRegionTakesTheDashesOut)
{
    FillDepth(1, 1, 99, 99, Grey(60));
    Triangle();
    ASSERT_EQ(depth.GetPixel(21, 20), Grey(195)); // a dash
    board->RemoveRegion();
    EXPECT_FALSE(board->RegionActive());
    for (int y = 1; y < 100; ++y)
        for (int x = 1; x < 100; ++x) ASSERT_EQ(depth.GetPixel(x, y), Grey(60)) << x << "," << y;
    board->RemoveRegion(); // nothing left to remove
    EXPECT_EQ(depth.GetPixel(21, 20), Grey(60));
}

TEST_F(Region, DropAndResizeForgetTheRegion)
{
    Triangle();
    depth.Clear();
    board->DropRegion();
    EXPECT_FALSE(board->RegionActive());
    EXPECT_TRUE(board->IsInside(90, 90));
    board->SetTool(ToolLasso);
    Click(50, 50); // opens a new lasso rather than writing dashes
    EXPECT_TRUE(board->Lasso().IsOpen());
    EXPECT_TRUE(Painted().empty());

    CDibImage bigger;
    ASSERT_TRUE(bigger.Create(150, 120));
    board->Resize(150, 120, bigger);
    EXPECT_FALSE(board->Lasso().IsOpen());
    EXPECT_EQ(board->CanvasWidth(), 150);
    EXPECT_TRUE(board->IsInside(140, 110));
    EXPECT_FALSE(board->IsInside(150, 110));
}

} // namespace
} // namespace rv::test
