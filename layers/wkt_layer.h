#pragma once
// The WKT table to layer run: a table whose geometry column holds WKT
// (POINT, LINESTRING, POLYGON) becomes a GeoJSON layer whose properties are
// each row's other cells.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"
#include "core/table.h"

namespace kit {

// The geometry column chosen after get-data: by header name ("geom", "wkt",
// "geometry", "shape", "polygon", "point", "linestring", in that order), else
// the first column with a WKT-looking cell in its first five rows; kNoColumn
// when neither finds one.
int detectGeometryColumn(const Table& table);

// The GeoJSON geometry members for a WKT text, e.g.
// "\"type\": \"Point\", \"coordinates\": [116.30000000, 39.90000000]":
// POINT, LINESTRING, POLYGON, their MULTI types, and a GEOMETRYCOLLECTION of
// one kind (as that kind's multi type), in any case, with blanks around, with
// Z/M/ZM ordinates dropped. Empty text for EMPTY, mixed collections and
// anything else unreadable. Unreadable coordinates become (0, 0).
std::string wktToGeometry(std::string_view wkt);

// How many skipped row numbers the run's note lists.
inline constexpr size_t kSkippedRowsListed = 10;

// The run's note on rows left out: "跳过 %zu 行（几何为空或无法识别）：第
// 3, 7 行" with the first row numbers (1 = the first row under the header),
// "…" when there are more; empty when none was.
std::string skippedRowsNote(size_t count, const std::vector<size_t>& firstRows);

inline constexpr const char* kWktSaveTitle = "保存图层文件";
inline constexpr const char* kWktDefaultName = "output.geojson";

// table is null until a fetch has succeeded; geometryColumn is the header the
// list shows selected. Success carries the GeoJSON text, and in message the
// note on skipped rows (empty when none was), which the save step appends to
// its own message.
Outcome runWktLayer(const Table* table, const std::optional<std::string>& geometryColumn);

}  // namespace kit
