#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "calculators/roof_edge_canvas.h"
#include "drawing_test_util.h"

using namespace kit;
using namespace kit::roof_edge_colours;
using namespace kit::testing;

namespace {

// The canvas control is 236 x 155 with a sunken edge of 2 pixels each side.
constexpr int kW = 232, kH = 151;
constexpr int kGroundY = kH - 18;

Drawing draw(double h, double l, double alpha) { return drawRoofEdgeCanvas(computeRoofEdge({h, l, alpha}), kW, kH); }

Box building(const std::vector<Box>& boxes) {
    for (const Box& b : boxes)
        if (b.fill == kBuildingFill) return b;
    ADD_FAILURE() << "no building";
    return boxes.at(0);
}

}  // namespace

TEST(RoofEdgeCanvas, StartUpPicture) {
    Drawing d = draw(4, 5, 24);
    EXPECT_EQ(linesIn(d, kGround).at(0).points, (std::vector<Point>{{0, kGroundY}, {kW, kGroundY}}));

    // 15 px/m (the largest scale): 75 x 60 pixels.
    auto boxes = boxesIn(d);
    Box b = building(boxes);
    EXPECT_EQ((std::vector<int>{b.left, b.top, b.right, b.bottom}), (std::vector<int>{40, 73, 115, kGroundY}));
    EXPECT_EQ(b.outlineWidth, 2);
    EXPECT_EQ(b.outline, kWall);
    EXPECT_EQ(linesIn(d, kRoof).at(0).points, (std::vector<Point>{{35, 73}, {120, 73}}));
    EXPECT_EQ(linesIn(d, kMast).at(0).points, (std::vector<Point>{{40, 73}, {40, 53}}));

    // The beam's upper edge from the antenna at 26.66 degrees to 1.1 x the width.
    auto beam = linesIn(d, kBeam);
    ASSERT_EQ(beam.size(), 2u);  // the edge and the arc
    EXPECT_EQ(beam[0].stroke, Stroke::Dashed);
    EXPECT_EQ(beam[0].width, 2);
    EXPECT_EQ(beam[0].points, (std::vector<Point>{{40, 49}, {122, 90}}));
    ASSERT_EQ(beam[1].points.size(), 16u);
    EXPECT_EQ(beam[1].points.front(), (Point{70, 49}));
    double a = computeRoofEdge({4, 5, 24}).maxTiltDeg * std::numbers::pi / 180;
    EXPECT_EQ(beam[1].points.back(), (Point{40 + int(30 * std::cos(a)), 49 + int(30 * std::sin(a))}));

    ASSERT_TRUE(findLabel(d, "θ=26.7°"));
    EXPECT_EQ(findLabel(d, "θ=26.7°")->at, (Point{75, 55}));
    ASSERT_TRUE(findLabel(d, "H=4m") && findLabel(d, "L=5m") && findLabel(d, "楼体") && findLabel(d, "α=24°"));
    EXPECT_EQ(findLabel(d, "H=4m")->at, (Point{-13, 57}));
    EXPECT_EQ(findLabel(d, "L=5m")->at, (Point{62, 92}));
    EXPECT_EQ(findLabel(d, "楼体")->at, (Point{65, kGroundY - 20}));
    EXPECT_EQ(findLabel(d, "α=24°")->at, (Point{45, 33}));
    EXPECT_EQ(findLabel(d, "L=5m")->fontPx, 11);
}

TEST(RoofEdgeCanvas, Dimensions) {
    Drawing d = draw(4, 5, 24);
    auto height = linesIn(d, kHeight);
    ASSERT_EQ(height.size(), 3u);
    EXPECT_EQ(height[0].points, (std::vector<Point>{{22, 73}, {22, 49}}));
    EXPECT_EQ(height[1].points, (std::vector<Point>{{19, 53}, {22, 49}, {25, 53}}));
    auto distance = linesIn(d, kDistance);
    ASSERT_EQ(distance.size(), 3u);
    EXPECT_EQ(distance[0].points, (std::vector<Point>{{40, 88}, {115, 88}}));
    EXPECT_EQ(distance[2].points, (std::vector<Point>{{111, 85}, {115, 88}, {111, 91}}));
}

TEST(RoofEdgeCanvas, NoBeamWithoutAPositiveDowntilt) {
    EXPECT_TRUE(linesIn(draw(1, 50, 24), kBeam).empty());  // negative result
    EXPECT_TRUE(linesIn(draw(4, 0, 24), kBeam).empty());   // invalid input
    EXPECT_TRUE(linesIn(draw(1, 1, 90), kBeam).empty());   // exactly 0
    EXPECT_FALSE(findLabel(draw(1, 50, 24), "θ=-10.8°"));
    // 0.05 degrees is positive but under 0.001 rad.
    double h = 50 * std::tan((12 + 0.05) * std::numbers::pi / 180);
    EXPECT_TRUE(linesIn(draw(h, 50, 24), kBeam).empty());
}

TEST(RoofEdgeCanvas, SteepBeamStopsAtTheGround) {
    // 84.3 degrees: the edge would pass below the ground line before 1.1 x the
    // building's (minimum) width.
    Drawing d = draw(100, 10, 0);
    Box b = building(boxesIn(d));
    int roofY = b.top;
    double a = std::atan(10.0);
    auto beam = linesIn(d, kBeam);
    ASSERT_FALSE(beam.empty());
    EXPECT_EQ(beam[0].points.back(), (Point{int((kGroundY - roofY + 24) / std::tan(a)) + 40, kGroundY}));
    EXPECT_EQ(b.right - b.left, 30);  // width at least 30 pixels
}

TEST(RoofEdgeCanvas, ScaleAndSizeLimits) {
    // On a narrow canvas 200 m (the longest drawn) would need 0.2 px/m; the
    // scale stops at 0.5 and the width at the canvas less 60 pixels.
    Drawing d = drawRoofEdgeCanvas(computeRoofEdge({300, 1000, 24}), 100, kH);
    Box b = building(boxesIn(d));
    EXPECT_EQ((std::vector<int>{b.left, b.top, b.right, b.bottom}), (std::vector<int>{40, kGroundY - 50, 80, kGroundY}));
    EXPECT_TRUE(findLabel(d, "H=300m"));
    EXPECT_TRUE(findLabel(d, "L=1000m"));

    // A low wide building is at least 20 pixels high.
    Box flat = building(boxesIn(draw(1, 200, 24)));
    EXPECT_EQ(flat.bottom - flat.top, 20);
    EXPECT_EQ(flat.right, 40 + 172);
}
