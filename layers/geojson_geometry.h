#pragma once
// What the KML and Shapefile writers need of a generated feature beyond the
// reader's scanning steps: its whole geometry (every member of a multi type,
// every ring of a polygon) and its properties in written order with their
// string values unescaped.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "layers/feature.h"

namespace kit {

enum class GeometryFamily { None, Point, Line, Polygon };

// A geometry as members (a point, a line, a polygon) made of paths (a line,
// or a polygon's rings: outer first, then holes) made of positions.
struct GeometryParts {
    std::string type;  // as written: "Point", "MultiPolygon", ...
    GeometryFamily family = GeometryFamily::None;
    bool multi = false;
    std::vector<Position> positions;
    std::vector<size_t> pathStarts;    // index of each path's first position
    std::vector<size_t> memberStarts;  // index of each member's first path

    size_t memberCount() const { return memberStarts.size(); }
    size_t pathCount() const { return pathStarts.size(); }
    // [first, last) paths of member m, positions of path p.
    std::pair<size_t, size_t> memberPaths(size_t m) const;
    std::pair<size_t, size_t> pathPositions(size_t p) const;
};

// The feature's geometry; family None when the type is not one of the six
// simple GeoJSON types or its coordinates are not well-formed arrays of
// numbers nested as the type says.
GeometryParts readGeometryParts(std::string_view feature);

// The feature's flat "properties" in written order: strings unescaped,
// null as empty text, numbers and other literals as written.
std::vector<std::pair<std::string, std::string>> readPropertyList(std::string_view feature);

}  // namespace kit
