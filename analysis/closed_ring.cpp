#include "analysis/closed_ring.h"

#include "layers/geojson_writer.h"

namespace kit {

void appendClosedRingGeometry(std::string& out, const std::vector<Position>& ring) {
    out += "\"type\": \"Polygon\",\n        \"coordinates\": [[";
    for (const Position& p : ring) {
        out += formatPosition(p.lon, p.lat);
        out += ',';
    }
    if (!ring.empty()) out += formatPosition(ring.front().lon, ring.front().lat);
    out += "]]";
}

}  // namespace kit
