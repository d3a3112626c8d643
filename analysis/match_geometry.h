#pragma once
// The two geometric tests of layer matching: even-odd containment in a ring
// and the distance from a point to a ring's boundary.
#include <vector>

#include "layers/feature.h"

namespace kit {

// What the boundary distance gives for a ring that has no edge.
inline constexpr double kNoBoundaryDistance = 1e18;

// Even-odd rule on the ring as stored (closing edge implied), longitude as x
// and latitude as y in degrees. A ring of fewer than 3 vertices holds nothing.
bool pointInRing(const std::vector<Position>& ring, double lon, double lat);

// Metres from the point to the nearest edge of the ring (closing edge
// included), measured in a local equirectangular plane at the point's
// latitude: longitude differences shrink by cos(latitude), latitude
// differences don't, and a degree is 111194.92664455873 m. A ring of fewer
// than 2 vertices gives kNoBoundaryDistance; a point that is not finite gives
// NaN (it lies at no distance from anything).
double boundaryDistance(const std::vector<Position>& ring, double lon, double lat);

}  // namespace kit
