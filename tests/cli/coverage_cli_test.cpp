#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <regex>

#include "cli_harness.h"
#include "core/file_io.h"
#include "tests/batchkml/zip_builder.h"
#include "tests/coverage/tile_maker.h"
#include "tests/temp_folder.h"

using kit::test::runCli;
using kit::test::tempPath;

namespace {

const std::string kSites = kit::test::fixture("sites.tsv");  // 120 sectors on 40 sites
const std::string kPois = kit::test::fixture("pois.tsv");    // 30 points

std::string readAll(const std::string& path) { return kit::readFileBytes(path).value_or(""); }

bool haveTool(const std::string& name) { return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0; }

size_t countOf(const std::string& text, const std::string& piece) {
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

// The feature count GDAL reads from a GeoJSON file, or -1.
long gdalFeatureCount(const std::string& path) {
    const std::string report = tempPath("ogrinfo.txt");
    std::system(("ogrinfo -al -so " + kit::test::shellQuote(path) + " >" + kit::test::shellQuote(report) + " 2>&1").c_str());
    std::smatch m;
    std::string text = readAll(report);
    if (!std::regex_search(text, m, std::regex("Feature Count: (\\d+)"))) return -1;
    return std::stol(m[1]);
}

}  // namespace

TEST(CoverageCli, DensityAndPredictionOpenInGdal) {
    if (!haveTool("ogrinfo")) GTEST_SKIP() << "ogrinfo (GDAL) is not installed";
    const std::string density = tempPath("h3_density.geojson"), prediction = tempPath("coverage_prediction.geojson");
    auto d = runCli("plotvane-cli", {"coverage", "density", kSites, "-o", density, "--level", "9"});
    ASSERT_EQ(d.status, 0) << d.err;
    EXPECT_EQ(d.out, "");
    EXPECT_EQ(d.err, "分析完成！ 文件已保存到：" + density + "\n");
    std::string text = readAll(density);
    // Every one of the 40 sites is a cell of its own at level 9.
    EXPECT_EQ(countOf(text, "\"h3\""), 40u);
    EXPECT_EQ(gdalFeatureCount(density), 40);

    auto p = runCli("plotvane-cli", {"coverage", "prediction", "-o", prediction, kSites});
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_EQ(gdalFeatureCount(prediction), 120);
}

TEST(CoverageCli, BudgetAndTerrainFiles) {
    const std::string budget = tempPath("los_analysis.csv"), forced = tempPath("forced.csv");
    ASSERT_EQ(runCli("plotvane-cli", {"coverage", "budget", kSites, "-o", budget}).status, 0);
    std::string csv = readAll(budget);
    EXPECT_EQ(countOf(csv, "\n"), 121u);
    EXPECT_EQ(csv.rfind("Station,Lat,Lon,CellRadius_km,PathLoss_dB,RxPower_dBm\n0,39.968248,116.539005,", 0), 0u);
    EXPECT_EQ(countOf(csv, ",-100.0\n"), 120u);

    // A forced model changes the radius; reading standard input, columns by index.
    const std::string sitesText = readAll(kSites);
    auto f = runCli("plotvane-cli", {"coverage", "budget", "--model", "cost231", "--freq", "900", "--lon", "1", "--lat",
                                     "2", "-o", forced},
                    &sitesText);
    ASSERT_EQ(f.status, 0) << f.err;
    EXPECT_NE(readAll(forced).substr(0, 120), csv.substr(0, 120));

    const std::string terrain = tempPath("terrain_profile.csv");
    ASSERT_EQ(runCli("plotvane-cli", {"coverage", "terrain", kPois, "-o", terrain, "--height", "35"}).status, 0);
    std::string report = readAll(terrain);
    EXPECT_EQ(countOf(report, "\n"), 111u);
    EXPECT_EQ(report.rfind("# LOS Analysis Result\n# Status: NLOS\n", 0), 0u);
    EXPECT_NE(report.find("\n# Terrain: synthetic hill (no elevation tiles)\n# Earth Radius Factor k: 1.00\n"),
              std::string::npos);
    EXPECT_NE(report.find("\n0.00,39.911413,116.358375,110.83,135.00,0.00,0\n"), std::string::npos);
}

TEST(CoverageCli, TerrainReadsZippedTilesFromTheDemFolder) {
    kit::test::TempFolder dem;
    const auto hill = kit::test::hill(39.9125, 116.335, 60, 120, 800);
    kit::writeFileBytes(dem.file("N39E116.SRTMGL3.hgt.zip"),
                        kit::test::buildZip({{"N39E116.hgt", kit::test::hgtTile(39, 116, 1201, hill)}}));
    const std::string terrain = tempPath("terrain_dem.csv");
    auto r = runCli("plotvane-cli", {"coverage", "terrain", kPois, "-o", terrain, "--dem", dem.path()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string report = readAll(terrain);
    EXPECT_NE(report.find("\n# Terrain: SRTM 3\" tiles N39E116\n# Earth Radius Factor k: 1.33\n"), std::string::npos)
        << report.substr(0, 400);
    // POI00 to POI01, 3.9 km over 3" cells: about one sample per 71 m, and
    // every elevation the hill's own within the tile's rounding.
    std::regex row("\n([0-9.]+),([0-9.]+),([0-9.]+),([-0-9.]+),");
    size_t samples = 0;
    double worst = 0;
    for (auto it = std::sregex_iterator(report.begin(), report.end(), row); it != std::sregex_iterator(); ++it) {
        ++samples;
        worst = std::max(worst, std::abs(std::stod((*it)[4]) - hill(std::stod((*it)[2]), std::stod((*it)[3]))));
    }
    EXPECT_GT(samples, 3900u / 72);
    EXPECT_LT(worst, 1.0);
    EXPECT_EQ(report.rfind("# LOS Analysis Result\n# Status: NLOS\n", 0), 0u);

    // A tile of the wrong size is named in the report, which falls back to
    // the synthetic hill.
    kit::test::TempFolder bad;
    kit::writeFileBytes(bad.file("N39E116.hgt"), "short");
    ASSERT_EQ(runCli("plotvane-cli", {"coverage", "terrain", kPois, "-o", terrain, "--dem", bad.path()}).status, 0);
    EXPECT_NE(readAll(terrain).find("\n# Terrain: synthetic hill (no usable tile N39E116; "
                                   "skipped N39E116.hgt: 5 bytes, not a 1\" or 3\" tile)\n"),
              std::string::npos);
}

TEST(CoverageCli, WarningsAndUsageErrors) {
    const std::string out = tempPath("never_written.csv"), one = tempPath("one.tsv");
    kit::writeFileBytes(one, "经度\t纬度\n116.4\t39.9\n");
    auto w = runCli("plotvane-cli", {"coverage", "terrain", one, "-o", out});
    EXPECT_EQ(w.status, 2);
    EXPECT_EQ(w.err, "LOS地形分析至少需要2个站点\n");
    EXPECT_FALSE(std::filesystem::exists(out));

    auto fspl = runCli("plotvane-cli", {"coverage", "prediction", one, "--model", "fspl", "--freq", "-5", "-o", out});
    EXPECT_EQ(fspl.status, 2);
    EXPECT_EQ(fspl.err, "FSPL模型要求频率大于0\n");

    EXPECT_EQ(runCli("plotvane-cli", {"coverage", "density", one}).status, 2);
    EXPECT_EQ(runCli("plotvane-cli", {"coverage", "heatmap", one, "-o", out}).status, 2);
    EXPECT_EQ(runCli("plotvane-cli", {"coverage", "budget", one, "--env", "desert", "-o", out}).status, 2);
    EXPECT_EQ(runCli("plotvane-cli", {"coverage", "density", one, "--level", "high", "-o", out}).status, 2);
    EXPECT_EQ(runCli("plotvane-cli", {"coverage", "density", one, "--lon", "经", "-o", out}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(out));

    auto unwritable = runCli("plotvane-cli", {"coverage", "density", one, "-o", tempPath("no/such/folder.geojson")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("无法写入文件"), std::string::npos);

    auto help = runCli("plotvane-cli", {"coverage", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--model auto|fspl|hata|cost231"), std::string::npos);
    EXPECT_NE(help.out.find("--dem DIR"), std::string::npos);
}
