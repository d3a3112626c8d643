#include "analysis/buffer_group.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/edit_number.h"
#include "core/format.h"

namespace kit {

namespace {

// Cells and chord bounds carry this much slack, so that rounding never hides
// a link from the neighbouring cells nor decides one without the exact test.
constexpr double kRelativeSlack = 1e-6;
constexpr double kAbsoluteSlack = 1e-12;
// Beyond this many degrees the great-circle distance's trigonometry is too
// coarse to bound by position, and past a pole its terms cancel and it errs by
// centimetres; such points are compared with every point.
constexpr double kPlainDegrees = 1000;

struct CellKey {
    int64_t x, y, z;
    bool operator==(const CellKey&) const = default;
    auto operator<=>(const CellKey&) const = default;
};

uint64_t mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    return h ^ (h >> 33);
}

uint64_t hashKey(const CellKey& k) {
    return mix(static_cast<uint64_t>(k.x) * 0x9E3779B97F4A7C15ULL ^ mix(static_cast<uint64_t>(k.y)) ^
               mix(static_cast<uint64_t>(k.z) + 0x632BE59BD9B4E019ULL));
}

// Cell key -> cell number, open addressing.
class CellTable {
public:
    explicit CellTable(size_t cells) {
        size_t cap = 16;
        while (cap < 2 * cells) cap *= 2;
        slots_.assign(cap, -1);
        keys_.reserve(cells);
    }
    void insert(const CellKey& k) {
        size_t i = hashKey(k) & (slots_.size() - 1);
        while (slots_[i] != -1) i = (i + 1) & (slots_.size() - 1);
        slots_[i] = static_cast<int32_t>(keys_.size());
        keys_.push_back(k);
    }
    int32_t find(const CellKey& k) const {
        size_t i = hashKey(k) & (slots_.size() - 1);
        while (slots_[i] != -1) {
            if (keys_[static_cast<size_t>(slots_[i])] == k) return slots_[i];
            i = (i + 1) & (slots_.size() - 1);
        }
        return -1;
    }

private:
    std::vector<int32_t> slots_;
    std::vector<CellKey> keys_;
};

// A set of not-yet-labelled points that allows removal in constant time.
struct AliveList {
    std::vector<uint32_t> items;
    std::vector<uint32_t>* where;  // position of each point in its list
    void remove(uint32_t p, size_t begin, size_t& count) {
        size_t last = begin + --count;
        uint32_t moved = items[last];
        std::swap(items[(*where)[p]], items[last]);
        (*where)[moved] = (*where)[p];
        (*where)[p] = static_cast<uint32_t>(last);
    }
};

}  // namespace

std::vector<int32_t> groupPoints(const std::vector<LonLat>& points, double metres) {
    const size_t n = points.size();
    std::vector<int32_t> labels(n, -1);
    int32_t next = 0;
    if (!(metres >= 0)) {  // nothing is at a negative or NaN distance
        for (size_t i = 0; i < n; ++i) labels[i] = next++;
        return labels;
    }

    // Points as unit vectors: the chord between two of them grows with their
    // great-circle distance, and the sphere needs no seams at the poles or the
    // antimeridian.
    const double angle = metres / EARTH_RADIUS_M;
    const double chord = angle >= kPi ? 2 : 2 * std::sin(angle / 2);
    const double chordHi = chord * (1 + kRelativeSlack) + kAbsoluteSlack;
    const double chordLo = chord * (1 - kRelativeSlack) - kAbsoluteSlack;
    const double hi2 = chordHi * chordHi, lo2 = chordLo > 0 ? chordLo * chordLo : -1;
    const double cell = chordHi;

    enum Kind : uint8_t { Alone, Plain, Far };
    std::vector<Kind> kind(n);
    std::vector<std::array<double, 3>> v(n);
    std::vector<CellKey> key(n);
    std::vector<uint32_t> plain, far;
    for (uint32_t i = 0; i < n; ++i) {
        const double lon = points[i].lon, lat = points[i].lat;
        if (!std::isfinite(lon) || !std::isfinite(lat)) {
            kind[i] = Alone;  // its distance to anything is NaN
        } else if (std::fabs(lon) > kPlainDegrees || std::fabs(lat) > 90) {
            kind[i] = Far;
            far.push_back(i);
        } else {
            kind[i] = Plain;
            const double phi = lat * kDegToRad, lambda = lon * kDegToRad;
            v[i] = {std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda), std::sin(phi)};
            key[i] = {static_cast<int64_t>(std::floor(v[i][0] / cell)), static_cast<int64_t>(std::floor(v[i][1] / cell)),
                      static_cast<int64_t>(std::floor(v[i][2] / cell))};
            plain.push_back(i);
        }
    }

    // Cells: the plain points sorted by cell, one run per cell.
    std::vector<uint32_t> where(n, 0);
    AliveList cells{plain, &where};
    std::sort(cells.items.begin(), cells.items.end(), [&](uint32_t a, uint32_t b) {
        return key[a] < key[b] || (key[a] == key[b] && a < b);
    });
    std::vector<uint32_t> cellOf(n, 0);
    std::vector<size_t> cellBegin, cellAlive;
    for (size_t p = 0; p < cells.items.size(); ++p) {
        const uint32_t i = cells.items[p];
        if (p == 0 || !(key[i] == key[cells.items[p - 1]])) {
            cellBegin.push_back(p);
            cellAlive.push_back(0);
        }
        cellOf[i] = static_cast<uint32_t>(cellBegin.size() - 1);
        ++cellAlive.back();
        where[i] = static_cast<uint32_t>(p);
    }
    CellTable table(cellBegin.size());
    for (size_t c = 0; c < cellBegin.size(); ++c) table.insert(key[cells.items[cellBegin[c]]]);

    AliveList farAlive{far, &where};
    for (size_t p = 0; p < far.size(); ++p) where[far[p]] = static_cast<uint32_t>(p);
    size_t farCount = far.size();

    auto take = [&](uint32_t j) {
        if (kind[j] == Plain)
            cells.remove(j, cellBegin[cellOf[j]], cellAlive[cellOf[j]]);
        else if (kind[j] == Far)
            farAlive.remove(j, 0, farCount);
    };
    auto linked = [&](uint32_t k, uint32_t j) {
        if (kind[k] == Plain && kind[j] == Plain) {
            const double dx = v[k][0] - v[j][0], dy = v[k][1] - v[j][1], dz = v[k][2] - v[j][2];
            const double c2 = dx * dx + dy * dy + dz * dz;
            if (c2 > hi2) return false;
            if (c2 <= lo2) return true;
        }
        return haversineDistance(points[k].lat, points[k].lon, points[j].lat, points[j].lon) <= metres;
    };

    std::vector<uint32_t> stack;
    for (uint32_t i = 0; i < n; ++i) {
        if (labels[i] != -1) continue;
        const int32_t group = next++;
        labels[i] = group;
        if (kind[i] == Alone) continue;
        take(i);
        stack.push_back(i);
        while (!stack.empty()) {
            const uint32_t k = stack.back();
            stack.pop_back();
            auto visit = [&](AliveList& list, size_t begin, size_t& count) {
                for (size_t p = begin; p < begin + count;) {
                    const uint32_t j = list.items[p];
                    if (linked(k, j)) {
                        labels[j] = group;
                        list.remove(j, begin, count);
                        stack.push_back(j);
                    } else {
                        ++p;
                    }
                }
            };
            if (kind[k] == Plain) {
                const CellKey& c = key[k];
                for (int64_t dx = -1; dx <= 1; ++dx)
                    for (int64_t dy = -1; dy <= 1; ++dy)
                        for (int64_t dz = -1; dz <= 1; ++dz) {
                            const int32_t found = table.find({c.x + dx, c.y + dy, c.z + dz});
                            if (found >= 0) visit(cells, cellBegin[found], cellAlive[found]);
                        }
            } else {
                for (size_t c = 0; c < cellBegin.size(); ++c) visit(cells, cellBegin[c], cellAlive[c]);
            }
            visit(farAlive, 0, farCount);
        }
    }
    return labels;
}

double groupDistance(std::string_view text) { return editNumberOr(text, kDefaultGroupDistance); }

Outcome runBufferGroup(const Table* table, const LonLatColumns& cols, std::string_view distanceText,
                       bool geomColumn) {
    if (!table || table->empty()) return Outcome::warning("请先获取数据");
    if (!cols.lon || !cols.lat) return Outcome::warning("请选择经度列和纬度列");
    const double metres = groupDistance(distanceText);
    if (metres <= 0) return Outcome::warning(kDistanceNotPositive);

    const Table& t = *table;
    const size_t rows = t.rowCount();
    const ColumnRef lonRef = t.column(*cols.lon), latRef = t.column(*cols.lat);
    std::vector<LonLat> points(rows);
    for (size_t r = 0; r < rows; ++r)
        points[r] = {toNumberOr(t.cellOr(r, lonRef, "0"), 0), toNumberOr(t.cellOr(r, latRef, "0"), 0)};
    const std::vector<int32_t> labels = groupPoints(points, metres);

    std::vector<ColumnRef> refs;
    std::string out;
    out.reserve(rows * (t.columnCount() * 12 + (geomColumn ? 40 : 8)));
    for (const std::string& h : t.headers) {
        refs.push_back(t.column(h));
        out += h;
        out += '\t';
    }
    out += "clusterid";
    if (geomColumn) out += "\tgeom";
    out += '\n';
    int32_t groups = 0;
    for (size_t r = 0; r < rows; ++r) {
        for (const ColumnRef& ref : refs) {
            out += t.cellOr(r, ref, "");
            out += '\t';
        }
        appendInt(out, labels[r]);
        groups = std::max(groups, labels[r] + 1);
        if (geomColumn) {
            out += "\tPOINT(";
            appendFixed(out, points[r].lon, 6);
            out += ' ';
            appendFixed(out, points[r].lat, 6);
            out += ')';
        }
        out += '\n';
    }
    return Outcome::success(format("完成！%zu行数据已导出到剪贴板\n共分为 %d 个聚类组", rows, groups), std::move(out));
}

}  // namespace kit
