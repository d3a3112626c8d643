#include <gtest/gtest.h>

#include <algorithm>
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
#include "site_rows.h"

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

// Storing the points in another order (as the runs do, in Z-order) must not
// change any answer, ties by row included; and an index of no points (every
// row unusable) answers nothing instead of failing.
TEST(PointIndex, StorageOrderChangesNoAnswer) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> grid(0, 40);
    kit::ProjectedPoints byRow;
    for (int i = 0; i < 3000; ++i) byRow.insert(byRow.end(), {grid(rng) * 10.0, grid(rng) * 10.0});  // many duplicates
    std::vector<uint32_t> rows(byRow.size() / 2);
    for (uint32_t r = 0; r < rows.size(); ++r) rows[r] = r;
    std::shuffle(rows.begin(), rows.end(), rng);
    kit::ProjectedPoints stored;
    for (uint32_t r : rows) stored.insert(stored.end(), {byRow[2 * r], byRow[2 * r + 1]});
    kit::PointIndex plain(byRow), reordered(stored, rows);
    std::vector<kit::Candidate> a, b;
    for (int q = 0; q < 500; ++q) {
        const double x = grid(rng) * 10.0 + 3, y = grid(rng) * 10.0;
        plain.knnQuery(x, y, 11, a);
        reordered.knnQuery(x, y, 11, b);
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            ASSERT_EQ(a[i].index, b[i].index) << "query " << q << " slot " << i;
            ASSERT_EQ(a[i].sqDistance, b[i].sqDistance);
            ASSERT_EQ(rows[b[i].position], b[i].index);
        }
    }
    kit::PointIndex none(stored, std::span<const uint32_t>());
    none.knnQuery(0, 0, 5, a);
    EXPECT_TRUE(a.empty());
}

// A coordinate that is not a finite number ("nan", "inf", or too large for
// the plane) used to spoil the tree, or the mean latitude, for every row. Such
// rows now get empty groups. Rows whose latitude is not a number do not count
// in the mean either, so every other row's line stays as it would be without
// them.
TEST(NearestRuns, UnusableCoordinatesLeaveTheOtherRowsAlone) {
    std::mt19937 rng(9);
    const std::string good = kit::test::randomSiteTable(rng, 400, 0.1, false);
    std::string withBad = good;
    const std::vector<std::string> bad = {"X1\t116\tnan", "X2\t116\tinf", "X3\t-inf\t-inf", "X4\t1e200\tNaN"};
    for (const std::string& line : bad) withBad += line + "\n";
    Table t = table(withBad), plain = table(good);
    auto expectEmptyGroups = [](const std::vector<std::string>& line) {
        for (size_t c = 3; c < line.size(); ++c) ASSERT_EQ(line[c], "") << line[0];
    };
    for (int n : {1, 4}) {
        for (unsigned threads : {1u, 2u}) {
            auto single = kit::runNearestSingle(&t, cols(t), std::to_string(n), threads);
            auto expected = kit::runNearestSingle(&plain, cols(plain), std::to_string(n), threads);
            ASSERT_TRUE(single.ok());
            auto lines = cellsOf(single.text), want = cellsOf(expected.text);
            ASSERT_EQ(lines.size(), want.size() + bad.size());
            for (size_t i = 0; i < want.size(); ++i) ASSERT_EQ(lines[i], want[i]) << "line " << i;
            for (size_t i = want.size(); i < lines.size(); ++i) expectEmptyGroups(lines[i]);

            // As table 2 the bad rows are never anyone's neighbour; as table 1
            // they find none.
            auto two = kit::runNearestTwo(&t, &t, cols(t), kit::siteColumnsAt(t, 1, 2, 0), std::to_string(n), threads);
            auto twoPlain = kit::runNearestTwo(&plain, &plain, cols(plain), kit::siteColumnsAt(plain, 1, 2, 0),
                                               std::to_string(n), threads);
            auto twoLines = cellsOf(two.text), twoWant = cellsOf(twoPlain.text);
            for (size_t i = 0; i < twoWant.size(); ++i) ASSERT_EQ(twoLines[i], twoWant[i]) << "line " << i;
            for (size_t i = twoWant.size(); i < twoLines.size(); ++i) expectEmptyGroups(twoLines[i]);
        }
    }
    // A usable latitude with an unusable longitude, or a latitude too large for
    // the plane: those rows get nothing, every other row all its neighbours.
    Table odd = table(good + "Y1\tinf\t40\nY2\t116\t1e300\nY3\t1e300\t40\n");
    auto lines = cellsOf(kit::runNearestSingle(&odd, cols(odd), "2", 2).text);
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i][0][0] == 'Y')
            expectEmptyGroups(lines[i]);
        else
            ASSERT_NE(lines[i][10], "") << lines[i][0];
    }
    Table allBad = table("id\tlon\tlat\nA\tnan\t1\nB\tinf\t2\n");
    auto r = kit::runNearestSingle(&allBad, cols(allBad), "1");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(cellsOf(r.text)[1], (std::vector<std::string>{"A", "nan", "1.000000", "", "", "", ""}));
}

TEST(LocalPlane, FlatMetresPerDegreeScaledByTheReferenceCosine) {
    EXPECT_EQ(kit::localPlaneProjection(113, 20, 1).x, 113 * 111320.0);
    EXPECT_EQ(kit::localPlaneProjection(113, 20, 1).y, 20 * 111320.0);
}
