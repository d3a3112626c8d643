#include "analysis/ring_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/match_geometry.h"
#include "core/geodesy.h"

namespace kit {

namespace {

// Strip entries allowed per edge: rings whose edges span many strips (long
// north-south zigzags) get fewer, taller strips rather than more memory.
constexpr uint64_t kEntriesPerEdge = 8;

}  // namespace

int64_t RingIndex::stripOf(double lat) const {
    // Monotonic in lat, so an edge's strips run from its lower end's strip to
    // its upper end's and include the strip of every latitude between.
    return std::clamp<int64_t>(static_cast<int64_t>((lat - y0_) / stripHeight_), 0, strips_ - 1);
}

RingIndex::RingIndex(const std::vector<Position>& ring, double reachLon, double reachLat) : ring_(&ring) {
    y0_ = INFINITY;
    y1_ = -INFINITY;
    for (const Position& p : ring) {
        y0_ = std::min(y0_, p.lat);
        y1_ = std::max(y1_, p.lat);
    }
    forEachEdge(ring, [&](size_t a, size_t b) { edges_.emplace_back(uint32_t(a), uint32_t(b)); });

    // Strips: about four edges each, fewer when edges span many of them.
    int64_t strips = std::max<int64_t>(1, static_cast<int64_t>(edges_.size() / 4));
    for (;;) {
        strips_ = strips;
        stripHeight_ = y1_ > y0_ ? (y1_ - y0_) / static_cast<double>(strips) : 1;
        uint64_t entries = 0;
        for (const auto& [a, b] : edges_) {
            const double lo = std::min(ring[a].lat, ring[b].lat), hi = std::max(ring[a].lat, ring[b].lat);
            if (lo < hi) entries += static_cast<uint64_t>(stripOf(hi) - stripOf(lo) + 1);
        }
        if (strips == 1 || entries <= kEntriesPerEdge * edges_.size()) break;
        strips = std::max<int64_t>(1, strips / 4);
    }
    std::vector<uint32_t> counts(static_cast<size_t>(strips_) + 1, 0);
    auto eachStrip = [&](uint32_t e, auto&& fn) {
        const Position &p = ring[edges_[e].first], &q = ring[edges_[e].second];
        const double lo = std::min(p.lat, q.lat), hi = std::max(p.lat, q.lat);
        if (!(lo < hi)) return;  // a level edge never crosses the ray
        for (int64_t s = stripOf(lo); s <= stripOf(hi); ++s) fn(static_cast<size_t>(s));
    };
    for (uint32_t e = 0; e < edges_.size(); ++e) eachStrip(e, [&](size_t s) { ++counts[s + 1]; });
    for (size_t s = 1; s < counts.size(); ++s) counts[s] += counts[s - 1];
    stripStart_ = counts;
    stripEdges_.resize(counts.back());
    for (uint32_t e = 0; e < edges_.size(); ++e) eachStrip(e, [&](size_t s) { stripEdges_[counts[s]++] = e; });

    if (std::isfinite(reachLon) && std::isfinite(reachLat)) {
        hasGrid_ = true;
        gridY0_ = y0_ - reachLat;
        gridY1_ = y1_ + reachLat;
        for (uint32_t e = 0; e < edges_.size(); ++e) {
            const Position &p = ring[edges_[e].first], &q = ring[edges_[e].second];
            grid_.add({std::min(p.lon, q.lon) - reachLon, std::max(p.lon, q.lon) + reachLon,
                       std::min(p.lat, q.lat) - reachLat, std::max(p.lat, q.lat) + reachLat},
                      e);
        }
        grid_.build();
    }
}

bool RingIndex::contains(double x, double y) const {
    // Below every vertex or at or above every vertex, no edge crosses the
    // ray; NaN fails the test as it fails every crossing.
    if (!(y >= y0_ && y < y1_)) return false;
    const std::vector<Position>& ring = *ring_;
    const size_t s = static_cast<size_t>(stripOf(y));
    bool inside = false;
    for (uint32_t k = stripStart_[s]; k < stripStart_[s + 1]; ++k) {
        const auto& [j, i] = edges_[stripEdges_[k]];
        if (crossesRay(ring[j], ring[i], x, y)) inside = !inside;
    }
    return inside;
}

double RingIndex::distanceWithin(double x, double y) const {
    if (!hasGrid_ || !(y >= gridY0_ && y <= gridY1_)) return boundaryDistance(*ring_, x, y);
    if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
    const std::vector<Position>& ring = *ring_;
    const double c = std::cos(y * kDegToRad);
    found_.clear();
    grid_.query(x, y, found_);
    double best = std::numeric_limits<double>::infinity();
    for (uint32_t e : found_) {
        const double d2 = edgeDistance2(ring[edges_[e].first], ring[edges_[e].second], x, y, c);
        if (d2 < best) best = d2;
    }
    return std::sqrt(best) * kMetresPerDegreeArc;
}

}  // namespace kit
