#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/polygon_layer.h"
#include "core/geodesy.h"
#include "layer_text.h"

using test::tableOf;

namespace {

double metresFrom(double lon, double lat, const kit::Position& p) {
    return kit::haversineDistance(lat, lon, p.lat, p.lon);
}

}  // namespace

TEST(RegularPolygonRing, TriangleAndSquare) {
    // Side 100: circumradius 100 / (2 sin 60°) = 57.735 m, i.e. 0.000519224°.
    auto tri = kit::regularPolygonRing(0, 0, 3, 100, 0);
    ASSERT_EQ(tri.size(), 3u);
    EXPECT_NEAR(tri[0].lon, 0.0005192235712652257, 1e-13);
    EXPECT_NEAR(tri[0].lat, 0, 1e-13);
    for (const auto& p : tri) EXPECT_NEAR(metresFrom(0, 0, p), 57.735, 0.001);
    // The square stands on a corner; rotated by 45 degrees it lies flat.
    auto square = kit::regularPolygonRing(116, 40, 4, 100, 0);
    EXPECT_NEAR(square[1].lon, 116, 1e-12);
    EXPECT_GT(square[1].lat, 40);
    auto flat = kit::regularPolygonRing(116, 40, 4, 100, 45);
    EXPECT_NEAR(flat[0].lat, flat[1].lat, 1e-12);
    EXPECT_NEAR(metresFrom(flat[0].lon, flat[0].lat, flat[1]), 100, 0.5);
}

TEST(StarRing, AlternatesOuterAndInnerRadius) {
    auto star = kit::starRing(0, 0, 5, 500, 30, 0);
    ASSERT_EQ(star.size(), 10u);
    // Inner radius tan 30° / (1 + tan 30°) of the outer: 0.366 × 500 m.
    EXPECT_NEAR(star[0].lon, 0.004496608029593653, 1e-13);
    for (size_t i = 0; i < star.size(); ++i)
        EXPECT_NEAR(metresFrom(0, 0, star[i]), i % 2 == 0 ? 500 : 183.0127, 0.01) << i;
    // Vertex 1 sits 36 degrees round from east.
    EXPECT_NEAR(std::atan2(star[1].lat, star[1].lon) * 180 / kit::kPi, 36, 1e-9);
}

TEST(PolygonCount, LeadingInteger) {
    EXPECT_EQ(kit::parsePolygonCount("4.5"), 4);
    EXPECT_EQ(kit::parsePolygonCount("  7 sides"), 7);
    EXPECT_EQ(kit::parsePolygonCount("-3"), -3);
    EXPECT_EQ(kit::parsePolygonCount("abc"), 4);
    EXPECT_EQ(kit::parsePolygonCount(""), 4);
    EXPECT_EQ(kit::parsePolygonCount("-"), 4);
    EXPECT_EQ(kit::parsePolygonCount("99999999999"), std::numeric_limits<int32_t>::max());
}

TEST(PolygonLayer, Warnings) {
    kit::Table t = tableOf("lon\tlat\n1\t2\n");
    const kit::LonLatColumns cols{"lon", "lat"};
    EXPECT_EQ(kit::runPolygonLayer(nullptr, cols, {}).message, "请先获取数据");
    EXPECT_EQ(kit::runPolygonLayer(&t, {}, {}).message, "请选择经度列和纬度列");
    kit::PolygonFields f;
    for (const char* count : {"2", "-5", "0.9"}) {
        f.count = count;
        EXPECT_EQ(kit::runPolygonLayer(&t, cols, f).message, "边数/角数必须是 >= 3 的整数") << count;
    }
    // Counts that could never be held in memory are refused, not attempted.
    f.mode = kit::PolygonMode::Star;
    for (const char* count : {"100001", "2000000000", "99999999999"}) {
        f.count = count;
        EXPECT_EQ(kit::runPolygonLayer(&t, cols, f).message, "边数/角数不能超过 100000") << count;
    }
    f.count = "100000";
    EXPECT_TRUE(kit::runPolygonLayer(&t, cols, f).ok());
}

TEST(PolygonLayer, PolygonModeWithFallbacks) {
    kit::Table t = tableOf("经度\t纬度\t边长\n0\t0\t500\nbad\n");
    kit::PolygonFields f;
    f.count = "three";  // no integer: 4
    f.size = "边长";     // a column name is not looked up: 100
    f.rotation = "x";   // 0
    kit::Outcome o = kit::runPolygonLayer(&t, {"经度", "纬度"}, f);
    ASSERT_TRUE(o.ok());
    auto features = test::featuresIn(o.text);
    ASSERT_EQ(features.size(), 2u);
    EXPECT_EQ(test::propertiesOf(features[0]),
              "        \"row\": 0,\n        \"type\": \"polygon\",\n        \"sides\": 4,\n"
              "        \"经度\": \"0\",\n        \"纬度\": \"0\",\n        \"边长\": \"500\"");
    auto ring = test::positionsIn(features[0]);
    ASSERT_EQ(ring.size(), 5u);
    EXPECT_EQ(ring.front(), ring.back());
    // Circumradius of a 100 m square is 70.71 m, first vertex due east.
    EXPECT_NEAR(ring[0].lon * kit::kMetresPerDegreeArc, 70.71, 0.01);
    EXPECT_NE(features[0].find("\"coordinates\": [[[0.0006"), std::string::npos);
    EXPECT_EQ(features[0].find("angle"), std::string::npos);
    EXPECT_NE(features[1].find("\"row\": 1"), std::string::npos);
}

TEST(PolygonLayer, CellsNamedLikeTheToolsKeysAreRenamed) {
    kit::Table t = tableOf("lon\tlat\tTYPE\ttype_1\tsides\n1\t2\ta\tb\tc\n");
    kit::Outcome o = kit::runPolygonLayer(&t, {"lon", "lat"}, {});
    ASSERT_TRUE(o.ok());
    EXPECT_EQ(test::propertiesOf(o.text),
              "        \"row\": 0,\n        \"type\": \"polygon\",\n        \"sides\": 4,\n"
              "        \"lon\": \"1\",\n        \"lat\": \"2\",\n        \"TYPE_1\": \"a\",\n"
              "        \"type_1_1\": \"b\",\n        \"sides_1\": \"c\"");
}

TEST(PolygonLayer, StarModeWritesItsAngle) {
    kit::Table t = tableOf("lon\tlat\n116\t40\n");
    kit::PolygonFields f;
    f.mode = kit::PolygonMode::Star;
    f.count = "5";
    f.innerAngle = "nope";  // 30
    f.size = "200";
    f.rotation = "90";
    kit::Outcome o = kit::runPolygonLayer(&t, {"lon", "lat"}, f);
    ASSERT_TRUE(o.ok());
    EXPECT_EQ(test::propertiesOf(o.text),
              "        \"row\": 0,\n        \"type\": \"star\",\n        \"points\": 5,\n"
              "        \"angle\": 30.00000000,\n        \"lon\": \"116\",\n        \"lat\": \"40\"");
    auto ring = test::positionsIn(o.text);
    ASSERT_EQ(ring.size(), 11u);
    EXPECT_EQ(ring.front(), ring.back());
    // Rotated by 90 degrees the first point is due north of the centre.
    EXPECT_NEAR(ring[0].lon, 116, 1e-8);
    EXPECT_NEAR((ring[0].lat - 40) * kit::kMetresPerDegreeArc, 200, 0.001);
}
