#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/file_io.h"
#include "coverage/dem.h"
#include "coverage/dem_path.h"
#include "coverage/srtm_tile.h"
#include "tests/batchkml/zip_builder.h"
#include "tests/coverage/tile_maker.h"
#include "tests/temp_folder.h"

using namespace kit;
using kit::test::hgtTile;

namespace {

std::string bigEndian(std::initializer_list<int> heights) {
    std::string s;
    for (int h : heights) {
        const auto v = static_cast<uint16_t>(static_cast<int16_t>(h));
        s += static_cast<char>(v >> 8);
        s += static_cast<char>(v & 0xff);
    }
    return s;
}

constexpr int V = kSrtmVoid;

// A plane in whole metres per 3" cell, continuous across the tiles it spans:
// bilinear interpolation must give it back exactly, on edges too.
double plane(double lat, double lon) { return (lon - 116) * 1200 + 2 * (40 - lat) * 1200 - 500; }

void write(const test::TempFolder& dir, const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(writeFileBytes(dir.file(name), bytes));
}

}  // namespace

TEST(SrtmTile, NamesGiveTheSouthWestCorner) {
    struct Case {
        const char* name;
        bool ok;
        int lat, lon;
    } cases[] = {
        {"N39E116.hgt", true, 39, 116},         {"S08W035.hgt", true, -8, -35},
        {"n00e000.HGT", true, 0, 0},            {"N39E116.hgt.zip", true, 39, 116},
        {"N39E116.SRTMGL1.hgt.zip", true, 39, 116}, {"S89W180.hgt", true, -89, -180},
        {"N39E180.hgt", false, 0, 0},           {"N90E000.hgt", false, 0, 0},
        {"N39E116.tif", false, 0, 0},           {"N39E16.hgt", false, 0, 0},
        {"X39E116.hgt", false, 0, 0},           {"N39E116.hgt.bak", false, 0, 0},
        {"N3aE116.hgt", false, 0, 0},           {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        auto corner = tileCornerFromName(c.name);
        ASSERT_EQ(corner.has_value(), c.ok) << c.name;
        if (!c.ok) continue;
        EXPECT_EQ(corner->lat, c.lat) << c.name;
        EXPECT_EQ(corner->lon, c.lon) << c.name;
        if (std::string(c.name).ends_with("E116.hgt")) {
            EXPECT_EQ(tileBaseName(*corner) + ".hgt", c.name);
        }
    }
}

TEST(SrtmTile, DecodesBigEndianAndRefusesOtherSizes) {
    auto g = decodeHeightGrid(bigEndian({1, -5, 300, 32767}), 2);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->at(0, 1), -5);
    EXPECT_EQ(g->at(1, 0), 300);
    EXPECT_EQ(g->at(1, 1), 32767);
    EXPECT_FALSE(decodeHeightGrid(bigEndian({1, 2, 3}), 2));
    std::string error;
    EXPECT_FALSE(decodeSrtmTile(bigEndian({1, 2, 3, 4}), error));
    EXPECT_EQ(error, "8 bytes, not a 1\" or 3\" tile");
    auto tile = decodeSrtmTile(std::string(1201 * 1201 * 2, '\0'), error);
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->side, 1201);
}

TEST(SrtmTile, VoidsTakeTheirValidNeighboursMean) {
    // A lone void, a corner void, and a 3x3 hole whose middle has no valid
    // neighbour: it stays void, its rim is filled from the cells as read.
    auto g = decodeHeightGrid(bigEndian({V,  10, 10, 10, 10,  //
                                         10, V,  V,  V,  10,  //
                                         10, V,  V,  V,  10,  //
                                         10, V,  V,  V,  40,  //
                                         10, 10, 10, 10, 10}),
                              5);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->at(0, 0), 10);
    EXPECT_EQ(g->at(2, 2), V);
    EXPECT_EQ(g->at(1, 1), 10);  // four valid neighbours of 10
    EXPECT_EQ(g->at(2, 3), 20);  // (10·2 + 40) / 3
    EXPECT_EQ(g->at(3, 3), 16);  // (10·4 + 40) / 5
}

// Cells are filled as they are read; the same as filling the whole grid at
// once from its heights as read, on a grid a third void.
TEST(SrtmTile, FillingOnReadMatchesFillingTheWholeGrid) {
    const int side = 60;
    std::vector<int> heights(side * side);
    uint32_t seed = 12345;
    for (int& h : heights) {
        seed = seed * 1664525 + 1013904223;
        h = seed % 3 == 0 ? V : static_cast<int>(seed >> 20) % 2000 - 400;
    }
    std::string bytes;
    for (int h : heights) bytes += bigEndian({h});
    auto g = decodeHeightGrid(bytes, side);
    ASSERT_TRUE(g);
    int stillVoid = 0;
    for (int row = 0; row < side; ++row)
        for (int col = 0; col < side; ++col) {
            int want = heights[row * side + col];
            if (want == V) {
                int sum = 0, n = 0;
                for (int r = row - 1; r <= row + 1; ++r)
                    for (int c = col - 1; c <= col + 1; ++c) {
                        if (r < 0 || c < 0 || r >= side || c >= side || heights[r * side + c] == V) continue;
                        sum += heights[r * side + c];
                        ++n;
                    }
                want = n ? static_cast<int>(std::lround(static_cast<double>(sum) / n)) : V;
                stillVoid += n == 0;
            }
            // Halves round away from zero in both.
            EXPECT_EQ(g->at(row, col), want) << row << " " << col;
        }
    EXPECT_GT(stillVoid, 0);
}

TEST(ElevationModel, BilinearAcrossTileEdgesAndTilesReadOnlyWhenAsked) {
    test::TempFolder dir;
    write(dir, "N39E116.hgt", hgtTile(39, 116, 1201, plane));
    write(dir, "N39E117.hgt", hgtTile(39, 117, 1201, plane));
    ASSERT_TRUE(writeFileBytes(dir.file("N40E116.hgt.zip"),
                               test::buildZip({{"N40E116.hgt", hgtTile(40, 116, 1201, plane)}})));
    ElevationModel dem(dir.path());
    EXPECT_TRUE(dem.tilesRead().empty());
    const double points[][2] = {{39.5, 116.5},      {39.5, 117.0},      {39.5, 116.99999}, {39.5, 117.00001},
                                {40.0, 116.3},      {39.99999, 116.3},  {40.00001, 116.3}, {39.123456, 117.98765},
                                {40.5, 116.000417}, {39.0, 116.0}};
    for (auto [lat, lon] : points) {
        auto h = dem.heightAt(lat, lon);
        ASSERT_TRUE(h) << lat << " " << lon;
        EXPECT_NEAR(*h, plane(lat, lon), 1e-6) << lat << " " << lon;
    }
    EXPECT_EQ(dem.tilesRead(), (std::vector<std::string>{"N39E116", "N39E117", "N40E116"}));
    EXPECT_FALSE(dem.heightAt(38.5, 116.5));
    EXPECT_FALSE(dem.covers(40.5, 117.5));
    EXPECT_DOUBLE_EQ(dem.cellDegrees(39.5, 116.5), 1.0 / 1200);
    EXPECT_TRUE(dem.problems().empty());
}

// Plain tiles are read a row at a time, zipped ones keep only the rows the
// path needs as they inflate (or inflate again, whole, for a row asked
// later): every way gives the same heights.
TEST(ElevationModel, ZippedAndPlainTilesGiveTheSameProfile) {
    test::TempFolder plain, zipped;
    const auto terrain = test::hill(39.5, 116.5, 100, 300, 900);
    const std::string tile = hgtTile(39, 116, 1201, terrain);
    write(plain, "N39E116.hgt", tile);
    write(zipped, "N39E116.SRTMGL3.hgt.zip", test::buildZip({{"N39E116.hgt", tile}}));
    ElevationModel a(plain.path()), b(zipped.path());
    std::string why;
    auto pa = demPath(a, 39.47, 116.43, 39.53, 116.55, why);
    auto pb = demPath(b, 39.47, 116.43, 39.53, 116.55, why);
    ASSERT_TRUE(pa && pb) << why;
    EXPECT_EQ(pa->profile.elevationM, pb->profile.elevationM);
    for (size_t i = 0; i < pa->profile.lat.size(); i += 50)
        EXPECT_NEAR(pa->profile.elevationM[i], terrain(pa->profile.lat[i], pa->profile.lon[i]), 1.0);
    // Rows the path did not need.
    for (double lat : {39.1, 39.9, 39.47})
        EXPECT_EQ(a.heightAt(lat, 116.2), b.heightAt(lat, 116.2)) << lat;
}

TEST(ElevationModel, BadTilesAreSkippedByName) {
    test::TempFolder dir;
    write(dir, "N39E116.hgt", std::string(1000, '\1'));
    write(dir, "N39E117.SRTMGL1.hgt.zip", "not a zip");
    write(dir, "tile.hgt", hgtTile(39, 118, 1201, plane));
    write(dir, "readme.txt", "ignored");
    ElevationModel dem(dir.path());
    EXPECT_FALSE(dem.heightAt(39.5, 116.5));
    EXPECT_FALSE(dem.heightAt(39.5, 117.5));
    EXPECT_FALSE(dem.heightAt(39.5, 118.5));
    std::vector<std::string> problems = dem.problems();
    std::sort(problems.begin(), problems.end());
    EXPECT_EQ(problems, (std::vector<std::string>{"N39E116.hgt: 1000 bytes, not a 1\" or 3\" tile",
                                                  "N39E117.SRTMGL1.hgt.zip: not a readable zip archive",
                                                  "tile.hgt: not a tile name such as N39E116.hgt"}));
    std::string why;
    EXPECT_FALSE(demPath(dem, 39.5, 116.2, 39.6, 116.3, why));
    EXPECT_EQ(why.rfind("no usable tile N39E116; skipped ", 0), 0u) << why;
}

TEST(ElevationModel, VoidsWithoutNeighboursAreReportedVoid) {
    test::TempFolder dir;
    // A void square 5 cells wide around (39.5, 116.5): its middle stays void.
    write(dir, "N39E116.hgt", hgtTile(39, 116, 1201, [](double lat, double lon) {
              return std::abs(lat - 39.5) < 2.5 / 1200 && std::abs(lon - 116.5) < 2.5 / 1200 ? V : 50.0;
          }));
    ElevationModel dem(dir.path());
    EXPECT_FALSE(dem.heightAt(39.5, 116.5));
    EXPECT_NEAR(*dem.heightAt(39.5, 116.5 + 2.0 / 1200), 50, 1e-9);  // the hole's filled rim
    EXPECT_NEAR(*dem.heightAt(39.5, 116.5 + 1.5 / 1200), 50, 1e-9);  // half void, half rim

    std::string why;
    auto path = demPath(dem, 39.5, 116.49, 39.5, 116.51, why);
    ASSERT_TRUE(path) << why;
    size_t voids = 0;
    for (double h : path->profile.elevationM) voids += std::isnan(h);
    EXPECT_GT(voids, 0u);
    EXPECT_NE(path->source.find("(" + std::to_string(voids) + " void samples)"), std::string::npos) << path->source;
    LosResult r = analysePath(path->profile, {path->ground0, path->ground1, 30, 1.5}, 1800);
    // The void samples' elevation is left empty, the only empty field.
    const std::string report = writeTerrainReport(r);
    EXPECT_EQ(report.find("-32768"), std::string::npos);
    size_t empty = 0;
    for (size_t at = report.find(",,"); at != std::string::npos; at = report.find(",,", at + 1)) ++empty;
    EXPECT_EQ(empty, voids);
}

TEST(DemPath, OneSamplePerCellAlongTheGreatCircle) {
    test::TempFolder dir;
    write(dir, "N39E116.hgt", hgtTile(39, 116, 1201, plane));
    ElevationModel dem(dir.path());
    std::string why;
    // 0.5° of longitude at 39.5°: about 42.9 km over 3" cells 71.5 m wide.
    auto p = demPath(dem, 39.5, 116.2, 39.5, 116.7, why);
    ASSERT_TRUE(p) << why;
    const size_t n = p->profile.elevationM.size();
    EXPECT_GE(p->profile.totalM / (n - 1), 60.0);
    EXPECT_LE(p->profile.totalM / (n - 1), 71.6);
    EXPECT_DOUBLE_EQ(p->ground0, plane(39.5, 116.2));
    EXPECT_NEAR(p->ground1, plane(39.5, 116.7), 1e-6);
    EXPECT_EQ(p->source, "SRTM 3\" tiles N39E116");
    EXPECT_EQ(p->profile.earthFactor, kStandardEarthFactor);
    // The great circle bows towards the pole between points on one parallel.
    EXPECT_GT(p->profile.lat[n / 2], 39.5002);
    // A short path keeps at least the usual 100 samples.
    auto s = demPath(dem, 39.5, 116.2, 39.5, 116.201, why);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->profile.elevationM.size(), 100u);
}

namespace {

// The same path sampled many times a cell, crests left to the samples.
PathProfile denseProfile(ElevationModel& dem, const PathProfile& coarse, size_t perSample) {
    PathProfile p;
    p.totalM = coarse.totalM;
    p.earthFactor = coarse.earthFactor;
    const size_t n = (coarse.lat.size() - 1) * perSample + 1;
    p.lat.resize(n);
    p.lon.resize(n);
    p.elevationM.resize(n);
    for (size_t i = 0; i < n; ++i) {
        greatCirclePoint(coarse.lat.front(), coarse.lon.front(), coarse.lat.back(), coarse.lon.back(),
                         static_cast<double>(i) / static_cast<double>(n - 1), p.lat[i], p.lon[i]);
        p.elevationM[i] = dem.heightAt(p.lat[i], p.lon[i]).value_or(NAN);
    }
    return p;
}

}  // namespace

// One cell of 200 m on a 10 m plain, the paths passing beside its node (not
// through it), near the first station where a metre of terrain costs many of
// mast: the crest between samples must count about as dense sampling finds it.
TEST(DemPath, CrestsBetweenSamplesCountForTheClearingHeights) {
    test::TempFolder dir;
    const double cell = 1.0 / 1200;
    write(dir, "N39E116.hgt", hgtTile(39, 116, 1201, [&](double lat, double lon) {
              return std::abs(lat - 39.5) < cell / 2 && std::abs(lon - 116.5) < cell / 2 ? 200.0 : 10.0;
          }));
    ElevationModel dem(dir.path());
    struct Case {
        double lat0, lon0, lat1, lon1;
    };
    for (const Case& c : {Case{39.5 + 0.35 * cell, 116.48 + 0.5 * cell, 39.5 + 0.35 * cell, 116.58},
                          Case{39.49 + 0.4 * cell, 116.49, 39.53 + 0.4 * cell, 116.53},
                          Case{39.48, 116.5 - 0.3 * cell, 39.56, 116.5 - 0.3 * cell}}) {
        SCOPED_TRACE(c.lat0);
        std::string why;
        auto path = demPath(dem, c.lat0, c.lon0, c.lat1, c.lon1, why);
        ASSERT_TRUE(path) << why;
        const PathEnds ends{path->ground0, path->ground1, 30, 10};
        const LosResult r = analysePath(path->profile, ends, 1800);
        const LosResult dense = analysePath(denseProfile(dem, path->profile, 50), ends, 1800);
        // A crest counts where its sample stands, up to half a sample from
        // where it is: about 1 % of the mast here, so near the station.
        EXPECT_NEAR(r.clearTerrainHeightM, dense.clearTerrainHeightM, 0.02 * dense.clearTerrainHeightM);
        EXPECT_NEAR(r.clearFresnelHeightM, dense.clearFresnelHeightM, 0.02 * dense.clearFresnelHeightM);
        EXPECT_NEAR(r.knifeEdgeLossDb, dense.knifeEdgeLossDb, 0.2);
        // The samples alone pass beside the crest and ask too low a mast.
        PathProfile samplesOnly = path->profile;
        samplesOnly.crestM.clear();
        EXPECT_LT(analysePath(samplesOnly, ends, 1800).clearTerrainHeightM, 0.98 * dense.clearTerrainHeightM);
    }
}
