#pragma once
// The GeoJSON reader: a tolerant scanner over the whole file text, not a JSON
// parser. It finds feature objects by their "type": "Feature" member, reads
// point and polygon geometry and flat properties, and skips whatever does not
// fit. The KML and Shapefile writers use the same scanning steps to convert
// the GeoJSON text that the generating tools produce.
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "layers/feature.h"
#include "layers/polygon_rings.h"

namespace kit {

// (start, end) offsets of every feature object: its '{' and its closing '}',
// in text order. A feature object inside another one is part of that one and
// not listed; objects nested deeper than 100 000 levels are not searched.
std::vector<std::pair<size_t, size_t>> scanFeatures(std::string_view text);

// Offset of the '}' closing the '{' at `open` (string-aware); nothing when the
// byte there is not '{' or the object never closes.
std::optional<size_t> matchBrace(std::string_view text, size_t open);

// Appends the features one feature object yields (none, one, or several for a
// MultiPoint) and extends the layer's field names.
void parseGeoJsonFeature(std::string_view text, size_t start, size_t end, Layer& layer);

// The flat "properties" of the feature object spanning [start, end].
std::map<std::string, std::string> parseProperties(std::string_view text, size_t start, size_t end);

// Every [lon, lat] position in a coordinate text, nesting ignored; as many
// as the text holds.
std::vector<Position> readPositions(std::string_view coords);

// The same positions grouped by the innermost array that holds them: a
// polygon's rings.
Rings readRings(std::string_view coords);

// Every feature of a GeoJSON text, appended to the layer.
void readGeoJson(std::string_view text, Layer& layer);

// --- Steps shared by the writers that convert GeoJSON text ---

// The feature's geometry type: the text between the quotes of the "type"
// value inside "geometry": { ... }; nothing when it can't be found.
std::optional<std::string_view> geometryTypeOf(std::string_view feature);

// Offset of the ':' after the "coordinates" key; nothing without them.
std::optional<size_t> coordinatesColon(std::string_view feature);

// Reads "lon, lat" from just after a position's '[': each number runs to the
// next ',' or ']' and reads as 0 when it doesn't convert.
Position readBracketPosition(std::string_view text, size_t afterBracket);

// The first ring at or after `from`: the next '[' opens it, and each '[' met
// inside is one position, until the ring's ']'. For a Polygon's coordinates,
// pass the offset just after the array's first '[' to get the outer ring.
std::vector<Position> readFirstRing(std::string_view text, size_t from);

}  // namespace kit
