#pragma once
// Coverage prediction outputs: a coverage circle per station (GeoJSON) and the
// per-station link budget (CSV). Both solve the cell radius for a receive
// threshold of -100 dBm; the radius depends only on the link, so every station
// of a run gets the same one.
#include <string>
#include <vector>

#include "core/geodesy.h"
#include "coverage/propagation.h"

namespace kit {

inline constexpr double kCoverageThresholdDbm = -100.0;
inline constexpr double kRadiusToleranceKm = 0.01;
inline constexpr int kCircleVertices = 36;

// The closed ring (vertexCount + 1 positions) of the circle whose radius is
// the cell radius at the threshold: vertex 0 due north, then clockwise.
// Longitudes are not wrapped.
std::vector<LonLat> coverageCircle(double lon, double lat, double thresholdDbm, int vertexCount,
                                   const LinkParams& params);

std::string writeCoverageGeoJson(const std::vector<LonLat>& stations, const LinkParams& params);
std::string writeStationBudgetCsv(const std::vector<LonLat>& stations, const LinkParams& params);

}  // namespace kit
