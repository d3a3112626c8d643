#include "analysis/buffer_group.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/edit_text.h"
#include "core/format.h"

namespace kit {

namespace {

// Cells and chord bounds carry this much slack, so that rounding never hides
// a link from the neighbouring cells nor decides one without the exact test.
constexpr double kRelativeSlack = 1e-6;
constexpr double kAbsoluteSlack = 1e-12;
// Beyond this many degrees, or past a pole, the great-circle distance's
// trigonometry is too coarse to decide a link by position (past a pole its
// terms cancel and it errs by centimetres): such "far" points, projected
// metres read as degrees for one, always get the exact test, and the cells
// widen by the error its terms can carry at their size.
constexpr double kPlainDegrees = 1000;
// Past this size no bound on that error prunes anything (and some sines give
// up): such points are compared with every point.
constexpr double kHugeDegrees = 1e15;

// Cell coordinates along each axis fit in 21 bits when a cell is at least
// this wide (about 6 m on the ground); smaller distances use cells this size.
constexpr double kMinCell = 1e-6;
constexpr int kAxisBits = 21;
constexpr int64_t kAxisOffset = int64_t{1} << (kAxisBits - 1);

// A cell's three coordinates packed so that numeric order is their
// lexicographic order.
uint64_t cellKey(double x, double y, double z, double cell) {
    auto axis = [&](double v) {
        return static_cast<uint64_t>(static_cast<int64_t>(std::floor(v / cell)) + kAxisOffset);
    };
    return axis(x) << (2 * kAxisBits) | axis(y) << kAxisBits | axis(z);
}

// The points not yet labelled, kept in runs (one run per cell, one for the
// huge points) with each run's remaining points at its front, so taking a
// point out is a swap with the run's last remaining one. A slot carries the
// point's unit vector, so scanning a run reads memory in order.
struct Slot {
    double x, y, z;
    uint32_t id;
};

struct Runs {
    std::vector<Slot> slots;
    std::vector<uint32_t> begin, remaining;  // per run
    std::vector<uint32_t> runOf, where;      // per point

    void take(uint32_t id) {
        const uint32_t r = runOf[id];
        const uint32_t last = begin[r] + --remaining[r];
        const uint32_t at = where[id];
        std::swap(slots[at], slots[last]);
        where[slots[at].id] = at;
        where[id] = last;
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
    // antimeridian. Cells are cubes one linking chord wide, so a point's links
    // lie in its own cell and the 26 around it.
    const double angle = metres / kEarthRadiusM;
    const double chord = angle >= kPi ? 2 : 2 * std::sin(angle / 2);
    const double chordHi = chord * (1 + kRelativeSlack) + kAbsoluteSlack;
    const double chordLo = chord * (1 - kRelativeSlack) - kAbsoluteSlack;
    const double hi2 = chordHi * chordHi, lo2 = chordLo > 0 ? chordLo * chordLo : -1;

    // Alone: not finite, its distance to anything is NaN. Huge: compared with
    // every point. Plain and Far points go into the cells.
    enum Kind : uint8_t { Alone, Plain, Far, Huge };
    std::vector<Kind> kind(n, Alone);
    std::vector<Slot> vec(n);
    std::vector<uint32_t> huge;
    bool anyFar = false;
    double largest = 0;  // radians, over the points in cells
    for (uint32_t i = 0; i < n; ++i) {
        const double lon = points[i].lon, lat = points[i].lat;
        if (!std::isfinite(lon) || !std::isfinite(lat)) continue;
        if (std::fabs(lon) > kHugeDegrees || std::fabs(lat) > kHugeDegrees) {
            kind[i] = Huge;
            huge.push_back(i);
            continue;
        }
        const bool isFar = std::fabs(lon) > kPlainDegrees || std::fabs(lat) > 90;
        kind[i] = isFar ? Far : Plain;
        anyFar = anyFar || isFar;
        // Past a pole this is still the point the distance formula measures:
        // its terms are the chord's, whatever the angles.
        const double phi = lat * kDegToRad, lambda = lon * kDegToRad;
        largest = std::max({largest, std::fabs(phi), std::fabs(lambda)});
        vec[i] = {std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda), std::sin(phi), i};
    }
    // A far pair's haversine term may be off by errorA (a few roundings of
    // angles this large), its unit vectors by errorV a coordinate; a chord
    // beyond chordFar cannot be a link however they fall.
    const double eps = std::numeric_limits<double>::epsilon();
    const double errorA = 64 * eps * (largest + 1), errorV = 8 * eps * (largest + 1);
    const double chordFar = chordHi + 2 * std::sqrt(errorA) + 8 * errorV;
    const double far2 = chordFar * chordFar;
    const double cell = std::max(anyFar ? chordFar : chordHi, kMinCell);
    struct Placed {
        uint64_t key;
        uint32_t id;
    };
    std::vector<Placed> placed;
    for (uint32_t i = 0; i < n; ++i)
        if (kind[i] == Plain || kind[i] == Far) placed.push_back({cellKey(vec[i].x, vec[i].y, vec[i].z, cell), i});
    std::sort(placed.begin(), placed.end(),
              [](const Placed& a, const Placed& b) { return a.key < b.key || (a.key == b.key && a.id < b.id); });

    // Runs: the cells in key order, then the huge points.
    Runs runs;
    runs.runOf.assign(n, 0);
    runs.where.assign(n, 0);
    runs.slots.reserve(placed.size() + huge.size());
    std::vector<uint64_t> cellKeys;
    for (size_t p = 0; p < placed.size(); ++p) {
        if (p == 0 || placed[p].key != placed[p - 1].key) {
            cellKeys.push_back(placed[p].key);
            runs.begin.push_back(static_cast<uint32_t>(p));
            runs.remaining.push_back(0);
        }
        const uint32_t id = placed[p].id;
        runs.slots.push_back(vec[id]);
        runs.runOf[id] = static_cast<uint32_t>(cellKeys.size() - 1);
        runs.where[id] = static_cast<uint32_t>(p);
        ++runs.remaining.back();
    }
    const size_t cellCount = cellKeys.size();
    const uint32_t hugeRun = static_cast<uint32_t>(cellCount);
    runs.begin.push_back(static_cast<uint32_t>(runs.slots.size()));
    runs.remaining.push_back(static_cast<uint32_t>(huge.size()));
    for (uint32_t id : huge) {
        runs.runOf[id] = hugeRun;
        runs.where[id] = static_cast<uint32_t>(runs.slots.size());
        runs.slots.push_back({0, 0, 0, id});
    }
    std::vector<Placed>().swap(placed);
    std::vector<Slot>().swap(vec);

    // Each cell's occupied neighbours (itself included). The cells are in key
    // order, so for every offset (dx, dy) the first candidate neighbour
    // (x + dx, y + dy, z - 1) only moves forward: one cursor per offset walks
    // the cells once.
    auto forEachNear = [&](auto&& emit) {
        for (int64_t dx = -1; dx <= 1; ++dx)
            for (int64_t dy = -1; dy <= 1; ++dy) {
                const uint64_t shift =
                    static_cast<uint64_t>(dx * (int64_t{1} << (2 * kAxisBits)) + dy * (int64_t{1} << kAxisBits) - 1);
                size_t cursor = 0;
                for (size_t c = 0; c < cellCount; ++c) {
                    const uint64_t first = cellKeys[c] + shift, last = first + 2;
                    while (cursor < cellCount && cellKeys[cursor] < first) ++cursor;
                    for (size_t q = cursor; q < cellCount && cellKeys[q] <= last; ++q) emit(c, q);
                }
            }
    };
    std::vector<uint32_t> nearStart(cellCount + 1, 0), nearCells;
    forEachNear([&](size_t c, size_t) { ++nearStart[c + 1]; });
    for (size_t c = 0; c < cellCount; ++c) nearStart[c + 1] += nearStart[c];
    nearCells.resize(nearStart.back());
    {
        std::vector<uint32_t> fill(nearStart.begin(), nearStart.end() - 1);
        forEachNear([&](size_t c, size_t q) { nearCells[fill[c]++] = static_cast<uint32_t>(q); });
    }

    // Components are found starting from points in cell order, which keeps
    // the search's memory close together, then numbered by their first row.
    std::vector<uint32_t> seeds;
    seeds.reserve(n);
    for (const Slot& s : runs.slots) seeds.push_back(s.id);
    for (uint32_t i = 0; i < n; ++i)
        if (kind[i] == Alone) seeds.push_back(i);
    std::vector<uint32_t> stack;
    for (uint32_t i : seeds) {
        if (labels[i] != -1) continue;
        const int32_t group = next++;
        labels[i] = group;
        if (kind[i] == Alone) continue;
        runs.take(i);
        stack.push_back(i);
        while (!stack.empty()) {
            const uint32_t k = stack.back();
            stack.pop_back();
            const Slot vk = runs.slots[runs.where[k]];
            const bool inCells = kind[k] != Huge, plainK = kind[k] == Plain;
            // Takes every remaining point of the run that k links to.
            auto visit = [&](uint32_t run) {
                const bool cellRun = run != hugeRun;
                for (uint32_t p = runs.begin[run]; p < runs.begin[run] + runs.remaining[run];) {
                    const Slot& s = runs.slots[p];
                    bool link;
                    if (inCells && cellRun) {
                        const double dx = vk.x - s.x, dy = vk.y - s.y, dz = vk.z - s.z;
                        const double c2 = dx * dx + dy * dy + dz * dz;
                        auto exact = [&] {
                            return haversineDistance(points[k].lat, points[k].lon, points[s.id].lat, points[s.id].lon) <=
                                   metres;
                        };
                        // Only the narrow band around the linking chord needs
                        // the exact test; a far point always does.
                        if (plainK && kind[s.id] == Plain)
                            link = c2 <= lo2 || (c2 <= hi2 && exact());
                        else
                            link = c2 <= far2 && exact();
                    } else {
                        link = haversineDistance(points[k].lat, points[k].lon, points[s.id].lat, points[s.id].lon) <=
                               metres;
                    }
                    if (link) {
                        const uint32_t j = s.id;
                        labels[j] = group;
                        runs.take(j);
                        stack.push_back(j);
                    } else {
                        ++p;
                    }
                }
            };
            if (inCells) {
                const uint32_t c = runs.runOf[k];
                for (uint32_t q = nearStart[c]; q < nearStart[c + 1]; ++q)
                    if (runs.remaining[nearCells[q]]) visit(nearCells[q]);
            } else {
                for (uint32_t c = 0; c < cellCount; ++c)
                    if (runs.remaining[c]) visit(c);
            }
            if (runs.remaining[hugeRun]) visit(hugeRun);
        }
    }
    std::vector<int32_t> number(static_cast<size_t>(next), -1);
    next = 0;
    for (int32_t& label : labels) {
        if (number[static_cast<size_t>(label)] == -1) number[static_cast<size_t>(label)] = next++;
        label = number[static_cast<size_t>(label)];
    }
    return labels;
}

double groupDistance(std::string_view text) { return editNumberOr(text, kDefaultGroupDistance); }

Outcome runBufferGroup(const Table* table, const LonLatColumns& cols, std::string_view distanceText, bool geomColumn,
                       std::string_view destination) {
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

    // One lookup per column, not a scan; a name repeated over thousands of
    // columns keeps one list of its positions, which every such column shares.
    std::vector<const ColumnRef*> refs;
    refs.reserve(t.columnCount());
    std::string out;
    const auto byName = t.columnIndex();
    for (std::string_view h : t.headers) {
        refs.push_back(&byName.at(h));
        out += h;
        out += '\t';
    }
    out += "clusterid";
    if (geomColumn) out += "\tgeom";
    out += '\n';
    // From column i on, no column has a cell in a row shorter than
    // reachFrom[i] + 1 cells: a short row under thousands of columns ends in
    // one run of tabs.
    std::vector<uint32_t> reachFrom(refs.size() + 1, UINT32_MAX);
    for (size_t i = refs.size(); i-- > 0;)
        reachFrom[i] = std::min(reachFrom[i + 1], refs[i]->empty() ? UINT32_MAX : refs[i]->positions.back());
    int32_t groups = 0;
    for (size_t r = 0; r < rows; ++r) {
        const size_t have = t.cellCount(r);
        for (size_t i = 0; i < refs.size(); ++i) {
            if (reachFrom[i] >= have) {
                out.append(refs.size() - i, '\t');
                break;
            }
            out += t.cellOr(r, *refs[i], "");
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
    return Outcome::success(format("完成！%zu行数据已导出到%s\n共分为 %d 个聚类组", rows, destination, groups), std::move(out));
}

}  // namespace kit
