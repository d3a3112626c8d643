#pragma once
// The point layer run: one Point feature per row at its longitude and
// latitude, carrying the row's other cells as string properties.
#include "analysis/centre_reader.h"
#include "core/outcome.h"

namespace kit {

inline constexpr const char* kPointsSaveTitle = "保存点图层";
inline constexpr const char* kPointsDefaultName = "output_points.geojson";

// Success carries the GeoJSON text (message empty: the save step reports).
Outcome runPointLayer(const Table* table, const LonLatColumns& cols);

}  // namespace kit
