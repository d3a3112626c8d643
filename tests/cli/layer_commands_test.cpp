#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "run_cli.h"

namespace {

const std::string kFixtures = KIT_FIXTURES;
const std::string kBom = "\xEF\xBB\xBF";

size_t countOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = 0; (p = text.find(what, p)) != std::string::npos; p += what.size()) ++n;
    return n;
}

bool exists(const std::string& p) { return std::filesystem::exists(p); }

// What GDAL's ogrinfo reads: "Feature Count: N / M POLYGON" (M the features
// whose geometry is a polygon, or POINT for points), or empty when GDAL is not
// installed.
std::string ogrSummary(const test::Scratch& s, const std::string& path, const std::string& geometry) {
    if (s.shell("command -v ogrinfo").status != 0) return {};
    test::CliResult r = s.shell("ogrinfo -ro -al -geom=SUMMARY " + test::shellQuote(path));
    EXPECT_EQ(r.status, 0) << r.err;
    std::smatch count;
    std::regex_search(r.out, count, std::regex("Feature Count: [0-9]+"));
    return count.str() + " / " + std::to_string(countOf(r.out, "\n  " + geometry + " : ")) + " " + geometry;
}

}  // namespace

TEST(WktCommand, WritesGeoJsonWithHolesAsRings) {
    test::Scratch s;
    test::CliResult r = s.run("plotvane-cli", {"wkt", kFixtures + "/wkt_table.tsv", "-o", s.path("layer")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "创建完成！ 文件已保存到：" + s.path("layer.geojson") + "\n");
    std::string text = test::readAll(s.path("layer.geojson"));
    ASSERT_TRUE(text.starts_with(kBom + "{\n  \"type\": \"FeatureCollection\""));
    EXPECT_EQ(countOf(text, "\"type\": \"Feature\""), 4u);
    EXPECT_EQ(countOf(text, "[0.00000000, 0.00000000]"), 0u);
    EXPECT_EQ(countOf(text, "]], [["), 1u);  // the one hole opens a ring of its own

    // Standard input, the column given by index and a .json name: the same bytes.
    r = s.run("plotvane-cli", {"wkt", "--geo", "2", "-o", s.path("again.json")}, kFixtures + "/wkt_table.tsv");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readAll(s.path("again.json")), text);

    if (s.shell("command -v ogrinfo").status != 0) GTEST_SKIP() << "GDAL's ogrinfo is not installed";
    r = s.shell("ogrinfo -ro -al -geom=SUMMARY " + test::shellQuote(s.path("layer.geojson")));
    EXPECT_NE(r.out.find("Feature Count: 4"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("POLYGON : 5 points, 1 inner rings (4 points)"), std::string::npos) << r.out;
}

TEST(LayerCommands, WarningsAndUsageErrors) {
    test::Scratch s;
    const std::string sites = kFixtures + "/sites.tsv";
    std::ofstream(s.path("plain.tsv")) << "id\tname\n1\tx\n";

    test::CliResult r = s.run("plotvane-cli", {"wkt", s.path("plain.tsv"), "-o", s.path("o.geojson")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "请选择 Geometry 列\n");
    r = s.run("plotvane-cli", {"polygons", sites, "--count", "2", "-o", s.path("o.geojson")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "边数/角数必须是 >= 3 的整数\n");
    // A one-column table leaves latitude unselected.
    std::ofstream(s.path("one.tsv")) << "x\n1\n";
    r = s.run("plotvane-cli", {"points", s.path("one.tsv"), "-o", s.path("o.geojson")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "请选择经度列和纬度列\n");
    EXPECT_FALSE(exists(s.path("o.geojson")));

    EXPECT_EQ(s.run("plotvane-cli", {"sectors", sites}).status, 2);  // no -o
    EXPECT_EQ(s.run("plotvane-cli", {"points", sites, "--lon", "经", "-o", s.path("o")}).status, 2);
    EXPECT_EQ(s.run("plotvane-cli", {"points", sites, "--bogus", "-o", s.path("o")}).status, 2);

    r = s.run("plotvane-cli", {"points", s.path("missing.tsv"), "-o", s.path("o")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.starts_with("无法打开文件")) << r.err;
    r = s.run("plotvane-cli", {"points", sites, "-o", s.path("no/such/dir/o.geojson")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
}

TEST(SectorsCommand, ColumnsAsParametersInEveryFormat) {
    test::Scratch s;
    const std::vector<std::string> base = {"sectors",   kFixtures + "/sites.tsv", "--azimuth", "方位角",
                                           "--distance", "半径",                  "--angle",   "波宽"};
    for (const char* name : {"扇形 图层.geojson", "sectors.KML", "sectors.Shp"}) {
        auto args = base;
        args.insert(args.end(), {"-o", s.path(name)});
        test::CliResult r = s.run("plotvane-cli", args);
        EXPECT_EQ(r.status, 0) << name << ": " << r.err;
    }
    std::string text = test::readAll(s.path("扇形 图层.geojson"));
    EXPECT_EQ(countOf(text, "\"type\": \"Feature\""), 120u);
    // The first site's first sector: azimuth 349, radius 800, opening 65.
    EXPECT_NE(text.find("\"row\": 0,\n        \"azimuth\": 349.00000000,\n        \"distance\": 800.00000000,\n"
                        "        \"angle\": 65.00000000"),
              std::string::npos);
    EXPECT_TRUE(exists(s.path("sectors.KML.kml")));
    for (const char* ext : {".shp", ".shx", ".dbf"}) EXPECT_TRUE(exists(s.path(std::string("sectors.Shp") + ext)));

    for (const char* name : {"扇形 图层.geojson", "sectors.KML.kml", "sectors.Shp.shp"}) {
        std::string summary = ogrSummary(s, s.path(name), "POLYGON");
        if (summary.empty()) GTEST_SKIP() << "GDAL's ogrinfo is not installed";
        EXPECT_EQ(summary, "Feature Count: 120 / 120 POLYGON") << name;
    }
}

TEST(PointsAndPolygonsCommands, ReadByGdal) {
    test::Scratch s;
    test::CliResult r = s.run("plotvane-cli", {"points", kFixtures + "/pois.tsv", "-o", s.path("pois.geojson")});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string text = test::readAll(s.path("pois.geojson"));
    EXPECT_EQ(countOf(text, "\"type\": \"Point\""), 30u);
    EXPECT_NE(text.find("\"名称\": \"POI00\""), std::string::npos);
    EXPECT_EQ(text.find("\"经度\""), std::string::npos);

    r = s.run("plotvane-cli", {"polygons", kFixtures + "/pois.tsv", "--star", "--count", "5", "--angle", "25",
                               "--size", "300", "-o", s.path("stars.geojson")});
    ASSERT_EQ(r.status, 0) << r.err;
    text = test::readAll(s.path("stars.geojson"));
    EXPECT_EQ(countOf(text, "\"points\": 5"), 30u);
    EXPECT_EQ(countOf(text, "\"angle\": 25.00000000"), 30u);

    std::string summary = ogrSummary(s, s.path("pois.geojson"), "POINT");
    if (summary.empty()) GTEST_SKIP() << "GDAL's ogrinfo is not installed";
    EXPECT_EQ(summary, "Feature Count: 30 / 30 POINT");
    EXPECT_EQ(ogrSummary(s, s.path("stars.geojson"), "POLYGON"), "Feature Count: 30 / 30 POLYGON");
}
