// Points at one place: a table whose coordinates could not be read puts every
// row at (0, 0). Each place is one entry of the index, so ties cost what
// distinct points cost, and the answers stay those of the plain ranking.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/format.h"
#include "core/table.h"
#include "nearest/nearest_runs.h"
#include "nearest/point_index.h"

namespace {

// The k smallest (squared distance, row) pairs by looking at every point.
std::vector<std::pair<double, uint64_t>> bruteKnn(const kit::ProjectedPoints& p, double x, double y, size_t k) {
    std::vector<std::pair<double, uint64_t>> all;
    for (size_t i = 0; i < p.size() / 2; ++i) {
        const double dx = p[2 * i] - x, dy = p[2 * i + 1] - y;
        all.push_back({dx * dx + dy * dy, i});
    }
    k = std::min(k, all.size());
    std::partial_sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(k), all.end());
    all.resize(k);
    return all;
}

// rows lines of "S<row>\tN/A\tN/A": every row at (0, 0).
std::string unreadableSites(size_t rows) {
    std::string t = "id\tlon\tlat\n";
    for (size_t r = 0; r < rows; ++r) t += "S" + std::to_string(r) + "\tN/A\tN/A\n";
    return t;
}

// Each row's neighbours when all sit at one place: the lowest other rows.
std::string onePlaceResult(size_t rows, int groups, bool excludeSelf) {
    std::string out = "id\tlon\tlat";
    for (int i = 1; i <= groups; ++i) {
        const std::string n = std::to_string(i);
        out += "\t最近的" + n + "个 Id\t最近的" + n + "个经度\t最近的" + n + "个纬度\t最近的" + n + "个距离";
    }
    out += '\n';
    for (size_t r = 0; r < rows; ++r) {
        out += "S" + std::to_string(r) + "\t0.000000\t0.000000";
        for (size_t other = 0, shown = 0; shown < static_cast<size_t>(groups); ++other) {
            if (excludeSelf && other == r) continue;
            out += "\tS" + std::to_string(other) + "\t0.000000\t0.000000\t0.00";
            ++shown;
        }
        out += '\n';
    }
    return out;
}

}  // namespace

// Duplicates of every multiplicity, -0 beside 0, queries on and between the
// places: the index answers what the plain ranking does.
TEST(TiedPoints, IndexAnswersAsThePlainRanking) {
    std::mt19937 rng(17);
    std::uniform_int_distribution<int> grid(-6, 6);
    kit::ProjectedPoints pts;
    for (int i = 0; i < 4000; ++i) {
        const int heavy = i % 3 == 0;  // a third of the rows on the origin
        pts.push_back(heavy ? (i % 2 ? -0.0 : 0.0) : grid(rng) * 5.0);
        pts.push_back(heavy ? 0.0 : grid(rng) * 5.0);
    }
    kit::PointIndex index(pts);
    std::vector<kit::Candidate> found;
    for (int q = 0; q < 300; ++q) {
        const double x = grid(rng) * 5.0 + (q % 2 ? 2.5 : 0), y = grid(rng) * 5.0;
        for (size_t k : {1u, 11u, 40u}) {
            index.knnQuery(x, y, k, found);
            const auto want = bruteKnn(pts, x, y, k);
            ASSERT_EQ(found.size(), want.size());
            for (size_t i = 0; i < want.size(); ++i) {
                ASSERT_EQ(found[i].index, want[i].second) << "query " << q << " k " << k << " slot " << i;
                ASSERT_EQ(found[i].sqDistance, want[i].first);
            }
        }
    }
}

// 200 000 rows at one place: each query used to visit every tied point
// (4e10 visits, many minutes); now it meets one place.
TEST(TiedPoints, EveryRowAtOnePlaceInBothRuns) {
    for (size_t rows : {5u, 200000u}) {
        kit::Table t;
        ASSERT_TRUE(kit::parseTable(unreadableSites(rows), t));
        const auto c = kit::siteColumnsAt(t, 1, 2, 0);
        auto single = kit::runNearestSingle(&t, c, "3", 2);
        ASSERT_TRUE(single.ok());
        EXPECT_TRUE(single.text == onePlaceResult(rows, 3, true)) << rows;
        auto two = kit::runNearestTwo(&t, &t, c, c, "3", 2);
        ASSERT_TRUE(two.ok());
        EXPECT_TRUE(two.text == onePlaceResult(rows, 3, false)) << rows;
    }
}
