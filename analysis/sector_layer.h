#pragma once
// Sector polygons: one circular wedge per row (optionally with an inner
// radius) around the row's point. The azimuth is a compass bearing, as in a
// site list: 0 faces north, 90 east.
#include <string>
#include <vector>

#include "analysis/centre_reader.h"
#include "core/outcome.h"
#include "layers/feature.h"

namespace kit {

inline constexpr int kSectorArcSteps = 32;  // 33 arc points

// The wedge's positions, not closed: the centre then 33 arc points; with an
// inner radius the inner point at the arc's start, the 33 arc points, then the
// inner point at its end. The arc runs counter-clockwise (from the wedge's
// clockwise-most edge). An opening angle outside (0, 360] draws 90 degrees;
// a negative inner radius counts as 0.
std::vector<Position> sectorRing(double lon, double lat, double azimuth, double radius, double angle,
                                 double inner);

// The four editable lists' texts, each a number used for every row or the
// name of a column read per row.
struct SectorFields {
    std::string azimuth;           // default 0 per row
    std::string distance = "100";  // metres; default 100
    std::string angle = "90";      // degrees; default 90
    std::string inner = "0";       // metres; default 0
};

inline constexpr const char* kSectorsSaveTitle = "保存扇形图层";
inline constexpr const char* kSectorsDefaultName = "output_sectors.geojson";

// The properties each sector starts with: row, azimuth, distance, angle; the
// row's cells follow (a KML placemark takes its name from the first of them).
inline constexpr size_t kSectorOwnKeys = 4;

// Success carries the GeoJSON text (message empty: the save step reports).
Outcome runSectorLayer(const Table* table, const LonLatColumns& cols, const SectorFields& fields);

}  // namespace kit
