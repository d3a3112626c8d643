#pragma once
// Which features of a layer can match a point at a given buffer: each
// feature's box is widened far enough that a point outside it cannot lie
// inside the feature or within the buffer of it, so a row tests only the few
// features whose widened box holds it.
#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/box_grid.h"
#include "analysis/ring_index.h"
#include "layers/feature.h"

namespace kit {

class FeatureIndex {
public:
    // buffer in metres; NaN leaves only containment able to match.
    FeatureIndex(const Layer& layer, double buffer);

    // The features that may match the point, in layer order. Those left out
    // are certain not to match.
    void candidates(double lon, double lat, std::vector<uint32_t>& out) const;

    // The edge index of a large polygon feature; null for the others.
    const RingIndex* ringIndex(uint32_t feature) const {
        return feature < ringSlot_.size() && ringSlot_[feature] ? rings_[ringSlot_[feature] - 1].get() : nullptr;
    }

private:
    void addPolygon(const Feature& f, uint32_t id, double buffer);

    std::vector<uint32_t> ringSlot_;  // per feature: 1 + its place in rings_, or 0
    std::vector<std::unique_ptr<RingIndex>> rings_;
    BoxGrid polygons_;                 // planar degrees, as the containment and boundary tests use them
    BoxGrid points_;                   // longitudes brought into [-180, 180], as on the sphere
    std::vector<uint32_t> allPoints_;  // what a row too far off to place on the sphere must test
};

}  // namespace kit
