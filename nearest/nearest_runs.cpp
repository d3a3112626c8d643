#include "nearest/nearest_runs.h"

#include <algorithm>
#include <cmath>

#include "core/columns.h"
#include "core/format.h"
#include "core/geodesy.h"
#include "core/number_parse.h"
#include "nearest/point_index.h"

namespace kit {

namespace {

// Coordinates and ids of one table under the chosen columns; a missing or
// unreadable coordinate is 0, a missing id empty.
struct Sites {
    std::vector<double> lon, lat;
    std::vector<std::string_view> id;
};

Sites readSites(const Table& t, const SiteColumns& c) {
    Sites s;
    size_t n = t.rowCount();
    s.lon.resize(n);
    s.lat.resize(n);
    s.id.resize(n);
    ColumnRef lon = t.column(*c.lon);
    ColumnRef lat = t.column(*c.lat);
    ColumnRef id = t.column(*c.id);
    for (size_t r = 0; r < n; ++r) {
        s.lon[r] = toNumberOr(t.cellOr(r, lon, "0"), 0);
        s.lat[r] = toNumberOr(t.cellOr(r, lat, "0"), 0);
        s.id[r] = t.cellOr(r, id, "");
    }
    return s;
}

ProjectedPoints project(const Sites& s, double cosRef) {
    ProjectedPoints p(2 * s.lon.size());
    for (size_t i = 0; i < s.lon.size(); ++i) {
        PlanePoint q = localPlaneProjection(s.lon[i], s.lat[i], cosRef);
        p[2 * i] = q.x;
        p[2 * i + 1] = q.y;
    }
    return p;
}

struct Ranked {
    uint64_t index;
    double metres;
};

bool byPlane(const Candidate& a, const Candidate& b) {
    return a.sqDistance < b.sqDistance || (a.sqDistance == b.sqDistance && a.index < b.index);
}
bool byMetres(const Ranked& a, const Ranked& b) {
    return a.metres < b.metres || (a.metres == b.metres && a.index < b.index);
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

void appendSite(std::string& out, std::string_view id, double lon, double lat) {
    out += id;
    out += '\t';
    appendFixed(out, lon, 6);
    out += '\t';
    appendFixed(out, lat, 6);
}

void appendNeighbour(std::string& out, const Sites& s, const Ranked& n) {
    out += '\t';
    appendSite(out, s.id[n.index], s.lon[n.index], s.lat[n.index]);
    out += '\t';
    appendFixed(out, n.metres, 2);
}

}  // namespace

SiteColumns siteColumnsAt(const Table& table, int lon, int lat, int id) {
    auto at = [&](int i) -> std::optional<std::string> {
        if (!isSelected(i, table.headers)) return std::nullopt;
        return table.headers[i];
    };
    return {at(lon), at(lat), at(id)};
}

int secondTableIdColumn(const std::vector<std::string>& headers) { return headers.size() >= 3 ? 2 : kNoColumn; }

int parseNeighbourCount(std::string_view text) {
    int32_t v = parseLeadingInt32(text.substr(0, std::min<size_t>(text.size(), 64))).value_or(1);
    return std::clamp<int32_t>(v, 1, kMaxNeighbours);
}

std::optional<std::string> checkSingleSelection(const Table* table, const SiteColumns& cols) {
    if (!table || table->empty()) return std::string("请先获取数据");
    if (!cols.complete()) return std::string("请选择经度、纬度和 ID 列");
    return std::nullopt;
}

std::optional<std::string> checkTwoSelection(const Table* table1, const Table* table2, const SiteColumns& c1,
                                             const SiteColumns& c2) {
    if (!table1 || !table2) return std::string("请先获取两个数据表");
    if (!c1.complete() || !c2.complete()) return std::string("请完成列选择");
    return std::nullopt;
}

Outcome runNearestSingle(const Table* table, const SiteColumns& cols, std::string_view quantityText) {
    if (auto w = checkSingleSelection(table, cols)) return Outcome::warning(*w);
    const Table& t = *table;
    const size_t rows = t.rowCount();
    const int n = parseNeighbourCount(quantityText);
    const int e = static_cast<int>(std::min<size_t>(n, rows - 1));
    if (e <= 0) return Outcome::warning("数据行数不足");
    const size_t keep = std::max(3 * e, 10);
    const size_t slots = keep + 1;  // the row finds itself too

    Sites s = readSites(t, cols);
    double latSum = 0;
    for (double v : s.lat) latSum += v;
    const double cosRef = std::cos(latSum / rows * kDegToRad);
    ProjectedPoints pts = project(s, cosRef);
    PointIndex index(pts);

    std::string out;
    out.reserve(rows * (40 + 60 * e));
    appendHeader(out, cols, e);
    std::vector<Candidate> found;
    std::vector<Ranked> ranked;
    for (size_t r = 0; r < rows; ++r) {
        index.knnQuery(pts[2 * r], pts[2 * r + 1], slots, found);
        std::erase_if(found, [r](const Candidate& c) { return c.index == r; });
        std::sort(found.begin(), found.end(), byPlane);
        if (found.size() > keep) found.resize(keep);
        ranked.clear();
        for (const Candidate& c : found)
            ranked.push_back({c.index, haversineDistance(s.lat[r], s.lon[r], s.lat[c.index], s.lon[c.index])});
        std::sort(ranked.begin(), ranked.end(), byMetres);

        appendSite(out, s.id[r], s.lon[r], s.lat[r]);
        for (int i = 0; i < e && i < static_cast<int>(ranked.size()); ++i) appendNeighbour(out, s, ranked[i]);
        out += '\n';
    }
    return Outcome::success(format("完成！%d行数据已导出到剪贴板\n采用 KD-Tree + UTM 优化", static_cast<int>(rows)),
                            std::move(out));
}

Outcome runNearestTwo(const Table* table1, const Table* table2, const SiteColumns& c1, const SiteColumns& c2,
                      std::string_view quantityText) {
    if (auto w = checkTwoSelection(table1, table2, c1, c2)) return Outcome::warning(*w);
    const Table& t1 = *table1;
    const Table& t2 = *table2;
    const int n = parseNeighbourCount(quantityText);
    const size_t q = t2.rowCount();
    if (q == 0) return Outcome::warning("表2无数据");
    const size_t slots = std::min<size_t>(q, std::max(3 * n, 10));
    const size_t reported = std::min<size_t>(slots, n);

    Sites s2 = readSites(t2, c2);
    Sites s1 = readSites(t1, c1);
    double latSum = 0;
    for (double v : s2.lat) latSum += v;
    for (double v : s1.lat) latSum += v;
    const double cosRef = std::cos(latSum / static_cast<double>(s1.lat.size() + s2.lat.size()) * kDegToRad);
    ProjectedPoints pts = project(s2, cosRef);
    PointIndex index(pts);

    const size_t rows = t1.rowCount();
    std::string out;
    out.reserve(rows * (40 + 60 * n));
    appendHeader(out, c1, n);
    std::vector<Candidate> found;
    std::vector<Ranked> ranked;
    for (size_t r = 0; r < rows; ++r) {
        PlanePoint p = localPlaneProjection(s1.lon[r], s1.lat[r], cosRef);
        index.knnQuery(p.x, p.y, slots, found);
        ranked.clear();
        for (const Candidate& c : found)
            ranked.push_back({c.index, haversineDistance(s1.lat[r], s1.lon[r], s2.lat[c.index], s2.lon[c.index])});
        std::sort(ranked.begin(), ranked.end(), byMetres);

        appendSite(out, s1.id[r], s1.lon[r], s1.lat[r]);
        size_t i = 0;
        for (; i < reported && i < ranked.size(); ++i) appendNeighbour(out, s2, ranked[i]);
        for (; i < static_cast<size_t>(n); ++i) out += "\t\t\t\t";
        out += '\n';
    }
    return Outcome::success(format("完成！%d行数据已导出到剪贴板\n采用 KD-Tree 优化", static_cast<int>(rows)),
                            std::move(out));
}

}  // namespace kit
