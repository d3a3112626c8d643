#include <gtest/gtest.h>

#include "cli_harness.h"
#include "core/file_io.h"

using kit::test::fixture;
using kit::test::runCli;

namespace {
const std::string kProg = "plotvane-cli";
}

TEST(PlotvaneCliNearest, SameResultFromEveryEncodingAndFromStdin) {
    auto tsv = runCli(kProg, {"nearest", fixture("sites.tsv"), "-n", "3"});
    ASSERT_EQ(tsv.status, 0) << tsv.err;
    EXPECT_EQ(tsv.out.substr(0, tsv.out.find('\n')),
              "CGI\t经度\t纬度\t最近的1个 Id\t最近的1个经度\t最近的1个纬度\t最近的1个距离\t最近的2个 Id\t最近的2个经度"
              "\t最近的2个纬度\t最近的2个距离\t最近的3个 Id\t最近的3个经度\t最近的3个纬度\t最近的3个距离");
    EXPECT_EQ(std::count(tsv.out.begin(), tsv.out.end(), '\n'), 121);
    EXPECT_EQ(tsv.out.find('\r'), std::string::npos);
    EXPECT_EQ(tsv.err, "完成！120行数据已导出到标准输出 采用 KD-Tree + UTM 优化\n");
    for (const char* f : {"sites_utf8bom.csv", "sites_utf16le.csv", "sites_utf16be.csv"}) {
        auto r = runCli(kProg, {"nearest", "-n", "3", fixture(f)});
        EXPECT_EQ(r.status, 0) << f;
        EXPECT_EQ(r.out, tsv.out) << f;
    }
    std::string text = kit::readFileBytes(fixture("sites.tsv")).value();
    auto piped = runCli(kProg, {"nearest", "-n", "3", "-"}, &text);
    EXPECT_EQ(piped.out, tsv.out);
    auto implicit = runCli(kProg, {"nearest", "-n", "3"}, &text);
    EXPECT_EQ(implicit.out, tsv.out);
}

TEST(PlotvaneCliNearest, ColumnsByNameOrIndexAndOutputFile) {
    std::string out = kit::test::tempPath("近邻 结果.tsv");
    auto byName = runCli(kProg, {"nearest", fixture("pois.tsv"), "--id", "类型", "--lon", "经度", "-o", out});
    ASSERT_EQ(byName.status, 0) << byName.err;
    EXPECT_TRUE(byName.out.empty());
    EXPECT_EQ(byName.err, "完成！30行数据已导出到文件 " + out + " 采用 KD-Tree + UTM 优化\n");
    std::string written = kit::readFileBytes(out).value_or("");
    auto byIndex = runCli(kProg, {"nearest", "--id", "3", "--lat", "2", fixture("pois.tsv")});
    EXPECT_EQ(byIndex.out, written);
    EXPECT_EQ(written.rfind("类型\t经度\t纬度\t", 0), 0u);
}

TEST(PlotvaneCliNearest, WarningsAndFileErrorsExitAsDocumented) {
    auto missing = runCli(kProg, {"nearest", kit::test::tempPath("不存在.tsv")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("无法打开文件"), std::string::npos);

    std::string empty;
    auto none = runCli(kProg, {"nearest"}, &empty);
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err, "剪贴板无数据\n");

    std::string header = "id\tlon\tlat\r\n\r\n";
    EXPECT_EQ(runCli(kProg, {"nearest"}, &header).err, "未解析到有效数据\n");

    std::string one = "id\tlon\tlat\nA\t1\t2\n";
    auto single = runCli(kProg, {"nearest", "-n", "80"}, &one);
    EXPECT_EQ(single.status, 2);
    EXPECT_EQ(single.err, "数据行数不足\n");
    EXPECT_TRUE(single.out.empty());

    std::string noId = "x\ty\n1\t2\n3\t4\n";
    EXPECT_EQ(runCli(kProg, {"nearest"}, &noId).err, "请选择经度、纬度和 ID 列\n");
    EXPECT_EQ(runCli(kProg, {"nearest", "--id", "9"}, &noId).status, 2);
    EXPECT_EQ(runCli(kProg, {"nearest", "--bogus"}, &noId).status, 2);
    EXPECT_EQ(runCli(kProg, {"frobnicate"}).status, 2);
}

TEST(PlotvaneCliNearest, TwoTablesUseThirdColumnOfTableTwoAsId) {
    auto r = runCli(kProg, {"nearest2", fixture("pois.tsv"), fixture("sites.tsv"), "-n", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    // sites.tsv's third column is 纬度: that is what the tab selects as table 2's ID.
    std::string firstRow = r.out.substr(r.out.find('\n') + 1);
    firstRow = firstRow.substr(0, firstRow.find('\n'));
    EXPECT_EQ(std::count(firstRow.begin(), firstRow.end(), '\t'), 2 + 8);
    auto withId = runCli(kProg, {"nearest2", fixture("pois.tsv"), fixture("sites.tsv"), "--id2", "CGI"});
    EXPECT_NE(withId.out.find("\t460-00-"), std::string::npos);
    EXPECT_EQ(withId.err, "完成！30行数据已导出到标准输出 采用 KD-Tree 优化\n");
    EXPECT_EQ(runCli(kProg, {"nearest2", fixture("pois.tsv")}).status, 2);
}

TEST(PlotvaneCli, HelpAndVersion) {
    auto help = runCli(kProg, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("nearest2"), std::string::npos);
    auto cmdHelp = runCli(kProg, {"nearest", "--help"});
    EXPECT_EQ(cmdHelp.status, 0);
    EXPECT_NE(cmdHelp.out.find("-n N"), std::string::npos);
    auto version = runCli(kProg, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(std::count(version.out.begin(), version.out.end(), '\n'), 1);
}
