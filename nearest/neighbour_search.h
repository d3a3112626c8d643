#pragma once
// The candidate search shared by both nearest-site runs: for every query
// point, ask the index for candidates, optionally drop the query's own row and
// trim by plane distance, re-rank by great-circle distance and keep the first
// few. Queries are visited in a space-filling-curve order (and may be split
// across threads) only to keep memory access local; every query's result is
// the same as if the queries were run one by one in row order.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "nearest/point_index.h"

namespace kit {

struct SearchPlan {
    size_t slots = 1;         // candidates asked from the index
    bool excludeSelf = false; // the queries are the indexed rows: drop the row itself
    size_t planeKeep = 0;     // after that, keep this many by (plane distance, row); 0 keeps all
    size_t perRow = 1;        // neighbour groups reported per query; the ones no candidate fills stay empty
};

struct NeighbourLists {
    size_t perRow = 0;
    // The neighbours of the query at position k of the queries' order, at
    // [k * perRow, (k + 1) * perRow), as positions in the sites' order;
    // kNone where the query has fewer (too few sites, or a distance that
    // cannot be measured, as from a point at an infinite coordinate).
    static constexpr uint32_t kNone = 0xFFFFFFFF;
    std::vector<uint32_t> position;
    std::vector<double> metres;
};

// The points of one table in the order the search keeps them (see
// spatialOrder): every array is indexed by position, and rows[p] is the table
// row at position p.
struct SitePoints {
    const std::vector<double>& lon;
    const std::vector<double>& lat;
    const ProjectedPoints& projected;
    const std::vector<uint32_t>& rows;
};

// The index must store the sites' points at their positions here (from the
// first, as many as it holds).
NeighbourLists searchNeighbours(const PointIndex& index, const SitePoints& sites, const SitePoints& queries,
                                const SearchPlan& plan, unsigned threads);

// Rows in Z-order of their projected points (ties by row number).
std::vector<uint32_t> spatialOrder(const ProjectedPoints& points, unsigned threads = 1);

// byRow's values in the given order of rows: out[p] = byRow[rows[p]].
template <class T>
std::vector<T> inOrder(const std::vector<T>& byRow, const std::vector<uint32_t>& rows) {
    std::vector<T> out(rows.size());
    constexpr size_t kAhead = 16;  // the reads are scattered: ask for them early
    for (size_t p = 0; p < rows.size(); ++p) {
        if (p + kAhead < rows.size()) __builtin_prefetch(&byRow[rows[p + kAhead]]);
        out[p] = byRow[rows[p]];
    }
    return out;
}

}  // namespace kit
