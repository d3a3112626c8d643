#include "layers/wkt_layer.h"

#include <algorithm>
#include <unordered_set>

#include "core/columns.h"
#include "layers/geojson_writer.h"
#include "layers/layer_numbers.h"
#include "layers/row_properties.h"

namespace kit {

namespace {

constexpr size_t kContentRows = 5;

bool startsWithUpper(std::string_view text, std::string_view upperWord) {
    if (text.size() < upperWord.size()) return false;
    for (size_t i = 0; i < upperWord.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != upperWord[i]) return false;
    }
    return true;
}

bool looksLikeWkt(std::string_view cell) {
    return startsWithUpper(cell, "POINT") || startsWithUpper(cell, "LINESTRING") ||
           startsWithUpper(cell, "POLYGON") || startsWithUpper(cell, "MULTI");
}

// One "lon lat" piece. Split at the first space, or at the first comma when
// there is no space; anything unreadable gives (0, 0).
void appendWktPosition(std::string& out, std::string_view piece) {
    size_t b = piece.find_first_not_of(" \t\r\n");
    piece = b == std::string_view::npos ? std::string_view() : piece.substr(b);
    size_t split = piece.find(' ');
    if (split == std::string_view::npos) split = piece.find(',');
    double lon = 0, lat = 0;
    if (split != std::string_view::npos) {
        auto x = parseLayerNumber(piece.substr(0, split));
        auto y = parseLayerNumber(piece.substr(split + 1));
        if (x && y) {
            lon = *x;
            lat = *y;
        }
    }
    out += formatPosition(lon, lat);
}

// "[p, p, ...]" from the comma-separated positions of the text.
void appendPositionList(std::string& out, std::string_view text) {
    out += '[';
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        if (start > 0) out += ", ";
        appendWktPosition(out, text.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                                   : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    out += ']';
}

// The rings of a polygon body "(x y, ...), (x y, ...)": each parenthesised
// ring becomes one GeoJSON ring, outer ring first, then the holes. Empty text
// when the body holds no ring.
std::string polygonRings(std::string_view body) {
    size_t open = body.find('(');
    size_t last = body.rfind(')');
    if (open == std::string_view::npos || last == std::string_view::npos || last < open) return {};
    std::string_view inner = body.substr(open + 1, last - open - 1);
    std::string out = "[";
    size_t pos = 0;
    bool first = true;
    while (true) {
        size_t close = inner.find(')', pos);
        if (!first) out += ", ";
        first = false;
        appendPositionList(out, inner.substr(pos, close == std::string_view::npos ? std::string_view::npos
                                                                                  : close - pos));
        if (close == std::string_view::npos) break;
        size_t next = inner.find('(', close);
        if (next == std::string_view::npos) break;
        pos = next + 1;
    }
    out += ']';
    return out;
}

}  // namespace

int detectGeometryColumn(const Table& table) {
    int c = findColumnByName(table.headers, {"geom", "wkt", "geometry", "shape", "polygon", "point", "linestring"});
    if (c != kNoColumn) return c;
    const size_t rows = std::min(table.rowCount(), kContentRows);
    const auto index = table.columnIndex();
    std::unordered_set<std::string_view> tried;
    for (size_t i = 0; i < table.headers.size(); ++i) {
        // A repeated name reads the same cells as its first header did.
        if (!tried.insert(table.headers[i]).second) continue;
        const ColumnRef& ref = index.at(table.headers[i]);
        for (size_t r = 0; r < rows; ++r)
            if (looksLikeWkt(table.cellOr(r, ref, ""))) return static_cast<int>(i);
    }
    return kNoColumn;
}

std::string wktToGeometry(std::string_view wkt) {
    enum { Point, Line, Polygon } type;
    if (startsWithUpper(wkt, "POINT")) type = Point;
    else if (startsWithUpper(wkt, "LINESTRING")) type = Line;
    else if (startsWithUpper(wkt, "POLYGON")) type = Polygon;
    else return {};

    size_t open = wkt.find('(');
    size_t close = wkt.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return {};
    std::string_view body = wkt.substr(open + 1, close - open - 1);

    std::string out;
    switch (type) {
        case Point:
            out = "\"type\": \"Point\", \"coordinates\": ";
            appendWktPosition(out, body);
            break;
        case Line:
            out = "\"type\": \"LineString\", \"coordinates\": ";
            appendPositionList(out, body);
            break;
        case Polygon: {
            std::string rings = polygonRings(body);
            if (rings.empty()) return {};
            out = "\"type\": \"Polygon\", \"coordinates\": " + rings;
            break;
        }
    }
    return out;
}

Outcome runWktLayer(const Table* table, const std::optional<std::string>& geometryColumn) {
    if (!table) return Outcome::warning("请先获取数据");
    if (!geometryColumn) return Outcome::warning("请选择 Geometry 列");
    const Table& t = *table;
    const ColumnRef geo = t.column(*geometryColumn);
    const RowProperties props(t, {*geometryColumn});

    GeoJsonWriter writer;
    std::vector<GeoJsonProperty> row;
    for (size_t r = 0; r < t.rowCount(); ++r) {
        std::string geometry = wktToGeometry(t.cellOr(r, geo, ""));
        if (geometry.empty()) continue;
        props.fill(r, row);
        writer.addFeature(geometry, row);
    }
    return Outcome::success("", writer.finish());
}

}  // namespace kit
