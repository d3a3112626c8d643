#include "nearest/neighbour_search.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "core/geodesy.h"

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
};

bool byMetres(const Ranked& a, const Ranked& b) {
    return a.metres < b.metres || (a.metres == b.metres && a.index < b.index);
}

}  // namespace

std::vector<uint32_t> spatialOrder(const ProjectedPoints& points) {
    size_t n = points.size() / 2;
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
    std::vector<uint64_t> keys(n);
    for (size_t i = 0; i < n; ++i) {
        uint64_t code = spreadBits(cell(points[2 * i], minX, maxX)) | (spreadBits(cell(points[2 * i + 1], minY, maxY)) << 1);
        keys[i] = (code << 32) | i;  // 32-bit code above the row number: ties by row
    }
    std::sort(keys.begin(), keys.end());
    for (size_t i = 0; i < n; ++i) order[i] = static_cast<uint32_t>(keys[i] & 0xFFFFFFFFULL);
    return order;
}

NeighbourLists searchNeighbours(const PointIndex& index, const SitePoints& sites, const SitePoints& queries,
                                const SearchPlan& plan, unsigned threads) {
    const size_t nq = queries.lon.size();
    NeighbourLists out;
    out.perRow = plan.perRow;
    out.index.resize(nq * plan.perRow);
    out.metres.resize(nq * plan.perRow);

    // Site coordinates laid out in Z-order, so that the candidates of nearby
    // queries sit near each other in memory.
    const std::vector<uint32_t>& siteOrder = sites.order;
    std::vector<uint32_t> sitePos(siteOrder.size());
    // lon, lat and the cosine of the latitude, which every distance to the
    // site needs: computed once per site instead of once per candidate.
    std::vector<double> siteLonLat(3 * siteOrder.size());
    for (size_t p = 0; p < siteOrder.size(); ++p) {
        sitePos[siteOrder[p]] = static_cast<uint32_t>(p);
        siteLonLat[3 * p] = sites.lon[siteOrder[p]];
        siteLonLat[3 * p + 1] = sites.lat[siteOrder[p]];
        siteLonLat[3 * p + 2] = cosLatitude(sites.lat[siteOrder[p]]);
    }
    // The queries' own data in their Z-order, read sequentially below.
    struct Query {
        double x, y, lon, lat, cosLat;
    };
    std::vector<Query> ordered(nq);
    for (size_t k = 0; k < nq; ++k) {
        size_t q = queries.order[k];
        ordered[k] = {queries.projected[2 * q], queries.projected[2 * q + 1], queries.lon[q], queries.lat[q],
                      cosLatitude(queries.lat[q])};
    }

    forSlices(nq, threads, [&](size_t from, size_t to, unsigned) {
        std::vector<Candidate> found;
        std::vector<Ranked> ranked;
        for (size_t k = from; k < to; ++k) {
            const size_t q = queries.order[k];
            const Query& query = ordered[k];
            index.knnQuery(query.x, query.y, plan.slots, found);
            if (plan.excludeSelf) std::erase_if(found, [q](const Candidate& c) { return c.index == q; });
            // The index hands the candidates over sorted by (plane distance, row).
            if (plan.planeKeep && found.size() > plan.planeKeep) found.resize(plan.planeKeep);
            ranked.clear();
            for (const Candidate& c : found) {
                const double* s = &siteLonLat[3 * sitePos[c.index]];
                ranked.push_back({c.index, haversineWithCosines(query.lat, query.lon, query.cosLat, s[1], s[0], s[2])});
            }
            std::sort(ranked.begin(), ranked.end(), byMetres);
            size_t n = std::min(ranked.size(), plan.perRow);
            for (size_t i = 0; i < n; ++i) {
                out.index[k * plan.perRow + i] = ranked[i].index;
                out.metres[k * plan.perRow + i] = ranked[i].metres;
            }
        }
    });
    return out;
}

void forSlices(size_t count, unsigned threads, const std::function<void(size_t, size_t, unsigned)>& work) {
    threads = std::max(1u, std::min<unsigned>(threads, static_cast<unsigned>(count / 4096 + 1)));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work, count * t / threads, count * (t + 1) / threads, t);
    work(0, count / threads, 0);
    for (auto& th : pool) th.join();
}

}  // namespace kit
