#include <gtest/gtest.h>

#include "coverage/coverage_run.h"
#include "coverage/density.h"
#include "coverage/prediction.h"

using namespace kit;

namespace {

Table stations(const std::string& body) {
    Table t;
    EXPECT_TRUE(parseTable("站名\t经度\t纬度\n" + body, t));
    return t;
}

const LonLatColumns kCols{std::string("经度"), std::string("纬度")};

CoverageRequest mode(int m) {
    CoverageRequest r;
    r.mode = m;
    return r;
}

}  // namespace

TEST(CoverageRun, WarningsInTheTabsOrder) {
    Table t = stations("A\t116.4\t39.9\n");
    EXPECT_EQ(runCoverage(nullptr, kCols, mode(0)).message, "请先获取数据");
    Table empty;
    EXPECT_EQ(runCoverage(&empty, kCols, mode(0)).message, "请先获取数据");
    EXPECT_EQ(runCoverage(&t, {std::string("经度"), std::nullopt}, mode(0)).message, "请选择经度列和纬度列");
    EXPECT_EQ(runCoverage(&t, kCols, mode(-1)).message, "请选择分析模式");
    Outcome one = runCoverage(&t, kCols, mode(kModeTerrain));
    EXPECT_EQ(one.status, Status::Warning);
    EXPECT_EQ(one.message, "LOS地形分析至少需要2个站点");
    EXPECT_TRUE(one.text.empty());
}

TEST(CoverageRun, FieldsReadLikeTheTabsBoxes) {
    Table t = stations("A\t116.4\t39.9\nB\t116.5\t39.95\n");
    CoverageRequest req = mode(kModeBudget);
    Outcome def = runCoverage(&t, kCols, req);
    ASSERT_TRUE(def.ok());
    EXPECT_EQ(def.message, "分析完成！\n文件已保存到：");
    req.frequencyText = "abc";
    EXPECT_EQ(runCoverage(&t, kCols, req).text, def.text);
    req.frequencyText = "900MHz";
    EXPECT_EQ(runCoverage(&t, kCols, req).text, writeStationBudgetCsv({{116.4, 39.9}, {116.5, 39.95}}, makeLinkParams(900)));
    req.frequencyText = "nan";
    EXPECT_EQ(runCoverage(&t, kCols, req).message, "频率、功率和高度必须是有效数值");
    // Power is hidden in the terrain mode, so it is not read there.
    CoverageRequest terrain = mode(kModeTerrain);
    terrain.powerText = "inf";
    EXPECT_TRUE(runCoverage(&t, kCols, terrain).ok());
}

TEST(CoverageRun, ModelSelectionForcesTheModel) {
    Table t = stations("A\t116.4\t39.9\n");
    CoverageRequest req = mode(kModeBudget);
    req.modelItem = 3;  // COST-231, at a frequency the automatic choice gives Hata
    req.frequencyText = "900";
    req.environmentItem = 7;  // out of range: urban
    LinkParams p = makeLinkParams(900);
    p.model = PathModel::Cost231;
    EXPECT_EQ(runCoverage(&t, kCols, req).text, writeStationBudgetCsv({{116.4, 39.9}}, p));
    req.modelItem = -1;
    EXPECT_EQ(runCoverage(&t, kCols, req).text, writeStationBudgetCsv({{116.4, 39.9}}, makeLinkParams(900)));

    req.modelItem = 1;
    req.frequencyText = "0.0";
    Outcome refused = runCoverage(&t, kCols, req);
    EXPECT_EQ(refused.status, Status::Warning);
    EXPECT_EQ(refused.message, "FSPL模型要求频率大于0");
    req.modelItem = 0;  // the automatic choice clamps it into Hata's range
    EXPECT_TRUE(runCoverage(&t, kCols, req).ok());
}

TEST(CoverageRun, DensityCountsEveryRowAtTheChosenLevel) {
    Table t = stations("A\t116.4\t39.9\nB\t116.4001\t39.9\nC\tx\t\nD\t151.2\t-33.9\n");
    CoverageRequest req = mode(kModeDensity);
    req.resolution = resolutionForLevelItem(kDefaultLevelItem);
    EXPECT_EQ(req.resolution, 7);
    Outcome o = runCoverage(&t, kCols, req);
    ASSERT_TRUE(o.ok());
    EXPECT_EQ(o.text, writeDensityGeoJson({makeCellId(39.9, 116.4, 7), makeCellId(0, 0, 7), makeCellId(-33.9, 151.2, 7)},
                                          {2, 1, 1}));
    EXPECT_EQ(resolutionForLevelItem(0), 3);
    EXPECT_EQ(resolutionForLevelItem(4), 11);
    EXPECT_EQ(resolutionForLevelItem(-1), 7);
}

TEST(CoverageRun, TerrainUsesOnlyTheFirstTwoRows) {
    Table two = stations("A\t116.4\t39.9\nB\t116.45\t39.95\n");
    Table three = stations("A\t116.4\t39.9\nB\t116.45\t39.95\nC\t100\t20\n");
    Outcome a = runCoverage(&two, kCols, mode(kModeTerrain));
    ASSERT_TRUE(a.ok());
    EXPECT_EQ(a.text, runCoverage(&three, kCols, mode(kModeTerrain)).text);
    EXPECT_NE(a.text.find("# Status: NLOS\n"), std::string::npos);
}

TEST(CoverageRun, TabData) {
    EXPECT_STREQ(kCoverageModes[kModeBudget].proposedName, "los_analysis.csv");
    EXPECT_STREQ(kCoverageModes[kModeTerrain].filters[0].pattern, "*.csv");
    EXPECT_STREQ(kCoverageModes[kModeDensity].filters[1].name, "所有文件");
    CoverageRows density = rowsForMode(kModeDensity), terrain = rowsForMode(kModeTerrain);
    EXPECT_TRUE(density.level && !density.frequency && !density.power && !density.model);
    EXPECT_TRUE(terrain.frequency && terrain.height && !terrain.power && !terrain.environment && !terrain.level);
    EXPECT_TRUE(rowsForMode(kModePrediction).model && !rowsForMode(kModePrediction).level);
}
