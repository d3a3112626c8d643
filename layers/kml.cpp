#include "layers/kml.h"

#include <unordered_map>
#include <unordered_set>

#include "core/file_io.h"
#include "core/format.h"
#include "core/number_parse.h"
#include "core/text.h"
#include "layers/geojson_geometry.h"
#include "layers/geojson_reader.h"
#include "layers/row_properties.h"

namespace kit {

namespace {

constexpr size_t npos = std::string_view::npos;

void appendCoordinate(std::string& out, const Position& p) {
    appendFixed(out, p.lon, 8);
    out += ',';
    appendFixed(out, p.lat, 8);
    out += ",0";
}

void appendPositions(std::string& out, const std::vector<Position>& positions, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
        appendCoordinate(out, positions[i]);
        out += ' ';
    }
}

}  // namespace

namespace {

// Text for an element or attribute: the five markup characters as entities,
// CR as a character reference (a parser would turn a raw one into LF), and
// the control characters XML 1.0 cannot hold dropped.
void appendKmlText(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\r': out += "&#13;"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') break;
                out += c;
        }
    }
}

void appendRing(std::string& out, const GeometryParts& g, size_t path, std::string_view boundary) {
    auto [a, b] = g.pathPositions(path);
    out += "<";
    out += boundary;
    out += "><LinearRing>\n      <coordinates>\n        ";
    appendPositions(out, g.positions, a, b);
    out += "\n      </coordinates>\n    </LinearRing></";
    out += boundary;
    out += ">";
}

// One member's element; false when it has too few positions to draw.
bool appendMember(std::string& out, const GeometryParts& g, size_t m) {
    auto [p0, p1] = g.memberPaths(m);
    if (p0 == p1) return false;
    auto [a, b] = g.pathPositions(p0);
    switch (g.family) {
        case GeometryFamily::Point:
            if (b - a < 1) return false;
            out += "    <Point><coordinates>";
            appendCoordinate(out, g.positions[a]);
            out += "</coordinates></Point>\n";
            return true;
        case GeometryFamily::Line:
            if (b - a < 2) return false;
            out += "    <LineString>\n      <coordinates>\n        ";
            appendPositions(out, g.positions, a, b);
            out += "\n      </coordinates>\n    </LineString>\n";
            return true;
        case GeometryFamily::Polygon: {
            if (b - a < 3) return false;
            out += "    <Polygon>";
            appendRing(out, g, p0, "outerBoundaryIs");
            for (size_t p = p0 + 1; p < p1; ++p) {
                auto [c, d] = g.pathPositions(p);
                if (d - c < 3) continue;
                out += "\n    ";
                appendRing(out, g, p, "innerBoundaryIs");
            }
            out += "</Polygon>\n";
            return true;
        }
        case GeometryFamily::None: break;
    }
    return false;
}

void appendGeometry(std::string& out, const GeometryParts& g) {
    if (!g.multi) {
        if (g.memberCount() == 1) appendMember(out, g, 0);
        return;
    }
    std::string members;
    for (size_t m = 0; m < g.memberCount(); ++m) appendMember(members, g, m);
    if (members.empty()) return;
    out += "    <MultiGeometry>\n";
    out += members;
    out += "    </MultiGeometry>\n";
}

constexpr std::string_view kSchemaId = "fields";

// Every property key in order of first appearance, as the document's schema.
// Fields GDAL's LIBKML driver gives every placemark itself; a property named
// like one (case ignored) would be read as that field instead.
constexpr std::string_view kPlacemarkFields[] = {"name",       "description", "timestamp", "begin",
                                                 "end",        "altitudeMode", "tessellate", "extrude",
                                                 "visibility", "drawOrder",   "icon",       "snippet"};

// The name each key is written under: itself, or renamed as the row's
// duplicate headers are ("name" -> "name_1") where it meets such a field.
std::unordered_map<std::string, std::string> kmlFieldNames(const std::vector<std::string>& keys) {
    UsedKeys used;
    for (std::string_view f : kPlacemarkFields) used.reserve(f);
    std::unordered_map<std::string, std::string> names;
    for (const std::string& key : keys) names.emplace(key, used.unique(key));
    return names;
}

void appendSchema(std::string& out, const std::vector<std::string>& keys) {
    if (keys.empty()) return;
    out += "<Schema name=\"";
    out += kSchemaId;
    out += "\" id=\"";
    out += kSchemaId;
    out += "\">\n";
    for (const std::string& key : keys) {
        out += "  <SimpleField name=\"";
        appendKmlText(out, key);
        out += "\" type=\"string\"></SimpleField>\n";
    }
    out += "</Schema>\n";
}

void appendExtendedData(std::string& out, const std::vector<std::pair<std::string, std::string>>& props,
                        const std::unordered_map<std::string, std::string>& names) {
    if (props.empty()) return;
    out += "    <ExtendedData><SchemaData schemaUrl=\"#";
    out += kSchemaId;
    out += "\">\n";
    for (const auto& [key, value] : props) {
        out += "      <SimpleData name=\"";
        appendKmlText(out, names.at(key));
        out += "\">";
        appendKmlText(out, value);
        out += "</SimpleData>\n";
    }
    out += "    </SchemaData></ExtendedData>\n";
}

}  // namespace

std::string kmlFromGeoJson(std::string_view geojson, size_t nameProperty) {
    auto features = scanFeatures(geojson);
    // The properties first: the schema at the top names every key.
    std::vector<std::vector<std::pair<std::string, std::string>>> properties(features.size());
    std::vector<std::string> keys;
    std::unordered_set<std::string> known;
    for (size_t i = 0; i < features.size(); ++i) {
        properties[i] = readPropertyList(geojson.substr(features[i].first, features[i].second - features[i].first + 1));
        for (const auto& kv : properties[i])
            if (known.insert(kv.first).second) keys.push_back(kv.first);
    }
    std::string out;
    out.reserve(geojson.size() + geojson.size() / 2);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n";
    const auto names = kmlFieldNames(keys);
    std::vector<std::string> schema;
    for (const std::string& key : keys) schema.push_back(names.at(key));
    appendSchema(out, schema);
    unsigned long long counter = 0;
    for (size_t i = 0; i < features.size(); ++i) {
        std::string_view feature = geojson.substr(features[i].first, features[i].second - features[i].first + 1);
        auto colon = coordinatesColon(feature);
        if (!colon) continue;
        const auto& props = properties[i];

        out += "  <Placemark>\n    <name>";
        if (nameProperty < props.size() && !props[nameProperty].second.empty()) {
            appendKmlText(out, props[nameProperty].second);
        } else {
            out += "Feature ";
            appendUnsigned(out, counter);
        }
        out += "</name>\n";
        appendExtendedData(out, props, names);

        const GeometryParts g = readGeometryParts(feature);
        if (g.family != GeometryFamily::None) {
            appendGeometry(out, g);
        } else if (!geometryTypeOf(feature)) {
            // No type to go by: read as a point, as the placemark always was.
            size_t open = feature.find('[', *colon + 1);
            if (open != npos) {
                out += "    <Point><coordinates>";
                appendCoordinate(out, readBracketPosition(feature, open + 1));
                out += "</coordinates></Point>\n";
            }
        }
        // Other geometry types keep only the name and data.

        out += "  </Placemark>\n";
        ++counter;
    }
    out += "</Document>\n</kml>\n";
    return out;
}

Outcome writeKml(std::string_view geojson, const std::string& utf8Path, size_t nameProperty) {
    if (!writeFileBytes(utf8Path, kmlFromGeoJson(geojson, nameProperty))) return Outcome::error("无法创建文件");
    return Outcome::success({}, utf8Path);
}

}  // namespace kit
