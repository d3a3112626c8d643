#include <gtest/gtest.h>

#include <cmath>

#include "core/geodesy.h"
#include "coverage/terrain.h"

using namespace kit;

namespace {

LosResult beijingPath(double lat1 = 39.95, double lon1 = 116.45) {
    double km = haversineDistance(39.9, 116.4, lat1, lon1) / 1000;
    return analyseLos(39.9, 116.4, 100, lat1, lon1, 100, 30, 1.5, 1800, hillProfile(km, 100));
}

size_t lines(const std::string& s) {
    size_t n = 0;
    for (char c : s) n += c == '\n';
    return n;
}

}  // namespace

TEST(Terrain, HillPeaksAtTheMiddleSampleAndBendsWithTheEarth) {
    auto flat = hillProfile(0, 100);
    ASSERT_EQ(flat.size(), 100u);
    EXPECT_DOUBLE_EQ(flat[50], 180);
    EXPECT_NEAR(flat[0], 100 + 80 * std::exp(-2.0), 1e-9);
    // The curvature lowers sample 50 of a 20 km path by (D - d)·d / (2R).
    auto curved = hillProfile(20, 100);
    const double d = 50 * 20000.0 / 99;
    EXPECT_NEAR(flat[50] - curved[50], (20000 - d) * d / 12742000, 1e-9);
    EXPECT_EQ(curved[0], flat[0]);
    EXPECT_EQ(hillProfile(5, 1).size(), 1u);
    EXPECT_FALSE(std::isnan(hillProfile(5, 1)[0]));
    EXPECT_TRUE(hillProfile(5, 0).empty());
}

TEST(Terrain, FresnelRadiusAndClearance) {
    // The engineers' rule F1 = 17.32·sqrt(d1·d2 / (f·D)) (km, GHz) agrees.
    EXPECT_NEAR(fresnelRadiusM(500, 500, 1000, 1800), 17.32 * std::sqrt(0.25 / 1.8), 0.01);
    EXPECT_EQ(fresnelRadiusM(0, 0, 0, 1800), 0);
    EXPECT_EQ(fresnelRadiusM(5, 5, 10, 0), 0);
    EXPECT_EQ(clearanceRatio(110, 100, 20), 0.5);
    EXPECT_EQ(clearanceRatio(90, 100, 20), 0);
    EXPECT_EQ(clearanceRatio(200, 100, 20), 1);
    EXPECT_EQ(clearanceRatio(0, 100, 0), 1);
}

TEST(Terrain, DiffractionFollowsLeesApproximation) {
    // With d1 = d2 = d, nu = h·sqrt(4 / (lambda·d)).
    const double f = 1800, d = 2000, lambda = 299792458.0 / 1.8e9;
    auto lossAt = [&](double nu) { return diffractionLossDb(nu * std::sqrt(lambda * d / 4), d, d, f); };
    EXPECT_NEAR(lossAt(0.5), -20 * std::log10(0.5 * std::exp(-0.475)), 1e-9);
    EXPECT_NEAR(lossAt(1.0), 14.27, 0.01);
    EXPECT_NEAR(lossAt(3.0), -20 * std::log10(0.075), 1e-9);
    // Between 1 and 2.4 the loss rises steadily and stays within 1 dB of the
    // exact knife-edge curve J(nu) of ITU-R P.526.
    double last = 0;
    for (double nu = 1.01; nu <= 2.4; nu += 0.01) {
        double loss = lossAt(nu);
        double exact = 6.9 + 20 * std::log10(std::sqrt((nu - 0.1) * (nu - 0.1) + 1) + nu - 0.1);
        EXPECT_NEAR(loss, exact, 1.0) << nu;
        EXPECT_GT(loss, last);
        last = loss;
    }
    EXPECT_NEAR(lossAt(2.0), 19.43, 0.01);
    EXPECT_EQ(diffractionLossDb(0, d, d, f), 0);
    EXPECT_EQ(diffractionLossDb(-5, d, d, f), 0);
    EXPECT_EQ(diffractionLossDb(5, 0, 0, f), 0);
}

TEST(Terrain, KnifeEdgeAddsOnlyWhatFurtherEdgesCostBeyond6Db) {
    std::vector<TerrainSample> s(5);
    for (int i = 0; i < 5; ++i) s[i].distanceM = i * 1000;
    EXPECT_EQ(knifeEdgeLossDb(s, 1800), 0);
    s[1].elevationM = 4;  // a small edge
    s[2].elevationM = 20;  // the main edge
    s[4].elevationM = 100;  // end samples never count
    double main = diffractionLossDb(20, 2000, 2000, 1800);
    double small = diffractionLossDb(4, 1000, 3000, 1800);
    EXPECT_NEAR(knifeEdgeLossDb(s, 1800), main + std::max(0.0, small - 6), 1e-9);
    EXPECT_EQ(knifeEdgeLossDb({s[0], s[2]}, 1800), 0);
}

TEST(Terrain, BeijingPathIsBlockedByTheHill) {
    LosResult r = beijingPath();
    ASSERT_EQ(r.samples.size(), 100u);
    EXPECT_FALSE(r.los);
    EXPECT_EQ(r.clearanceRatio, 0);
    int first = -1;
    for (int i = 0; i < 100 && first < 0; ++i)
        if (r.samples[i].obstructed) first = i;
    EXPECT_EQ(first, 10);
    EXPECT_EQ(r.maxTerrainDistanceM, r.samples[50].distanceM);
    EXPECT_GT(r.knifeEdgeLossDb, 20);
    EXPECT_NEAR(r.samples[99].lat, 39.95, 1e-12);
    EXPECT_EQ(r.samples[99].fresnelRadiusM, 0);

    std::string report = writeTerrainReport(r);
    EXPECT_EQ(lines(report), 107u);
    EXPECT_EQ(report.rfind("# LOS Analysis Result\n# Status: NLOS\n# Fresnel Clearance: 0.0%\n# Knife-edge Loss: ", 0),
              0u);
    EXPECT_NE(report.find(" dB\n# Max Terrain: 1"), std::string::npos);
    EXPECT_NE(report.find("\n#\nDistance_m,Latitude,Longitude,Elevation_m,LOS_Height_m,Fresnel_Radius_m,Obstructed\n"
                          "0.00,39.90,116.40,110.83,130.00,0.00,0\n"),
              std::string::npos);
}

TEST(Terrain, IdenticalStationsGiveAZeroLengthPath) {
    LosResult r = beijingPath(39.9, 116.4);
    EXPECT_EQ(r.clearanceRatio, 1);
    EXPECT_EQ(r.knifeEdgeLossDb, 0);
    for (const TerrainSample& s : r.samples) EXPECT_EQ(s.fresnelRadiusM, 0);
    std::string report = writeTerrainReport(r);
    EXPECT_NE(report.find("# Fresnel Clearance: 100.0%\n# Knife-edge Loss: 0.0 dB\n"), std::string::npos);
    EXPECT_EQ(lines(report), 107u);
    EXPECT_TRUE(analyseLos(0, 0, 100, 1, 1, 100, 30, 1.5, 1800, {150}).samples.empty());
}
