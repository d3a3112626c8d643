#pragma once
// The nearest-site index: a nanoflann KD-tree over points projected into the
// local plane, queried exactly and over-fetched by callers (the plane only
// approximates great-circle distance).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kit {

// Projected points interleaved x0, y0, x1, y1, ...; point i is row i.
using ProjectedPoints = std::vector<double>;

struct Candidate {
    uint64_t index;
    double sqDistance;  // squared plane distance, m^2
};

class PointIndex {
public:
    // Builds the tree at once. The points must outlive the index and hold at
    // least one point.
    explicit PointIndex(const ProjectedPoints& points);
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
