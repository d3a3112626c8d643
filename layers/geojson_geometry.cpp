#include "layers/geojson_geometry.h"

#include "core/number_parse.h"
#include "layers/geojson_reader.h"

namespace kit {

namespace {

constexpr size_t npos = std::string_view::npos;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The nesting of a GeoJSON type's coordinates: the array level (the
// coordinates array itself being 1) of each member, each path and each
// position.
struct Nesting {
    std::string_view type;
    GeometryFamily family;
    bool multi;
    int member, path, position;
};

constexpr Nesting kNestings[] = {
    {"Point", GeometryFamily::Point, false, 1, 1, 1},
    {"MultiPoint", GeometryFamily::Point, true, 2, 2, 2},
    {"LineString", GeometryFamily::Line, false, 1, 1, 2},
    {"MultiLineString", GeometryFamily::Line, true, 2, 2, 3},
    {"Polygon", GeometryFamily::Polygon, false, 1, 2, 3},
    {"MultiPolygon", GeometryFamily::Polygon, true, 2, 3, 4},
};

class CoordinateParser {
public:
    CoordinateParser(std::string_view text, const Nesting& n, GeometryParts& out) : s_(text), n_(n), out_(out) {}

    bool parse(size_t from) {
        at_ = from;
        return array(1);
    }

private:
    void blanks() {
        while (at_ < s_.size() && isBlank(s_[at_])) ++at_;
    }
    bool peek(char c) {
        blanks();
        return at_ < s_.size() && s_[at_] == c;
    }

    bool array(int level) {
        if (!peek('[')) return false;
        ++at_;
        if (level == n_.member) out_.memberStarts.push_back(out_.pathStarts.size());
        if (level == n_.path) out_.pathStarts.push_back(out_.positions.size());
        if (level == n_.position) return position();
        if (peek(']')) {
            ++at_;
            return true;
        }
        for (;;) {
            if (!array(level + 1)) return false;
            if (peek(',')) {
                ++at_;
                continue;
            }
            if (!peek(']')) return false;
            ++at_;
            return true;
        }
    }

    // After a position's '[': two or more numbers (extra ordinates dropped).
    bool position() {
        double xy[2] = {0, 0};
        int count = 0;
        for (;;) {
            blanks();
            size_t end = s_.find_first_of(",]", at_);
            if (end == npos) return false;
            std::string_view token = s_.substr(at_, end - at_);
            while (!token.empty() && isBlank(token.back())) token.remove_suffix(1);
            auto v = parseLeadingDouble(token);
            if (!v) return false;
            if (count < 2) xy[count] = *v;
            ++count;
            at_ = end + 1;
            if (s_[end] == ']') break;
        }
        if (count < 2) return false;
        out_.positions.push_back({xy[0], xy[1]});
        return true;
    }

    std::string_view s_;
    const Nesting& n_;
    GeometryParts& out_;
    size_t at_ = 0;
};

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::optional<uint32_t> hex4(std::string_view s, size_t at) {
    if (at + 4 > s.size()) return std::nullopt;
    uint32_t v = 0;
    for (size_t i = at; i < at + 4; ++i) {
        char c = s[i];
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) return std::nullopt;
        v = v * 16 + static_cast<uint32_t>(d);
    }
    return v;
}

// A JSON string from just after its opening quote; `at` ends after the
// closing quote. Nothing when it never closes.
std::optional<std::string> readString(std::string_view s, size_t& at) {
    std::string out;
    while (at < s.size()) {
        char c = s[at++];
        if (c == '"') return out;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (at >= s.size()) break;
        char e = s[at++];
        switch (e) {
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'u': {
                auto cp = hex4(s, at);
                if (!cp) return std::nullopt;
                at += 4;
                if (*cp >= 0xD800 && *cp < 0xDC00 && at + 1 < s.size() && s[at] == '\\' && s[at + 1] == 'u') {
                    if (auto lo = hex4(s, at + 2); lo && *lo >= 0xDC00 && *lo < 0xE000) {
                        *cp = 0x10000 + ((*cp - 0xD800) << 10) + (*lo - 0xDC00);
                        at += 6;
                    }
                }
                appendUtf8(out, *cp);
                break;
            }
            default: out += e;  // '"', '\\', '/'
        }
    }
    return std::nullopt;
}

}  // namespace

std::pair<size_t, size_t> GeometryParts::memberPaths(size_t m) const {
    return {memberStarts[m], m + 1 < memberStarts.size() ? memberStarts[m + 1] : pathStarts.size()};
}

std::pair<size_t, size_t> GeometryParts::pathPositions(size_t p) const {
    return {pathStarts[p], p + 1 < pathStarts.size() ? pathStarts[p + 1] : positions.size()};
}

GeometryParts readGeometryParts(std::string_view feature) {
    GeometryParts parts;
    auto type = geometryTypeOf(feature);
    auto colon = coordinatesColon(feature);
    if (!type || !colon) return parts;
    for (const Nesting& n : kNestings) {
        if (n.type != *type) continue;
        parts.type = std::string(*type);
        CoordinateParser parser(feature, n, parts);
        if (parser.parse(*colon + 1)) {
            parts.family = n.family;
            parts.multi = n.multi;
        } else {
            parts.positions.clear();
            parts.pathStarts.clear();
            parts.memberStarts.clear();
        }
        break;
    }
    return parts;
}

std::vector<std::pair<std::string, std::string>> readPropertyList(std::string_view feature) {
    std::vector<std::pair<std::string, std::string>> out;
    size_t key = feature.find("\"properties\"");
    if (key == npos) return out;
    size_t at = feature.find_first_not_of(" \t\r\n", key + 12);
    if (at == npos || feature[at] != ':') return out;
    at = feature.find_first_not_of(" \t\r\n", at + 1);
    if (at == npos || feature[at] != '{') return out;
    ++at;
    auto skip = [&] {
        while (at < feature.size() && isBlank(feature[at])) ++at;
    };
    for (;;) {
        skip();
        if (at >= feature.size() || feature[at] != '"') break;
        ++at;
        auto name = readString(feature, at);
        if (!name) break;
        skip();
        if (at >= feature.size() || feature[at] != ':') break;
        ++at;
        skip();
        if (at >= feature.size()) break;
        std::string value;
        if (feature[at] == '"') {
            ++at;
            auto v = readString(feature, at);
            if (!v) break;
            value = std::move(*v);
        } else if (feature[at] == '{' || feature[at] == '[') {
            // A nested value is kept as its text.
            size_t start = at;
            int depth = 0;
            bool inString = false;
            for (; at < feature.size(); ++at) {
                char c = feature[at];
                if (inString) {
                    if (c == '\\') ++at;
                    else if (c == '"') inString = false;
                } else if (c == '"') {
                    inString = true;
                } else if (c == '{' || c == '[') {
                    ++depth;
                } else if ((c == '}' || c == ']') && --depth == 0) {
                    ++at;
                    break;
                }
            }
            value = std::string(feature.substr(start, at - start));
        } else {
            size_t end = feature.find_first_of(",}", at);
            if (end == npos) break;
            std::string_view literal = feature.substr(at, end - at);
            while (!literal.empty() && isBlank(literal.back())) literal.remove_suffix(1);
            if (literal != "null") value = std::string(literal);
            at = end;
        }
        out.emplace_back(std::move(*name), std::move(value));
        skip();
        if (at >= feature.size() || feature[at] != ',') break;
        ++at;
    }
    return out;
}

}  // namespace kit
