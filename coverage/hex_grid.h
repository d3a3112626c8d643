#pragma once
// The planar hexagon grid of the density map: flat-topped hexagons on the
// spherical Mercator plane (kilometres), with a 64-bit cell identifier.
//
// The sizes are the average H3 edge lengths per resolution, so the levels feel
// like H3's, but the grid is our own: identifiers are not H3 indexes.
#include <cstdint>
#include <vector>

#include "core/geodesy.h"

namespace kit {

using CellId = uint64_t;

inline constexpr int kMaxResolution = 12;

// Centre-to-corner distance of a cell on the projected plane, km.
inline constexpr double kHexSizeKm[kMaxResolution + 1] = {
    1107.712591, 418.676017, 158.244655, 59.810858, 22.606379, 8.544408, 3.229482,
    1.220629,    0.461354,   0.174375,   0.065908,  0.02491,   0.009415};

// Any resolution is taken into 0..12.
inline int clampResolution(int res) { return res < 0 ? 0 : (res > kMaxResolution ? kMaxResolution : res); }

struct Axial {
    int64_t q, r;
};

// The cell holding the point: Mercator projection, fractional axial
// coordinates, cube rounding.
Axial latLonToAxial(double lat, double lon, int res);

CellId packCellId(int64_t q, int64_t r, int res);
CellId makeCellId(double lat, double lon, int res);

struct CellParts {
    int64_t q, r;
    int res;  // the stored nibble, 0..15
};
CellParts splitCellId(CellId id);

// The centre of a cell, back on the sphere.
LonLat cellCentre(int64_t q, int64_t r, int res);

// The six corners of the cell, counter-clockwise from the one due east of the
// centre, exactly the hexagon the cell's points were counted in.
std::vector<LonLat> cellOutline(CellId id);

// The binning projection and its inverse (km on the Mercator plane).
PlanePoint mercatorKm(double lon, double lat);
LonLat fromMercatorKm(double x, double y);

}  // namespace kit
