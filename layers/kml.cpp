#include "layers/kml.h"

#include "core/file_io.h"
#include "core/format.h"
#include "core/number_parse.h"
#include "layers/geojson_reader.h"

namespace kit {

namespace {

constexpr size_t npos = std::string_view::npos;

// Raw text between the first `open` tag and the first `close` tag after it.
std::optional<std::string_view> between(std::string_view text, std::string_view open, std::string_view close,
                                        size_t from = 0) {
    size_t a = text.find(open, from);
    if (a == npos) return std::nullopt;
    a += open.size();
    size_t b = text.find(close, a);
    if (b == npos) return std::nullopt;
    return text.substr(a, b - a);
}

// "lon,lat[,alt]": the numbers before the first comma and between the first
// and the second comma (or the end).
std::optional<Position> readTuple(std::string_view t) {
    size_t c1 = t.find(',');
    if (c1 == npos) return std::nullopt;
    size_t c2 = t.find(',', c1 + 1);
    auto lon = parseLeadingDouble(t.substr(0, c1));
    auto lat = parseLeadingDouble(t.substr(c1 + 1, c2 == npos ? npos : c2 - c1 - 1));
    if (!lon || !lat) return std::nullopt;
    return Position{*lon, *lat};
}

bool isTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Tuples are separated by any white space. White space next to a comma
// stays inside its tuple ("1, 2, 0" is one tuple), as a tolerant reader of
// hand-edited files expects.
std::vector<Position> readCoordinateTokens(std::string_view coords) {
    std::vector<Position> ring;
    const size_t n = coords.size();
    size_t i = 0;
    while (i < n && ring.size() <= kMaxScannedPositions) {
        while (i < n && isTrimmed(coords[i])) ++i;
        if (i == n) break;
        const size_t start = i;
        size_t end = n;
        while (i < n) {
            if (!isTrimmed(coords[i])) {
                ++i;
                continue;
            }
            size_t j = i;
            while (j < n && isTrimmed(coords[j])) ++j;
            if (coords[i - 1] != ',' && (j == n || coords[j] != ',')) {
                end = i;
                i = j;
                break;
            }
            i = j;
        }
        std::string_view tok = coords.substr(start, end - start);
        while (!tok.empty() && isTrimmed(tok.back())) tok.remove_suffix(1);
        if (auto p = readTuple(tok)) ring.push_back(*p);
    }
    return ring;
}

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

void readKml(std::string_view text, Layer& layer) {
    constexpr std::string_view kOpen = "<Placemark", kClose = "</Placemark>";
    size_t from = 0;
    for (;;) {
        size_t a = text.find(kOpen, from);
        if (a == npos) break;
        size_t b = text.find(kClose, a);
        if (b == npos) break;
        std::string_view pm = text.substr(a, b + kClose.size() - a);
        from = b + kClose.size();

        PropertyMap map;
        if (auto name = between(pm, "<name>", "</name>")) {
            map["name"] = std::string(*name);
            layer.noteField("name");
        }
        if (auto desc = between(pm, "<description>", "</description>")) {
            map["description"] = std::string(*desc);
            layer.noteField("description");
        }
        const PropertySet props = std::move(map);

        size_t pt = pm.find("<Point>");
        if (pt != npos && pm.find("</Point>") != npos) {
            if (auto coords = between(pm, "<coordinates>", "</coordinates>", pt)) {
                if (auto p = readTuple(*coords)) {
                    Feature f;
                    f.type = "Point";
                    f.lon = p->lon;
                    f.lat = p->lat;
                    f.properties = props;
                    layer.features.push_back(std::move(f));
                }
            }
        }

        if (auto poly = between(pm, "<Polygon>", "</Polygon>")) {
            if (auto coords = between(*poly, "<coordinates>", "</coordinates>")) {
                auto ring = readCoordinateTokens(*coords);
                if (!ring.empty()) {
                    Feature f;
                    f.type = "Polygon";
                    f.ring = std::move(ring);
                    f.properties = props;
                    layer.features.push_back(std::move(f));
                }
            }
        }
    }
}

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
