#pragma once
// The WKT table to layer run: a table whose geometry column holds WKT
// (POINT, LINESTRING, POLYGON) becomes a GeoJSON layer whose properties are
// each row's other cells.
#include <optional>
#include <string>
#include <string_view>

#include "core/outcome.h"
#include "core/table.h"

namespace kit {

// The geometry column chosen after get-data: by header name ("geom", "wkt",
// "geometry", "shape", "polygon", "point", "linestring", in that order), else
// the first column with a WKT-looking cell in its first five rows; kNoColumn
// when neither finds one.
int detectGeometryColumn(const Table& table);

// The GeoJSON geometry members for a WKT text, e.g.
// "\"type\": \"Point\", \"coordinates\": [116.30000000, 39.90000000]",
// or empty text when the WKT is not a supported geometry. Unreadable
// coordinates become (0, 0).
std::string wktToGeometry(std::string_view wkt);

inline constexpr const char* kWktSaveTitle = "保存图层文件";
inline constexpr const char* kWktDefaultName = "output.geojson";

// table is null until a fetch has succeeded; geometryColumn is the header the
// list shows selected. Success carries the GeoJSON text (message empty: the
// save step reports).
Outcome runWktLayer(const Table* table, const std::optional<std::string>& geometryColumn);

}  // namespace kit
