#include "layers/kml.h"

#include "core/file_io.h"
#include "core/format.h"
#include "core/number_parse.h"
#include "layers/geojson_reader.h"

namespace kit {

namespace {

constexpr size_t npos = std::string_view::npos;

void appendCoordinate(std::string& out, const Position& p) {
    appendFixed(out, p.lon, 8);
    out += ',';
    appendFixed(out, p.lat, 8);
    out += ",0";
}

void appendPositions(std::string& out, const std::vector<Position>& ring) {
    for (const Position& p : ring) {
        appendCoordinate(out, p);
        out += ' ';
    }
}

}  // namespace

std::string kmlFromGeoJson(std::string_view geojson) {
    auto features = scanFeatures(geojson);
    std::string out;
    out.reserve(geojson.size());
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n";
    unsigned long long counter = 0;
    for (const auto& [start, end] : features) {
        std::string_view feature = geojson.substr(start, end - start + 1);
        auto colon = coordinatesColon(feature);
        if (!colon) continue;
        auto type = geometryTypeOf(feature);

        out += "  <Placemark>\n    <name>Feature ";
        appendUnsigned(out, counter);
        out += "</name>\n";

        size_t open = feature.find('[', *colon + 1);
        if (open == npos) {
            // No coordinate array: the placemark keeps only its name.
        } else if (type == "Polygon") {
            auto ring = readFirstRing(feature, open + 1);
            if (ring.size() >= 3) {
                out += "    <Polygon><outerBoundaryIs><LinearRing>\n      <coordinates>\n        ";
                appendPositions(out, ring);
                out += "\n      </coordinates>\n    </LinearRing></outerBoundaryIs></Polygon>\n";
            }
        } else if (type == "LineString") {
            // The line's own array is the "ring" here: start at its '['.
            auto line = readFirstRing(feature, open);
            if (line.size() >= 2) {
                out += "    <LineString>\n      <coordinates>\n        ";
                appendPositions(out, line);
                out += "\n      </coordinates>\n    </LineString>\n";
            }
        } else if (!type || *type == "Point") {
            out += "    <Point><coordinates>";
            appendCoordinate(out, readBracketPosition(feature, open + 1));
            out += "</coordinates></Point>\n";
        }
        // Other geometry types (multi-geometries) would read as a bogus point
        // at longitude 0; the placemark keeps only its name instead.

        out += "  </Placemark>\n";
        ++counter;
    }
    out += "</Document>\n</kml>\n";
    return out;
}

Outcome writeKml(std::string_view geojson, const std::string& utf8Path) {
    if (!writeFileBytes(utf8Path, kmlFromGeoJson(geojson))) return Outcome::error("无法创建文件");
    return Outcome::success({}, utf8Path);
}

}  // namespace kit
