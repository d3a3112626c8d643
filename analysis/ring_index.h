#pragma once
// An index over the edges of one large ring, so that the containment test
// and the boundary distance of a point cost about the edges near it instead
// of the whole ring. Both give exactly what the plain walks of
// match_geometry.h give (the same arithmetic on each edge that matters).
#include <cstdint>
#include <utility>
#include <vector>

#include "analysis/box_grid.h"
#include "layers/feature.h"

namespace kit {

// Rings with fewer vertices are walked whole: the index would not pay.
inline constexpr size_t kMinIndexedRing = 256;

class RingIndex {
public:
    // The ring must outlive the index and have only finite coordinates.
    // reachLon and reachLat: how far in degrees from an edge a point may lie
    // and still be within the buffer (infinite or NaN: no distance index).
    RingIndex(const std::vector<Position>& ring, double reachLon, double reachLat);

    // pointInRing(ring, lon, lat).
    bool contains(double lon, double lat) const;
    // boundaryDistance(ring, lon, lat) whenever that is within the buffer;
    // otherwise some distance beyond it. For points whose latitude lies
    // outside the ring's box widened by reachLat, the plain walk answers.
    double distanceWithin(double lon, double lat) const;

private:
    const std::vector<Position>* ring_;
    std::vector<std::pair<uint32_t, uint32_t>> edges_;  // (from, to) vertex indices

    // Horizontal strips over the ring's latitudes: each lists the edges whose
    // latitudes reach into it, so the even-odd ray meets only those.
    double y0_ = 0, y1_ = 0, stripHeight_ = 1;
    int64_t strips_ = 0;
    std::vector<uint32_t> stripStart_, stripEdges_;
    int64_t stripOf(double lat) const;

    // Each edge's box widened by the reach: the edges that may be within the
    // buffer of a point are those whose box holds it.
    bool hasGrid_ = false;
    double gridY0_ = 0, gridY1_ = 0;
    BoxGrid grid_;
    mutable std::vector<uint32_t> found_;
};

}  // namespace kit
