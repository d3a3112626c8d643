#include "nearest/point_index.h"

#include <cmath>
#include <limits>
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

// The k smallest (squared distance, row) pairs, kept sorted. Points at the
// same distance are ranked by row, so the slots hold the same points whatever
// the tree's shape: a duplicate of the k-th point with a lower row replaces
// it. worstDist is nudged above the k-th distance so that the tree offers
// points at exactly that distance as well.
class OrderedSlots {
public:
    using DistanceType = double;
    using IndexType = uint64_t;

    OrderedSlots(Candidate* slots, size_t capacity) : slots_(slots), capacity_(capacity) {}

    size_t size() const { return count_; }
    bool full() const { return count_ == capacity_; }

    bool addPoint(double dist, uint64_t index) {
        if (full() && !before(dist, index, slots_[capacity_ - 1])) return true;
        size_t i = count_ < capacity_ ? count_++ : capacity_ - 1;
        for (; i > 0 && before(dist, index, slots_[i - 1]); --i) slots_[i] = slots_[i - 1];
        slots_[i] = {index, dist};
        if (full()) worst_ = std::nextafter(slots_[capacity_ - 1].sqDistance, std::numeric_limits<double>::infinity());
        return true;
    }

    double worstDist() const { return worst_; }

private:
    static bool before(double dist, uint64_t index, const Candidate& c) {
        return dist < c.sqDistance || (dist == c.sqDistance && index < c.index);
    }

    Candidate* slots_;
    size_t capacity_;
    size_t count_ = 0;
    double worst_ = std::numeric_limits<double>::max();
};

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
    out.resize(std::min(k, size()));
    OrderedSlots result(out.data(), out.size());
    const double query[2] = {x, y};
    // eps = 0: the exact k nearest; an approximate search lets farther
    // points take slots that nearer ones should hold.
    impl_->tree.findNeighbors(result, query, nanoflann::SearchParams(32, 0.0f, true));
    out.resize(result.size());
}

}  // namespace kit
