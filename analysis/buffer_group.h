#pragma once
// Buffer grouping: points linked by chains of steps no longer than a distance
// form one group (single linkage); the table comes back with a group number
// per row and, optionally, a WKT point column.
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/geodesy.h"
#include "core/export_destination.h"
#include "core/lonlat_columns.h"
#include "core/outcome.h"
#include "core/table.h"

namespace kit {

inline constexpr const char* kDistanceNotPositive = "距离必须是正数";
inline constexpr double kDefaultGroupDistance = 100;

// One label per point: two points share a label when a chain of points leads
// from one to the other whose every step has a great-circle distance of at
// most `metres` (equality links). Groups are numbered from 0 in the order of
// their first point. A point with a coordinate that is not finite, or a
// distance that is not a number, links nothing.
std::vector<int32_t> groupPoints(const std::vector<LonLat>& points, double metres);

// The distance field: a decimal number from its first 63 characters, 100 when
// that fails (0 or less is refused by the run).
double groupDistance(std::string_view text);

// The run. table is null until a fetch succeeded; destination names where
// the text goes in the success message.
Outcome runBufferGroup(const Table* table, const LonLatColumns& cols, std::string_view distanceText, bool geomColumn,
                       std::string_view destination = kToClipboard);

}  // namespace kit
