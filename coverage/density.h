#pragma once
// Station density on the hexagon grid, and the density map's GeoJSON text.
#include <string>
#include <vector>

#include "core/geodesy.h"
#include "coverage/hex_grid.h"

namespace kit {

struct CellCount {
    CellId id;
    int count;
};

// Every occupied cell once, in the order each cell was first met.
std::vector<CellCount> aggregateDensity(const std::vector<LonLat>& stations, int res);

// The density map: one polygon per id with its "h3" id and, where values has
// an entry for it, its "value". Compact, 8 decimals, no byte-order mark.
std::string writeDensityGeoJson(const std::vector<CellId>& ids, const std::vector<double>& values);

}  // namespace kit
