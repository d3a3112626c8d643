#include "nearest/neighbour_search.h"

#include <algorithm>
#include <cmath>

#include "core/geodesy.h"
#include "core/threads.h"

namespace kit {

namespace {

// Spreads the low 32 bits of v to the even bit positions.
uint64_t spreadBits(uint64_t v) {
    v &= 0xFFFFFFFFULL;
    v = (v | (v << 16)) & 0x0000FFFF0000FFFFULL;
    v = (v | (v << 8)) & 0x00FF00FF00FF00FFULL;
    v = (v | (v << 4)) & 0x0F0F0F0F0F0F0F0FULL;
    v = (v | (v << 2)) & 0x3333333333333333ULL;
    v = (v | (v << 1)) & 0x5555555555555555ULL;
    return v;
}

struct Ranked {
    uint64_t index;
    double metres;
    uint32_t position;
};

bool byMetres(const Ranked& a, const Ranked& b) {
    return a.metres < b.metres || (a.metres == b.metres && a.index < b.index);
}

}  // namespace

std::vector<uint32_t> spatialOrder(const ProjectedPoints& points, unsigned threads) {
    const size_t n = points.size() / 2;
    std::vector<uint32_t> order(n);
    if (n == 0) return order;
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (size_t i = 0; i < n; ++i) {
        double x = points[2 * i], y = points[2 * i + 1];
        if (std::isfinite(x)) minX = std::min(minX, x), maxX = std::max(maxX, x);
        if (std::isfinite(y)) minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    auto cell = [](double v, double lo, double hi) -> uint64_t {
        if (!std::isfinite(v) || !(hi > lo)) return 0;
        double t = (v - lo) / (hi - lo) * 65535.0;
        return static_cast<uint64_t>(std::clamp(t, 0.0, 65535.0));
    };
    // 32-bit code above the row number.
    std::vector<uint64_t> keys(n), spare(n);
    forSlices(n, threads, [&](size_t from, size_t to, unsigned) {
        for (size_t i = from; i < to; ++i) {
            uint64_t code = spreadBits(cell(points[2 * i], minX, maxX)) | (spreadBits(cell(points[2 * i + 1], minY, maxY)) << 1);
            keys[i] = (code << 32) | i;
        }
    });
    // Sorted by code, 8 bits a pass from the lowest: each pass keeps the
    // order it was given, and the rows start ascending, so ties stay by row.
    for (int shift = 32; shift < 64; shift += 8) {
        size_t count[257] = {};
        for (uint64_t k : keys) ++count[((k >> shift) & 0xFF) + 1];
        for (int d = 0; d < 256; ++d) count[d + 1] += count[d];
        for (uint64_t k : keys) spare[count[(k >> shift) & 0xFF]++] = k;
        keys.swap(spare);
    }
    for (size_t i = 0; i < n; ++i) order[i] = static_cast<uint32_t>(keys[i] & 0xFFFFFFFFULL);
    return order;
}

NeighbourLists searchNeighbours(const PointIndex& index, const SitePoints& sites, const SitePoints& queries,
                                const SearchPlan& plan, unsigned threads) {
    const size_t nq = queries.lon.size();
    NeighbourLists out;
    out.perRow = plan.perRow;
    out.position.assign(nq * plan.perRow, NeighbourLists::kNone);
    out.metres.resize(nq * plan.perRow);

    // lon, lat and the cosine of the latitude, which every distance to the
    // site needs: computed once per site instead of once per candidate.
    const size_t ns = sites.lon.size();
    std::vector<double> siteLonLat(3 * ns);
    forSlices(ns, threads, [&](size_t from, size_t to, unsigned) {
        for (size_t p = from; p < to; ++p) {
            siteLonLat[3 * p] = sites.lon[p];
            siteLonLat[3 * p + 1] = sites.lat[p];
            siteLonLat[3 * p + 2] = cosLatitude(sites.lat[p]);
        }
    });

    forSlices(nq, threads, [&](size_t from, size_t to, unsigned) {
        std::vector<Candidate> found;
        std::vector<Ranked> ranked;
        for (size_t k = from; k < to; ++k) {
            const size_t q = queries.rows[k];
            const double lon = queries.lon[k], lat = queries.lat[k], cosLat = cosLatitude(lat);
            index.knnQuery(queries.projected[2 * k], queries.projected[2 * k + 1], plan.slots, found);
            if (plan.excludeSelf) std::erase_if(found, [q](const Candidate& c) { return c.index == q; });
            // The index hands the candidates over sorted by (plane distance, row).
            if (plan.planeKeep && found.size() > plan.planeKeep) found.resize(plan.planeKeep);
            // Ranked by great-circle distance, kept in order as they come. Once
            // perRow are held, a candidate whose distance is bound to exceed
            // the last of them cannot be reported and is not measured.
            ranked.clear();
            for (const Candidate& c : found) {
                const double* s = &siteLonLat[3 * c.position];
                if (ranked.size() >= plan.perRow &&
                    haversineAtLeast(lat, lon, cosLat, s[1], s[0], s[2]) > ranked[plan.perRow - 1].metres * (1 + 1e-9))
                    continue;
                const Ranked r{c.index, haversineWithCosines(lat, lon, cosLat, s[1], s[0], s[2]), c.position};
                ranked.insert(std::upper_bound(ranked.begin(), ranked.end(), r, byMetres), r);
            }
            size_t n = std::min(ranked.size(), plan.perRow);
            for (size_t i = 0; i < n; ++i) {
                out.position[k * plan.perRow + i] = ranked[i].position;
                out.metres[k * plan.perRow + i] = ranked[i].metres;
            }
        }
    });
    return out;
}

}  // namespace kit
