// The gradient circle paints inside its radius only: pixels at exactly the
// radius keep what they had.
#include "painter/painting/tests/PaintFixture.h"

#include <cmath>

namespace rv::test {
namespace {

class CircleRim : public PaintFixture {
protected:
    CircleRim() : PaintFixture(120, 120) {}
};

TEST_F(CircleRim, PixelsAtExactlyTheRadiusStayUnchanged)
{
    FillDepth(0, 0, 119, 119, Grey(250));
    board->SetTool(ToolGradientCircle);
    // Centre (60, 60), released at (66, 68): a 6-8-10 triangle, radius 10.
    Drag({{60, 60}, {66, 68}});
    int rim = 0, inside = 0;
    for (int y = 45; y <= 75; ++y)
        for (int x = 45; x <= 75; ++x) {
            const int dx = x - 60, dy = y - 60;
            const int squared = dx * dx + dy * dy;
            if (squared == 100) {
                ++rim;
                EXPECT_EQ(depth.GetPixel(x, y), Grey(250)) << x << "," << y << " lies on the rim";
            } else if (squared > 100) {
                EXPECT_EQ(depth.GetPixel(x, y), Grey(250)) << x << "," << y;
            } else if (squared >= 81) {
                ++inside;
                EXPECT_NE(depth.GetPixel(x, y), Grey(250)) << x << "," << y << " lies inside";
            }
        }
    EXPECT_EQ(rim, 12);  // (±10, 0), (0, ±10), (±6, ±8), (±8, ±6)
    EXPECT_GT(inside, 0);
    EXPECT_TRUE(ScreenMatchesDepth());
}

} // namespace
} // namespace rv::test
