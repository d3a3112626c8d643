#include <gtest/gtest.h>

#include "cli_harness.h"
#include "core/file_io.h"

using kit::test::CliResult;
using kit::test::fixture;
using kit::test::runCli;

namespace {

const std::string kProg = "plotvane-cli";

// A scratch file of these tests, written when given text.
std::string scratch(const std::string& name, const std::string& text = "") {
    std::string path = kit::test::tempPath("analysis_" + name);
    if (!text.empty()) kit::writeFileBytes(path, text);
    return path;
}

std::string readBack(const std::string& path) { return kit::readFileBytes(path).value_or("<missing>"); }

}  // namespace

TEST(GroupCommand, GroupsAFileOrStandardInput) {
    // Two points 80 m apart (0.00072 degrees of latitude) and one far off;
    // the last row has no coordinates and lands at (0, 0).
    const std::string csv = "name,lat,lon\r\na,39.9,116.4\r\nb,39.90072,116.4\r\nc,40,117\r\nd,,\r\n";
    CliResult r = runCli(kProg, {"group", scratch("pts.csv", csv), "--geom"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "name\tlat\tlon\tclusterid\tgeom\n"
              "a\t39.9\t116.4\t0\tPOINT(116.400000 39.900000)\n"
              "b\t39.90072\t116.4\t0\tPOINT(116.400000 39.900720)\n"
              "c\t40\t117\t1\tPOINT(117.000000 40.000000)\n"
              "d\t\t\t2\tPOINT(0.000000 0.000000)\n");
    EXPECT_EQ(r.err, "完成！4行数据已导出到标准输出 共分为 3 个聚类组\n");

    // Standard input, columns by index, a distance that splits the pair, a file out.
    const std::string out = scratch("group_out.tsv");
    r = runCli(kProg, {"group", "--distance", "50", "--lon", "2", "--lat", "1", "-o", out}, &csv);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readBack(out),
              "name\tlat\tlon\tclusterid\na\t39.9\t116.4\t0\nb\t39.90072\t116.4\t1\nc\t40\t117\t2\nd\t\t\t3\n");
    EXPECT_EQ(r.err, "完成！4行数据已导出到文件 " + out + " 共分为 4 个聚类组\n");
}

TEST(GroupCommand, WarningsAndUsageErrors) {
    const std::string pts = scratch("pts.tsv", "lon\tlat\n116\t40\n");
    for (const char* d : {"0", "-5"}) {
        CliResult r = runCli(kProg, {"group", pts, "--distance", d});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "距离必须是正数\n");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(runCli(kProg, {"group", pts, "--distance", "abc"}).status, 0);
    EXPECT_EQ(runCli(kProg, {"group", pts, "--lon", "经度"}).status, 2);
    const std::string empty;
    EXPECT_EQ(runCli(kProg, {"group"}, &empty).err, "剪贴板无数据\n");
    CliResult missing = runCli(kProg, {"group", scratch("nope.tsv")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("无法打开文件", 0), 0u);
}

TEST(MatchCommand, SameMatchesFromEveryLayerFormat) {
    const std::string pois = fixture("pois.tsv");
    CliResult geo = runCli(kProg, {"match", pois, "--layer", fixture("zones.geojson")});
    ASSERT_EQ(geo.status, 0) << geo.err;
    EXPECT_EQ(geo.err, "匹配完成！17/30 个匹配，30行已导出到标准输出\n");
    EXPECT_EQ(geo.out.substr(0, geo.out.find('\n')), "名称\t经度\t纬度\t类型\t人口\t区县\t编号\t距离(米)");
    EXPECT_NE(geo.out.find("\nPOI00\t116.358375\t39.911413\t学校\t313.2\t海淀区\t1\t0.00\n"), std::string::npos);
    EXPECT_NE(geo.out.find("\nPOI02\t116.315161\t39.876087\t学校\t\t\t\t-1.00\n"), std::string::npos);

    // The KML and Shapefile versions of the layer carry the same shapes.
    for (const char* other : {"zones.kml", "zones.shp"}) {
        CliResult r = runCli(kProg, {"match", pois, "--layer", fixture(other), "--buffer", "600", "--method", "merge"});
        ASSERT_EQ(r.status, 0) << other << r.err;
        EXPECT_EQ(r.err, "匹配完成！21/30 个匹配，30行已导出到标准输出\n") << other;
        EXPECT_NE(r.out.find("\t435.11\n"), std::string::npos) << other;
        EXPECT_NE(r.out.find("\t580.21\n"), std::string::npos) << other;
    }
}

TEST(MatchCommand, MethodsFieldAndOutputFile) {
    const std::string out = scratch("match_out.tsv");
    CliResult r = runCli(kProg, {"match", "--method", "expand", "--field", "区县", "--lon", "x", "--lat", "y",
                                 scratch("xy.tsv", "id\tx\ty\np\t116.359\t39.911\nq\t0\t0\n"), "-o", out, "--layer",
                                 fixture("zones.geojson"), "--buffer", "200"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readBack(out),
              "id\tx\ty\t区县\t距离(米)\n"
              "p\t116.359\t39.911\t海淀区\t0.00\n"
              "p\t116.359\t39.911\t西城区\t85.29\n"
              "q\t0\t0\t\t-1\n");
    EXPECT_EQ(r.err, "匹配完成！1/2 个匹配，3行已导出到文件 " + out + "\n");
}

TEST(MatchCommand, LayerProblemsAndUsageErrors) {
    const std::string pois = fixture("pois.tsv");
    const std::string layer = fixture("zones.geojson");
    const std::string lines =
        scratch("lines.geojson", R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{"a":1},)"
                                 R"("geometry":{"type":"LineString","coordinates":[[0,0],[1,1]]}}]})");
    CliResult r = runCli(kProg, {"match", pois, "--layer", lines});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "未在文件中找到有效几何要素\n");
    // Metres of a projected system are refused, not matched to nothing.
    const std::string utm = scratch(
        "utm.geojson", R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{"a":1},)"
                       R"("geometry":{"type":"Polygon","coordinates":[[[440000,4420000],[441000,4420000],)"
                       R"([441000,4421000],[440000,4420000]]]}}]})");
    r = runCli(kProg, {"match", pois, "--layer", utm});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("utm.geojson 不是经纬度坐标（坐标超出 ±180/±90），无法匹配"), std::string::npos) << r.err;
    r = runCli(kProg, {"match", pois, "--layer", scratch("none.geojson")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "无法打开文件\n");
    EXPECT_EQ(runCli(kProg, {"match", pois}).status, 2);
    EXPECT_EQ(runCli(kProg, {"match", pois, "--layer", layer, "--method", "nearest"}).status, 2);
    EXPECT_EQ(runCli(kProg, {"match", pois, "--layer", layer, "--field", "名称"}).status, 2);
    // A buffer that is no number acts as 100.
    EXPECT_EQ(runCli(kProg, {"match", pois, "--layer", layer, "--buffer", "abc"}).out,
              runCli(kProg, {"match", pois, "--layer", layer}).out);
    // A table whose only column serves as longitude leaves latitude unselected.
    r = runCli(kProg, {"match", scratch("one.tsv", "x\n1\n"), "--layer", layer});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "请选择经度列和纬度列\n");
}
