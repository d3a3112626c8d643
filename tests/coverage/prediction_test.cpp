#include <gtest/gtest.h>

#include <cmath>

#include "core/format.h"
#include "core/geodesy.h"
#include "coverage/prediction.h"

using namespace kit;

TEST(CoverageCircle, ClosedRingNorthFirstAtTheCellRadius) {
    LinkParams p = makeLinkParams(1800);
    auto ring = coverageCircle(116.4, 39.9, -100, 36, p);
    ASSERT_EQ(ring.size(), 37u);
    EXPECT_EQ(ring.front().lon, ring.back().lon);
    EXPECT_EQ(ring.front().lat, ring.back().lat);
    EXPECT_NEAR(ring[0].lon, 116.4, 1e-12);
    EXPECT_GT(ring[0].lat, 39.9);
    EXPECT_GT(ring[9].lon, 116.4);  // 90 degrees: east
    const double radiusM = solveCellRadiusKm(-100, p, 0.01) * 1000;
    for (const LonLat& v : ring) EXPECT_NEAR(haversineDistance(39.9, 116.4, v.lat, v.lon), radiusM, 1e-6 * radiusM);
    EXPECT_TRUE(coverageCircle(0, 0, -100, 0, p).empty());
}

TEST(CoverageGeoJson, LayoutAndSharedRadius) {
    LinkParams p = makeLinkParams(1800);
    EXPECT_EQ(writeCoverageGeoJson({}, p), "{\n  \"type\": \"FeatureCollection\",\n  \"features\": [\n\n  ]\n}");

    std::string text = writeCoverageGeoJson({{116.4, 39.9}, {-0.1, 51.5}}, p);
    const std::string radius = formatFixed(solveCellRadiusKm(-100, p, 0.01), 6);
    std::string head = "{\n  \"type\": \"FeatureCollection\",\n  \"features\": [\n"
                       "    {\"type\":\"Feature\",\n     \"properties\":{\"station\":0,\"radius_km\":" +
                       radius +
                       "},\n     \"geometry\":{\"type\":\"Polygon\",\"coordinates\":[[[116.400000,";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_NE(text.find("]]}},\n    {\"type\":\"Feature\",\n     \"properties\":{\"station\":1,\"radius_km\":" +
                        radius + "},"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 10), "]]}}\n  ]\n}");
}

TEST(StationBudget, OneLinePerStationLatitudeFirst) {
    LinkParams p = makeLinkParams(1800);
    EXPECT_EQ(writeStationBudgetCsv({}, p), "Station,Lat,Lon,CellRadius_km,PathLoss_dB,RxPower_dBm\n");
    std::string csv = writeStationBudgetCsv({{116.4, 39.9}, {151.2, -33.9}}, p);
    const double r = solveCellRadiusKm(-100, p, 0.01);
    const std::string line =
        "1,-33.900000,151.200000," + formatFixed(r, 3) + "," + formatFixed(pathLoss(r, p), 1) + ",-100.0\n";
    EXPECT_EQ(csv.substr(csv.find("\n1,") + 1), line);
    EXPECT_EQ(csv.rfind("Station,Lat,Lon,CellRadius_km,PathLoss_dB,RxPower_dBm\n0,39.900000,116.400000,", 0), 0u);
}
