#pragma once
// The geometry members of a generated polygon: one ring, closed by repeating
// its first vertex, inside the polygon's outer array.
#include <string>
#include <vector>

#include "layers/feature.h"

namespace kit {

// "\"type\": \"Polygon\",\n        \"coordinates\": [[p,p,...,p0]]"
void appendClosedRingGeometry(std::string& out, const std::vector<Position>& ring);

}  // namespace kit
