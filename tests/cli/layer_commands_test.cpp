#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "cli_harness.h"
#include "core/file_io.h"

namespace {

using kit::test::runCli;
using kit::test::runShell;
using kit::test::shellQuote;

const std::string kBom = "\xEF\xBB\xBF";
const std::string kSites = kit::test::fixture("sites.tsv");  // 120 sectors
const std::string kPois = kit::test::fixture("pois.tsv");    // 30 points
const std::string kWkt = kit::test::fixture("wkt_table.tsv");

// A folder of its own for each test's files, inside the program's own
// temporary folder.
std::string scratch(const std::string& name) {
    std::string dir = kit::test::tempPath("layer_" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir + "/";
}

std::string readAll(const std::string& path) { return kit::readFileBytes(path).value_or(""); }

bool haveOgrinfo() { return runShell("command -v ogrinfo").status == 0; }

size_t countOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = 0; (p = text.find(what, p)) != std::string::npos; p += what.size()) ++n;
    return n;
}

// What GDAL's ogrinfo reads: "Feature Count: N / M POLYGON" (M the features
// whose geometry is a polygon, or POINT for points).
std::string ogrSummary(const std::string& path, const std::string& geometry) {
    kit::test::CliResult r = runShell("ogrinfo -ro -al -geom=SUMMARY " + shellQuote(path));
    EXPECT_EQ(r.status, 0) << r.err;
    std::smatch count;
    std::regex_search(r.out, count, std::regex("Feature Count: [0-9]+"));
    return count.str() + " / " + std::to_string(countOf(r.out, "\n  " + geometry + " : ")) + " " + geometry;
}

}  // namespace

TEST(WktCommand, WritesGeoJsonWithHolesAsRings) {
    const std::string dir = scratch("wkt");
    kit::test::CliResult r = runCli("plotvane-cli", {"wkt", kWkt, "-o", dir + "layer"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    // The row without geometry is named, not dropped in silence.
    EXPECT_EQ(r.err, "创建完成！ 文件已保存到：" + dir + "layer.geojson 跳过 1 行（几何为空或无法识别）：第 6 行\n");
    std::string text = readAll(dir + "layer.geojson");
    ASSERT_TRUE(text.starts_with(kBom + "{\n  \"type\": \"FeatureCollection\""));
    EXPECT_EQ(countOf(text, "\"type\": \"Feature\""), 5u);  // the multipolygon too
    EXPECT_EQ(countOf(text, "[0.00000000, 0.00000000]"), 0u);
    EXPECT_EQ(countOf(text, "]], [["), 1u);  // the one hole opens a ring of its own

    // Standard input, the column given by index and a .json name: the same bytes.
    const std::string table = readAll(kWkt);
    r = runCli("plotvane-cli", {"wkt", "--geo", "2", "-o", dir + "again.json"}, &table);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readAll(dir + "again.json"), text);

    if (!haveOgrinfo()) GTEST_SKIP() << "GDAL's ogrinfo is not installed";
    r = runShell("ogrinfo -ro -al -geom=SUMMARY " + shellQuote(dir + "layer.geojson"));
    EXPECT_NE(r.out.find("Feature Count: 5"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("POLYGON : 5 points, 1 inner rings (4 points)"), std::string::npos) << r.out;
}

TEST(LayerCommands, WarningsAndUsageErrors) {
    const std::string dir = scratch("warnings");
    kit::writeFileBytes(dir + "plain.tsv", "id\tname\n1\tx\n");
    kit::test::CliResult r = runCli("plotvane-cli", {"wkt", dir + "plain.tsv", "-o", dir + "o.geojson"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "请选择 Geometry 列\n");
    r = runCli("plotvane-cli", {"polygons", kSites, "--count", "2", "-o", dir + "o.geojson"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "边数/角数必须是 >= 3 的整数\n");
    // A one-column table leaves latitude unselected.
    kit::writeFileBytes(dir + "one.tsv", "x\n1\n");
    r = runCli("plotvane-cli", {"points", dir + "one.tsv", "-o", dir + "o.geojson"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "请选择经度列和纬度列\n");
    EXPECT_FALSE(kit::fileExists(dir + "o.geojson"));

    EXPECT_EQ(runCli("plotvane-cli", {"sectors", kSites}).status, 2);  // no -o
    EXPECT_EQ(runCli("plotvane-cli", {"points", kSites, "--lon", "经", "-o", dir + "o"}).status, 2);
    EXPECT_EQ(runCli("plotvane-cli", {"points", kSites, "--bogus", "-o", dir + "o"}).status, 2);

    r = runCli("plotvane-cli", {"points", dir + "missing.tsv", "-o", dir + "o"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.starts_with("无法打开文件")) << r.err;
    r = runCli("plotvane-cli", {"points", kSites, "-o", dir + "no/such/dir/o.geojson"});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
}

TEST(SectorsCommand, ColumnsAsParametersInEveryFormat) {
    const std::string dir = scratch("sectors");
    const std::vector<std::string> base = {"sectors", kSites, "--azimuth", "方位角", "--distance", "半径",
                                           "--angle", "波宽"};
    for (const char* name : {"扇形 图层.geojson", "sectors.KML", "sectors.Shp"}) {
        auto args = base;
        args.insert(args.end(), {"-o", dir + name});
        kit::test::CliResult r = runCli("plotvane-cli", args);
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
    }
    std::string text = readAll(dir + "扇形 图层.geojson");
    EXPECT_EQ(countOf(text, "\"type\": \"Feature\""), 120u);
    // The first site's first sector: azimuth 349, radius 800, opening 65.
    // The first site's first sector: azimuth 349, radius 800, opening 65,
    // followed by every cell of its row.
    EXPECT_NE(text.find("\"row\": 0,\n        \"azimuth\": 349.00000000,\n        \"distance\": 800.00000000,\n"
                        "        \"angle\": 65.00000000,\n        \"站名\": \"海淀000_1\",\n"
                        "        \"经度\": \"116.539005\""),
              std::string::npos);
    EXPECT_NE(text.find("\"CGI\": \"460-00-12000-1\""), std::string::npos);
    EXPECT_NE(readAll(dir + "sectors.KML.kml").find("<name>海淀000_1</name>"), std::string::npos);
    for (const char* ext : {".shp", ".shx", ".dbf", ".cpg", ".prj"})
        EXPECT_TRUE(kit::fileExists(dir + "sectors.Shp" + ext));

    if (!haveOgrinfo()) GTEST_SKIP() << "GDAL's ogrinfo is not installed";
    for (const char* name : {"扇形 图层.geojson", "sectors.KML.kml", "sectors.Shp.shp"})
        EXPECT_EQ(ogrSummary(dir + name, "POLYGON"), "Feature Count: 120 / 120 POLYGON") << name;
    kit::test::CliResult first = runShell("ogrinfo -ro -al -fid 0 " + shellQuote(dir + "sectors.Shp.shp"));
    EXPECT_NE(first.out.find("站名 (String) = 海淀000_1"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("CGI (String) = 460-00-12000-1"), std::string::npos) << first.out;
}

TEST(PointsAndPolygonsCommands, ReadByGdal) {
    const std::string dir = scratch("points");
    kit::test::CliResult r = runCli("plotvane-cli", {"points", kPois, "-o", dir + "pois.geojson"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string text = readAll(dir + "pois.geojson");
    EXPECT_EQ(countOf(text, "\"type\": \"Point\""), 30u);
    EXPECT_NE(text.find("\"名称\": \"POI00\""), std::string::npos);
    EXPECT_EQ(text.find("\"经度\""), std::string::npos);

    r = runCli("plotvane-cli", {"polygons", kPois, "--star", "--count", "5", "--angle", "25", "--size", "300", "-o",
                                dir + "stars.geojson"});
    ASSERT_EQ(r.status, 0) << r.err;
    text = readAll(dir + "stars.geojson");
    EXPECT_EQ(countOf(text, "\"points\": 5"), 30u);
    EXPECT_EQ(countOf(text, "\"angle\": 25.00000000"), 30u);

    if (!haveOgrinfo()) GTEST_SKIP() << "GDAL's ogrinfo is not installed";
    EXPECT_EQ(ogrSummary(dir + "pois.geojson", "POINT"), "Feature Count: 30 / 30 POINT");
    EXPECT_EQ(ogrSummary(dir + "stars.geojson", "POLYGON"), "Feature Count: 30 / 30 POLYGON");
}
