// The terrain profile against independent readers of the same .hgt tiles:
// SPLAT!'s path analysis (obstructions and the antenna height that clears
// them) and GDAL's reading of the tile's cells. A synthetic hill made here,
// and real SRTM terrain of Olinda (Brazil) warped into a 3" tile by GDAL.
// Skipped where the tools are not installed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/format.h"
#include "coverage/dem_path.h"
#include "tests/coverage/tile_maker.h"
#include "tests/shell_command.h"
#include "tests/temp_folder.h"

namespace {

#ifndef _WIN32
using kit::test::capture;
using kit::test::haveCommand;

struct Path {
    double lat0, lon0, lat1, lon1, height0, height1;
};

struct SplatAnswer {
    bool obstructed = false;     // "SPLAT! detected obstructions"
    double clearAll = 0;         // "... raised to at least X meters AGL to clear all obstructions"
    bool fresnelBlocked = false; // "... raised ... to clear 60% of the first Fresnel zone"
    double clearFresnel = 0;
};

// SPLAT! counts longitude west-positive; its reports carry a few Latin-1 bytes.
std::string qth(const char* name, double lat, double lon, double height) {
    return kit::format("%s\n%.6f\n%.6f\n%.2fm\n", name, lat, -lon, height);
}

SplatAnswer runSplat(const std::string& dir, const Path& p) {
    const char* lrp =
        "15.000\n0.005\n301.000\n1800.000\n5\n0\n0.50\n0.90\n";  // 1800 MHz, as the tab's default
    kit::writeFileBytes(dir + "/tx.qth", qth("TX", p.lat0, p.lon0, p.height0));
    kit::writeFileBytes(dir + "/rx.qth", qth("RX", p.lat1, p.lon1, p.height1));
    kit::writeFileBytes(dir + "/tx.lrp", lrp);
    std::remove((dir + "/TX-to-RX.txt").c_str());
    capture("cd '" + dir + "' && splat -t tx.qth -r rx.qth -metric -m 1.333 -d '" + dir + "/' 2>&1");
    const std::string report = kit::readFileBytes(dir + "/TX-to-RX.txt").value_or("");
    SplatAnswer a;
    a.obstructed = report.find("SPLAT! detected obstructions at") != std::string::npos;
    std::smatch m;
    if (std::regex_search(report, m, std::regex("at least ([0-9.]+) meters AGL\\s+to clear all obstructions")))
        a.clearAll = std::stod(m[1]);
    if (std::regex_search(report, m, std::regex("at least ([0-9.]+) meters AGL\\s+to clear 60% of the first"))) {
        a.fresnelBlocked = true;
        a.clearFresnel = std::stod(m[1]);
    }
    EXPECT_NE(report.find("Path Analysis"), std::string::npos) << "SPLAT! wrote no report";
    return a;
}

// GDAL's four cells around every sample, interpolated as the kit does.
std::vector<double> gdalHeights(const std::string& tile, int lat0, int lon0, const kit::PathProfile& p) {
    std::string queries;
    std::vector<double> fx, fy;
    for (size_t i = 0; i < p.lat.size(); ++i) {
        const double x = (p.lon[i] - lon0) * 1200, y = (lat0 + 1 - p.lat[i]) * 1200;
        const int col = static_cast<int>(x), row = static_cast<int>(y);
        fx.push_back(x - col);
        fy.push_back(y - row);
        for (int r = row; r <= row + 1; ++r)
            for (int c = col; c <= col + 1; ++c) queries += std::to_string(c) + " " + std::to_string(r) + "\n";
    }
    const std::string list = tile + ".queries";
    kit::writeFileBytes(list, queries);
    std::istringstream values(capture("gdallocationinfo -valonly '" + tile + "' <'" + list + "'"));
    std::vector<double> out;
    for (size_t i = 0; i < p.lat.size(); ++i) {
        double v[4] = {NAN, NAN, NAN, NAN};
        for (double& c : v) values >> c;
        out.push_back((1 - fx[i]) * (1 - fy[i]) * v[0] + fx[i] * (1 - fy[i]) * v[1] + (1 - fx[i]) * fy[i] * v[2] +
                      fx[i] * fy[i] * v[3]);
    }
    return out;
}

// SPLAT! reads every sample's height from the nearest cell, where the kit
// interpolates the four around it. The same path over the nearest cells (a
// cell centre's bilinear height is the cell's own) must give SPLAT!'s answer.
// 3" tiles.
kit::PathProfile nearestCells(kit::ElevationModel& dem, const kit::PathProfile& p, int lat0, int lon0) {
    kit::PathProfile out = p;
    out.crestM.clear();  // the crests between samples are the interpolated surface's
    for (size_t i = 0; i < p.lat.size(); ++i) {
        const double row = std::round((lat0 + 1 - p.lat[i]) * 1200), col = std::round((p.lon[i] - lon0) * 1200);
        out.elevationM[i] = dem.heightAt(lat0 + 1 - row / 1200, lon0 + col / 1200).value_or(NAN);
    }
    return out;
}

// Every path: over the nearest cells, the kit's verdicts and clearing heights
// against SPLAT!'s; where the terrain is smooth enough for the nearest cell
// and the interpolated height to agree, the kit's own answer too; its
// elevations against GDAL's.
enum class Terrain { smooth, rough };

void compareWithSplat(const std::string& dir, const std::string& tile, int lat0, int lon0, Terrain terrain,
                      const std::vector<Path>& paths) {
    kit::ElevationModel dem(dir);
    for (const Path& p : paths) {
        SCOPED_TRACE(kit::format("%.4f,%.4f -> %.4f,%.4f at %.1f/%.1f m", p.lat0, p.lon0, p.lat1, p.lon1, p.height0,
                                 p.height1));
        std::string why;
        auto path = kit::demPath(dem, p.lat0, p.lon0, p.lat1, p.lon1, why);
        ASSERT_TRUE(path) << why;
        const kit::PathProfile nearest = nearestCells(dem, path->profile, lat0, lon0);
        const kit::LosResult n = kit::analysePath(
            nearest, {nearest.elevationM.front(), nearest.elevationM.back(), p.height0, p.height1}, 1800);
        const SplatAnswer s = runSplat(dir, p);
        std::vector<kit::LosResult> answers = {n};
        if (terrain == Terrain::smooth)
            answers.push_back(
                kit::analysePath(path->profile, {path->ground0, path->ground1, p.height0, p.height1}, 1800));
        for (const kit::LosResult& r : answers) {
            EXPECT_EQ(r.clearTerrainHeightM > p.height1, s.obstructed);
            if (s.obstructed) {
                EXPECT_NEAR(r.clearTerrainHeightM, s.clearAll, 3);
            }
            EXPECT_EQ(!r.los, s.fresnelBlocked);
            if (s.fresnelBlocked) {
                EXPECT_NEAR(r.clearFresnelHeightM, s.clearFresnel, 3);
            }
        }

        std::vector<double> gdal = gdalHeights(dir + "/" + tile, lat0, lon0, path->profile);
        double worst = 0;
        for (size_t i = 0; i < gdal.size(); ++i)
            worst = std::max(worst, std::abs(gdal[i] - path->profile.elevationM[i]));
        EXPECT_LT(worst, 1.0);
    }
}

#define REQUIRE_TOOL(probe)                                               \
    do {                                                                  \
        if (!haveCommand(probe)) GTEST_SKIP() << "not installed: " probe; \
    } while (0)

TEST(TerrainSplat, SyntheticHill) {
    REQUIRE_TOOL("command -v splat");
    REQUIRE_TOOL("command -v srtm2sdf");
    REQUIRE_TOOL("gdallocationinfo --version");
    kit::test::TempFolder dir;
    // 150 m over a plain at 60 m, 3 km wide, in the middle of the tile.
    kit::writeFileBytes(dir.file("N39E116.hgt"),
                        kit::test::hgtTile(39, 116, 1201, kit::test::hill(39.5, 116.5, 60, 150, 3000)));
    capture("cd '" + dir.path() + "' && srtm2sdf N39E116.hgt 2>&1");
    const std::vector<Path> paths = {
        // Across the hill: east-west, north-south, diagonal, offset.
        {39.5, 116.45, 39.5, 116.55, 30, 1.5},    {39.5, 116.45, 39.5, 116.55, 30, 200},
        {39.505, 116.42, 39.505, 116.58, 50, 10}, {39.45, 116.5, 39.55, 116.5, 30, 1.5},
        {39.46, 116.46, 39.54, 116.54, 40, 20},   {39.46, 116.54, 39.53, 116.47, 30, 5},
        {39.49, 116.47, 39.52, 116.53, 25, 3},    {39.5, 116.4, 39.5, 116.49, 30, 1.5},
        {39.5, 116.44, 39.5, 116.56, 320, 300},   {39.51, 116.45, 39.49, 116.55, 30, 150},
        // Beside the hill: clear with masts, and Fresnel-blocked near a
        // low receiver.
        {39.56, 116.45, 39.56, 116.55, 30, 10},   {39.44, 116.45, 39.44, 116.55, 30, 15},
        {39.45, 116.57, 39.55, 116.57, 40, 20},   {39.45, 116.43, 39.55, 116.43, 30, 30},
        {39.56, 116.45, 39.56, 116.55, 30, 1.5},  {39.43, 116.40, 39.43, 116.60, 60, 60},
        {39.53, 116.54, 39.58, 116.60, 30, 20},   {39.42, 116.42, 39.47, 116.45, 20, 20},
        {39.5, 116.53, 39.5, 116.62, 30, 10},     {39.6, 116.3, 39.6, 116.7, 80, 80},
    };
    compareWithSplat(dir.path(), "N39E116.hgt", 39, 116, Terrain::smooth, paths);
}

TEST(TerrainSplat, RealTerrainOfOlinda) {
    REQUIRE_TOOL("command -v splat");
    REQUIRE_TOOL("command -v srtm2sdf");
    REQUIRE_TOOL("gdalwarp --version");
    kit::test::TempFolder dir;
    // The 3" grid of S08W035: cell centres on whole arc-seconds.
    const std::string source = std::string(KIT_SOURCE_DIR) + "/tests/data/olinda_dem_utm25s.tif";
    capture("cd '" + dir.path() + "' && gdalwarp -q -t_srs EPSG:4326 -te " +
            kit::format("%.9f %.9f %.9f %.9f", -35 - 0.5 / 1200, -8 - 0.5 / 1200, -34 + 0.5 / 1200, -7 + 0.5 / 1200) +
            " -ts 1201 1201 -r bilinear -ot Int16 -dstnodata -32768 '" + source +
            "' warped.tif 2>&1 && gdal_translate -q -of SRTMHGT warped.tif S08W035.hgt 2>&1 && srtm2sdf S08W035.hgt "
            "2>&1 && rm warped.tif");
    ASSERT_TRUE(kit::fileExists(dir.file("S08W035.hgt")));
    // Paths inside the terrain's extent north of 8° S. Here a cell's height
    // and the interpolated one part by metres, and the clearing height
    // magnifies that: raising the far antenna by x lifts the line a fraction
    // v of the way by v·x, so a metre of terrain there costs 1/v metres of
    // mast. From (-7.99, -34.90) the deciding cell, 69 m, lies 7 % of the
    // way: SPLAT! asks 80.4 m of mast, the same cells here 81.1 m; the kit's
    // interpolated samples, one a cell, pass it at 67.0 m, but the crest of
    // the interpolated surface between them, 68.5 m, asks 74.1 m. Beside a
    // one-cell knoll of 60 m, 43 % of the way (57.5 m interpolated), the
    // Fresnel clearance asks 23.3 m of SPLAT!, 23.2 m over the same cells,
    // 18.6 m over the interpolated surface.
    const std::vector<Path> paths = {
        {-7.96, -34.91, -7.96, -34.84, 10, 2},     {-7.99, -34.90, -7.96, -34.84, 30, 10},
        {-7.955, -34.88, -7.995, -34.86, 20, 5}, {-7.97, -34.90, -7.99, -34.85, 40, 40},
        {-7.96, -34.85, -7.99, -34.89, 25, 3},     {-7.975, -34.895, -7.975, -34.845, 15, 5},
    };
    compareWithSplat(dir.path(), "S08W035.hgt", -8, -35, Terrain::rough, paths);
}
#endif

}  // namespace
