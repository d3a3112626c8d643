#include "layers/wkt_layer.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>
#include <unordered_set>

#include "core/columns.h"
#include "core/format.h"
#include "layers/feature.h"
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

constexpr std::string_view kBlanks = " \t\r\n";

bool looksLikeWkt(std::string_view cell) {
    size_t b = cell.find_first_not_of(kBlanks);
    if (b == std::string_view::npos) return false;
    cell.remove_prefix(b);
    return startsWithUpper(cell, "POINT") || startsWithUpper(cell, "LINESTRING") ||
           startsWithUpper(cell, "POLYGON") || startsWithUpper(cell, "MULTI") ||
           startsWithUpper(cell, "GEOMETRYCOLLECTION");
}

std::string_view trimBlanks(std::string_view text) {
    size_t b = text.find_first_not_of(kBlanks);
    if (b == std::string_view::npos) return {};
    return text.substr(b, text.find_last_not_of(kBlanks) - b + 1);
}

// A parenthesised WKT list as a tree: a leaf is one coordinate tuple (its
// blank-separated words), an inner node a list.
struct WktNode {
    std::vector<std::string_view> words;  // a tuple's words
    std::vector<WktNode> items;           // a list's items
    bool list = false;
};

class WktReader {
public:
    explicit WktReader(std::string_view text) : s_(text) {}

    bool atEnd() {
        blanks();
        return at_ == s_.size();
    }
    // The next word of letters, upper-cased (empty when none).
    std::string keyword() {
        blanks();
        std::string w;
        while (at_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[at_])))
            w += static_cast<char>(std::toupper(static_cast<unsigned char>(s_[at_++])));
        return w;
    }
    bool peek(char c) {
        blanks();
        return at_ < s_.size() && s_[at_] == c;
    }
    bool take(char c) {
        if (!peek(c)) return false;
        ++at_;
        return true;
    }
    size_t mark() const { return at_; }
    void reset(size_t at) { at_ = at; }

    // A '(' list of tuples and lists, to its ')'. Nesting is bounded: WKT
    // needs three levels, a collection adds none of its own.
    bool list(WktNode& node, int depth = 0) {
        if (depth > 3 || !take('(')) return false;
        node.list = true;
        do {
            WktNode item;
            if (peek('(')) {
                if (!list(item, depth + 1)) return false;
            } else {
                blanks();
                size_t end = s_.find_first_of(",()", at_);
                if (end == std::string_view::npos) return false;
                std::string_view tuple = s_.substr(at_, end - at_);
                for (size_t i = 0; i < tuple.size();) {
                    size_t b = tuple.find_first_not_of(kBlanks, i);
                    if (b == std::string_view::npos) break;
                    size_t e = std::min(tuple.find_first_of(kBlanks, b), tuple.size());
                    item.words.push_back(tuple.substr(b, e - b));
                    i = e;
                }
                at_ = end;
            }
            node.items.push_back(std::move(item));
        } while (take(','));
        return take(')');
    }

private:
    void blanks() {
        while (at_ < s_.size() && kBlanks.find(s_[at_]) != std::string_view::npos) ++at_;
    }
    std::string_view s_;
    size_t at_ = 0;
};

// A tuple's position: its first two words (further ordinates, Z or M,
// dropped); an unreadable one is (0, 0), as it always was.
Position tuplePosition(const WktNode& tuple) {
    if (tuple.words.size() >= 2) {
        auto x = parseLayerNumber(tuple.words[0]), y = parseLayerNumber(tuple.words[1]);
        if (x && y) return {*x, *y};
    }
    return {0, 0};
}

enum class WktKind { Point, Line, Polygon };

// One member of the geometry: a point (one path of one position), a line
// (one path) or a polygon (its rings).
using WktMember = std::vector<std::vector<Position>>;

struct WktGeometry {
    WktKind kind;
    bool multi = false;
    std::vector<WktMember> members;
};

// A list of tuples as a path; false when it holds lists.
bool readPath(const WktNode& node, std::vector<Position>& path) {
    for (const WktNode& item : node.items) {
        if (item.list) return false;
        path.push_back(tuplePosition(item));
    }
    return !path.empty();
}

bool readPolygon(const WktNode& node, WktMember& rings) {
    for (const WktNode& ring : node.items) {
        if (!ring.list) return false;
        rings.emplace_back();
        if (!readPath(ring, rings.back())) return false;
    }
    return !rings.empty();
}

// A point body: "(x y)", or "(x,y)" as a comma-separated pair.
bool readPoint(const WktNode& node, std::vector<Position>& path) {
    if (node.items.size() == 2 && !node.items[0].list && !node.items[1].list && node.items[0].words.size() == 1 &&
        node.items[1].words.size() == 1) {
        WktNode pair;
        pair.words = {node.items[0].words[0], node.items[1].words[0]};
        path.push_back(tuplePosition(pair));
        return true;
    }
    return node.items.size() == 1 && readPath(node, path);
}

std::optional<WktGeometry> readTagged(WktReader& in, int depth);

// The body after a type's keyword (and its Z/M words).
bool readBody(WktReader& in, const std::string& type, WktGeometry& g, int depth) {
    if (type == "GEOMETRYCOLLECTION") {
        // Members of one kind become that kind's multi type.
        if (depth > 0 || !in.take('(')) return false;
        std::optional<WktKind> kind;
        do {
            auto member = readTagged(in, depth + 1);
            if (!member || (kind && *kind != member->kind)) return false;
            kind = member->kind;
            for (auto& m : member->members) g.members.push_back(std::move(m));
        } while (in.take(','));
        if (!in.take(')') || g.members.empty()) return false;
        g.kind = *kind;
        g.multi = true;
        return true;
    }
    WktNode body;
    if (!in.list(body)) return false;
    if (type == "POINT") {
        g.kind = WktKind::Point;
        g.members.push_back({{}});
        return readPoint(body, g.members[0][0]);
    }
    if (type == "LINESTRING") {
        g.kind = WktKind::Line;
        g.members.push_back({{}});
        return readPath(body, g.members[0][0]);
    }
    if (type == "POLYGON") {
        g.kind = WktKind::Polygon;
        g.members.emplace_back();
        return readPolygon(body, g.members[0]);
    }
    g.multi = true;
    for (const WktNode& item : body.items) {
        g.members.emplace_back();
        WktMember& m = g.members.back();
        if (type == "MULTIPOINT") {
            // Both "((1 2), (3 4))" and "(1 2, 3 4)" are written.
            g.kind = WktKind::Point;
            m.emplace_back();
            if (!item.list) m[0].push_back(tuplePosition(item));
            else if (!readPoint(item, m[0])) return false;
        } else if (type == "MULTILINESTRING") {
            g.kind = WktKind::Line;
            m.emplace_back();
            if (!item.list || !readPath(item, m[0])) return false;
        } else if (type == "MULTIPOLYGON") {
            g.kind = WktKind::Polygon;
            if (!item.list || !readPolygon(item, m)) return false;
        } else {
            return false;
        }
    }
    return !g.members.empty();
}

// "TYPE [Z|M|ZM] (body)"; nothing for EMPTY or anything unreadable.
std::optional<WktGeometry> readTagged(WktReader& in, int depth) {
    std::string type = in.keyword();
    // Dimensions written apart ("POINT Z") or glued on ("POINTZ").
    for (std::string_view dim : {"ZM", "Z", "M"}) {
        if (type.size() > dim.size() && type.ends_with(dim)) {
            std::string base = type.substr(0, type.size() - dim.size());
            if (base == "POINT" || base == "LINESTRING" || base == "POLYGON" || base == "MULTIPOINT" ||
                base == "MULTILINESTRING" || base == "MULTIPOLYGON" || base == "GEOMETRYCOLLECTION") {
                type = base;
                break;
            }
        }
    }
    size_t back = in.mark();
    std::string word = in.keyword();
    if (word != "Z" && word != "M" && word != "ZM") in.reset(back);
    WktGeometry g;
    if (!readBody(in, type, g, depth)) return std::nullopt;
    return g;
}

void appendPath(std::string& out, const std::vector<Position>& path) {
    out += '[';
    for (size_t i = 0; i < path.size(); ++i) {
        if (i > 0) out += ", ";
        out += formatPosition(path[i].lon, path[i].lat);
    }
    out += ']';
}

void appendRings(std::string& out, const WktMember& rings) {
    out += '[';
    for (size_t i = 0; i < rings.size(); ++i) {
        if (i > 0) out += ", ";
        appendPath(out, rings[i]);
    }
    out += ']';
}

// A member's coordinates: a position, a path or rings.
void appendMember(std::string& out, WktKind kind, const WktMember& m) {
    if (kind == WktKind::Point) out += formatPosition(m[0][0].lon, m[0][0].lat);
    else if (kind == WktKind::Line) appendPath(out, m[0]);
    else appendRings(out, m);
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
    WktReader in(trimBlanks(wkt));
    auto g = readTagged(in, 0);
    if (!g || !in.atEnd()) return {};
    static constexpr const char* kNames[][2] = {
        {"Point", "MultiPoint"}, {"LineString", "MultiLineString"}, {"Polygon", "MultiPolygon"}};
    std::string out = "\"type\": \"";
    out += kNames[static_cast<int>(g->kind)][g->multi ? 1 : 0];
    out += "\", \"coordinates\": ";
    if (!g->multi) {
        appendMember(out, g->kind, g->members[0]);
        return out;
    }
    out += '[';
    for (size_t i = 0; i < g->members.size(); ++i) {
        if (i > 0) out += ", ";
        appendMember(out, g->kind, g->members[i]);
    }
    out += ']';
    return out;
}

std::string skippedRowsNote(size_t count, const std::vector<size_t>& firstRows) {
    if (count == 0) return {};
    std::string rows;
    for (size_t r : firstRows) {
        if (!rows.empty()) rows += ", ";
        rows += std::to_string(r);
    }
    if (count > firstRows.size()) rows += ", …";
    return format("跳过 %zu 行（几何为空或无法识别）：第 %s 行", count, rows);
}

Outcome runWktLayer(const Table* table, const std::optional<std::string>& geometryColumn) {
    if (!table) return Outcome::warning("请先获取数据");
    if (!geometryColumn) return Outcome::warning("请选择 Geometry 列");
    const Table& t = *table;
    const ColumnRef geo = t.column(*geometryColumn);
    const RowProperties props(t, {*geometryColumn});

    GeoJsonWriter writer;
    std::vector<GeoJsonProperty> row;
    size_t skipped = 0;
    std::vector<size_t> firstSkipped;
    for (size_t r = 0; r < t.rowCount(); ++r) {
        std::string geometry = wktToGeometry(t.cellOr(r, geo, ""));
        if (geometry.empty()) {
            // Counted from 1, the first row under the header.
            if (++skipped <= kSkippedRowsListed) firstSkipped.push_back(r + 1);
            continue;
        }
        props.fill(r, row);
        writer.addFeature(geometry, row);
    }
    return Outcome::success(skippedRowsNote(skipped, firstSkipped), writer.finish());
}

}  // namespace kit
