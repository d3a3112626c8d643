#include <gtest/gtest.h>

#include <fstream>

#include "run_cli.h"

namespace {

const std::string kFixtures = KIT_FIXTURES;

void write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

}  // namespace

TEST(GroupCommand, GroupsAFileOrStandardInput) {
    test::Scratch s;
    // Two points 80 m apart (0.00072 degrees of latitude) and one far off;
    // the last row has no coordinates and lands at (0, 0).
    write(s.path("pts.csv"), "name,lat,lon\r\na,39.9,116.4\r\nb,39.90072,116.4\r\nc,40,117\r\nd,,\r\n");
    test::CliResult r = s.run("plotvane-cli", {"group", s.path("pts.csv"), "--geom"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "name\tlat\tlon\tclusterid\tgeom\n"
              "a\t39.9\t116.4\t0\tPOINT(116.400000 39.900000)\n"
              "b\t39.90072\t116.4\t0\tPOINT(116.400000 39.900720)\n"
              "c\t40\t117\t1\tPOINT(117.000000 40.000000)\n"
              "d\t\t\t2\tPOINT(0.000000 0.000000)\n");
    EXPECT_EQ(r.err, "完成！4行数据已导出到剪贴板 共分为 3 个聚类组\n");

    // Standard input, columns by index, a distance that splits the pair, a file out.
    r = s.run("plotvane-cli", {"group", "--distance", "50", "--lon", "2", "--lat", "1", "-o", s.path("out.tsv")},
              s.path("pts.csv"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(test::readAll(s.path("out.tsv")),
              "name\tlat\tlon\tclusterid\na\t39.9\t116.4\t0\nb\t39.90072\t116.4\t1\nc\t40\t117\t2\nd\t\t\t3\n");
}

TEST(GroupCommand, WarningsAndUsageErrors) {
    test::Scratch s;
    write(s.path("pts.tsv"), "lon\tlat\n116\t40\n");
    for (const char* d : {"0", "-5"}) {
        test::CliResult r = s.run("plotvane-cli", {"group", s.path("pts.tsv"), "--distance", d});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "距离必须是正数\n");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(s.run("plotvane-cli", {"group", s.path("pts.tsv"), "--distance", "abc"}).status, 0);
    EXPECT_EQ(s.run("plotvane-cli", {"group", s.path("pts.tsv"), "--lon", "经度"}).status, 2);
    write(s.path("empty.tsv"), "");
    EXPECT_EQ(s.run("plotvane-cli", {"group", s.path("empty.tsv")}).err, "剪贴板无数据\n");
    test::CliResult missing = s.run("plotvane-cli", {"group", s.path("nope.tsv")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("无法打开文件", 0), 0u);
}

TEST(MatchCommand, SameMatchesFromEveryLayerFormat) {
    test::Scratch s;
    const std::string pois = kFixtures + "/pois.tsv";
    test::CliResult geo = s.run("plotvane-cli", {"match", pois, "--layer", kFixtures + "/zones.geojson"});
    ASSERT_EQ(geo.status, 0) << geo.err;
    EXPECT_EQ(geo.err, "匹配完成！17/30 个匹配，30行已导出到剪贴板\n");
    EXPECT_EQ(geo.out.substr(0, geo.out.find('\n')), "名称\t经度\t纬度\t类型\t人口\t区县\t编号\t距离(米)");
    EXPECT_NE(geo.out.find("\nPOI00\t116.358375\t39.911413\t学校\t313.2\t海淀区\t1\t0.00\n"), std::string::npos);
    // POI27 lies in the hole of 西城区 and is not inside it.
    EXPECT_NE(geo.out.find("\nPOI02\t116.315161\t39.876087\t学校\t\t\t\t-1.00\n"), std::string::npos);

    // The KML and Shapefile versions of the layer carry the same shapes.
    for (const char* other : {"/zones.kml", "/zones.shp"}) {
        test::CliResult r = s.run(
            "plotvane-cli", {"match", pois, "--layer", kFixtures + other, "--buffer", "600", "--method", "merge"});
        ASSERT_EQ(r.status, 0) << other << r.err;
        EXPECT_EQ(r.err, "匹配完成！21/30 个匹配，30行已导出到剪贴板\n") << other;
        EXPECT_NE(r.out.find("\t435.11\n"), std::string::npos) << other;
        EXPECT_NE(r.out.find("\t580.21\n"), std::string::npos) << other;
    }
}

TEST(MatchCommand, MethodsFieldAndOutputFile) {
    test::Scratch s;
    const std::string layer = kFixtures + "/zones.geojson";
    write(s.path("pts.tsv"), "id\tx\ty\np\t116.359\t39.911\nq\t0\t0\n");
    test::CliResult r =
        s.run("plotvane-cli", {"match", "--method", "expand", "--field", "区县", "--lon", "x", "--lat", "y",
                               s.path("pts.tsv"), "-o", s.path("out.tsv"), "--layer", layer, "--buffer", "200"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(test::readAll(s.path("out.tsv")),
              "id\tx\ty\t区县\t距离(米)\n"
              "p\t116.359\t39.911\t海淀区\t0.00\n"
              "p\t116.359\t39.911\t西城区\t85.29\n"
              "q\t0\t0\t\t-1\n");
    EXPECT_EQ(r.err, "匹配完成！1/2 个匹配，3行已导出到剪贴板\n");
}

TEST(MatchCommand, LayerProblemsAndUsageErrors) {
    test::Scratch s;
    const std::string pois = kFixtures + "/pois.tsv";
    const std::string layer = kFixtures + "/zones.geojson";
    write(s.path("lines.geojson"), R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{"a":1},)"
                                   R"("geometry":{"type":"LineString","coordinates":[[0,0],[1,1]]}}]})");
    test::CliResult r = s.run("plotvane-cli", {"match", pois, "--layer", s.path("lines.geojson")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "未在文件中找到有效几何要素\n");
    r = s.run("plotvane-cli", {"match", pois, "--layer", s.path("none.geojson")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "无法打开文件\n");
    EXPECT_EQ(s.run("plotvane-cli", {"match", pois}).status, 2);
    EXPECT_EQ(s.run("plotvane-cli", {"match", pois, "--layer", layer, "--method", "nearest"}).status, 2);
    EXPECT_EQ(s.run("plotvane-cli", {"match", pois, "--layer", layer, "--field", "名称"}).status, 2);
    // A buffer that is no number acts as 100.
    EXPECT_EQ(s.run("plotvane-cli", {"match", pois, "--layer", layer, "--buffer", "abc"}).out,
              s.run("plotvane-cli", {"match", pois, "--layer", layer}).out);
    // A table whose only column serves as longitude leaves latitude unselected.
    write(s.path("one.tsv"), "x\n1\n");
    r = s.run("plotvane-cli", {"match", s.path("one.tsv"), "--layer", layer});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "请选择经度列和纬度列\n");
}
