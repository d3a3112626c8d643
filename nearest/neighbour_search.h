#pragma once
// The candidate search shared by both nearest-site runs: for every query
// point, ask the index for candidates, optionally drop the query's own row and
// trim by plane distance, re-rank by great-circle distance and keep the first
// few. Queries are visited in a space-filling-curve order (and may be split
// across threads) only to keep memory access local; every query's result is
// the same as if the queries were run one by one in row order.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "nearest/point_index.h"

namespace kit {

struct SearchPlan {
    size_t slots = 1;         // candidates asked from the index
    bool excludeSelf = false; // the queries are the indexed rows: drop the row itself
    size_t planeKeep = 0;     // after that, keep this many by (plane distance, row); 0 keeps all
    size_t perRow = 1;        // neighbours reported per query (every query gets exactly this many)
};

struct NeighbourLists {
    size_t perRow = 0;
    // The neighbours (rows of the indexed table) of the query at position k of
    // the queries' order, at [k * perRow, (k + 1) * perRow).
    std::vector<uint64_t> index;
    std::vector<double> metres;
};

struct SitePoints {
    const std::vector<double>& lon;
    const std::vector<double>& lat;
    const ProjectedPoints& projected;
    const std::vector<uint32_t>& order;  // spatialOrder(projected)
};

NeighbourLists searchNeighbours(const PointIndex& index, const SitePoints& sites, const SitePoints& queries,
                                const SearchPlan& plan, unsigned threads);

// Calls work(from, to) on `threads` contiguous slices of [0, count) at once
// (fewer for small counts); slice 0 runs on the calling thread.
void forSlices(size_t count, unsigned threads, const std::function<void(size_t, size_t, unsigned)>& work);

// Rows in Z-order of their projected points (ties by row number).
std::vector<uint32_t> spatialOrder(const ProjectedPoints& points);

}  // namespace kit
