#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>

#include "core/columns.h"
#include "core/format.h"
#include "core/geodesy.h"
#include "core/table.h"
#include "nearest/local_plane.h"
#include "nearest/nearest_runs.h"
#include "nearest/point_index.h"

using kit::SiteColumns;
using kit::Table;

namespace {

Table table(const std::string& text) {
    Table t;
    kit::parseTable(text, t);
    return t;
}

SiteColumns cols(const Table& t) {
    return kit::siteColumnsAt(t, kit::detectLongitudeColumn(t.headers), kit::detectLatitudeColumn(t.headers),
                              kit::detectIdColumn(t.headers));
}

std::vector<std::vector<std::string>> cellsOf(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        size_t start = 0, tab;
        while ((tab = line.find('\t', start)) != std::string::npos) {
            cells.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        cells.push_back(line.substr(start));
        lines.push_back(cells);
    }
    return lines;
}

}  // namespace

TEST(NeighbourCount, ParsesLikeTheQuantityField) {
    EXPECT_EQ(kit::parseNeighbourCount("3"), 3);
    EXPECT_EQ(kit::parseNeighbourCount(""), 1);
    EXPECT_EQ(kit::parseNeighbourCount("0"), 1);
    EXPECT_EQ(kit::parseNeighbourCount("80"), 50);
    EXPECT_EQ(kit::parseNeighbourCount("abc"), 1);
    EXPECT_EQ(kit::parseNeighbourCount(" -3x"), 1);
    EXPECT_EQ(kit::parseNeighbourCount("  7 apples"), 7);
    EXPECT_EQ(kit::parseNeighbourCount("99999999999"), 1);  // out of range reads as a failure
}

TEST(NearestSingle, WarningsInTheTabsOrder) {
    Table empty = table("id\tlon\tlat\n");
    EXPECT_EQ(kit::runNearestSingle(nullptr, {}, "1").message, "请先获取数据");
    EXPECT_EQ(kit::runNearestSingle(&empty, cols(empty), "1").message, "请先获取数据");
    Table one = table("id\tlon\tlat\nA\t116\t39\n");
    SiteColumns c = cols(one);
    c.id.reset();
    EXPECT_EQ(kit::runNearestSingle(&one, c, "1").message, "请选择经度、纬度和 ID 列");
    auto r = kit::runNearestSingle(&one, cols(one), "5");
    EXPECT_EQ(r.status, kit::Status::Warning);
    EXPECT_EQ(r.message, "数据行数不足");
    EXPECT_TRUE(r.text.empty());
}

TEST(NearestSingle, TwoRowsGiveOneGroupNamingEachOther) {
    Table t = table("id\tlon\tlat\nA\t116.1\t39.9\nB\t116.2\t39.9\n");
    auto r = kit::runNearestSingle(&t, cols(t), "5");
    ASSERT_TRUE(r.ok());
    double d = kit::haversineDistance(39.9, 116.1, 39.9, 116.2);
    std::string ds = kit::formatFixed(d, 2);
    EXPECT_EQ(r.text,
              "id\tlon\tlat\t最近的1个 Id\t最近的1个经度\t最近的1个纬度\t最近的1个距离\n"
              "A\t116.100000\t39.900000\tB\t116.200000\t39.900000\t" + ds + "\n"
              "B\t116.200000\t39.900000\tA\t116.100000\t39.900000\t" + ds + "\n");
    EXPECT_EQ(r.message, "完成！2行数据已导出到剪贴板\n采用 KD-Tree + UTM 优化");
}

TEST(NearestSingle, SamePlaceTiesAndBadCells) {
    // Rows 0 and 2 share a place; row 3 has an empty longitude (placed at 0,
    // written as zero); equal distances list the lower row first.
    Table t = table("名称\t经度\t纬度\nA\t116.3\t39.9\nB\t116.4\t39.9\nC\t116.3\t39.9\nD\t\t39.9\nE\tx\t39.9\n");
    auto r = kit::runNearestSingle(&t, cols(t), "2");
    ASSERT_TRUE(r.ok());
    auto lines = cellsOf(r.text);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1][3], "C");
    EXPECT_EQ(lines[1][6], "0.00");
    EXPECT_EQ(lines[3][3], "A");
    EXPECT_EQ(lines[4][1], "0.000000");
    // D and E both sit at longitude 0: each other's nearest, at zero distance.
    EXPECT_EQ(lines[4][3], "E");
    EXPECT_EQ(lines[5][3], "D");
    EXPECT_EQ(lines[5][6], "0.00");
}

TEST(NearestSingle, EveryRowListsDistinctOthersInDistanceOrder) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> lon(116.0, 116.5), lat(39.7, 40.1);
    std::string text = "id\tlon\tlat\n";
    for (int i = 0; i < 400; ++i)
        text += "S" + std::to_string(i) + "\t" + kit::formatFixed(lon(rng), 6) + "\t" + kit::formatFixed(lat(rng), 6) + "\n";
    Table t = table(text);
    auto r = kit::runNearestSingle(&t, cols(t), "3");
    ASSERT_TRUE(r.ok());
    auto lines = cellsOf(r.text);
    ASSERT_EQ(lines.size(), 401u);
    for (size_t i = 1; i < lines.size(); ++i) {
        const auto& l = lines[i];
        ASSERT_EQ(l.size(), 3u + 12u);
        std::set<std::string> seen{l[0]};
        double last = -1;
        for (int k = 0; k < 3; ++k) {
            EXPECT_TRUE(seen.insert(l[3 + 4 * k]).second) << "row " << i << " repeats or lists itself";
            double d = std::stod(l[6 + 4 * k]);
            EXPECT_GE(d, last);
            last = d;
        }
    }
}

TEST(NearestTwo, WarningsInTheTabsOrder) {
    Table a = table("id\tlon\tlat\nA\t116\t39\n");
    Table twoCols = table("lon\tlat\n116\t39\n");
    EXPECT_EQ(kit::runNearestTwo(&a, nullptr, cols(a), cols(a), "1").message, "请先获取两个数据表");
    // Table 2 of two columns: its ID list stays unselected.
    SiteColumns c2 = kit::siteColumnsAt(twoCols, 0, 1, 2);
    EXPECT_FALSE(c2.id);
    EXPECT_EQ(kit::runNearestTwo(&a, &twoCols, cols(a), c2, "1").message, "请完成列选择");
    // A failed refetch leaves table 2 without rows while its lists keep their names.
    Table emptied = table("id\tlon\tlat\n");
    EXPECT_EQ(kit::runNearestTwo(&a, &emptied, cols(a), cols(a), "1").message, "表2无数据");
}

TEST(NearestTwo, ShortCandidateListsArePadded) {
    Table q = table("name\tlon\tlat\nP\t116.30\t39.90\nQ\t116.50\t39.90\n");
    Table s = table("lon\tlat\tcell\n116.30\t39.90\tX\n116.31\t39.90\tY\n116.40\t39.90\tZ\n");
    auto r = kit::runNearestTwo(&q, &s, cols(q), kit::siteColumnsAt(s, 0, 1, 2), "5");
    ASSERT_TRUE(r.ok());
    auto lines = cellsOf(r.text);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 3u + 20u);  // the header always has N groups
    EXPECT_EQ(lines[1].size(), 3u + 20u);
    EXPECT_EQ(lines[1][3], "X");
    EXPECT_EQ(lines[1][6], "0.00");
    EXPECT_EQ(lines[1][7], "Y");
    EXPECT_EQ(lines[2][3], "Z");
    for (size_t k = 15; k < 23; ++k) EXPECT_EQ(lines[1][k], "");
    EXPECT_EQ(r.text.substr(r.text.size() - 9), "\t\t\t\t\t\t\t\t\n");
    EXPECT_EQ(r.message, "完成！2行数据已导出到剪贴板\n采用 KD-Tree 优化");
}

TEST(PointIndex, FillsAtMostThePointCount) {
    kit::ProjectedPoints p = {0, 0, 1, 0, 2, 0, 3, 0, 4, 0};
    kit::PointIndex index(p);
    std::vector<kit::Candidate> found;
    index.knnQuery(0, 0, 11, found);
    ASSERT_EQ(found.size(), 5u);
    for (size_t i = 1; i < found.size(); ++i) EXPECT_LE(found[i - 1].sqDistance, found[i].sqDistance);
    EXPECT_EQ(found[0].index, 0u);
    EXPECT_EQ(found[4].sqDistance, 16.0);
}

TEST(LocalPlane, FlatMetresPerDegreeScaledByTheReferenceCosine) {
    EXPECT_EQ(kit::localPlaneProjection(113, 20, 1).x, 113 * 111320.0);
    EXPECT_EQ(kit::localPlaneProjection(113, 20, 1).y, 20 * 111320.0);
}
