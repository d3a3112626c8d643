#include "analysis/match_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/layer_match.h"
#include "core/geodesy.h"

using kit::Position;

namespace {

constexpr double M = kit::kMetresPerDegreeArc;

// A 0.01-degree square at (116, 40), counter-clockwise, not closed.
std::vector<Position> square() { return {{116, 40}, {116.01, 40}, {116.01, 40.01}, {116, 40.01}}; }

kit::Feature polygon(std::vector<Position> ring) {
    kit::Feature f;
    f.type = "Polygon";
    f.ring = std::move(ring);
    return f;
}

}  // namespace

TEST(PointInRing, EvenOddOnTheRingAsStored) {
    EXPECT_TRUE(kit::pointInRing(square(), 116.005, 40.005));
    EXPECT_FALSE(kit::pointInRing(square(), 116.02, 40.005));
    EXPECT_FALSE(kit::pointInRing(square(), 116.005, 39.99));
    // Closed or not, the same answer.
    auto closed = square();
    closed.push_back(closed.front());
    EXPECT_TRUE(kit::pointInRing(closed, 116.005, 40.005));
    // Outer ring followed by its hole, as readers store a polygon with a hole.
    std::vector<Position> holed = closed;
    for (Position p : std::vector<Position>{
             {116.004, 40.004}, {116.004, 40.006}, {116.006, 40.006}, {116.006, 40.004}, {116.004, 40.004}})
        holed.push_back(p);
    EXPECT_FALSE(kit::pointInRing(holed, 116.005, 40.005));
    EXPECT_TRUE(kit::pointInRing(holed, 116.002, 40.005));
    // Fewer than three vertices hold nothing, even on the segment itself.
    EXPECT_FALSE(kit::pointInRing({{0, 0}, {1, 1}}, 0.5, 0.5));
    EXPECT_FALSE(kit::pointInRing({}, 0, 0));
}

TEST(BoundaryDistance, MetresAreEqualNorthAndEast) {
    // 50 m south of the bottom edge and 50 m east of the right edge, at 40°N.
    const double south = 40 - 50 / M;
    EXPECT_NEAR(kit::boundaryDistance(square(), 116.005, south), 50.0, 0.01);
    const double east = 116.01 + 50 / (M * std::cos(40.005 * kit::kDegToRad));
    EXPECT_NEAR(kit::boundaryDistance(square(), east, 40.005), 50.0, 0.01);
    // Both agree with the great-circle distance to the nearest edge point.
    EXPECT_NEAR(kit::boundaryDistance(square(), 116.005, south), kit::haversineDistance(south, 116.005, 40, 116.005),
                0.01);
    EXPECT_NEAR(kit::boundaryDistance(square(), east, 40.005), kit::haversineDistance(40.005, east, 40.005, 116.01),
                0.01);
    // A corner is reached diagonally.
    EXPECT_NEAR(kit::boundaryDistance(square(), 116.005, 40.015), 0.005 * M, 1e-6);
}

TEST(BoundaryDistance, DegenerateRingsAndPoints) {
    EXPECT_EQ(kit::boundaryDistance({}, 0, 0), kit::kNoBoundaryDistance);
    EXPECT_EQ(kit::boundaryDistance({{1, 1}}, 1, 1), kit::kNoBoundaryDistance);
    // Two vertices: a segment, closed back onto itself.
    EXPECT_NEAR(kit::boundaryDistance({{0, 0}, {0, 1}}, 0.001, 0.5), 0.001 * std::cos(0.5 * kit::kDegToRad) * M, 1e-6);
    // A zero-length edge measures to its end.
    EXPECT_NEAR(kit::boundaryDistance({{0, 0}, {0, 0}}, 0, 0.001), 0.001 * M, 1e-6);
    EXPECT_TRUE(std::isnan(kit::boundaryDistance(square(), NAN, 40)));
    EXPECT_TRUE(std::isnan(kit::boundaryDistance(square(), INFINITY, 40)));
}

TEST(MatchFeature, ContainmentDistanceAndBuffer) {
    kit::Feature sq = polygon(square());
    EXPECT_EQ(kit::matchFeature(sq, 116.005, 40.005, 1e-9), 0.0);  // inside, whatever the buffer
    const double south = 40 - 50 / M;
    EXPECT_TRUE(kit::matchFeature(sq, 116.005, south, 100));
    EXPECT_FALSE(kit::matchFeature(sq, 116.005, south, 30));
    EXPECT_FALSE(kit::matchFeature(sq, 116.005, south, NAN));

    kit::Feature pt;
    pt.type = "Point";
    pt.lon = 116;
    pt.lat = 40;
    auto d = kit::matchFeature(pt, 116, 40 + 80 / M, 100);
    ASSERT_TRUE(d);
    EXPECT_NEAR(*d, 80, 1e-6);
    // Across the antimeridian the sphere still knows the two are close.
    pt.lon = 179.9999;
    pt.lat = 0;
    EXPECT_TRUE(kit::matchFeature(pt, -179.9999, 0, 100));

    // A two-vertex polygon holds nothing but matches by its boundary.
    kit::Feature seg = polygon({{116, 40}, {116.01, 40}});
    auto s = kit::matchFeature(seg, 116.005, 40, 100);
    ASSERT_TRUE(s);
    EXPECT_EQ(*s, 0.0);
    EXPECT_TRUE(kit::matchFeature(seg, 116.005, 40 + 10 / M, 100));
    // Nothing else ever matches.
    EXPECT_FALSE(kit::matchFeature(polygon({{116, 40}}), 116, 40, 100));
    EXPECT_FALSE(kit::matchFeature(polygon({}), 0, 0, 100));
    kit::Feature other = polygon(square());
    other.type = "LineString";
    EXPECT_FALSE(kit::matchFeature(other, 116.005, 40.005, 100));
}
