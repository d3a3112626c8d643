#include "nearest/nearest_runs.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "core/columns.h"
#include "core/format.h"
#include "core/geodesy.h"
#include "core/number_parse.h"
#include "nearest/local_plane.h"
#include "nearest/neighbour_search.h"
#include "nearest/point_index.h"

namespace kit {

namespace {

// Coordinates and ids of one table under the chosen columns; a missing or
// unreadable coordinate is 0, a missing id empty.
struct Sites {
    std::vector<double> lon, lat;
    std::vector<std::string_view> id;
    ProjectedPoints projected;
    std::vector<uint32_t> order;  // rows in Z-order of their projected points

    SitePoints points() const { return {lon, lat, projected, order}; }
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

void project(Sites& s, double cosRef) {
    s.projected.resize(2 * s.lon.size());
    for (size_t i = 0; i < s.lon.size(); ++i) {
        PlanePoint q = localPlaneProjection(s.lon[i], s.lat[i], cosRef);
        s.projected[2 * i] = q.x;
        s.projected[2 * i + 1] = q.y;
    }
    s.order = spatialOrder(s.projected);
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

// Every site's "id \t lon \t lat" cells formatted once, stored in Z-order so
// that the neighbours of nearby rows are read from nearby memory.
struct SiteTexts {
    std::string text;
    std::vector<uint64_t> start;  // by Z-order position; one extra entry at the end
    std::vector<uint32_t> pos;    // row -> Z-order position

    std::string_view of(size_t row) const {
        size_t p = pos[row];
        return std::string_view(text).substr(start[p], start[p + 1] - start[p]);
    }
};

SiteTexts formatSites(const Sites& s, unsigned threads) {
    SiteTexts t;
    const size_t n = s.order.size();
    t.pos.resize(n);
    t.start.resize(n + 1);
    // Each thread formats a slice of positions into its own text; the slices
    // are then joined and their offsets moved by what precedes them.
    std::vector<std::string> slices(std::max(1u, threads));
    std::vector<size_t> sliceBegin(slices.size(), n);
    forSlices(n, threads, [&](size_t from, size_t to, unsigned slice) {
        std::string& text = slices[slice];
        text.reserve((to - from) * 32);
        sliceBegin[slice] = from;
        for (size_t p = from; p < to; ++p) {
            size_t r = s.order[p];
            t.pos[r] = static_cast<uint32_t>(p);
            t.start[p] = text.size();
            appendSite(text, s.id[r], s.lon[r], s.lat[r]);
        }
    });
    for (size_t i = 0; i < slices.size(); ++i) {
        if (sliceBegin[i] >= n) continue;
        size_t end = (i + 1 < slices.size() && sliceBegin[i + 1] < n) ? sliceBegin[i + 1] : n;
        size_t shift = t.text.size();
        for (size_t p = sliceBegin[i]; p < end; ++p) t.start[p] += shift;
        t.text += slices[i];
        std::string().swap(slices[i]);
    }
    t.start[n] = t.text.size();
    return t;
}

// The result lines after the header, in row order. queryTexts, when given,
// are the queries' own cells in the same Z-order as the queries. Lines are first written in
// the queries' Z-order (each thread a slice into its own buffer), then copied
// out in row order.
void appendAllLines(std::string& out, const Sites& queries, const SiteTexts* queryTexts, SiteTexts&& sites,
                    NeighbourLists&& found, size_t padding, unsigned threads) {
    const size_t n = queries.order.size();
    struct Line {
        uint32_t buffer;
        uint32_t length;
        uint64_t offset;
    };
    std::vector<Line> lines(n);
    std::vector<std::string> buffers(std::max(1u, threads));
    forSlices(n, threads, [&](size_t from, size_t to, unsigned slice) {
        std::string& b = buffers[slice];
        b.reserve((to - from) * (40 + 64 * found.perRow + 4 * padding));
        for (size_t k = from; k < to; ++k) {
            size_t q = queries.order[k];
            size_t begin = b.size();
            if (queryTexts)
                b += std::string_view(queryTexts->text).substr(queryTexts->start[k], queryTexts->start[k + 1] - queryTexts->start[k]);
            else
                appendSite(b, queries.id[q], queries.lon[q], queries.lat[q]);
            for (size_t i = 0; i < found.perRow; ++i) {
                b += '\t';
                b += sites.of(found.index[k * found.perRow + i]);
                b += '\t';
                appendFixed(b, found.metres[k * found.perRow + i], 2);
            }
            for (size_t i = 0; i < padding; ++i) b += "\t\t\t\t";
            b += '\n';
            lines[q] = {slice, static_cast<uint32_t>(b.size() - begin), begin};
        }
    });
    // The lists and site texts are spent: give their memory back before the
    // result is gathered, which is when memory use peaks.
    found = NeighbourLists();
    sites = SiteTexts();
    size_t total = out.size();
    for (const auto& b : buffers) total += b.size();
    out.reserve(total);
    for (const Line& l : lines) out.append(buffers[l.buffer], l.offset, l.length);
}

double meanLatitude(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0;
    for (double v : a) sum += v;
    for (double v : b) sum += v;
    return sum / static_cast<double>(a.size() + b.size());
}

}  // namespace

SiteColumns siteColumnsAt(const Table& table, int lon, int lat, int id) {
    const auto& h = table.headers;
    return {selectedHeader(lon, h), selectedHeader(lat, h), selectedHeader(id, h)};
}

int secondTableIdColumn(const std::vector<std::string>& headers) { return headers.size() >= 3 ? 2 : kNoColumn; }

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

    Sites s = readSites(*table, cols);
    project(s, std::cos(meanLatitude(s.lat, {}) * kDegToRad));
    NeighbourLists found;
    {
        PointIndex index(s.projected);
        found = searchNeighbours(index, s.points(), s.points(), plan, threads);
    }
    SiteTexts texts = formatSites(s, threads);
    std::string out;
    appendHeader(out, cols, e);
    appendAllLines(out, s, &texts, std::move(texts), std::move(found), 0, threads);
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
    plan.perRow = std::min<size_t>(plan.slots, n);

    Sites s2 = readSites(*table2, c2);
    Sites s1 = readSites(*table1, c1);
    const double cosRef = std::cos(meanLatitude(s2.lat, s1.lat) * kDegToRad);
    project(s2, cosRef);
    project(s1, cosRef);
    NeighbourLists found;
    {
        PointIndex index(s2.projected);
        found = searchNeighbours(index, s2.points(), s1.points(), plan, threads);
    }
    SiteTexts texts = formatSites(s2, threads);
    std::string out;
    appendHeader(out, c1, n);
    appendAllLines(out, s1, nullptr, std::move(texts), std::move(found), n - plan.perRow, threads);
    return Outcome::success(format("完成！%d行数据已导出到%s\n采用 KD-Tree 优化", static_cast<int>(table1->rowCount()), destination),
                            std::move(out));
}

}  // namespace kit
