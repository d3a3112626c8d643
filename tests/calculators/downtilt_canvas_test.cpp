#include <gtest/gtest.h>

#include "calculators/downtilt_canvas.h"
#include "drawing_test_util.h"

using namespace kit;
using namespace kit::downtilt_colours;
using namespace kit::testing;

namespace {

// The canvas control is 236 x 150 with a sunken edge of 2 pixels each side.
constexpr int kW = 232, kH = 146;
constexpr int kGroundY = kH - 22;

Drawing draw(double height, double mech, double elec, double beam) {
    return drawDowntiltCanvas(computeDowntilt({height, mech, elec, beam}), kW, kH);
}

// The three rays in paint order: upper edge, lower edge, main beam.
struct Rays {
    Polyline upper, lower, main;
};

Rays raysOf(const Drawing& d) {
    auto upper = linesIn(d, kUpperEdge), lower = linesIn(d, kLowerEdge), main = linesIn(d, kMainBeam);
    EXPECT_FALSE(upper.empty());
    EXPECT_FALSE(lower.empty());
    EXPECT_FALSE(main.empty());
    return {upper.at(0), lower.at(0), main.at(0)};
}

}  // namespace

TEST(DowntiltCanvas, StartUpPicture) {
    Drawing d = draw(30, 6, 0, 7);
    auto ground = linesIn(d, kGround);
    ASSERT_EQ(ground.size(), 1u);
    EXPECT_EQ(ground[0].points, (std::vector<Point>{{0, kGroundY}, {kW, kGroundY}}));
    EXPECT_EQ(ground[0].width, 2);

    // Mast: 30 m of the 100 m scale is under the 25-pixel minimum.
    const int top = kGroundY - 25;
    auto boxes = boxesIn(d);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].fill, kAntenna);
    EXPECT_EQ((Point{boxes[0].left, boxes[0].top}), (Point{25, top - 10}));
    EXPECT_EQ((Point{boxes[0].right, boxes[0].bottom}), (Point{35, top}));

    // Rays scaled to 1.15 x the far distance across 192 pixels.
    Rays r = raysOf(d);
    const Point origin{30, top - 5};
    EXPECT_EQ(r.upper.points, (std::vector<Point>{origin, {73, kGroundY}}));
    EXPECT_EQ(r.lower.points, (std::vector<Point>{origin, {196, kGroundY}}));
    EXPECT_EQ(r.main.points, (std::vector<Point>{origin, {99, kGroundY}}));
    EXPECT_EQ(r.upper.stroke, Stroke::Dashed);
    EXPECT_EQ(r.main.stroke, Stroke::Solid);
    EXPECT_EQ(r.main.width, 2);

    // A tick under each landing point, in the ray's colour.
    EXPECT_EQ(linesIn(d, kMainBeam).at(1).points, (std::vector<Point>{{99, kGroundY - 4}, {99, kGroundY + 4}}));
    EXPECT_EQ(linesIn(d, kUpperEdge).size(), 2u);
    EXPECT_EQ(linesIn(d, kLowerEdge).size(), 2u);

    ASSERT_TRUE(findLabel(d, "30m"));
    EXPECT_EQ(findLabel(d, "30m")->at, (Point{2, (top + kGroundY) / 2 - 6}));
    ASSERT_TRUE(findLabel(d, "179m") && findLabel(d, "285m") && findLabel(d, "687m"));
    EXPECT_EQ(findLabel(d, "179m")->at, (Point{68, kGroundY + 5}));
    EXPECT_EQ(findLabel(d, "285m")->at, (Point{94, kGroundY + 5}));
    EXPECT_EQ(findLabel(d, "285m")->colour, kMainLabel);
    EXPECT_EQ(findLabel(d, "687m")->at, (Point{191, kGroundY + 5}));
    EXPECT_FALSE(findLabel(d, "∞"));
}

TEST(DowntiltCanvas, LowerEdgeAboveHorizonEndsOnTheRightAndShowsInfinity) {
    Drawing d = draw(30, 3, 0, 7);
    Rays r = raysOf(d);
    const int top = kGroundY - 25;
    // -0.5 degrees over 197 pixels climbs 1 pixel.
    EXPECT_EQ(r.lower.points.back(), (Point{kW - 5, top - 5 - 1}));
    const Label* inf = findLabel(d, "∞");
    ASSERT_TRUE(inf);
    EXPECT_EQ(inf->at, (Point{kW - 35, kGroundY + 5}));
    EXPECT_EQ(inf->colour, kLowerEdge);
    // The main beam now sets the scale: 1.5 x its distance across 192 pixels.
    EXPECT_EQ(r.main.points.back().y, kGroundY);
    EXPECT_NEAR(r.main.points.back().x, 30 + 128, 1);
    EXPECT_EQ(r.upper.points.back(), (Point{88, kGroundY}));
}

TEST(DowntiltCanvas, LevelMainBeamRunsToTheRightEdge) {
    Drawing d = draw(30, 0, 0, 7);
    Rays r = raysOf(d);
    const int y = kGroundY - 25 - 5;
    EXPECT_EQ(r.main.points, (std::vector<Point>{{30, y}, {kW - 5, y}}));
    EXPECT_FALSE(findLabel(d, "99999m"));
    EXPECT_TRUE(findLabel(d, "∞"));
}

TEST(DowntiltCanvas, SteepUpwardRayStopsAtTheTopEdge) {
    Drawing d = draw(30, -60, 0, 7);
    Rays r = raysOf(d);
    const int y0 = kGroundY - 25 - 5;
    EXPECT_EQ(r.main.points.back(), (Point{30 + int(y0 / std::tan(60 * std::numbers::pi / 180)), 0}));
    EXPECT_EQ(linesIn(d, kMainBeam).size(), 2u);  // the ray and its tick
}

TEST(DowntiltCanvas, NoTickLeftOfTheMast) {
    // Past 90 degrees the ray lands behind the mast.
    Drawing d = draw(30, 120, 0, 0);
    EXPECT_LT(raysOf(d).main.points.back().x, 30);
    EXPECT_EQ(linesIn(d, kMainBeam).size(), 1u);
}

TEST(DowntiltCanvas, TallMastIsDrawnAt100mButLabelledWithItsHeight) {
    Drawing tall = draw(300, 6, 0, 7), hundred = draw(100, 6, 0, 7);
    EXPECT_EQ(boxesIn(tall)[0].bottom, boxesIn(hundred)[0].bottom);
    EXPECT_EQ(boxesIn(tall)[0].bottom, kGroundY - int((kGroundY - 10) * 0.65));
    EXPECT_TRUE(findLabel(tall, "300m"));
    EXPECT_TRUE(findLabel(hundred, "100m"));
}

TEST(DowntiltCanvas, RaysPastTheRightEdgeEndOnIt) {
    // A 2 m mast is drawn as 5 m while the scale comes from the real far
    // distance, so the lower edge would land far right of the canvas.
    Drawing d = draw(2, 6, 0, 7);
    const int top = kGroundY - 25;
    EXPECT_EQ(raysOf(d).lower.points.back(), (Point{kW - 5, int(197 * std::tan(2.5 * std::numbers::pi / 180)) + top - 5}));
    const Label* far = findLabel(d, "46m");
    ASSERT_TRUE(far);
    EXPECT_EQ(far->at, (Point{kW - 35, kGroundY + 5}));
}

TEST(DowntiltCanvas, NonsenseInputsStayOnFiniteCoordinates) {
    for (const DowntiltResult& r : {computeDowntilt({NAN, NAN, 0, 7}), computeDowntilt({30, 180, 0, 0}),
                                    computeDowntilt({INFINITY, 1e300, 0, 1e300}), computeDowntilt({-30, 6, 0, 7})}) {
        Drawing d = drawDowntiltCanvas(r, kW, kH);
        for (const Primitive& p : d.items) {
            if (auto* l = std::get_if<Polyline>(&p)) {
                for (Point pt : l->points) EXPECT_TRUE(std::abs(pt.x) <= 1000030 && std::abs(pt.y) <= 1000030);
            }
        }
    }
}
