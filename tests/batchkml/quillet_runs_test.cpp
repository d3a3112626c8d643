#include <gtest/gtest.h>

#include "batchkml/drivetest_kml.h"
#include "batchkml/iconmap_kml.h"
#include "batchkml/kml_text.h"
#include "batchkml/quillet_runs.h"
#include "quillet_test_util.h"

using kit::test::KmlScratch;
using kit::test::readAll;

namespace {

const std::string kBom = "\xEF\xBB\xBF";
const std::string kDriveCsv = "经度,纬度,RSRP\n116.1,40.1,-95\n116.2,40.2,-85\n";

kit::DriveTestParams driveParams() {
    kit::DriveTestParams p;
    p.lonCol = 0;
    p.latCol = 1;
    p.valueCol = 2;
    p.ranges = kit::builtinTemplates()[0].ranges;
    p.sizeMetres = 8;
    return p;
}

kit::SectorRunParams sectorParams() {
    kit::SectorRunParams p;
    p.kml.lonCol = 1;
    p.kml.latCol = 2;
    p.kml.azimuthFixed = 30;
    return p;
}

}  // namespace

TEST(QuilletRuns, ChecksInTheTabsOrder) {
    auto d = driveParams();
    EXPECT_EQ(kit::checkDriveTest(false, {}).message, "请先导入CSV文件");
    for (int which = 0; which < 3; ++which) {
        auto p = d;
        (which == 0 ? p.lonCol : which == 1 ? p.latCol : p.valueCol) = -1;
        EXPECT_EQ(kit::checkDriveTest(true, p).message, "请选择经度、纬度和电平列");
    }
    d.ranges.clear();
    EXPECT_EQ(kit::checkDriveTest(true, d).message, "请至少添加一个模板范围");
    EXPECT_TRUE(kit::checkDriveTest(true, driveParams()).ok());

    const struct {
        void (*change)(kit::SectorRunParams&);
        const char* warning;
    } sector[] = {
        {[](kit::SectorRunParams& p) { p.kml.latCol = -1; }, "请选择经度和纬度列"},
        {[](kit::SectorRunParams& p) { p.azimuthGiven = p.radiusGiven = false; }, "请选择方位角列或输入固定值"},
        {[](kit::SectorRunParams& p) { p.beamwidthGiven = p.radiusGiven = false; }, "请选择波宽列或输入固定值"},
        {[](kit::SectorRunParams& p) { p.radiusGiven = false; }, "请输入半径值"},
    };
    EXPECT_EQ(kit::checkSectors(false, sectorParams()).message, "请先导入基站CSV文件");
    for (const auto& c : sector) {
        auto p = sectorParams();
        c.change(p);
        auto out = kit::checkSectors(true, p);
        EXPECT_EQ(out.status, kit::Status::Warning);
        EXPECT_EQ(out.message, c.warning);
    }
    EXPECT_EQ(kit::checkIconMap(false, {}).message, "请先导入数据文件");
    EXPECT_EQ(kit::checkIconMap(true, {0, -1, -1, ""}).message, "请选择经度和纬度列");
    EXPECT_TRUE(kit::checkIconMap(true, {0, 1, -1, ""}).ok());
}

TEST(QuilletRuns, EditTextsAndEditableLists) {
    const std::pair<const char*, double> sizes[] = {{"10", 10}, {"", 5}, {"abc", 5}, {"2.5m", 2.5}, {"inf", 5}};
    for (const auto& [text, v] : sizes) EXPECT_EQ(kit::driveTestSizeFromText(text), v) << text;
    const std::pair<const char*, double> lods[] = {{"", 5}, {"abc", 0}, {"2", 2}, {" 7.5", 7.5}};
    for (const auto& [text, v] : lods) EXPECT_EQ(kit::lodKmFromText(text), v) << text;

    int col = 9;
    double fixed = 1;
    EXPECT_TRUE(kit::applyColumnOrValue(3, 0, col, fixed));
    EXPECT_EQ(col, 3);
    EXPECT_TRUE(kit::applyColumnOrValue(kit::ColumnOrValue{kit::kFixedValue, 42}, col, fixed));
    EXPECT_EQ(col, -1);
    EXPECT_EQ(fixed, 42);
    EXPECT_FALSE(kit::applyColumnOrValue(kit::kNothingGiven, 0, col, fixed));

    EXPECT_EQ(kit::defaultKmlName("C:\\路测\\路测.1.csv", "drivetest.kml"), "路测.1.kml");
    EXPECT_EQ(kit::defaultKmlName("", "sector.kml"), "sector.kml");
    EXPECT_EQ(kit::fileStem(kit::proposedBatchFolder("/data/a.csv")), "输出kml");
    EXPECT_EQ(kit::folderOf(kit::proposedBatchFolder("/data/a.csv")), "/data");
    EXPECT_EQ(kit::batchChosenText(3), "批量: 3个文件");
    EXPECT_EQ(kit::sectorsLoadedText(12), "12 个基站加载");
    EXPECT_EQ(kit::pointsLoadedText(0), "0 个点位加载");
}

TEST(QuilletRuns, SingleRunWritesTheDocumentOrReportsFailure) {
    KmlScratch dir;
    kit::DataTable t;
    ASSERT_TRUE(kit::writeFileBytes(dir.file("路测.1.csv"), kDriveCsv));
    ASSERT_TRUE(kit::readDataFile(dir.file("路测.1.csv"), t, false));
    EXPECT_EQ(t.sourcePath, dir.file("路测.1.csv"));

    auto ok = kit::runDriveTestSingle(t, driveParams(), dir.file("out.kml"));
    EXPECT_EQ(ok.outcome.status, kit::Status::Success);
    EXPECT_EQ(ok.outcome.message, "KML文件导出成功");
    EXPECT_EQ(ok.statusText, "out.kml");
    EXPECT_EQ(readAll(dir.file("out.kml")), kBom + kit::driveTestDocument(t, driveParams()));
    EXPECT_NE(readAll(dir.file("out.kml")).find("<name>路测.1</name>"), std::string::npos);

    EXPECT_EQ(kit::runDriveTestSingle(t, driveParams(), dir.file("missing/x.kml")).statusText, "导出失败");
    auto failed = kit::runSectorSingle(t, sectorParams(), dir.file("missing/x.kml"));
    EXPECT_EQ(failed.outcome.status, kit::Status::Error);
    EXPECT_EQ(failed.outcome.message, "无法保存KML文件");
    EXPECT_EQ(failed.statusText, "导出失败");
    EXPECT_EQ(kit::runSectorSingle(t, sectorParams(), dir.file("s.kml")).outcome.message, "扇区KML已生成");
    EXPECT_EQ(kit::runIconMapSingle(t, {0, 1, -1, kit::defaultIconUrl()}, dir.file("i.kml")).outcome.message, "KML已生成");
}

TEST(QuilletRuns, BatchSkipsUnreadableFilesAndCountsTheRest) {
    KmlScratch dir;
    ASSERT_TRUE(kit::writeFileBytes(dir.file("a.csv"), kDriveCsv));
    ASSERT_TRUE(kit::writeFileBytes(dir.file("b.v2.csv"), "lon,lat,v\n1,2,-100\n"));
    ASSERT_TRUE(kit::writeFileBytes(dir.file("c.xlsx"), "not a workbook"));
    const std::vector<std::string> files{dir.file("a.csv"), dir.file("missing.csv"), dir.file("c.xlsx"), dir.file("b.v2.csv")};
    const std::string out = dir.file("输出kml/深");

    std::vector<std::string> progress;
    auto r = kit::runDriveTestBatch(files, driveParams(), out, [&](const std::string& s) { progress.push_back(s); });
    EXPECT_EQ(progress, (std::vector<std::string>{"处理中 1/4...", "处理中 2/4...", "处理中 3/4...", "处理中 4/4..."}));
    EXPECT_EQ(r.written, 2);
    EXPECT_EQ(r.unreadable, (std::vector<std::string>{dir.file("missing.csv"), dir.file("c.xlsx")}));
    EXPECT_TRUE(r.unwritable.empty());
    EXPECT_EQ(r.statusText, "已生成2个KML");
    EXPECT_EQ(r.message, "已成功生成 2 个KML文件");

    // Each output is what a single run of that file writes.
    for (const char* name : {"a.csv", "b.v2.csv"}) {
        kit::DataTable t;
        ASSERT_TRUE(kit::readDataFile(dir.file(name), t, false));
        EXPECT_EQ(readAll(kit::batchOutputPath(out, name)), kBom + kit::driveTestDocument(t, driveParams())) << name;
    }

    // The sector batch reads everything as CSV (the .xlsx here holds one line
    // of text), and writes over the earlier files.
    auto s = kit::runSectorBatch(files, sectorParams(), out, nullptr);
    EXPECT_EQ(s.written, 3);
    EXPECT_NE(readAll(kit::batchOutputPath(out, "a.csv")).find("<description>方位角:30°"), std::string::npos);

    auto blocked = kit::runIconMapBatch(files, {0, 1, -1, "u"}, dir.file("a.csv"), nullptr);  // a file, not a folder
    EXPECT_EQ(blocked.written, 0);
    EXPECT_EQ(blocked.unwritable.size(), 2u);
    EXPECT_EQ(blocked.statusText, "已生成0个KML");
}
