// Rings with holes in the matching tests, and the edge index of large rings
// against the plain walks: the same answers, bit for bit.
#include "analysis/ring_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/feature_index.h"
#include "analysis/layer_match.h"
#include "analysis/match_geometry.h"
#include "core/geodesy.h"

using kit::Position;

namespace {

std::vector<Position> square(double x0, double y0, double size) {
    return {{x0, y0}, {x0 + size, y0}, {x0 + size, y0 + size}, {x0, y0 + size}, {x0, y0}};
}

std::vector<Position> joined(std::initializer_list<std::vector<Position>> rings) {
    std::vector<Position> out;
    for (const auto& r : rings) out.insert(out.end(), r.begin(), r.end());
    return out;
}

TEST(RingsWithHoles, NoEdgeBetweenRings) {
    // Outer ring and two holes: the starts of the three rings form a
    // triangle that a walk over the concatenation would count as edges.
    const auto ring = joined({square(0, 0, 10), square(8, 1, 1), square(1, 8, 1)});
    struct Case {
        double x, y;
        bool inside;
    } cases[] = {
        {3, 3, true},        // inside the bridging triangle, not in a hole
        {8.5, 1.5, false},   // in the first hole
        {1.5, 8.5, false},   // in the second
        {5, 0.5, true},      // under the first bridge
        {11, 5, false},
    };
    for (const Case& c : cases) EXPECT_EQ(kit::pointInRing(ring, c.x, c.y), c.inside) << c.x << "," << c.y;
    // The distance runs to the nearest hole edge, never to a bridge.
    // (5, 5) lies 0.7 degrees from the second bridge, over 4 from any edge.
    EXPECT_GT(kit::boundaryDistance(ring, 5, 5), 4 * kit::kMetresPerDegreeArc);
    const double toHole = kit::boundaryDistance(ring, 7.5, 1.5);  // 0.5 degrees west of the first hole
    EXPECT_NEAR(toHole, 0.5 * std::cos(1.5 * kit::kDegToRad) * kit::kMetresPerDegreeArc, 1e-6);
}

// A wobbly star-shaped ring of n vertices around (cx, cy), optionally with
// holes, some rings unclosed, as readers and hand-made layers give them.
std::vector<Position> randomPolygon(std::mt19937_64& rng, size_t n, double cx, double cy, int holes) {
    std::uniform_real_distribution<double> u(0, 1);
    auto ring = [&](size_t count, double radius, double x, double y, bool close) {
        std::vector<Position> r;
        for (size_t k = 0; k < count; ++k) {
            const double a = 2 * kit::kPi * double(k) / double(count);
            const double rr = radius * (0.6 + 0.4 * u(rng));
            r.push_back({x + rr * std::cos(a), y + rr * std::sin(a)});
        }
        if (close) r.push_back(r.front());
        return r;
    };
    std::vector<Position> out = ring(n, 0.5, cx, cy, holes > 0 || u(rng) < 0.5);
    for (int h = 0; h < holes; ++h) {
        auto hole = ring(n / 8 + 3, 0.08, cx - 0.15 + 0.1 * h, cy, h + 1 < holes || u(rng) < 0.5);
        out.insert(out.end(), hole.begin(), hole.end());
    }
    return out;
}

TEST(RingIndex, SameAnswersAsThePlainWalks) {
    std::mt19937_64 rng(20261208);
    std::uniform_real_distribution<double> u(-0.7, 0.7);
    for (int trial = 0; trial < 12; ++trial) {
        const double cx = trial % 3 == 0 ? 116.4 : (trial % 3 == 1 ? -70 : 10);
        const double cy = trial % 4 == 0 ? 39.9 : (trial % 4 == 1 ? -60 : (trial % 4 == 2 ? 0 : 88.8));
        const auto ring = randomPolygon(rng, 300 + 700 * size_t(trial), cx, cy, trial % 4);
        const double buffer = trial % 2 ? 100 : 5000;
        kit::Feature f;
        f.type = "Polygon";
        f.ring = ring;
        kit::Layer layer;
        layer.features.push_back(f);
        kit::FeatureIndex index(layer, buffer);
        const kit::RingIndex* edges = index.ringIndex(0);
        ASSERT_NE(edges, nullptr);
        for (int k = 0; k < 4000; ++k) {
            double x = cx + u(rng), y = cy + u(rng);
            if (k % 5 == 0) {  // right on or beside a vertex, where ties live
                const Position& p = ring[size_t(k) % ring.size()];
                x = p.lon + (k % 3 - 1) * 1e-6;
                y = p.lat;
            }
            ASSERT_EQ(edges->contains(x, y), kit::pointInRing(ring, x, y)) << trial << ": " << x << "," << y;
            const double plain = kit::boundaryDistance(ring, x, y);
            if (plain <= buffer) EXPECT_EQ(edges->distanceWithin(x, y), plain) << trial;
            else EXPECT_GT(edges->distanceWithin(x, y), buffer) << trial;
            EXPECT_EQ(kit::matchFeature(f, edges, x, y, buffer), kit::matchFeature(f, x, y, buffer));
        }
        EXPECT_FALSE(edges->contains(NAN, cy));
        EXPECT_FALSE(edges->contains(cx, NAN));
        EXPECT_TRUE(std::isnan(edges->distanceWithin(NAN, cy)));
    }
}

TEST(RingIndex, SmallOrNonFiniteRingsAreWalkedWhole) {
    kit::Layer layer;
    kit::Feature small;
    small.type = "Polygon";
    small.ring = square(0, 0, 1);
    kit::Feature odd = small;
    odd.ring.resize(kit::kMinIndexedRing + 10, Position{0.5, 0.5});
    odd.ring[3].lon = INFINITY;
    layer.features = {small, odd};
    kit::FeatureIndex index(layer, 100);
    EXPECT_EQ(index.ringIndex(0), nullptr);
    EXPECT_EQ(index.ringIndex(1), nullptr);
}

}  // namespace
