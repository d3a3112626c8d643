#pragma once
// Regular polygons and stars around each row's point. Angles are
// mathematical: with rotation 0 the first vertex lies due east.
#include <string>
#include <vector>

#include "analysis/centre_reader.h"
#include "core/outcome.h"
#include "layers/feature.h"

namespace kit {

// n vertices (not closed) of the polygon with sides of the given length.
std::vector<Position> regularPolygonRing(double lon, double lat, int sides, double sideMetres, double rotationDeg);

// 2n vertices (not closed), alternating the outer radius and the inner one set
// by the inner angle: tan(angle) / (1 + tan(angle)) of the outer radius.
std::vector<Position> starRing(double lon, double lat, int points, double radiusMetres, double innerAngleDeg,
                               double rotationDeg);

enum class PolygonMode { Polygon, Star };

// The tab's field texts.
struct PolygonFields {
    PolygonMode mode = PolygonMode::Polygon;
    std::string count = "4";        // sides or points; its leading integer, 4 when none
    std::string innerAngle = "30";  // star only; degrees, 30 when unreadable
    std::string size = "100";       // side length or outer radius in metres; 100 when not a number
    std::string rotation = "0";     // degrees, 0 when unreadable
};

// A count the run accepts: 3 up to this (larger ones could not be held in
// memory across a table's rows, nor read back by the layer readers).
inline constexpr int kMaxPolygonCount = 100000;

// The sides/points field: its leading base-10 integer (4 when it has none,
// saturated when out of range).
int parsePolygonCount(std::string_view text);

inline constexpr const char* kPolygonsSaveTitle = "保存多边形图层";
inline constexpr const char* kPolygonsDefaultName = "output_polygons.geojson";

// The properties each shape starts with (row, type, sides; or row, type,
// points, angle for stars); the row's cells follow.
inline size_t polygonOwnKeys(PolygonMode mode) { return mode == PolygonMode::Star ? 4 : 3; }

// Success carries the GeoJSON text (message empty: the save step reports).
Outcome runPolygonLayer(const Table* table, const LonLatColumns& cols, const PolygonFields& fields);

}  // namespace kit
