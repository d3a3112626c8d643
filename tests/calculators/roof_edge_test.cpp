#include <gtest/gtest.h>

#include "calculators/roof_edge.h"

using namespace kit;

TEST(RoofEdge, StartUpValues) {
    const auto& f = kRoofEdgeDefaultFields;
    RoofEdgeResult r = runRoofEdge(f[0], f[1], f[2]);
    EXPECT_NEAR(r.edgeAngleDeg, 38.66, 0.005);
    EXPECT_NEAR(r.maxTiltDeg, 26.66, 0.005);
    EXPECT_EQ(r.text, "最大下倾角: 26.66°\r\narctan(H/L) = 38.66°");
}

TEST(RoofEdge, BeamCannotClearTheRoof) {
    RoofEdgeResult r = runRoofEdge("1", "50", "24");
    EXPECT_NEAR(r.edgeAngleDeg, 1.15, 0.005);
    EXPECT_EQ(r.text, "最大下倾角: -10.85°\r\n注意：计算结果为负值，\r\n说明波束无法避开楼面反射。");
    // Exactly zero counts as not clearing too.
    EXPECT_EQ(computeRoofEdge({1, 1, 90}).text, "最大下倾角: 0.00°\r\n注意：计算结果为负值，\r\n说明波束无法避开楼面反射。");
}

TEST(RoofEdge, NonPositiveInputs) {
    for (auto [h, l] : {std::pair{"4", "0"}, {"0", "5"}, {"-4", "5"}, {"4", "abc"}}) {
        RoofEdgeResult r = runRoofEdge(h, l, "24");
        EXPECT_EQ(r.text, "请输入有效的正数值") << h << " " << l;
        EXPECT_EQ(r.maxTiltDeg, 0);
    }
}
