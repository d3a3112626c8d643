#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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

// Bullington's construction worked by hand at 1800 MHz on a 2 km path, the
// heights given above the line of sight: the summed per-sample loss it
// replaces counted one hill once per sample.
TEST(Terrain, BullingtonMakesOneEquivalentEdge) {
    struct Edge {
        double d, excess;
    };
    struct Case {
        const char* what;
        std::vector<Edge> edges;
        double lossDb;
    } cases[] = {
        {"one edge 10 m up in the middle: nu 1.550", {{1000, 10}}, 17.03},
        {"two edges 10 m up at 500 and 1500 m meet 20 m up in the middle", {{500, 10}, {1500, 10}}, 22.69},
        // A 40 m plateau: rays at 10/980 and 10/981 meet 10.20 m up at 999.5 m.
        {"a plateau sampled 40 times counts once", {}, 17.18},
        {"an edge below both rays adds nothing", {{500, 20}, {1500, 5}}, 23.92},
        {"clear of the ray but inside the zone: nu -0.310", {{1000, -2}}, 3.43},
        {"a path grazing the terrain: J(0)", {{1000, 0}}, 6.03},
    };
    for (Case& c : cases) {
        if (c.edges.empty())
            for (int i = 0; i < 40; ++i) c.edges.push_back({980.0 + i, 10});
        std::vector<TerrainSample> s(2001);
        for (size_t i = 0; i < s.size(); ++i) {
            s[i].distanceM = static_cast<double>(i);
            s[i].elevationM = -1000;
        }
        for (const Edge& e : c.edges) s[static_cast<size_t>(e.d)].elevationM = e.excess;
        EXPECT_NEAR(knifeEdgeLossDb(s, 1800), c.lossDb, 0.005) << c.what;
    }
    EXPECT_NEAR(knifeEdgeJ(-0.78), 0, 1e-12);
    EXPECT_EQ(knifeEdgeJ(-2), 0);
    std::vector<TerrainSample> two(2);
    two[1].distanceM = 1000;
    EXPECT_EQ(knifeEdgeLossDb(two, 1800), 0);
}

// Five samples 1 km apart, a 50 m ridge in the middle; the first antenna
// 30 m up, the second 1.5 m.
TEST(Terrain, MastHeightThatClearsThePath) {
    PathProfile p{.lat = {0, 0, 0, 0, 0}, .lon = {0, 0, 0, 0, 0}, .elevationM = {100, 100, 150, 100, 100},
                  .totalM = 4000};
    const PathEnds ends{100, 100, 30, 1.5};
    // Mid-path the line rises by half what the far antenna does: the ridge
    // 34.25 m above it asks 68.5 m more, plus 0.6 of the 12.9 m zone twice.
    LosResult flat = analysePath(p, ends, 1800);
    EXPECT_NEAR(flat.clearTerrainHeightM, 70.0, 1e-9);
    EXPECT_NEAR(flat.clearFresnelHeightM, 70.0 + 2 * 0.6 * std::sqrt(299792458.0 / 1.8e9 * 1000), 1e-9);
    EXPECT_FALSE(flat.los);
    // k = 4/3 lowers the line mid-path by 2000² / (2·k·6371 km) = 0.235 m.
    p.earthFactor = kStandardEarthFactor;
    LosResult curved = analysePath(p, ends, 1800);
    EXPECT_NEAR(curved.samples[2].losHeightM, 115.75 - 0.23544, 1e-4);
    EXPECT_NEAR(curved.clearTerrainHeightM, 70.0 + 2 * 0.23544, 1e-4);
    // At the heights found, the path is clear and loses nothing.
    LosResult raised = analysePath(p, {100, 100, 30, curved.clearFresnelHeightM + 0.01}, 1800);
    EXPECT_TRUE(raised.los);
    EXPECT_EQ(raised.knifeEdgeLossDb, 0);
    EXPECT_EQ(raised.clearFresnelHeightM, curved.clearFresnelHeightM);

    curved.terrainSource = "SRTM 1\" tiles N39E116";
    const std::string report = writeTerrainReport(curved);
    EXPECT_NE(report.find("# Max Terrain: 150 m at 2000 m\n# Terrain: SRTM 1\" tiles N39E116\n"
                          "# Earth Radius Factor k: 1.33\n# Antenna 2 Height Clearing Terrain: 70.5 m\n"
                          "# Antenna 2 Height Clearing 60% Fresnel: 86.0 m\n#\nDistance_m,"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\n2000.00,0.000000,0.000000,150.00,115.51,12.91,1\n"), std::string::npos) << report;
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
    EXPECT_EQ(lines(report), 111u);
    EXPECT_EQ(report.rfind("# LOS Analysis Result\n# Status: NLOS\n# Fresnel Clearance: 0.0%\n# Knife-edge Loss: ", 0),
              0u);
    EXPECT_NE(report.find(" dB\n# Max Terrain: 1"), std::string::npos);
    EXPECT_NE(report.find("\n#\nDistance_m,Latitude,Longitude,Elevation_m,LOS_Height_m,Fresnel_Radius_m,Obstructed\n"
                          "0.00,39.900000,116.400000,110.83,130.00,0.00,0\n"),
              std::string::npos);
}

TEST(Terrain, IdenticalStationsGiveAZeroLengthPath) {
    LosResult r = beijingPath(39.9, 116.4);
    EXPECT_EQ(r.clearanceRatio, 1);
    EXPECT_EQ(r.knifeEdgeLossDb, 0);
    for (const TerrainSample& s : r.samples) EXPECT_EQ(s.fresnelRadiusM, 0);
    std::string report = writeTerrainReport(r);
    EXPECT_NE(report.find("# Fresnel Clearance: 100.0%\n# Knife-edge Loss: 0.0 dB\n"), std::string::npos);
    EXPECT_EQ(lines(report), 111u);
    EXPECT_TRUE(analyseLos(0, 0, 100, 1, 1, 100, 30, 1.5, 1800, {150}).samples.empty());
}
