#pragma once
// The nearest-site index: a nanoflann KD-tree over points projected into the
// local plane, queried approximately (eps = 10) and over-fetched by callers.
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

    // The filled slots of a k-slot search, in ascending squared distance
    // (points at equal distance in the order the search met them). out is
    // cleared first; at most min(k, point count) entries.
    void knnQuery(double x, double y, size_t k, std::vector<Candidate>& out) const;

    size_t size() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kit
