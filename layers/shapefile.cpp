#include "layers/shapefile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>

#include "core/ansi_text.h"
#include "core/byte_order.h"
#include "core/file_io.h"
#include "core/format.h"
#include "layers/dbf_code_page.h"
#include "layers/dbf_fields.h"
#include "layers/geojson_geometry.h"
#include "layers/geojson_reader.h"
#include "layers/polygon_rings.h"

namespace kit {

namespace {

constexpr int32_t kFileCode = 9994;
constexpr int32_t kVersion = 1000;
constexpr size_t kHeaderBytes = 100;
constexpr int32_t kMaxParts = 100000;
constexpr int32_t kMaxPoints = 10000000;

// --- Little byte writers; the caller checks the bounds. ---

void putBE32(std::string& out, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    char b[4] = {static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
                 static_cast<char>(u)};
    out.append(b, 4);
}

void putLE32(std::string& out, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    char b[4] = {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
                 static_cast<char>(u >> 24)};
    out.append(b, 4);
}

void putLE16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void putDouble(std::string& out, double d) {
    uint64_t u = std::bit_cast<uint64_t>(d);
    char b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<char>(u >> (8 * i));
    out.append(b, 8);
}

void setBE32(std::string& out, size_t at, int32_t v) {
    std::string tmp;
    putBE32(tmp, v);
    out.replace(at, 4, tmp);
}

// The format's 32-bit fields are signed.
int32_t getBE32(std::string_view s, size_t at) { return static_cast<int32_t>(readBE32(s, at)); }
int32_t getLE32(std::string_view s, size_t at) { return static_cast<int32_t>(readLE32(s, at)); }

bool isPointType(int32_t t) { return t == 1 || t == 11; }
bool isPolyType(int32_t t) { return t == 3 || t == 5 || t == 13 || t == 15; }
bool isMultiPointType(int32_t t) { return t == 8 || t == 18; }

size_t contentBytes(const ShapeRecord& r) {
    if (r.shapeType == 1) return 20;
    if (r.shapeType == 3 || r.shapeType == 5) return 44 + 4 * r.partStarts.size() + 16 * r.xs.size();
    if (r.shapeType == 8) return 40 + 16 * r.xs.size();
    return 4;
}

void putBox(std::string& out, double x0, double y0, double x1, double y1) {
    putDouble(out, x0);
    putDouble(out, y0);
    putDouble(out, x1);
    putDouble(out, y1);
}

void putPoints(std::string& out, const ShapeRecord& r) {
    for (size_t i = 0; i < r.xs.size(); ++i) {
        putDouble(out, r.xs[i]);
        putDouble(out, r.ys[i]);
    }
}

// A count field of a record: outside 0..limit it counts as 0.
int32_t boundedCount(int32_t n, int32_t limit) { return n < 0 || n > limit ? 0 : n; }

// Appends up to `count` points from `at`, as far as the record holds them.
void readPoints(std::string_view c, uint64_t at, int32_t count, ShapeRecord& r) {
    if (at >= c.size()) return;
    uint64_t fit = (c.size() - at) / 16;
    size_t n = static_cast<size_t>(std::min<uint64_t>(fit, static_cast<uint64_t>(count)));
    r.xs.reserve(n);
    r.ys.reserve(n);
    for (size_t k = 0; k < n; ++k) {
        r.xs.push_back(readLEDouble(c, at + 16 * k));
        r.ys.push_back(readLEDouble(c, at + 16 * k + 8));
    }
}

ShapeRecord decodeRecord(std::string_view c) {
    ShapeRecord r;
    r.shapeType = getLE32(c, 0);
    if (isPointType(r.shapeType)) {
        if (c.size() < 20) return r;
        r.xs.push_back(readLEDouble(c, 4));
        r.ys.push_back(readLEDouble(c, 12));
    } else if (isPolyType(r.shapeType)) {
        if (c.size() < 44) return r;
        r.xMin = readLEDouble(c, 4), r.yMin = readLEDouble(c, 12), r.xMax = readLEDouble(c, 20), r.yMax = readLEDouble(c, 28);
        int32_t parts = boundedCount(getLE32(c, 36), kMaxParts);
        int32_t points = boundedCount(getLE32(c, 40), kMaxPoints);
        for (int32_t k = 0; k < parts && 44 + 4 * uint64_t(k) + 4 <= c.size(); ++k)
            r.partStarts.push_back(getLE32(c, 44 + 4 * size_t(k)));
        readPoints(c, 44 + 4 * uint64_t(parts), points, r);
    } else if (isMultiPointType(r.shapeType)) {
        if (c.size() < 40) return r;
        r.xMin = readLEDouble(c, 4), r.yMin = readLEDouble(c, 12), r.xMax = readLEDouble(c, 20), r.yMax = readLEDouble(c, 28);
        readPoints(c, 40, boundedCount(getLE32(c, 36), kMaxPoints), r);
    }
    return r;
}

// The field list and the records of a .dbf, read on demand. Nothing in the
// header is trusted: records are read only as far as the bytes go, and a
// field of width 0 holds no data, so it is left out; every value kept thus
// stands for at least one byte read. Names and values come back in UTF-8.
class DbfTable {
public:
    // At most `maxRecords` records (records past the last shape reach no feature).
    DbfTable(std::string_view dbf, std::string_view cpg, size_t maxRecords)
        : dbf_(dbf), text_(dbf.size() < 32 ? kUtf8CodePage : dbfCodePage(dbf, cpg)) {
        if (dbf.size() < 32) return;
        const int32_t count = getLE32(dbf, 4);
        headerLen_ = readLE16(dbf, 8);
        recordLen_ = readLE16(dbf, 10);
        const int fieldCount = (static_cast<int>(headerLen_) - 33) / 32;
        for (int k = 0; k < fieldCount; ++k) {
            size_t d = 32 + 32 * size_t(k);
            // A descriptor past the end, or the header terminator where one
            // was announced (headers padded beyond it), ends the list.
            if (d + 32 > dbf.size() || byteAt(dbf, d) == 0x0D) break;
            FieldDef f;
            std::string_view name = dbf.substr(d, 11);
            f.name = text_.toUtf8(name.substr(0, name.find('\0')));
            f.fieldType = dbf[d + 11];
            f.width = byteAt(dbf, d + 16);
            f.decimals = byteAt(dbf, d + 17);
            if (f.width == 0) continue;
            fields_.push_back(std::move(f));
        }
        // A record holds at least its deletion flag; a zero length would let
        // a lying count run on forever.
        if (count <= 0 || recordLen_ < 1 || headerLen_ > dbf.size()) return;
        const size_t fit = (dbf.size() - headerLen_) / recordLen_;
        records_ = std::min({static_cast<size_t>(count), fit, maxRecords});
    }

    const std::vector<FieldDef>& fields() const { return fields_; }
    size_t records() const { return records_; }
    bool tooLarge() const { return uint64_t(records_) * fields_.size() > kMaxDbfValues; }

    bool deleted(size_t r) const { return record(r)[0] == '*'; }
    // The record's values in field order; a record too short for a field
    // ends before it.
    void values(size_t r, std::vector<std::string>& out) const {
        out.clear();
        const std::string_view rec = record(r);
        size_t pos = 1;
        for (const FieldDef& f : fields_) {
            if (pos + f.width > rec.size()) break;
            std::string_view v = rec.substr(pos, f.width);
            while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
            // Numbers are right-aligned in their width: the digits without it.
            if (f.fieldType == 'N' || f.fieldType == 'F')
                while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
            out.push_back(text_.toUtf8(v));
            pos += f.width;
        }
    }

private:
    std::string_view record(size_t r) const { return dbf_.substr(headerLen_ + r * recordLen_, recordLen_); }

    std::string_view dbf_;
    CodePageText text_;
    std::vector<FieldDef> fields_;
    size_t headerLen_ = 0, recordLen_ = 0, records_ = 0;
};

void decodeDbf(const DbfTable& table, ShapeLayer& layer) {
    layer.fields = table.fields();
    if (table.tooLarge()) {
        layer.attributesTooLarge = true;
        return;
    }
    layer.records.resize(table.records());
    for (size_t r = 0; r < table.records(); ++r) {
        layer.records[r].deleted = table.deleted(r);
        table.values(r, layer.records[r].values);
    }
}

// The properties of each record: one list of keys (the field names in key
// order, a later field of a repeated name winning) shared by all records,
// and the values of a record held together.
class RecordProperties {
public:
    explicit RecordProperties(const std::vector<FieldDef>& fields) : fields_(fields) {
        std::map<std::string, size_t> slots;
        for (size_t k = 0; k < fields.size(); ++k) slots[fields[k].name] = k;
        auto keys = std::make_shared<PropertyKeys>();
        for (const auto& [name, slot] : slots) {
            keys->push_back(name);
            slots_.push_back(slot);
        }
        keys_ = std::move(keys);
    }

    PropertySet of(const std::vector<std::string>& values) {
        if (values.size() < fields_.size()) {  // a short record: only the fields it holds
            PropertyMap map;
            for (size_t k = 0; k < values.size(); ++k) map[fields_[k].name] = values[k];
            return map;
        }
        views_.clear();
        for (size_t slot : slots_) views_.push_back(values[slot]);
        return PropertySet(keys_, views_);
    }

private:
    const std::vector<FieldDef>& fields_;
    std::shared_ptr<const PropertyKeys> keys_;
    std::vector<size_t> slots_;  // per key, the field it takes its value from
    std::vector<std::string_view> views_;
};

void widen(ShapeLayer& l, double x, double y) {
    l.xMin = std::min(l.xMin, x);
    l.yMin = std::min(l.yMin, y);
    l.xMax = std::max(l.xMax, x);
    l.yMax = std::max(l.yMax, y);
}

Feature makeFeature(const char* type, const PropertySet& props) {
    Feature f;
    f.type = type;
    f.properties = props;
    return f;
}

bool isPolygonType(int32_t t) { return t == 5 || t == 15; }

// The record's parts as rings. Part starts from a corrupt file are clamped to
// the points actually read and to the start before them, so parts never
// overlap (and never hold more points than the record), and empty parts are
// dropped.
Rings recordParts(const ShapeRecord& r) {
    const size_t n = r.xs.size();
    const size_t parts = r.partStarts.size() > 1 ? r.partStarts.size() : 1;
    size_t floor = 0;
    auto clampIndex = [n, &floor](int32_t v) { return std::max(floor, v < 0 ? size_t(0) : std::min(size_t(v), n)); };
    Rings out;
    for (size_t k = 0; k < parts; ++k) {
        size_t from = 0, to = n;
        if (r.partStarts.size() > 1) {
            from = floor = clampIndex(r.partStarts[k]);
            to = k + 1 < parts ? clampIndex(r.partStarts[k + 1]) : n;
        }
        if (to <= from) continue;
        std::vector<Position> ring;
        ring.reserve(to - from);
        for (size_t j = from; j < to; ++j) ring.push_back({r.xs[j], r.ys[j]});
        out.push_back(std::move(ring));
    }
    return out;
}

}  // namespace

std::string siblingPath(const std::string& utf8ShpPath, std::string_view ext) {
    size_t dot = utf8ShpPath.rfind('.');
    size_t sep = utf8ShpPath.find_last_of("/\\");
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return utf8ShpPath + "." + std::string(ext);
    return utf8ShpPath.substr(0, dot + 1) + std::string(ext);
}

// --- Writing ---

void ShapeLayer::addField(std::string_view name, char fieldType, int width, int decimals) {
    fields.push_back({std::string(name.substr(0, 10)), fieldType, width, decimals});
}

void ShapeLayer::addPoint(double x, double y, std::vector<std::string> values) {
    ShapeRecord r;
    r.shapeType = 1;
    r.xs.push_back(x);
    r.ys.push_back(y);
    widen(*this, x, y);
    shapes.push_back(std::move(r));
    records.push_back({std::move(values), false});
}

void ShapeLayer::addPolygon(std::vector<Position> ring, std::vector<std::string> values) {
    if (!ring.empty() && !(ring.front() == ring.back())) ring.push_back(ring.front());
    addParts(5, {std::move(ring)}, std::move(values));
}

void ShapeLayer::addParts(int32_t type, const std::vector<std::vector<Position>>& parts,
                          std::vector<std::string> values) {
    ShapeRecord r;
    r.shapeType = type;
    r.xMin = r.yMin = 1e30;
    r.xMax = r.yMax = -1e30;
    for (const auto& part : parts) {
        if (type != 8) r.partStarts.push_back(static_cast<int32_t>(r.xs.size()));
        for (const Position& p : part) {
            r.xs.push_back(p.lon);
            r.ys.push_back(p.lat);
            r.xMin = std::min(r.xMin, p.lon);
            r.yMin = std::min(r.yMin, p.lat);
            r.xMax = std::max(r.xMax, p.lon);
            r.yMax = std::max(r.yMax, p.lat);
            widen(*this, p.lon, p.lat);
        }
    }
    shapes.push_back(std::move(r));
    records.push_back({std::move(values), false});
}

ShapeFiles ShapeLayer::encode() const {
    ShapeFiles f;
    size_t shpBytes = kHeaderBytes;
    for (const ShapeRecord& r : shapes) shpBytes += 8 + contentBytes(r);

    std::string& shp = f.shp;
    shp.reserve(shpBytes);
    putBE32(shp, kFileCode);
    shp.append(20, '\0');
    putBE32(shp, static_cast<int32_t>(shpBytes / 2));
    putLE32(shp, kVersion);
    putLE32(shp, shapeType);
    putBox(shp, xMin, yMin, xMax, yMax);
    shp.append(32, '\0');

    std::string& shx = f.shx;
    shx.reserve(kHeaderBytes + 8 * shapes.size());
    shx.assign(shp, 0, kHeaderBytes);
    setBE32(shx, 24, static_cast<int32_t>((kHeaderBytes + 8 * shapes.size()) / 2));

    int32_t number = 1;
    for (const ShapeRecord& r : shapes) {
        int32_t words = static_cast<int32_t>(contentBytes(r) / 2);
        putBE32(shx, static_cast<int32_t>(shp.size() / 2));
        putBE32(shx, words);
        putBE32(shp, number++);
        putBE32(shp, words);
        putLE32(shp, r.shapeType);
        if (r.shapeType == 1) {
            putPoints(shp, r);
        } else if (r.shapeType == 3 || r.shapeType == 5) {
            putBox(shp, r.xMin, r.yMin, r.xMax, r.yMax);
            putLE32(shp, static_cast<int32_t>(r.partStarts.size()));
            putLE32(shp, static_cast<int32_t>(r.xs.size()));
            for (int32_t s : r.partStarts) putLE32(shp, s);
            putPoints(shp, r);
        } else if (r.shapeType == 8) {
            putBox(shp, r.xMin, r.yMin, r.xMax, r.yMax);
            putLE32(shp, static_cast<int32_t>(r.xs.size()));
            putPoints(shp, r);
        }
    }

    std::string& dbf = f.dbf;
    size_t recordLen = 1;
    for (const FieldDef& fd : fields) recordLen += fd.width;
    dbf.reserve(33 + 32 * fields.size() + recordLen * records.size() + 1);
    dbf.push_back(3);
    dbf.push_back(26), dbf.push_back(1), dbf.push_back(1);
    putLE32(dbf, static_cast<int32_t>(records.size()));
    putLE16(dbf, static_cast<uint16_t>(32 * fields.size() + 33));
    putLE16(dbf, static_cast<uint16_t>(recordLen));
    dbf.append(20, '\0');
    for (const FieldDef& fd : fields) {
        std::string d(32, '\0');
        d.replace(0, std::min<size_t>(fd.name.size(), 10), fd.name.substr(0, 10));
        d[11] = fd.fieldType;
        d[16] = static_cast<char>(fd.width);
        d[17] = static_cast<char>(fd.decimals);
        dbf += d;
    }
    dbf.push_back(0x0D);
    for (const AttrRecord& a : records) {
        std::string rec(recordLen, ' ');
        size_t pos = 1;
        for (size_t k = 0; k < fields.size(); ++k) {
            size_t w = static_cast<size_t>(fields[k].width);
            if (k < a.values.size()) rec.replace(pos, std::min(w, a.values[k].size()), a.values[k], 0, w);
            pos += w;
        }
        dbf += rec;
    }
    dbf.push_back(0x1A);
    return f;
}

bool ShapeLayer::save(const std::string& utf8ShpPath) const {
    ShapeFiles f = encode();
    // A set missing its index or table is no usable shapefile: the files are
    // written whole before any replaces an earlier set.
    return writeFilesTogether({{utf8ShpPath, f.shp},
                               {siblingPath(utf8ShpPath, "shx"), f.shx},
                               {siblingPath(utf8ShpPath, "dbf"), f.dbf},
                               {siblingPath(utf8ShpPath, "cpg"), "UTF-8"},
                               {siblingPath(utf8ShpPath, "prj"), kWgs84Prj}});
}

namespace {

// Twice the ring's signed area: positive when it runs counter-clockwise.
double signedArea2(const std::vector<Position>& ring) {
    double a = 0;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        a += (ring[j].lon - ring[i].lon) * (ring[j].lat + ring[i].lat);
    return a;
}

// The parts of one feature as a record of the layer's type: rings closed and
// turned as the ESRI description wants them (outer rings clockwise, holes
// counter-clockwise), so that readers find the holes; lines of two positions
// or more; points one by one. Empty when nothing is drawable.
std::vector<std::vector<Position>> recordParts(const GeometryParts& g) {
    std::vector<std::vector<Position>> parts;
    for (size_t m = 0; m < g.memberCount(); ++m) {
        auto [p0, p1] = g.memberPaths(m);
        for (size_t p = p0; p < p1; ++p) {
            auto [a, b] = g.pathPositions(p);
            std::vector<Position> path(g.positions.begin() + static_cast<std::ptrdiff_t>(a),
                                       g.positions.begin() + static_cast<std::ptrdiff_t>(b));
            if (g.family == GeometryFamily::Polygon) {
                if (path.size() < 3) {
                    if (p == p0) break;  // no outer ring: no polygon, holes and all
                    continue;
                }
                if (!(path.front() == path.back())) path.push_back(path.front());
                const bool outer = p == p0;
                if ((signedArea2(path) > 0) == outer) std::reverse(path.begin(), path.end());
            } else if (g.family == GeometryFamily::Line && path.size() < 2) {
                continue;
            }
            if (path.empty()) continue;
            parts.push_back(std::move(path));
        }
    }
    if (g.family == GeometryFamily::Point && parts.size() > 1) {
        // A multipoint record holds its points in one list.
        for (size_t k = 1; k < parts.size(); ++k) parts[0].insert(parts[0].end(), parts[k].begin(), parts[k].end());
        parts.resize(1);
    }
    return parts;
}

struct PendingRecord {
    int id;
    std::vector<std::vector<Position>> parts;
    std::vector<std::pair<std::string, std::string>> properties;
};

// The properties' keys in order of first appearance, and each record's
// values by key index (null where a record lacks the key).
struct AttributeTable {
    std::vector<std::string> keys;
    std::vector<std::vector<const std::string*>> columns;  // per key, per record
};

AttributeTable attributeTable(const std::vector<PendingRecord>& records) {
    AttributeTable t;
    std::unordered_map<std::string_view, size_t> index;
    for (size_t r = 0; r < records.size(); ++r) {
        const auto& props = records[r].properties;
        for (size_t k = 0; k < props.size(); ++k) {
            const std::string& key = props[k].first;
            size_t at;
            // Generated layers repeat one key order: most lookups are this check.
            if (k < t.keys.size() && t.keys[k] == key) {
                at = k;
            } else if (auto it = index.find(key); it != index.end()) {
                at = it->second;
            } else {
                at = t.keys.size();
                t.keys.push_back(key);
                t.columns.emplace_back(records.size(), nullptr);
                index.clear();
                for (size_t i = 0; i < t.keys.size(); ++i) index.emplace(t.keys[i], i);
            }
            t.columns[at][r] = &props[k].second;
        }
    }
    return t;
}

}  // namespace

Outcome writeShapefile(std::string_view geojson, const std::string& utf8ShpPath) {
    auto features = scanFeatures(geojson);
    if (features.empty()) return Outcome::error("GeoJSON 中未找到要素");

    std::optional<std::string_view> layerType;
    for (const auto& [start, end] : features) {
        layerType = geometryTypeOf(geojson.substr(start, end - start + 1));
        if (layerType) break;
    }
    GeometryFamily family = GeometryFamily::None;
    if (layerType == "Point" || layerType == "MultiPoint") family = GeometryFamily::Point;
    else if (layerType == "LineString" || layerType == "MultiLineString") family = GeometryFamily::Line;
    else if (layerType == "Polygon" || layerType == "MultiPolygon") family = GeometryFamily::Polygon;
    if (family == GeometryFamily::None) return Outcome::error("不支持的几何类型，仅支持 Point 和 Polygon");

    std::vector<PendingRecord> pending;
    pending.reserve(features.size());
    bool multipoint = false;
    int counter = 0;
    for (const auto& [start, end] : features) {
        std::string_view feature = geojson.substr(start, end - start + 1);
        auto colon = coordinatesColon(feature);
        if (!colon || feature.find('[', *colon + 1) == std::string_view::npos) continue;
        // Polygon and line IDs count every feature with coordinates, so
        // they keep their place when one is left out; point IDs count the
        // points written.
        const int id = family == GeometryFamily::Point ? counter : counter++;
        // A feature of another kind read as this layer's would give made-up
        // positions: it is left out instead.
        GeometryParts g = readGeometryParts(feature);
        if (g.family != family) continue;
        auto parts = recordParts(g);
        if (parts.empty()) continue;
        if (family == GeometryFamily::Point) {
            ++counter;
            multipoint = multipoint || parts[0].size() > 1 || g.multi;
        }
        pending.push_back({id, std::move(parts), readPropertyList(feature)});
    }

    ShapeLayer layer;
    layer.shapeType = family == GeometryFamily::Point ? (multipoint ? 8 : 1) : family == GeometryFamily::Line ? 3 : 5;
    layer.addField("ID", 'N', 10, 0);
    const AttributeTable attributes = attributeTable(pending);
    std::vector<std::string> taken{"ID"};
    size_t recordBytes = 1 + 10;
    for (size_t k = 0; k < attributes.keys.size(); ++k) {
        FieldDef f = dbfColumn(dbfFieldName(attributes.keys[k], taken), attributes.columns[k]);
        recordBytes += static_cast<size_t>(f.width);
        layer.fields.push_back(std::move(f));
    }
    // dBASE counts the header and a record's bytes in 16 bits.
    if (32 * layer.fields.size() + 33 > 0xFFFF || recordBytes > 0xFFFF)
        return Outcome::error("属性列过多，无法写入 Shapefile");

    size_t cut = 0;
    for (size_t r = 0; r < pending.size(); ++r) {
        std::vector<std::string> values;
        values.reserve(layer.fields.size());
        values.push_back(std::to_string(pending[r].id));
        for (size_t k = 0; k < attributes.keys.size(); ++k) {
            const std::string* v = attributes.columns[k][r];
            if (!v) {
                values.emplace_back();
            } else if (layer.fields[k + 1].fieldType == 'C' && v->size() > kDbfTextWidth) {
                values.emplace_back(dbfText(*v));
                ++cut;
            } else {
                values.push_back(*v);
            }
        }
        if (layer.shapeType == 1)
            layer.addPoint(pending[r].parts[0][0].lon, pending[r].parts[0][0].lat, std::move(values));
        else
            layer.addParts(layer.shapeType, pending[r].parts, std::move(values));
    }
    if (!layer.save(utf8ShpPath)) return Outcome::error("写入 Shapefile 失败");
    std::string note;
    if (cut > 0) note = format("有 %zu 个属性值超过 254 字节，已在字符边界截断", cut);
    return Outcome::success(note, utf8ShpPath);
}

// --- Reading ---

std::optional<ShapeLayer> decodeShapefile(std::string_view shp, std::string_view dbf, std::string_view cpg) {
    if (shp.size() < kHeaderBytes || getBE32(shp, 0) != kFileCode) return std::nullopt;
    ShapeLayer layer;
    layer.shapeType = getLE32(shp, 32);
    layer.xMin = readLEDouble(shp, 36), layer.yMin = readLEDouble(shp, 44);
    layer.xMax = readLEDouble(shp, 52), layer.yMax = readLEDouble(shp, 60);

    size_t at = kHeaderBytes;
    while (shp.size() - at >= 8) {
        int32_t words = getBE32(shp, at + 4);
        if (words < 0) break;
        uint64_t bytes = 2 * uint64_t(words);
        if (bytes > shp.size() - at - 8 || bytes < 4) break;
        layer.shapes.push_back(decodeRecord(shp.substr(at + 8, static_cast<size_t>(bytes))));
        at += 8 + static_cast<size_t>(bytes);
    }
    decodeDbf(DbfTable(dbf, cpg, layer.shapes.size()), layer);
    return layer;
}

namespace {

// Appends the features of every shape, shape i with the properties propsOf(i).
template <class PropsOf>
void appendShapes(const ShapeLayer& shapes, PropsOf&& propsOf, Layer& layer) {
    for (const FieldDef& f : shapes.fields) layer.noteField(f.name);

    for (size_t i = 0; i < shapes.shapes.size(); ++i) {
        const ShapeRecord& r = shapes.shapes[i];
        // One set for all the features this record yields (a multipoint's
        // points, a polygon's parts).
        const PropertySet props = propsOf(i);
        const size_t n = r.xs.size();
        if (isPointType(r.shapeType)) {
            if (n == 0) continue;
            Feature f = makeFeature("Point", props);
            f.lon = r.xs[0];
            f.lat = r.ys[0];
            layer.features.push_back(std::move(f));
        } else if (isMultiPointType(r.shapeType)) {
            for (size_t k = 0; k < n; ++k) {
                Feature f = makeFeature("Point", props);
                f.lon = r.xs[k];
                f.lat = r.ys[k];
                layer.features.push_back(std::move(f));
            }
        } else if (isPolyType(r.shapeType)) {
            Rings parts = recordParts(r);
            // A polygon record's inner rings are holes of its outer rings;
            // a line's parts stay apart.
            if (isPolygonType(r.shapeType)) parts = assemblePolygons(parts);
            for (auto& ring : parts) {
                Feature f = makeFeature("Polygon", props);
                f.ring = std::move(ring);
                layer.features.push_back(std::move(f));
            }
        }
    }
}

}  // namespace

void appendShapeLayer(const ShapeLayer& shapes, Layer& layer) {
    RecordProperties properties(shapes.fields);
    appendShapes(
        shapes,
        [&](size_t i) { return i < shapes.records.size() ? properties.of(shapes.records[i].values) : PropertySet(); },
        layer);
}

Outcome appendShapefile(std::string_view shp, std::string_view dbf, std::string_view cpg, Layer& layer) {
    auto shapes = decodeShapefile(shp, {});
    if (!shapes) return Outcome::error(kCannotOpenShapefile);
    const DbfTable table(dbf, cpg, shapes->shapes.size());
    if (table.tooLarge()) return Outcome::error(kLayerFileTooLarge);
    shapes->fields = table.fields();
    RecordProperties properties(shapes->fields);
    std::vector<std::string> values;
    appendShapes(
        *shapes,
        [&](size_t i) {
            if (i >= table.records()) return PropertySet();
            table.values(i, values);
            return properties.of(values);
        },
        layer);
    return Outcome::success();
}

std::string readCodePageFile(const std::string& utf8ShpPath) {
    // A code page name is a few bytes; anything larger is no .cpg.
    auto cpg = readFileBytesLimited(siblingPath(utf8ShpPath, "cpg"), 256, nullptr);
    return cpg ? *cpg : std::string();
}

Outcome readShapefile(const std::string& utf8ShpPath, Layer& layer) {
    auto shp = readFileBytes(utf8ShpPath);
    if (!shp) return Outcome::error(kCannotOpenShapefile);
    auto dbf = readFileBytes(siblingPath(utf8ShpPath, "dbf"));
    return appendShapefile(*shp, dbf ? std::string_view(*dbf) : std::string_view(), readCodePageFile(utf8ShpPath),
                           layer);
}

}  // namespace kit
