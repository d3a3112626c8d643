#include "nearest/point_index.h"

#include <bit>
#include <cmath>
#include <limits>
#include <nanoflann.hpp>

namespace kit {

namespace {

// The points as one array of x0, y0, x1, y1, ... (held as a plain pointer:
// the search reads it in its innermost loop).
struct Adaptor {
    const double* pts;
    size_t count;
    size_t kdtree_get_point_count() const { return count; }
    double kdtree_get_pt(size_t i, size_t d) const { return pts[2 * i + d]; }
    template <class BBox>
    bool kdtree_get_bbox(BBox&) const {
        return false;  // let the library compute it
    }
};

using Tree = nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, Adaptor>, Adaptor, 2, uint64_t>;

constexpr size_t kLeafSize = 10;

// The next double above a squared distance, which is never negative (the
// largest finite one steps to infinity); NaN and infinity stay as they are.
inline double nextUp(double d) {
    if (!(d < std::numeric_limits<double>::infinity())) return d;
    return std::bit_cast<double>(std::bit_cast<uint64_t>(d) + 1);
}

// The k smallest (squared distance, row) pairs, kept sorted. Points at the
// same distance are ranked by row, so the slots hold the same points whatever
// the tree's shape: a duplicate of the k-th point with a lower row replaces
// it. worstDist is nudged above the k-th distance so that the tree offers
// points at exactly that distance as well.
class OrderedSlots {
public:
    using DistanceType = double;
    using IndexType = uint64_t;

    // slots hold storage positions; rowOf gives their rows for ranking ties.
    OrderedSlots(Candidate* slots, size_t capacity, const uint32_t* rowOf)
        : slots_(slots), capacity_(capacity), rowOf_(rowOf) {}

    size_t size() const { return count_; }
    bool full() const { return count_ == capacity_; }

    bool addPoint(double dist, uint64_t index) {
        if (full() && !before(dist, index, slots_[capacity_ - 1])) return true;
        size_t i = count_ < capacity_ ? count_++ : capacity_ - 1;
        for (; i > 0 && before(dist, index, slots_[i - 1]); --i) slots_[i] = slots_[i - 1];
        slots_[i] = {index, dist, 0};
        if (full()) worst_ = nextUp(slots_[capacity_ - 1].sqDistance);
        return true;
    }

    double worstDist() const { return worst_; }

private:
    bool before(double dist, uint64_t index, const Candidate& c) const {
        return dist < c.sqDistance || (dist == c.sqDistance && rowOf_[index] < rowOf_[c.index]);
    }

    Candidate* slots_;
    size_t capacity_;
    const uint32_t* rowOf_;
    size_t count_ = 0;
    double worst_ = std::numeric_limits<double>::max();
};

}  // namespace

struct PointIndex::Impl {
    Adaptor adaptor;
    std::vector<uint32_t> rowOf;  // storage position -> row
    Tree tree;
    // The library's release here builds on one thread only, which is what the
    // index must do anyway.
    Impl(const ProjectedPoints& p, std::vector<uint32_t> rows)
        : adaptor{p.data(), rows.size()},
          rowOf(std::move(rows)),
          tree(2, adaptor,
               nanoflann::KDTreeSingleIndexAdaptorParams(kLeafSize,
                                                         nanoflann::KDTreeSingleIndexAdaptorFlags::SkipInitialBuildIndex)) {
        if (adaptor.count > 0) tree.buildIndex();
    }
};

namespace {

std::vector<uint32_t> identityOrder(size_t n) {
    std::vector<uint32_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = static_cast<uint32_t>(i);
    return order;
}

}  // namespace

PointIndex::PointIndex(const ProjectedPoints& points)
    : impl_(std::make_unique<Impl>(points, identityOrder(points.size() / 2))) {}

PointIndex::PointIndex(const ProjectedPoints& points, std::span<const uint32_t> rows)
    : impl_(std::make_unique<Impl>(points, std::vector<uint32_t>(rows.begin(), rows.end()))) {}
PointIndex::~PointIndex() = default;

size_t PointIndex::size() const { return impl_->adaptor.kdtree_get_point_count(); }

void PointIndex::knnQuery(double x, double y, size_t k, std::vector<Candidate>& out) const {
    out.clear();
    if (k == 0 || size() == 0) return;
    out.resize(std::min(k, size()));
    OrderedSlots result(out.data(), out.size(), impl_->rowOf.data());
    const double query[2] = {x, y};
    // eps = 0: the exact k nearest; an approximate search lets farther
    // points take slots that nearer ones should hold.
    impl_->tree.findNeighbors(result, query, nanoflann::SearchParams(32, 0.0f, true));
    out.resize(result.size());
    for (Candidate& c : out) {
        c.position = static_cast<uint32_t>(c.index);
        c.index = impl_->rowOf[c.position];
    }
}

}  // namespace kit
