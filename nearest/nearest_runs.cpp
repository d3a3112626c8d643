#include "nearest/nearest_runs.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

#include "core/columns.h"
#include "core/format.h"
#include "core/geodesy.h"
#include "core/number_parse.h"
#include "core/threads.h"
#include "nearest/local_plane.h"
#include "nearest/neighbour_search.h"
#include "nearest/point_index.h"
#include "nearest/result_text.h"

namespace kit {

namespace {

// Coordinates and ids of one table under the chosen columns; a missing or
// unreadable coordinate is 0, a missing id empty. Read in row order, then
// arranged in Z-order of the projected points, which is how the search and
// the writing visit them: from then on every array is indexed by position.
struct Sites {
    std::vector<double> lon, lat;
    std::vector<std::string_view> id;
    ProjectedPoints projected;
    std::vector<uint32_t> rows;  // position -> row
    size_t inPlane = 0;          // the first positions, which the plane can hold

    SitePoints points() const { return {lon, lat, projected, rows}; }
    std::span<const uint32_t> indexedRows() const { return std::span(rows).first(inPlane); }
    SiteCells cells() const { return {lon, lat, id}; }
};

Sites readSites(const Table& t, const SiteColumns& c, unsigned threads) {
    Sites s;
    size_t n = t.rowCount();
    s.lon.resize(n);
    s.lat.resize(n);
    s.id.resize(n);
    ColumnRef lon = t.column(*c.lon);
    ColumnRef lat = t.column(*c.lat);
    ColumnRef id = t.column(*c.id);
    forSlices(n, threads, [&](size_t from, size_t to, unsigned) {
        for (size_t r = from; r < to; ++r) {
            s.lon[r] = toNumberOr(t.cellOr(r, lon, "0"), 0);
            s.lat[r] = toNumberOr(t.cellOr(r, lat, "0"), 0);
            s.id[r] = t.cellOr(r, id, "");
        }
    });
    return s;
}

ProjectedPoints projected(const std::vector<double>& lon, const std::vector<double>& lat, double cosRef) {
    ProjectedPoints points(2 * lon.size());
    for (size_t i = 0; i < lon.size(); ++i) {
        PlanePoint q = localPlaneProjection(lon[i], lat[i], cosRef);
        points[2 * i] = q.x;
        points[2 * i + 1] = q.y;
    }
    return points;
}

// Whether a projected point can go into the index: a NaN or infinite
// coordinate would spoil the tree's bounds for every query, and beyond this
// size the squared distances overflow. Such points stay out of the index and
// get no neighbours.
bool fitsThePlane(double x, double y) {
    constexpr double kLimit = 1e150;
    return std::fabs(x) <= kLimit && std::fabs(y) <= kLimit;
}

// The rows in Z-order, those the plane can hold first.
std::vector<uint32_t> planeOrder(const ProjectedPoints& byRow, unsigned threads, size_t& inPlane) {
    std::vector<uint32_t> order = spatialOrder(byRow, threads);
    auto fits = [&](uint32_t r) { return fitsThePlane(byRow[2 * r], byRow[2 * r + 1]); };
    inPlane = static_cast<size_t>(std::count_if(order.begin(), order.end(), fits));
    if (inPlane < order.size()) std::stable_partition(order.begin(), order.end(), fits);
    return order;
}

void arrange(Sites& s, double cosRef, unsigned threads) {
    s.rows = planeOrder(projected(s.lon, s.lat, cosRef), threads, s.inPlane);
    runSideBySide(
        threads,
        [&] {
            s.lon = inOrder(s.lon, s.rows);
            s.lat = inOrder(s.lat, s.rows);
        },
        [&] { s.id = inOrder(s.id, s.rows); });
    s.projected = projected(s.lon, s.lat, cosRef);
}

void appendHeader(std::string& out, const SiteColumns& c, int groups) {
    out += *c.id;
    out += '\t';
    out += *c.lon;
    out += '\t';
    out += *c.lat;
    for (int i = 1; i <= groups; ++i) {
        std::string n = std::to_string(i);
        out += "\t最近的" + n + "个 Id\t最近的" + n + "个经度\t最近的" + n + "个纬度\t最近的" + n + "个距离";
    }
    out += '\n';
}

// The mean of the latitudes that are numbers: one "nan" or "inf" cell would
// otherwise make the projection of every row NaN. 0 when none is.
double meanLatitude(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0;
    size_t count = 0;
    for (const auto* lats : {&a, &b})
        for (double v : *lats)
            if (std::isfinite(v)) sum += v, ++count;
    const double mean = count ? sum / static_cast<double>(count) : 0;
    return std::isfinite(mean) ? mean : 0;
}

}  // namespace

SiteColumns siteColumnsAt(const Table& table, int lon, int lat, int id) {
    const auto& h = table.headers;
    return {selectedHeader(lon, h), selectedHeader(lat, h), selectedHeader(id, h)};
}

int secondTableIdColumn(const HeaderNames& headers) { return headers.size() >= 3 ? 2 : kNoColumn; }

int parseNeighbourCount(std::string_view text) {
    int32_t v = parseLeadingInt32(text.substr(0, std::min<size_t>(text.size(), 64))).value_or(1);
    return std::clamp<int32_t>(v, 1, kMaxNeighbours);
}

Outcome checkSingleSelection(const Table* table, const SiteColumns& cols) {
    if (!table || table->empty()) return Outcome::warning("请先获取数据");
    if (!cols.complete()) return Outcome::warning("请选择经度、纬度和 ID 列");
    return Outcome::success();
}

Outcome checkTwoSelection(const Table* table1, const Table* table2, const SiteColumns& c1, const SiteColumns& c2) {
    if (!table1 || !table2) return Outcome::warning("请先获取两个数据表");
    if (!c1.complete() || !c2.complete()) return Outcome::warning("请完成列选择");
    return Outcome::success();
}

Outcome runNearestSingle(const Table* table, const SiteColumns& cols, std::string_view quantityText,
                         unsigned threads, std::string_view destination) {
    if (Outcome checked = checkSingleSelection(table, cols); !checked.ok()) return checked;
    const size_t rows = table->rowCount();
    const int n = parseNeighbourCount(quantityText);
    const int e = static_cast<int>(std::min<size_t>(n, rows - 1));
    if (e <= 0) return Outcome::warning("数据行数不足");

    SearchPlan plan;
    plan.planeKeep = std::max(3 * e, 10);
    plan.slots = plan.planeKeep + 1;  // the row finds itself too
    plan.excludeSelf = true;
    plan.perRow = e;

    Sites s = readSites(*table, cols, threads);
    arrange(s, std::cos(meanLatitude(s.lat, {}) * kDegToRad), threads);
    // The tree is built on one thread; the sites' texts are written meanwhile.
    std::optional<PointIndex> index;
    SiteTexts texts;
    runSideBySide(threads, [&] { index.emplace(s.projected, s.indexedRows()); }, [&] { texts = SiteTexts(s.cells(), 1); });
    NeighbourLists found = searchNeighbours(*index, s.points(), s.points(), plan, threads);
    index.reset();
    std::string out;
    appendHeader(out, cols, e);
    appendResultLines(out, s.rows, std::move(texts), SiteTexts(), std::move(found), threads);
    return Outcome::success(format("完成！%d行数据已导出到%s\n采用 KD-Tree + UTM 优化", static_cast<int>(rows), destination),
                            std::move(out));
}

Outcome runNearestTwo(const Table* table1, const Table* table2, const SiteColumns& c1, const SiteColumns& c2,
                      std::string_view quantityText, unsigned threads, std::string_view destination) {
    if (Outcome checked = checkTwoSelection(table1, table2, c1, c2); !checked.ok()) return checked;
    const int n = parseNeighbourCount(quantityText);
    const size_t q = table2->rowCount();
    if (q == 0) return Outcome::warning("表2无数据");

    SearchPlan plan;
    plan.slots = std::min<size_t>(q, std::max(3 * n, 10));
    plan.perRow = n;

    Sites s2 = readSites(*table2, c2, threads);
    Sites s1 = readSites(*table1, c1, threads);
    const double cosRef = std::cos(meanLatitude(s2.lat, s1.lat) * kDegToRad);
    arrange(s2, cosRef, threads);
    arrange(s1, cosRef, threads);
    std::optional<PointIndex> index;
    SiteTexts texts2, texts1;
    runSideBySide(
        threads, [&] { index.emplace(s2.projected, s2.indexedRows()); },
        [&] {
            texts2 = SiteTexts(s2.cells(), 1);
            texts1 = SiteTexts(s1.cells(), 1);
        });
    NeighbourLists found = searchNeighbours(*index, s2.points(), s1.points(), plan, threads);
    index.reset();
    std::string out;
    appendHeader(out, c1, n);
    appendResultLines(out, s1.rows, std::move(texts2), std::move(texts1), std::move(found), threads);
    return Outcome::success(format("完成！%d行数据已导出到%s\n采用 KD-Tree 优化", static_cast<int>(table1->rowCount()), destination),
                            std::move(out));
}

}  // namespace kit
