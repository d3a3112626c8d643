// The runs visit rows in a space-filling-curve order and may use several
// threads; here they are checked against the plain row-by-row procedure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "core/format.h"
#include "core/geodesy.h"
#include "core/number_parse.h"
#include "core/table.h"
#include "nearest/local_plane.h"
#include "nearest/nearest_runs.h"
#include "nearest/point_index.h"
#include "site_rows.h"

namespace {

using Row = kit::test::SiteRow;

std::vector<Row> rowsOf(const kit::Table& t) { return kit::test::siteRows(t); }
std::string header(int groups) { return kit::test::resultHeader(groups); }
std::string cells(const Row& r) { return kit::test::siteCells(r); }

// One row after another, exactly as the tab describes the single-table run.
std::string plainSingle(const std::vector<Row>& rows, int n) {
    int e = std::min<int>(n, rows.size() - 1);
    size_t keep = std::max(3 * e, 10);
    double sum = 0;
    for (const Row& r : rows) sum += r.lat;
    double cosRef = std::cos(sum / rows.size() * kit::kDegToRad);
    kit::ProjectedPoints pts;
    for (const Row& r : rows) {
        auto p = kit::localPlaneProjection(r.lon, r.lat, cosRef);
        pts.push_back(p.x);
        pts.push_back(p.y);
    }
    kit::PointIndex index(pts);
    std::string out = header(e);
    std::vector<kit::Candidate> found;
    for (size_t r = 0; r < rows.size(); ++r) {
        index.knnQuery(pts[2 * r], pts[2 * r + 1], keep + 1, found);
        std::vector<kit::Candidate> others;
        for (auto& c : found)
            if (c.index != r) others.push_back(c);
        std::sort(others.begin(), others.end(), [](auto& a, auto& b) {
            return a.sqDistance < b.sqDistance || (a.sqDistance == b.sqDistance && a.index < b.index);
        });
        if (others.size() > keep) others.resize(keep);
        std::vector<std::pair<double, uint64_t>> ranked;
        for (auto& c : others)
            ranked.push_back({kit::haversineDistance(rows[r].lat, rows[r].lon, rows[c.index].lat, rows[c.index].lon), c.index});
        std::sort(ranked.begin(), ranked.end());
        out += cells(rows[r]);
        for (int i = 0; i < e; ++i)
            out += "\t" + cells(rows[ranked[i].second]) + "\t" + kit::formatFixed(ranked[i].first, 2);
        out += "\n";
    }
    return out;
}

std::string plainTwo(const std::vector<Row>& q, const std::vector<Row>& s, int n) {
    size_t k = std::min<size_t>(s.size(), std::max(3 * n, 10));
    double sum = 0;
    for (const Row& r : s) sum += r.lat;
    for (const Row& r : q) sum += r.lat;
    double cosRef = std::cos(sum / (q.size() + s.size()) * kit::kDegToRad);
    kit::ProjectedPoints pts;
    for (const Row& r : s) {
        auto p = kit::localPlaneProjection(r.lon, r.lat, cosRef);
        pts.push_back(p.x);
        pts.push_back(p.y);
    }
    kit::PointIndex index(pts);
    std::string out = header(n);
    std::vector<kit::Candidate> found;
    for (const Row& row : q) {
        auto p = kit::localPlaneProjection(row.lon, row.lat, cosRef);
        index.knnQuery(p.x, p.y, k, found);
        std::vector<std::pair<double, uint64_t>> ranked;
        for (auto& c : found)
            ranked.push_back({kit::haversineDistance(row.lat, row.lon, s[c.index].lat, s[c.index].lon), c.index});
        std::sort(ranked.begin(), ranked.end());
        out += cells(row);
        int i = 0;
        for (; i < n && i < static_cast<int>(ranked.size()); ++i)
            out += "\t" + cells(s[ranked[i].second]) + "\t" + kit::formatFixed(ranked[i].first, 2);
        for (; i < n; ++i) out += "\t\t\t\t";
        out += "\n";
    }
    return out;
}

std::string randomTable(std::mt19937& rng, int rows) { return kit::test::randomSiteTable(rng, rows); }

}  // namespace

TEST(NearestAgainstPlainProcedure, SingleTableAnyThreadCount) {
    std::mt19937 rng(21);
    // Threads only share the work from a few thousand rows on.
    for (int trial : {300, 900, 5000}) {
        kit::Table t;
        kit::parseTable(randomTable(rng, trial), t);
        auto cols = kit::siteColumnsAt(t, 1, 2, 0);
        for (int n : {1, 3, 12}) {
            std::string expected = plainSingle(rowsOf(t), n);
            for (unsigned threads : {1u, 2u, 3u}) {
                auto r = kit::runNearestSingle(&t, cols, std::to_string(n), threads);
                ASSERT_TRUE(r.ok());
                ASSERT_EQ(r.text, expected) << "trial " << trial << " n " << n << " threads " << threads;
            }
        }
    }
}

TEST(NearestAgainstPlainProcedure, TwoTablesAnyThreadCount) {
    std::mt19937 rng(8);
    for (int trial = 0; trial < 2; ++trial) {
        kit::Table q, s;
        kit::parseTable(randomTable(rng, 5000), q);
        kit::parseTable(randomTable(rng, trial == 0 ? 7 : 3000), s);
        for (int n : {2, 5}) {
            std::string expected = plainTwo(rowsOf(q), rowsOf(s), n);
            for (unsigned threads : {1u, 2u}) {
                auto r = kit::runNearestTwo(&q, &s, kit::siteColumnsAt(q, 1, 2, 0), kit::siteColumnsAt(s, 1, 2, 0),
                                            std::to_string(n), threads);
                ASSERT_TRUE(r.ok());
                ASSERT_EQ(r.text, expected) << "trial " << trial << " n " << n << " threads " << threads;
            }
        }
    }
}
