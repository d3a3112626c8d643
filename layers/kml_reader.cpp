// The KML placemark reader (declared in layers/kml.h): points and polygons
// with their holes, every geometry of a MultiGeometry, and the placemark's
// name, description and ExtendedData as its properties.
#include <optional>

#include "core/number_parse.h"
#include "core/xml_entities.h"
#include "layers/kml.h"
#include "layers/polygon_rings.h"

namespace kit {

namespace {

constexpr size_t npos = std::string_view::npos;

bool isTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

struct Element {
    std::string_view attributes;  // the start tag's text after its name
    std::string_view body;        // between the start tag and the end tag
    size_t end = 0;               // just past the end tag
};

// The next <name ...>...</name> element at or after `from` (an element
// called, say, "Datafoo" is not a "Data"); nothing when none is complete.
std::optional<Element> nextElement(std::string_view text, std::string_view name, size_t from) {
    const std::string open = "<" + std::string(name), close = "</" + std::string(name) + ">";
    for (size_t at = text.find(open, from); at != npos; at = text.find(open, at + open.size())) {
        const size_t after = at + open.size();
        if (after >= text.size()) return std::nullopt;
        const char c = text[after];
        if (c != '>' && c != '/' && !isTrimmed(c)) continue;
        const size_t gt = text.find('>', after);
        if (gt == npos) return std::nullopt;
        Element e;
        e.attributes = text.substr(after, gt - after);
        if (text[gt - 1] == '/') {  // <Data name="x"/>: no body
            e.end = gt + 1;
            return e;
        }
        const size_t stop = text.find(close, gt + 1);
        if (stop == npos) return std::nullopt;
        e.body = text.substr(gt + 1, stop - gt - 1);
        e.end = stop + close.size();
        return e;
    }
    return std::nullopt;
}

// Element text as it reads: CDATA sections as written, the rest with its
// character references decoded.
std::string xmlText(std::string_view raw) {
    std::string out;
    constexpr std::string_view kOpen = "<![CDATA[", kClose = "]]>";
    size_t pos = 0;
    while (pos < raw.size()) {
        const size_t open = raw.find(kOpen, pos);
        if (open == npos) break;
        out += decodeXmlEntities(raw.substr(pos, open - pos));
        const size_t close = raw.find(kClose, open + kOpen.size());
        if (close == npos) {
            out += raw.substr(open + kOpen.size());
            return out;
        }
        out += raw.substr(open + kOpen.size(), close - open - kOpen.size());
        pos = close + kClose.size();
    }
    out += decodeXmlEntities(raw.substr(std::min(pos, raw.size())));
    return out;
}

// The value of the start tag's name="..." (or '...') attribute.
std::optional<std::string> nameAttribute(std::string_view attributes) {
    for (size_t at = attributes.find("name"); at != npos; at = attributes.find("name", at + 4)) {
        if (at > 0 && !isTrimmed(attributes[at - 1])) continue;
        size_t i = at + 4;
        while (i < attributes.size() && isTrimmed(attributes[i])) ++i;
        if (i >= attributes.size() || attributes[i] != '=') continue;
        ++i;
        while (i < attributes.size() && isTrimmed(attributes[i])) ++i;
        if (i >= attributes.size() || (attributes[i] != '"' && attributes[i] != '\'')) return std::nullopt;
        const size_t close = attributes.find(attributes[i], i + 1);
        if (close == npos) return std::nullopt;
        return decodeXmlEntities(attributes.substr(i + 1, close - i - 1));
    }
    return std::nullopt;
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

// Tuples are separated by any white space. White space next to a comma
// stays inside its tuple ("1, 2, 0" is one tuple), as a tolerant reader of
// hand-edited files expects. Every tuple is kept, however many.
std::vector<Position> readCoordinateTokens(std::string_view coords) {
    std::vector<Position> ring;
    const size_t n = coords.size();
    size_t i = 0;
    while (i < n) {
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

// Name and Description as GDAL's KML driver calls them, then every
// ExtendedData value (Data/value and SchemaData/SimpleData) by its name.
PropertyMap placemarkProperties(std::string_view pm) {
    PropertyMap map;
    // The placemark's own name and description come before its geometry and
    // data; an ExtendedData holds no <name> element.
    if (auto name = nextElement(pm, "name", 0)) map["Name"] = xmlText(name->body);
    if (auto desc = nextElement(pm, "description", 0)) map["Description"] = xmlText(desc->body);
    auto data = nextElement(pm, "ExtendedData", 0);
    if (!data) return map;
    const std::string_view body = data->body;
    for (auto d = nextElement(body, "Data", 0); d; d = nextElement(body, "Data", d->end)) {
        auto key = nameAttribute(d->attributes);
        if (!key || key->empty()) continue;
        auto value = nextElement(d->body, "value", 0);
        map.try_emplace(*key, value ? xmlText(value->body) : std::string());
    }
    for (auto d = nextElement(body, "SimpleData", 0); d; d = nextElement(body, "SimpleData", d->end)) {
        auto key = nameAttribute(d->attributes);
        if (key && !key->empty()) map.try_emplace(*key, xmlText(d->body));
    }
    return map;
}

Feature polygonOf(std::string_view polygon, const PropertySet& props) {
    // The outer boundary and then each inner one, in file order.
    Rings rings;
    for (auto c = nextElement(polygon, "coordinates", 0); c; c = nextElement(polygon, "coordinates", c->end))
        rings.push_back(readCoordinateTokens(c->body));
    Feature f;
    f.type = "Polygon";
    f.ring = joinRings(std::move(rings));
    f.properties = props;
    return f;
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

        PropertyMap map = placemarkProperties(pm);
        layer.noteFields(map);
        const PropertySet props = std::move(map);

        // Every point and every polygon, as a MultiGeometry holds several.
        for (auto pt = nextElement(pm, "Point", 0); pt; pt = nextElement(pm, "Point", pt->end)) {
            auto coords = nextElement(pt->body, "coordinates", 0);
            if (!coords) continue;
            if (auto p = readTuple(coords->body)) {
                Feature f;
                f.type = "Point";
                f.lon = p->lon;
                f.lat = p->lat;
                f.properties = props;
                layer.features.push_back(std::move(f));
            }
        }
        for (auto poly = nextElement(pm, "Polygon", 0); poly; poly = nextElement(pm, "Polygon", poly->end)) {
            Feature f = polygonOf(poly->body, props);
            if (!f.ring.empty()) layer.features.push_back(std::move(f));
        }
    }
}

}  // namespace kit
