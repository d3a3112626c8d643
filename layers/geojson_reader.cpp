#include "layers/geojson_reader.h"

#include <algorithm>

#include "core/number_parse.h"

namespace kit {

namespace {

constexpr size_t npos = std::string_view::npos;

constexpr std::string_view kFeatureWord = "\"Feature\"";
constexpr std::string_view kGeometryKey = "\"geometry\"";
constexpr std::string_view kTypeKey = "\"type\"";
constexpr std::string_view kCoordinatesKey = "\"coordinates\"";
constexpr std::string_view kPropertiesKey = "\"properties\"";

// A type word must begin fewer than this many bytes after the type's colon.
constexpr size_t kTypeWordReach = 30;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isJsonSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Bytes [from, to) of the text, empty when the range is inverted or missing.
std::string_view span(std::string_view text, size_t from, size_t to) {
    if (from == npos || to == npos || to <= from || from >= text.size()) return {};
    return text.substr(from, to - from);
}

// Checks the key in front of a "Feature" occurrence: `:` before the value
// (only quotes, spaces and tabs between) and the key "type" before the colon
// (spaces, tabs and line breaks allowed between). Each walk stops at the
// previous occurrence's letters, so the checks stay linear overall.
bool isTypeFeatureMember(std::string_view text, size_t occ) {
    size_t i = occ;
    while (i > 0 && (text[i - 1] == '"' || text[i - 1] == ' ' || text[i - 1] == '\t')) --i;
    if (i == 0 || text[i - 1] != ':') return false;
    size_t k = i - 1;  // the colon
    while (k > 0 && isJsonSpace(text[k - 1])) --k;
    if (k == 0 || text[k - 1] != '"') return false;
    size_t close = k - 1;
    constexpr std::string_view kOpenType = "\"type";
    return close >= kOpenType.size() && text.substr(close - kOpenType.size(), kOpenType.size()) == kOpenType;
}

// Objects nested deeper than this are not searched for features, so the
// brace stack stays small whatever the input.
constexpr size_t kMaxFeatureDepth = 100000;

// Offset of the ']' closing the '[' at `open`, counting brackets only.
size_t matchBracket(std::string_view text, size_t open) {
    size_t depth = 0;
    for (size_t i = open; i < text.size(); ++i) {
        if (text[i] == '[') {
            ++depth;
        } else if (text[i] == ']') {
            if (--depth == 0) return i;
        }
    }
    return npos;
}

enum class GeoType { None, Point, MultiPoint, Polygon, MultiPolygon };

// The geometry type by the quoted word that starts closest after the colon of
// the geometry's "type" key.
GeoType readGeoType(std::string_view geometry) {
    size_t t = geometry.find(kTypeKey);
    if (t == npos) return GeoType::None;
    size_t colon = geometry.find(':', t + kTypeKey.size());
    if (colon == npos) return GeoType::None;
    struct Word {
        std::string_view quoted;
        GeoType type;
    };
    static constexpr Word kWords[] = {{"\"Point\"", GeoType::Point},
                                      {"\"MultiPoint\"", GeoType::MultiPoint},
                                      {"\"Polygon\"", GeoType::Polygon},
                                      {"\"MultiPolygon\"", GeoType::MultiPolygon}};
    for (const Word& w : kWords) {
        // Only a word starting within the reach counts, so the search need
        // not look further than that (the geometry may be megabytes long).
        std::string_view window = geometry.substr(colon, kTypeWordReach - 1 + w.quoted.size());
        if (window.find(w.quoted) != npos) return w.type;
    }
    return GeoType::None;
}

Feature pointFeature(double lon, double lat, const PropertySet& props) {
    Feature f;
    f.type = "Point";
    f.lon = lon;
    f.lat = lat;
    f.properties = props;
    return f;
}

// Closing quote of the string value opening at `open`, backslash escapes
// skipped; npos when the string does not end.
size_t stringEnd(std::string_view text, size_t open) {
    for (size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == '"')
            return i;
    }
    return npos;
}

}  // namespace

std::optional<size_t> matchBrace(std::string_view text, size_t open) {
    if (open >= text.size() || text[open] != '{') return std::nullopt;
    bool inString = false;
    size_t depth = 0;
    const char* p = text.data();
    const size_t n = text.size();
    for (size_t i = open; i < n; ++i) {
        char c = p[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (depth == 1) return i;
            --depth;
        }
    }
    return std::nullopt;
}

std::vector<std::pair<size_t, size_t>> scanFeatures(std::string_view text) {
    // One forward pass with matchBrace's string rules (backslash escapes)
    // keeps a stack of the open braces. A "type": "Feature" member makes the
    // innermost open object a candidate; the candidate counts once its brace
    // closes. Work and memory stay linear whatever the text.
    struct Open {
        size_t offset;
        size_t candidate;  // index into `candidates`, npos when none
    };
    std::vector<Open> stack;
    size_t depth = 0;  // may exceed the stack past kMaxFeatureDepth
    std::vector<std::pair<size_t, size_t>> candidates;  // (start, end or npos)

    const char* p = text.data();
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = p[i];
        if (c == '"') {
            if (text.substr(i, kFeatureWord.size()) == kFeatureWord && depth > 0 && depth <= stack.size() &&
                stack.back().candidate == npos && isTypeFeatureMember(text, i)) {
                stack.back().candidate = candidates.size();
                candidates.emplace_back(stack.back().offset, npos);
            }
            size_t close = stringEnd(text, i);
            if (close == npos) break;
            i = close;
        } else if (c == '{') {
            if (depth < kMaxFeatureDepth) stack.push_back({i, npos});
            ++depth;
        } else if (c == '}' && depth > 0) {
            if (depth <= stack.size()) {
                if (stack.back().candidate != npos) candidates[stack.back().candidate].second = i;
                stack.pop_back();
            }
            --depth;
        }
    }

    // A feature inside another feature is part of that one: only the
    // outermost closed candidates are features, so no text is read twice.
    std::sort(candidates.begin(), candidates.end());
    std::vector<std::pair<size_t, size_t>> found;
    for (const auto& [start, end] : candidates) {
        if (end == npos) continue;
        if (!found.empty() && start < found.back().second) continue;
        found.emplace_back(start, end);
    }
    return found;
}

std::map<std::string, std::string> parseProperties(std::string_view text, size_t start, size_t end) {
    std::map<std::string, std::string> props;
    // Every search stays within the feature, closing brace included.
    std::string_view view = text.substr(0, std::min(text.size(), end + 1));
    size_t key = view.find(kPropertiesKey, start);
    if (key == npos) return props;
    size_t colon = view.find(':', key + kPropertiesKey.size());
    if (colon == npos) return props;
    size_t open = view.find('{', colon + 1);
    if (open == npos) return props;
    auto close = matchBrace(view, open);
    if (!close) return props;
    std::string_view body = view.substr(open + 1, *close - open - 1);

    size_t pos = 0;
    for (;;) {
        size_t q1 = body.find('"', pos);
        if (q1 == npos) break;
        size_t q2 = body.find('"', q1 + 1);
        if (q2 == npos) break;
        std::string_view name = body.substr(q1 + 1, q2 - q1 - 1);
        size_t c = body.find(':', q2 + 1);
        if (c == npos) break;
        size_t v = c + 1;
        while (v < body.size() && (body[v] == ' ' || body[v] == '\t')) ++v;

        std::string_view value;
        size_t after;  // where the search for the next ',' starts
        if (v < body.size() && body[v] == '"') {
            size_t close = stringEnd(body, v);
            if (close == npos) break;
            value = body.substr(v + 1, close - v - 1);
            after = close + 1;
        } else if (body.substr(v, 4) == "null") {
            after = v + 4;
        } else {
            // A bare value runs to the next delimiter; the last member of the
            // object runs to the end of the body. White space before the
            // delimiter is layout, not part of the value.
            size_t stop = body.find_first_of(",}]", v);
            if (stop == npos) stop = body.size();
            size_t e = stop;
            while (e > v && isJsonSpace(body[e - 1])) --e;
            value = body.substr(v, e - v);
            after = stop;
        }
        if (!name.empty()) props[std::string(name)] = std::string(value);
        size_t comma = body.find(',', after);
        if (comma == npos) break;
        pos = comma + 1;
    }
    return props;
}

namespace {

// The multi-position scanner: calls position(p) for every position read and
// ringEnd() wherever a ']' stands between two positions (the end of the
// array that held the earlier one).
template <class OnPosition, class OnRingEnd>
void scanPositions(std::string_view coords, OnPosition&& position, OnRingEnd&& ringEnd) {
    // The next ',' and ']' only move forward, so they are looked up again only
    // once the scan has passed them; this keeps deep nesting linear.
    size_t comma = 0, close = 0;
    bool haveComma = false, haveClose = false;
    size_t pos = 0;
    bool read = false;  // a position was read since the last ring end
    for (;;) {
        size_t open = coords.find('[', pos);
        if (open == npos) break;
        if (read && coords.substr(pos, open - pos).find(']') != npos) {
            ringEnd();
            read = false;
        }
        if (!haveComma || comma <= open) {
            comma = coords.find(',', open + 1);
            haveComma = true;
        }
        if (!haveClose || close <= open) {
            close = coords.find(']', open + 1);
            haveClose = true;
        }
        if (comma == npos || close == npos) break;
        // JSON white space may stand before the first number, as GDAL and
        // QGIS write positions ("[ 116.28, 39.88 ]").
        size_t first = open + 1;
        while (first < comma && isJsonSpace(coords[first])) ++first;
        if (first < comma && (isDigit(coords[first]) || coords[first] == '-')) {
            auto lon = parseLeadingDouble(coords.substr(open + 1, comma - open - 1));
            std::optional<double> lat;
            if (close > comma) lat = parseLeadingDouble(coords.substr(comma + 1, close - comma - 1));
            if (lon && lat) {
                position(Position{*lon, *lat});
                read = true;
            }
            pos = close + 1;
        } else {
            pos = open + 1;
        }
    }
}

}  // namespace

std::vector<Position> readPositions(std::string_view coords) {
    std::vector<Position> out;
    scanPositions(coords, [&](const Position& p) { out.push_back(p); }, [] {});
    return out;
}

Rings readRings(std::string_view coords) {
    Rings rings(1);
    scanPositions(coords, [&](const Position& p) { rings.back().push_back(p); }, [&] { rings.emplace_back(); });
    if (rings.back().empty()) rings.pop_back();
    return rings;
}

void parseGeoJsonFeature(std::string_view text, size_t start, size_t end, Layer& layer) {
    if (start > end || end >= text.size()) return;
    std::string_view feature = text.substr(start, end - start + 1);

    size_t key = feature.find(kGeometryKey);
    if (key == npos) return;
    size_t open = feature.find('{', key + kGeometryKey.size());
    if (open == npos) return;
    auto close = matchBrace(feature, open);
    if (!close) return;
    std::string_view geometry = feature.substr(open, *close - open + 1);

    GeoType type = readGeoType(geometry);
    if (type == GeoType::None) return;

    // One set for all the features this object yields (a MultiPoint's points).
    const PropertySet props = parseProperties(text, start, end);
    layer.noteFields(props);

    size_t ckey = geometry.find(kCoordinatesKey);
    if (ckey == npos) return;
    size_t cOpen = geometry.find('[', ckey + kCoordinatesKey.size());
    if (cOpen == npos) return;
    size_t cClose = matchBracket(geometry, cOpen);
    std::string_view coords = cClose == npos ? geometry.substr(cOpen, 1) : geometry.substr(cOpen, cClose - cOpen + 1);

    switch (type) {
        case GeoType::Point: {
            size_t b = coords.find('[');
            size_t comma = coords.find(',', b + 1);
            if (comma == npos) return;
            size_t e = coords.find(']', comma + 1);
            if (e == npos) return;
            auto lon = parseLeadingDouble(span(coords, b + 1, comma));
            auto lat = parseLeadingDouble(span(coords, comma + 1, e));
            if (!lon || !lat) return;
            layer.features.push_back(pointFeature(*lon, *lat, props));
            break;
        }
        case GeoType::MultiPoint:
            for (const Position& p : readPositions(coords)) layer.features.push_back(pointFeature(p.lon, p.lat, props));
            break;
        case GeoType::Polygon:
        case GeoType::MultiPolygon: {
            std::string_view from = coords;
            if (type == GeoType::MultiPolygon) {
                size_t inner = coords.size() >= 2 ? coords.find('[', 1) : npos;
                if (inner == npos) return;
                from = coords.substr(inner);
            }
            auto ring = joinRings(readRings(from));
            if (ring.empty()) return;
            Feature f;
            f.type = "Polygon";
            f.ring = std::move(ring);
            f.properties = props;
            layer.features.push_back(std::move(f));
            break;
        }
        case GeoType::None:
            break;
    }
}

void readGeoJson(std::string_view text, Layer& layer) {
    for (const auto& [start, end] : scanFeatures(text)) parseGeoJsonFeature(text, start, end, layer);
}

std::optional<std::string_view> geometryTypeOf(std::string_view feature) {
    size_t key = feature.find(kGeometryKey);
    if (key == npos) return std::nullopt;
    size_t open = feature.find('{', key + kGeometryKey.size());
    if (open == npos) return std::nullopt;
    size_t t = feature.find(kTypeKey, open + 1);
    if (t == npos) return std::nullopt;
    size_t colon = feature.find(':', t + kTypeKey.size());
    if (colon == npos) return std::nullopt;
    size_t q1 = feature.find('"', colon + 1);
    if (q1 == npos) return std::nullopt;
    size_t q2 = feature.find('"', q1 + 1);
    if (q2 == npos) return std::nullopt;
    return feature.substr(q1 + 1, q2 - q1 - 1);
}

std::optional<size_t> coordinatesColon(std::string_view feature) {
    size_t key = feature.find(kCoordinatesKey);
    if (key == npos) return std::nullopt;
    size_t colon = feature.find(':', key + kCoordinatesKey.size());
    if (colon == npos) return std::nullopt;
    return colon;
}

Position readBracketPosition(std::string_view text, size_t afterBracket) {
    Position p;
    size_t lonEnd = text.find_first_of(",]", afterBracket);
    p.lon = toNumberOr(span(text, afterBracket, lonEnd == npos ? text.size() : lonEnd), 0);
    if (lonEnd != npos && text[lonEnd] == ',') {
        size_t latEnd = text.find_first_of(",]", lonEnd + 1);
        p.lat = toNumberOr(span(text, lonEnd + 1, latEnd == npos ? text.size() : latEnd), 0);
    }
    return p;
}

std::vector<Position> readFirstRing(std::string_view text, size_t from) {
    std::vector<Position> ring;
    size_t i = text.find('[', from);
    if (i == npos) return ring;
    ++i;
    for (;;) {
        while (i < text.size() &&
               (text[i] == ' ' || text[i] == ',' || text[i] == '\n' || text[i] == '\r' || text[i] == '\t'))
            ++i;
        if (i >= text.size() || text[i] == ']') break;
        if (text[i] != '[') {
            ++i;
            continue;
        }
        ring.push_back(readBracketPosition(text, i + 1));
        size_t close = text.find(']', i + 1);
        if (close == npos) break;
        i = close + 1;
    }
    return ring;
}

}  // namespace kit
