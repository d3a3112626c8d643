#include "nearest/point_index.h"

#include <algorithm>
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

// Points that share one position, as the tree holds them: each place once,
// with the storage positions of its points by ascending row. However many
// rows sit at one place, a query meets the place once.
struct Places {
    std::vector<double> xy;        // x0, y0, x1, y1, ... of each place
    std::vector<uint32_t> begin;   // each place's first member; one entry more than places
    std::vector<uint32_t> members; // storage positions, place after place
};

uint64_t mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
}

// Groups the first rowOf.size() points by exact position in one pass over a
// hash table (the index holds no NaN, and -0 and 0 are one place: their
// distances to anything are equal).
Places groupPlaces(const double* pts, const std::vector<uint32_t>& rowOf) {
    const size_t n = rowOf.size();
    auto key = [&](size_t p) {
        const double x = pts[2 * p] + 0.0, y = pts[2 * p + 1] + 0.0;  // + 0.0 turns -0 into 0
        return mix(std::bit_cast<uint64_t>(x) * 31 + mix(std::bit_cast<uint64_t>(y)));
    };
    size_t capacity = 16;
    while (capacity < 2 * n) capacity *= 2;
    std::vector<uint32_t> slot(capacity, UINT32_MAX);  // first storage position of a place
    std::vector<uint32_t> placeOf(n);
    Places places;
    std::vector<uint32_t> firstOf, count;
    for (size_t p = 0; p < n; ++p) {
        size_t h = key(p) & (capacity - 1);
        for (;; h = (h + 1) & (capacity - 1)) {
            const uint32_t q = slot[h];
            if (q == UINT32_MAX) {
                slot[h] = static_cast<uint32_t>(p);
                placeOf[p] = static_cast<uint32_t>(firstOf.size());
                firstOf.push_back(static_cast<uint32_t>(p));
                count.push_back(1);
                break;
            }
            if (pts[2 * q] == pts[2 * p] && pts[2 * q + 1] == pts[2 * p + 1]) {
                placeOf[p] = placeOf[q];
                ++count[placeOf[p]];
                break;
            }
        }
    }
    std::vector<uint32_t>().swap(slot);
    const size_t m = firstOf.size();
    places.xy.resize(2 * m);
    places.begin.assign(m + 1, 0);
    for (size_t g = 0; g < m; ++g) {
        places.xy[2 * g] = pts[2 * size_t{firstOf[g]}];
        places.xy[2 * g + 1] = pts[2 * size_t{firstOf[g]} + 1];
        places.begin[g + 1] = places.begin[g] + count[g];
    }
    places.members.resize(n);
    std::vector<uint32_t> fill(places.begin.begin(), places.begin.end() - 1);
    for (size_t p = 0; p < n; ++p) places.members[fill[placeOf[p]]++] = static_cast<uint32_t>(p);
    for (size_t g = 0; g < m; ++g)
        if (count[g] > 1)
            std::sort(places.members.begin() + places.begin[g], places.members.begin() + places.begin[g + 1],
                      [&](uint32_t a, uint32_t b) { return rowOf[a] < rowOf[b]; });
    return places;
}

// The k smallest (squared distance, row) pairs, kept sorted. Points at the
// same distance are ranked by row, so the slots hold the same points whatever
// the tree's shape: a duplicate of the k-th point with a lower row replaces
// it. worstDist is nudged above the k-th distance so that the tree offers
// points at exactly that distance as well. The tree offers places: a place's
// points come by ascending row, so the first that cannot enter ends it.
class OrderedSlots {
public:
    using DistanceType = double;
    using IndexType = uint64_t;

    // slots hold storage positions; rowOf gives their rows for ranking ties.
    OrderedSlots(Candidate* slots, size_t capacity, const uint32_t* rowOf, const Places& places)
        : slots_(slots), capacity_(capacity), rowOf_(rowOf), places_(places) {}

    size_t size() const { return count_; }
    bool full() const { return count_ == capacity_; }

    bool addPoint(double dist, uint64_t place) {
        for (uint32_t m = places_.begin[place]; m < places_.begin[place + 1]; ++m)
            if (!add(dist, places_.members[m])) break;
        return true;
    }

    double worstDist() const { return worst_; }

private:
    bool add(double dist, uint64_t index) {
        if (full() && !before(dist, index, slots_[capacity_ - 1])) return false;
        size_t i = count_ < capacity_ ? count_++ : capacity_ - 1;
        for (; i > 0 && before(dist, index, slots_[i - 1]); --i) slots_[i] = slots_[i - 1];
        slots_[i] = {index, dist, 0};
        if (full()) worst_ = nextUp(slots_[capacity_ - 1].sqDistance);
        return true;
    }

    bool before(double dist, uint64_t index, const Candidate& c) const {
        return dist < c.sqDistance || (dist == c.sqDistance && rowOf_[index] < rowOf_[c.index]);
    }

    Candidate* slots_;
    size_t capacity_;
    const uint32_t* rowOf_;
    const Places& places_;
    size_t count_ = 0;
    double worst_ = std::numeric_limits<double>::max();
};

}  // namespace

struct PointIndex::Impl {
    std::vector<uint32_t> rowOf;  // storage position -> row
    Places places;
    Adaptor adaptor;              // over the places
    Tree tree;
    // The library's release here builds on one thread only, which is what the
    // index must do anyway.
    Impl(const ProjectedPoints& p, std::vector<uint32_t> rows)
        : rowOf(std::move(rows)),
          places(groupPlaces(p.data(), rowOf)),
          adaptor{places.xy.data(), places.xy.size() / 2},
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

size_t PointIndex::size() const { return impl_->rowOf.size(); }

void PointIndex::knnQuery(double x, double y, size_t k, std::vector<Candidate>& out) const {
    out.clear();
    if (k == 0 || size() == 0) return;
    out.resize(std::min(k, size()));
    OrderedSlots result(out.data(), out.size(), impl_->rowOf.data(), impl_->places);
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
