#include <gtest/gtest.h>

#include <cmath>

#include "analysis/sector_layer.h"
#include "core/geodesy.h"
#include "layer_text.h"

using test::tableOf;

namespace {

// 100 m and its component at 45 degrees, in degrees of arc on the 6371 km sphere.
constexpr double kR100 = 0.0008993216059187306;
constexpr double kR100At45 = 0.0006359164060127104;
constexpr double kR50At45 = 0.0003179582030063552;

void expectAt(const kit::Position& p, double lon, double lat) {
    EXPECT_NEAR(p.lon, lon, 1e-13);
    EXPECT_NEAR(p.lat, lat, 1e-13);
}

}  // namespace

// Bearings from the centre to the middle of the arc, for compass azimuths.
TEST(SectorRing, AzimuthIsACompassBearing) {
    for (double azimuth : {0.0, 90.0, 180.0, 270.0, 30.0, 315.0, -45.0, 400.0}) {
        auto ring = kit::sectorRing(116, 40, azimuth, 500, 65, 0);
        const double east = (ring[17].lon - 116) * std::cos(40 * kit::kDegToRad), north = ring[17].lat - 40;
        const double bearing = std::atan2(east, north) / kit::kDegToRad;
        EXPECT_NEAR(std::remainder(bearing - azimuth, 360.0), 0, 1e-9) << azimuth;
    }
}

TEST(SectorRing, WedgeEastAtTheEquator) {
    auto ring = kit::sectorRing(0, 0, 90, 100, 90, 0);
    ASSERT_EQ(ring.size(), 34u);
    expectAt(ring[0], 0, 0);
    expectAt(ring[1], kR100At45, -kR100At45);  // south-east
    expectAt(ring[17], kR100, 0);              // due east
    expectAt(ring[33], kR100At45, kR100At45);  // north-east
}

TEST(SectorRing, LongitudeOffsetsWidenWithLatitude) {
    // At 60 degrees the cosine is one half; north (azimuth 0) stays on the meridian.
    auto east = kit::sectorRing(116, 60, 90, 100, 90, 0);
    expectAt(east[17], 116 + 2 * kR100, 60);
    auto north = kit::sectorRing(116, 60, 0, 100, 90, 0);
    expectAt(north[17], 116, 60 + kR100);
    // At the pole the cosine floor keeps every position finite.
    for (const auto& p : kit::sectorRing(0, 90, 0, 100, 90, 0)) EXPECT_TRUE(std::isfinite(p.lon));
}

TEST(SectorRing, InnerRadiusGivesAChord) {
    auto ring = kit::sectorRing(0, 0, 90, 100, 90, 50);
    ASSERT_EQ(ring.size(), 35u);
    expectAt(ring[0], kR50At45, -kR50At45);
    expectAt(ring[1], kR100At45, -kR100At45);
    expectAt(ring[33], kR100At45, kR100At45);
    expectAt(ring[34], kR50At45, kR50At45);
    // A negative inner radius counts as none.
    EXPECT_EQ(kit::sectorRing(0, 0, 90, 100, 90, -5), kit::sectorRing(0, 0, 90, 100, 90, 0));
}

TEST(SectorRing, OpeningOutsideRangeDrawsNinetyDegrees) {
    const auto ninety = kit::sectorRing(10, 20, 45, 300, 90, 0);
    for (double angle : {0.0, -10.0, 400.0, 360.0001}) EXPECT_EQ(kit::sectorRing(10, 20, 45, 300, angle, 0), ninety);
    // 360 is a full circle that still starts at the centre.
    auto full = kit::sectorRing(0, 0, 90, 100, 360, 0);
    ASSERT_EQ(full.size(), 34u);
    expectAt(full[0], 0, 0);
    expectAt(full[1], -kR100, 0);
    expectAt(full[33], -kR100, 0);
    expectAt(full[17], kR100, 0);
}

TEST(SectorLayer, ChecksAndOneFeaturePerRow) {
    kit::Table t = tableOf("lon\tlat\n1\t2\nx\n");
    EXPECT_EQ(kit::runSectorLayer(nullptr, {"lon", "lat"}, {}).message, "请先获取数据");
    EXPECT_EQ(kit::runSectorLayer(&t, {std::nullopt, "lat"}, {}).message, "请选择经度列和纬度列");
    kit::Outcome o = kit::runSectorLayer(&t, {"lon", "lat"}, {});
    ASSERT_TRUE(o.ok());
    auto features = test::featuresIn(o.text);
    ASSERT_EQ(features.size(), 2u);
    // Unreadable and missing centre cells are 0; the ring is closed and sits
    // three brackets deep.
    EXPECT_NE(features[1].find("\"coordinates\": [[[0.00000000, 0.00000000],["), std::string::npos);
    auto ring = test::positionsIn(features[1]);
    ASSERT_EQ(ring.size(), 35u);
    EXPECT_EQ(ring.front(), ring.back());
    // The row's cells follow the sector's own keys; a short row has fewer.
    EXPECT_EQ(test::propertiesOf(features[1]),
              "        \"row\": 1,\n        \"azimuth\": 0.00000000,\n        \"distance\": 100.00000000,\n"
              "        \"angle\": 90.00000000,\n        \"lon\": \"x\"");
    EXPECT_TRUE(o.text.ends_with("    }\n  ]\n}"));
}

TEST(SectorLayer, ParametersAreNumbersOrColumns) {
    kit::Table t = tableOf(
        "经度\t纬度\t方位角\t半径\t波宽\n"
        "0\t0\t90\t200\t400\n"
        "0\t0\tnorth\t\t-10\n"
        "0\t0\n");
    kit::SectorFields f;
    f.azimuth = "方位角";
    f.distance = "半径";
    f.angle = "波宽";
    f.inner = "20m";  // a leading number is a number
    kit::Outcome o = kit::runSectorLayer(&t, {"经度", "纬度"}, f);
    ASSERT_TRUE(o.ok());
    auto features = test::featuresIn(o.text);
    ASSERT_EQ(features.size(), 3u);
    // Row 0 reads its cells; the angle is written as entered though drawn as 90.
    EXPECT_EQ(test::propertiesOf(features[0]),
              "        \"row\": 0,\n        \"azimuth\": 90.00000000,\n        \"distance\": 200.00000000,\n"
              "        \"angle\": 400.00000000,\n        \"经度\": \"0\",\n        \"纬度\": \"0\",\n"
              "        \"方位角\": \"90\",\n        \"半径\": \"200\",\n        \"波宽\": \"400\"");
    auto ring0 = test::positionsIn(features[0]);
    ASSERT_EQ(ring0.size(), 36u);  // inner radius 20: 35 and the closing one
    auto drawn = kit::sectorRing(0, 0, 90, 200, 90, 20);
    EXPECT_NEAR(ring0[17].lon, drawn[17].lon, 1e-8);
    EXPECT_NEAR(ring0[17].lon, 2 * kR100, 1e-8);  // azimuth 90 faces east
    EXPECT_NEAR(ring0[17].lat, 0, 1e-8);
    // Unreadable and missing cells fall back to azimuth 0, distance 100, angle 90.
    EXPECT_EQ(test::propertiesOf(features[1]),
              "        \"row\": 1,\n        \"azimuth\": 0.00000000,\n        \"distance\": 100.00000000,\n"
              "        \"angle\": -10.00000000,\n        \"经度\": \"0\",\n        \"纬度\": \"0\",\n"
              "        \"方位角\": \"north\",\n        \"半径\": \"\",\n        \"波宽\": \"-10\"");
    EXPECT_EQ(test::propertiesOf(features[2]),
              "        \"row\": 2,\n        \"azimuth\": 0.00000000,\n        \"distance\": 100.00000000,\n"
              "        \"angle\": 90.00000000,\n        \"经度\": \"0\",\n        \"纬度\": \"0\"");
}

TEST(SectorLayer, TextsThatAreNeitherNumberNorColumnUseDefaults) {
    kit::Table t = tableOf("lon\tlat\tAz\n0\t0\t45\n");
    kit::SectorFields f;
    f.azimuth = "az";  // names are matched exactly, case included
    f.distance = "";
    f.angle = "nan";
    f.inner = "inf";
    kit::Outcome o = kit::runSectorLayer(&t, {"lon", "lat"}, f);
    ASSERT_TRUE(o.ok());
    EXPECT_EQ(test::propertiesOf(test::featuresIn(o.text).at(0)),
              "        \"row\": 0,\n        \"azimuth\": 0.00000000,\n        \"distance\": 100.00000000,\n"
              "        \"angle\": 90.00000000,\n        \"lon\": \"0\",\n        \"lat\": \"0\",\n"
              "        \"Az\": \"45\"");
    EXPECT_EQ(test::positionsIn(o.text).size(), 35u);
    EXPECT_EQ(o.text.find("nan"), std::string::npos);
}

TEST(SectorLayer, FieldTextIsCutAtSixtyThreeCharacters) {
    const std::string name63(63, 'a');
    kit::Table t = tableOf("lon\tlat\t" + name63 + "\n0\t0\t45\n");
    kit::SectorFields f;
    f.azimuth = name63 + "bbb";
    kit::Outcome o = kit::runSectorLayer(&t, {"lon", "lat"}, f);
    ASSERT_TRUE(o.ok());
    EXPECT_NE(o.text.find("\"azimuth\": 45.00000000"), std::string::npos);

    // Characters, not bytes: 63 Chinese characters are kept whole.
    std::string wide;
    for (int i = 0; i < 63; ++i) wide += "方";
    kit::Table w = tableOf("lon\tlat\t" + wide + "\n0\t0\t30\n");
    f.azimuth = wide + "位";
    o = kit::runSectorLayer(&w, {"lon", "lat"}, f);
    ASSERT_TRUE(o.ok());
    EXPECT_NE(o.text.find("\"azimuth\": 30.00000000"), std::string::npos);
}
