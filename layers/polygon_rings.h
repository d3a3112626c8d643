#pragma once
// A polygon's rings as a Feature stores them: one after another in `ring`,
// each closed by repeating its first vertex (so that the matching tests can
// tell where one ring ends and the next begins). A single ring is kept as
// the file wrote it.
#include <vector>

#include "layers/feature.h"

namespace kit {

using Rings = std::vector<std::vector<Position>>;

// The rings joined; empty rings are dropped.
std::vector<Position> joinRings(Rings rings);

// Shapefile parts in the ESRI rule: clockwise rings are outer rings,
// counter-clockwise ones holes, each hole belonging to the smallest outer
// ring that contains it. Gives each outer ring with its holes, in the order
// of the outer rings; a hole that no outer ring contains, and every part when
// none is clockwise, stands as its own polygon.
Rings assemblePolygons(const Rings& parts);

}  // namespace kit
