#include "nearest/point_index.h"

#include <nanoflann.hpp>

namespace kit {

namespace {

struct Adaptor {
    const ProjectedPoints& pts;
    size_t kdtree_get_point_count() const { return pts.size() / 2; }
    double kdtree_get_pt(size_t i, size_t d) const { return pts[2 * i + d]; }
    template <class BBox>
    bool kdtree_get_bbox(BBox&) const {
        return false;  // let the library compute it
    }
};

using Tree = nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, Adaptor>, Adaptor, 2, uint64_t>;

constexpr size_t kLeafSize = 10;
constexpr float kSearchEps = 10.0f;

}  // namespace

struct PointIndex::Impl {
    Adaptor adaptor;
    Tree tree;
    // The library's release here builds on one thread only, which is what the
    // index must do anyway.
    explicit Impl(const ProjectedPoints& p)
        : adaptor{p},
          tree(2, adaptor,
               nanoflann::KDTreeSingleIndexAdaptorParams(kLeafSize,
                                                         nanoflann::KDTreeSingleIndexAdaptorFlags::SkipInitialBuildIndex)) {
        tree.buildIndex();
    }
};

PointIndex::PointIndex(const ProjectedPoints& points) : impl_(std::make_unique<Impl>(points)) {}
PointIndex::~PointIndex() = default;

size_t PointIndex::size() const { return impl_->adaptor.kdtree_get_point_count(); }

void PointIndex::knnQuery(double x, double y, size_t k, std::vector<Candidate>& out) const {
    out.clear();
    if (k == 0) return;
    thread_local std::vector<uint64_t> indices;
    thread_local std::vector<double> dists;
    indices.assign(k, 0);
    dists.assign(k, 0.0);
    nanoflann::KNNResultSet<double, uint64_t> result(k);
    result.init(indices.data(), dists.data());
    const double query[2] = {x, y};
    impl_->tree.findNeighbors(result, query, nanoflann::SearchParams(32, kSearchEps, true));
    size_t n = result.size();
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) out.push_back({indices[i], dists[i]});
}

}  // namespace kit
