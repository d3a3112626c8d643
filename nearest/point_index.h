#pragma once
// The nearest-site index: a nanoflann KD-tree over points projected into the
// local plane, queried exactly and over-fetched by callers (the plane only
// approximates great-circle distance).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace kit {

// Projected points interleaved x0, y0, x1, y1, ...; point i is row i.
using ProjectedPoints = std::vector<double>;

struct Candidate {
    uint64_t index;     // row
    double sqDistance;  // squared plane distance, m^2
    uint32_t position;  // where the index stores the point
};

class PointIndex {
public:
    // Builds the tree at once. The points must outlive the index; an index
    // of no points finds nothing.
    explicit PointIndex(const ProjectedPoints& points);
    // An index over the first rows.size() points, stored in another order
    // than their rows: point p is row rows[p]. A spatial order keeps each
    // leaf's points together in memory; the results are the same in any order.
    PointIndex(const ProjectedPoints& points, std::span<const uint32_t> rows);
    ~PointIndex();
    PointIndex(const PointIndex&) = delete;
    PointIndex& operator=(const PointIndex&) = delete;

    // The k nearest points by (squared distance, row), in that order: the
    // result depends only on the points, not on the tree's shape. out is
    // replaced; min(k, point count) entries.
    void knnQuery(double x, double y, size_t k, std::vector<Candidate>& out) const;

    size_t size() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kit
