// Polygon rings as features store them, and Shapefile parts put together.
#include <gtest/gtest.h>

#include "layers/polygon_rings.h"

using kit::Position;
using kit::Rings;

namespace {

// An axis-aligned square ring, closed; clockwise (an ESRI outer ring) or not.
std::vector<Position> square(double x0, double y0, double size, bool clockwise) {
    std::vector<Position> r{{x0, y0}, {x0 + size, y0}, {x0 + size, y0 + size}, {x0, y0 + size}};
    if (clockwise) std::reverse(r.begin(), r.end());
    r.push_back(r.front());
    return r;
}

std::vector<Position> joined(std::initializer_list<std::vector<Position>> rings) {
    std::vector<Position> out;
    for (const auto& r : rings) out.insert(out.end(), r.begin(), r.end());
    return out;
}

TEST(JoinRings, ClosesEveryRingOnlyWhenThereAreSeveral) {
    const std::vector<Position> open{{0, 0}, {1, 0}, {0, 1}};
    EXPECT_EQ(kit::joinRings({open}), open);  // one ring stays as written
    EXPECT_EQ(kit::joinRings({open, {}, open}),
              (std::vector<Position>{{0, 0}, {1, 0}, {0, 1}, {0, 0}, {0, 0}, {1, 0}, {0, 1}, {0, 0}}));
    EXPECT_TRUE(kit::joinRings({}).empty());
}

TEST(AssemblePolygons, HolesGoToTheOuterRingHoldingThem) {
    const auto outerA = square(0, 0, 10, true), outerB = square(20, 0, 10, true);
    const auto holeA = square(2, 2, 2, false), holeB = square(22, 2, 2, false), holeA2 = square(6, 6, 2, false);
    const auto island = square(2.5, 2.5, 1, true);  // inside holeA: a polygon of its own
    struct Case {
        const char* what;
        Rings parts;
        Rings want;
    } cases[] = {
        {"outer and hole", {outerA, holeA}, {joined({outerA, holeA})}},
        {"holes listed after both outers", {outerA, outerB, holeB, holeA, holeA2},
         {joined({outerA, holeA, holeA2}), joined({outerB, holeB})}},
        {"an island in a hole is its own polygon", {outerA, holeA, island}, {joined({outerA, holeA}), island}},
        {"a hole outside every outer ring stands alone", {outerA, holeB}, {outerA, holeB}},
        {"no clockwise ring: every part alone", {holeA, holeB}, {holeA, holeB}},
        {"two outers, no holes", {outerA, outerB}, {outerA, outerB}},
    };
    for (const Case& c : cases) EXPECT_EQ(kit::assemblePolygons(c.parts), c.want) << c.what;
}

}  // namespace

namespace {

// Thousands of parts, each outer ring followed by its hole: past the work
// budget the holes still go to the outer ring before them.
TEST(AssemblePolygons, ManyPartsKeepTheirHoles) {
    Rings parts;
    for (int i = 0; i < 20000; ++i) {
        parts.push_back(square(10.0 * i, 0, 8, true));
        parts.push_back(square(10.0 * i + 2, 2, 2, false));
    }
    const Rings out = kit::assemblePolygons(parts);
    ASSERT_EQ(out.size(), 20000u);
    for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], joined({parts[2 * i], parts[2 * i + 1]})) << i;
}

}  // namespace
