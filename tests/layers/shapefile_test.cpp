#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>

#include "core/file_io.h"
#include "layers/geojson_writer.h"
#include "layers/shapefile.h"
#include "layer_test_util.h"

using kit::Layer;
using kit::Position;

namespace {

int32_t be32(const std::string& s, size_t at) {
    return static_cast<int32_t>(uint32_t(uint8_t(s[at])) << 24 | uint32_t(uint8_t(s[at + 1])) << 16 |
                                uint32_t(uint8_t(s[at + 2])) << 8 | uint32_t(uint8_t(s[at + 3])));
}
int32_t le32(const std::string& s, size_t at) {
    return static_cast<int32_t>(uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
                                uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24);
}
int le16(const std::string& s, size_t at) { return uint8_t(s[at]) | uint8_t(s[at + 1]) << 8; }
double leDouble(const std::string& s, size_t at) {
    uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = u << 8 | uint8_t(s[at + i]);
    return std::bit_cast<double>(u);
}

void putBE(std::string& s, int32_t v) {
    for (int i = 3; i >= 0; --i) s.push_back(static_cast<char>(uint32_t(v) >> (8 * i)));
}
void putLE(std::string& s, int32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(uint32_t(v) >> (8 * i)));
}
void putD(std::string& s, double d) {
    uint64_t u = std::bit_cast<uint64_t>(d);
    for (int i = 0; i < 8; ++i) s.push_back(static_cast<char>(u >> (8 * i)));
}

// A .shp header followed by the given raw records.
std::string shpWith(const std::string& records, int32_t type = 5) {
    std::string s;
    putBE(s, 9994);
    s.append(20, '\0');
    putBE(s, static_cast<int32_t>((100 + records.size()) / 2));
    putLE(s, 1000);
    putLE(s, type);
    s.append(64, '\0');
    return s + records;
}

// One record: header with the given word count (or the true one) and content.
std::string record(int32_t number, const std::string& content, int32_t words = -1) {
    std::string r;
    putBE(r, number);
    putBE(r, words == -1 ? static_cast<int32_t>(content.size() / 2) : words);
    return r + content;
}

std::string polyContent(int32_t type, std::vector<int32_t> parts, std::vector<Position> pts,
                        int32_t declaredParts = -1, int32_t declaredPoints = -1) {
    std::string c;
    putLE(c, type);
    c.append(32, '\0');
    putLE(c, declaredParts == -1 ? static_cast<int32_t>(parts.size()) : declaredParts);
    putLE(c, declaredPoints == -1 ? static_cast<int32_t>(pts.size()) : declaredPoints);
    for (int32_t p : parts) putLE(c, p);
    for (const Position& p : pts) putD(c, p.lon), putD(c, p.lat);
    return c;
}

std::string pointContent(double x, double y) {
    std::string c;
    putLE(c, 1);
    putD(c, x);
    putD(c, y);
    return c;
}

// A dBASE table with C fields of the given widths and the given records.
std::string dbfWith(const std::vector<std::pair<std::string, int>>& fields, const std::vector<std::string>& rows) {
    int recLen = 1;
    for (auto& f : fields) recLen += f.second;
    std::string d;
    d += '\x03';
    d += std::string("\x1a\x01\x01", 3);
    putLE(d, static_cast<int32_t>(rows.size()));
    d.push_back(static_cast<char>((32 * fields.size() + 33) & 0xFF));
    d.push_back(static_cast<char>((32 * fields.size() + 33) >> 8));
    d.push_back(static_cast<char>(recLen & 0xFF));
    d.push_back(static_cast<char>(recLen >> 8));
    d.append(20, '\0');
    for (auto& f : fields) {
        std::string desc(32, '\0');
        desc.replace(0, f.first.size(), f.first);
        desc[11] = 'C';
        desc[16] = static_cast<char>(f.second);
        d += desc;
    }
    d += '\x0D';
    for (auto& r : rows) {
        std::string rec = r;
        rec.resize(recLen, ' ');
        d += rec;
    }
    d += '\x1A';
    return d;
}

Layer decode(const std::string& shp, const std::string& dbf = {}) {
    Layer layer;
    auto decoded = kit::decodeShapefile(shp, dbf);
    EXPECT_TRUE(decoded.has_value());
    if (decoded) kit::appendShapeLayer(*decoded, layer);
    return layer;
}

std::string pointsGeoJson(int n) {
    kit::GeoJsonWriter w;
    for (int i = 0; i < n; ++i)
        w.addFeature("\"type\": \"Point\",\n        \"coordinates\": " + kit::formatPosition(116 + i, 39.5), {});
    return w.finish();
}

std::string polygonGeometry(const std::vector<Position>& ring) {
    std::string g = "\"type\": \"Polygon\",\n        \"coordinates\": [[";
    for (size_t i = 0; i < ring.size(); ++i) g += (i ? ", " : "") + kit::formatPosition(ring[i].lon, ring[i].lat);
    return g + "]]";
}

}  // namespace

TEST(WriteShapefile, ThreePointsExactLayout) {
    kit::test::ScratchDir dir;
    std::string path = dir.file("站点.shp");
    auto out = kit::writeShapefile(pointsGeoJson(3), path);
    ASSERT_TRUE(out.ok()) << out.message;
    std::string shp = kit::test::readAll(path), shx = kit::test::readAll(dir.file("站点.shx")),
                dbf = kit::test::readAll(dir.file("站点.dbf"));
    ASSERT_EQ(shp.size(), 184u);
    ASSERT_EQ(shx.size(), 124u);
    EXPECT_EQ(be32(shp, 0), 9994);
    EXPECT_EQ(be32(shp, 24), 92);
    EXPECT_EQ(le32(shp, 28), 1000);
    EXPECT_EQ(le32(shp, 32), 1);
    EXPECT_EQ(leDouble(shp, 36), 116);
    EXPECT_EQ(leDouble(shp, 44), 39.5);
    EXPECT_EQ(leDouble(shp, 52), 118);
    EXPECT_EQ(leDouble(shp, 60), 39.5);
    EXPECT_EQ(shp.substr(68, 32), std::string(32, '\0'));
    for (int i = 0; i < 3; ++i) {
        size_t at = 100 + 28 * i;
        EXPECT_EQ(be32(shp, at), i + 1);
        EXPECT_EQ(be32(shp, at + 4), 10);
        EXPECT_EQ(le32(shp, at + 8), 1);
        EXPECT_EQ(leDouble(shp, at + 12), 116 + i);
        EXPECT_EQ(be32(shx, 100 + 8 * i), 50 + 14 * i);
        EXPECT_EQ(be32(shx, 104 + 8 * i), 10);
    }
    EXPECT_EQ(shx.substr(0, 24), shp.substr(0, 24));
    EXPECT_EQ(be32(shx, 24), 62);
    EXPECT_EQ(shx.substr(28, 72), shp.substr(28, 72));

    EXPECT_EQ(dbf[0], 3);
    EXPECT_EQ(dbf.substr(1, 3), std::string("\x1a\x01\x01", 3));
    EXPECT_EQ(le32(dbf, 4), 3);
    EXPECT_EQ(le16(dbf, 8), 65);
    EXPECT_EQ(le16(dbf, 10), 11);
    EXPECT_EQ(dbf.substr(32, 11), std::string("ID\0\0\0\0\0\0\0\0\0", 11));
    EXPECT_EQ(dbf[43], 'N');
    EXPECT_EQ(dbf[48], 10);
    EXPECT_EQ(dbf[49], 0);
    EXPECT_EQ(dbf[64], 0x0D);
    EXPECT_EQ(dbf.substr(65), " 0          1          2         \x1A");
}

TEST(WriteShapefile, PolygonsClosedAndForeignFeaturesSkippedWithTheirIds) {
    kit::GeoJsonWriter w;
    w.addFeature(polygonGeometry({{0, 0}, {2, 0}, {2, 2}}), {});  // open ring
    w.addFeature("\"type\": \"Point\",\n        \"coordinates\": [5.0, 5.0]", {});
    w.addFeature(polygonGeometry({{1, 1}, {3, 1}, {3, 3}, {1, 1}}), {});
    w.addFeature(polygonGeometry({{1, 1}, {3, 1}}), {});
    w.addFeature("\"type\": \"MultiPolygon\",\n        \"coordinates\": [[[[9,9],[8,9],[9,8],[9,9]]]]", {});
    w.addFeature(polygonGeometry({{-1, -2}, {0, 0}, {1, -3}}), {});
    kit::test::ScratchDir dir;
    std::string path = dir.file("p.shp");
    ASSERT_TRUE(kit::writeShapefile(w.finish(), path).ok());
    auto decoded = kit::decodeShapefile(kit::test::readAll(path), kit::test::readAll(dir.file("p.dbf")));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->shapeType, 5);
    // The multipolygon is a polygon record too; the point and the ring of
    // two positions are left out, with their IDs.
    ASSERT_EQ(decoded->shapes.size(), 4u);
    // Closed, and turned clockwise as an outer ring must be.
    EXPECT_EQ(decoded->shapes[0].xs, (std::vector<double>{0, 2, 2, 0}));
    EXPECT_EQ(decoded->shapes[0].ys, (std::vector<double>{0, 2, 0, 0}));
    EXPECT_EQ(decoded->shapes[0].partStarts, (std::vector<int32_t>{0}));
    EXPECT_EQ(decoded->shapes[1].xs.size(), 4u);
    EXPECT_EQ(decoded->shapes[2].xs, (std::vector<double>{9, 9, 8, 9}));
    EXPECT_EQ(decoded->shapes[3].xMin, -1);
    EXPECT_EQ(decoded->shapes[3].yMin, -3);
    EXPECT_EQ(decoded->shapes[3].yMax, 0);
    EXPECT_EQ(decoded->xMin, -1);
    EXPECT_EQ(decoded->yMax, 9);
    ASSERT_EQ(decoded->records.size(), 4u);
    EXPECT_EQ(decoded->records[0].values[0], "0");
    EXPECT_EQ(decoded->records[1].values[0], "2");
    EXPECT_EQ(decoded->records[2].values[0], "4");
    EXPECT_EQ(decoded->records[3].values[0], "5");
}

TEST(WriteShapefile, PointLayerLeavesOutOtherGeometries) {
    kit::GeoJsonWriter w;
    w.addFeature("\"type\": \"Point\",\n        \"coordinates\": [1.0, 2.0]", {});
    w.addFeature(polygonGeometry({{0, 0}, {2, 0}, {2, 2}}), {});
    w.addFeature("\"type\": \"Point\",\n        \"coordinates\": [x, 4.0]", {});
    kit::test::ScratchDir dir;
    ASSERT_TRUE(kit::writeShapefile(w.finish(), dir.file("q.shp")).ok());
    auto decoded = kit::decodeShapefile(kit::test::readAll(dir.file("q.shp")), kit::test::readAll(dir.file("q.dbf")));
    ASSERT_TRUE(decoded);
    // A point whose number cannot be read is left out rather than put at 0.
    ASSERT_EQ(decoded->shapes.size(), 1u);
    EXPECT_EQ(decoded->shapes[0].xs[0], 1);
    EXPECT_EQ(decoded->records[0].values[0], "0");
}

TEST(WriteShapefile, RefusalsAndWriteFailure) {
    kit::test::ScratchDir dir;
    auto none = kit::writeShapefile("{\"features\": []}", dir.file("a.shp"));
    EXPECT_EQ(none.status, kit::Status::Error);
    EXPECT_EQ(none.message, "GeoJSON 中未找到要素");
    kit::GeoJsonWriter w;
    w.addFeature("\"type\": \"GeometryCollection\", \"coordinates\": [[0,0],[1,1]]", {});
    w.addFeature("\"type\": \"Point\", \"coordinates\": [0,0]", {});
    auto collection = kit::writeShapefile(w.finish(), dir.file("b.shp"));
    EXPECT_EQ(collection.message, "不支持的几何类型，仅支持 Point 和 Polygon");
    EXPECT_FALSE(kit::fileExists(dir.file("b.shp")));
    auto untyped = kit::writeShapefile("{\"type\":\"Feature\",\"coordinates\":[1,2]}", dir.file("c.shp"));
    EXPECT_EQ(untyped.message, "不支持的几何类型，仅支持 Point 和 Polygon");
    auto fail = kit::writeShapefile(pointsGeoJson(1), dir.file("no/such/dir.shp"));
    EXPECT_EQ(fail.message, "写入 Shapefile 失败");
}

TEST(WriteShapefile, SetIncompleteIsAFailure) {
    kit::test::ScratchDir dir;
    // A folder where the .dbf should go: the .shp and .shx are written, the
    // table is not, and the save must say so.
    ASSERT_TRUE(kit::createDirectories(dir.file("s.dbf")));
    auto out = kit::writeShapefile(pointsGeoJson(2), dir.file("s.shp"));
    EXPECT_EQ(out.status, kit::Status::Error);
    EXPECT_EQ(out.message, "写入 Shapefile 失败");
}

TEST(ShapeLayer, FieldsAndValuesCutToTheirWidths) {
    kit::ShapeLayer l;
    l.shapeType = 1;
    l.addField("a_very_long_name", 'C', 3, 0);
    l.addField("B", 'C', 2, 0);
    l.addPoint(1, 2, {"abcdef", "中"});
    l.addPoint(3, 4, {"x"});
    auto files = l.encode();
    EXPECT_EQ(files.dbf.substr(32, 11), std::string("a_very_lon\0", 11));
    size_t recs = 32 * 2 + 33;
    EXPECT_EQ(files.dbf.substr(recs), std::string(" abc\xE4\xB8") + " x    \x1A");
}

TEST(ReadShapefile, PartsBecomePolygonsAndAttributesFollow) {
    std::string recs = record(1, polyContent(5, {0, 4}, {{0, 0}, {4, 0}, {4, 4}, {0, 0}, {1, 1}, {2, 1}, {1, 2}, {1, 1}})) +
                       record(2, pointContent(7, 8)) + record(3, std::string("\0\0\0\0", 4));
    recs += record(4, polyContent(3, {0}, {{1, 1}, {2, 2}}));
    std::string dbf = dbfWith({{"NAME", 6}, {"V", 8}}, {std::string(" ") + "  ab  " + "  x     ", "   c", "   ", "*zz"});
    Layer layer = decode(shpWith(recs), dbf);
    ASSERT_EQ(layer.features.size(), 4u);
    EXPECT_EQ(layer.features[0].ring.size(), 4u);
    EXPECT_EQ(layer.features[1].ring, (std::vector<Position>{{1, 1}, {2, 1}, {1, 2}, {1, 1}}));
    EXPECT_EQ(layer.features[0].properties, layer.features[1].properties);
    // Leading spaces stay, trailing ones go.
    EXPECT_EQ(layer.features[0].properties.at("NAME"), "  ab");
    EXPECT_EQ(layer.features[0].properties.at("V"), "  x");
    EXPECT_EQ(layer.features[2].type, "Point");
    EXPECT_EQ(layer.features[2].lon, 7);
    EXPECT_EQ(layer.features[2].properties.at("NAME"), "  c");
    EXPECT_EQ(layer.features[2].properties.at("V"), "");
    // The null shape took the third row; a deleted row reads like another,
    // and a PolyLine becomes a polygon.
    EXPECT_EQ(layer.features[3].type, "Polygon");
    EXPECT_EQ(layer.features[3].properties.at("NAME"), "zz");
    EXPECT_EQ(layer.fieldNames, (std::vector<std::string>{"NAME", "V"}));
}

TEST(ReadShapefile, RefusesForeignOrShortFiles) {
    EXPECT_FALSE(kit::decodeShapefile("", ""));
    EXPECT_FALSE(kit::decodeShapefile(std::string(99, '\0'), ""));
    std::string shp = shpWith("");
    EXPECT_TRUE(kit::decodeShapefile(shp, ""));
    shp[3] = 0x0B;
    EXPECT_FALSE(kit::decodeShapefile(shp, ""));
    Layer layer;
    EXPECT_EQ(kit::readShapefile("/no/such/file.shp", layer).message, "无法打开 Shapefile");
}

TEST(ReadShapefile, TruncatedAndLyingRecordsEndTheReading) {
    std::string good = record(1, pointContent(1, 2));
    // A length past the end of the file.
    EXPECT_EQ(decode(shpWith(good + record(2, pointContent(3, 4), 500))).features.size(), 1u);
    // Negative and zero lengths.
    EXPECT_EQ(decode(shpWith(good + record(2, pointContent(3, 4), -10))).features.size(), 1u);
    EXPECT_EQ(decode(shpWith(good + record(2, "", 0) + good)).features.size(), 1u);
    // A file cut inside a record header or its content.
    std::string cut = shpWith(good + good);
    EXPECT_EQ(decode(cut.substr(0, cut.size() - 3)).features.size(), 1u);
    EXPECT_EQ(decode(cut.substr(0, 100 + 28 + 5)).features.size(), 1u);
    // A point record too short for its point is skipped, keeping its row.
    std::string shortPoint = record(1, pointContent(1, 2).substr(0, 12));
    Layer l = decode(shpWith(shortPoint + good), dbfWith({{"N", 2}}, {" a", " b"}));
    ASSERT_EQ(l.features.size(), 1u);
    EXPECT_EQ(l.features[0].properties.at("N"), "b");
}

TEST(ReadShapefile, HugeOrNegativeCountsReadOnlyWhatTheRecordHolds) {
    std::vector<Position> pts = {{0, 0}, {1, 0}, {1, 1}, {0, 0}};
    // Point count far beyond the record, part count beyond the limit.
    auto huge = decode(shpWith(record(1, polyContent(5, {0}, pts, -1, 9000000))));
    ASSERT_EQ(huge.features.size(), 1u);
    EXPECT_EQ(huge.features[0].ring.size(), 4u);
    auto manyParts = decode(shpWith(record(1, polyContent(5, {0}, pts, 100001, -1))));
    // 100001 parts count as none: the part index is then read as a point.
    ASSERT_EQ(manyParts.features.size(), 1u);
    auto negative = decode(shpWith(record(1, polyContent(5, {}, pts, -5, -1))));
    ASSERT_EQ(negative.features.size(), 1u);
    EXPECT_EQ(negative.features[0].ring.size(), 4u);
    auto badPoints = decode(shpWith(record(1, polyContent(5, {0}, pts, -1, -7))));
    EXPECT_TRUE(badPoints.features.empty());
    // Part indices out of range or out of order are clamped to the points
    // and to the start before them: parts never overlap, so a record of many
    // parts cannot copy its points once per part.
    auto wild = decode(shpWith(record(1, polyContent(5, {0, 99, -3, 2}, pts))));
    ASSERT_EQ(wild.features.size(), 1u);
    EXPECT_EQ(wild.features[0].ring.size(), 4u);  // 0 to 99, cut at the 4 points
    auto back = decode(shpWith(record(1, polyContent(5, {0, 2, 1}, pts))));
    ASSERT_EQ(back.features.size(), 2u);
    EXPECT_EQ(back.features[0].ring, (std::vector<Position>{{0, 0}, {1, 0}}));
    EXPECT_EQ(back.features[1].ring, (std::vector<Position>{{1, 1}, {0, 0}}));  // 1 raised to 2
    std::vector<int32_t> zigzag;
    for (int i = 0; i < 1000; ++i) zigzag.push_back(i % 2 ? 4 : 0);
    auto many = decode(shpWith(record(1, polyContent(5, zigzag, pts))));
    ASSERT_EQ(many.features.size(), 1u);
    // Declared parts whose indices do not fit in the record.
    auto cutParts = decode(shpWith(record(1, polyContent(5, {}, {}, 50, 3))));
    EXPECT_TRUE(cutParts.features.empty());
    // A multipoint that claims more points than it holds.
    std::string mp;
    putLE(mp, 8);
    mp.append(32, '\0');
    putLE(mp, 2147483647);
    putD(mp, 5), putD(mp, 6);
    auto multi = decode(shpWith(record(1, mp)));
    ASSERT_EQ(multi.features.size(), 0u);  // 2^31-1 is above the limit: none
    std::string mp2 = mp;
    mp2.replace(36, 4, std::string("\x03\0\0\0", 4));
    auto multi2 = decode(shpWith(record(1, mp2)));
    ASSERT_EQ(multi2.features.size(), 1u);
    EXPECT_EQ(multi2.features[0].lon, 5);
}

TEST(ReadShapefile, DbfWhoseHeaderLies) {
    std::string shp = shpWith(record(1, pointContent(1, 2)) + record(2, pointContent(3, 4)));
    std::string dbf = dbfWith({{"NAME", 4}}, {" abc", " de"});
    auto withDbf = [&](std::string d) { return decode(shp, d); };

    std::string hugeCount = dbf;
    hugeCount.replace(4, 4, std::string("\xff\xff\xff\x7f", 4));
    auto a = withDbf(hugeCount);
    EXPECT_EQ(a.features[1].properties.at("NAME"), "de");

    std::string negCount = dbf;
    negCount.replace(4, 4, std::string("\xff\xff\xff\xff", 4));
    EXPECT_TRUE(withDbf(negCount).features[0].properties.empty());

    std::string zeroLen = hugeCount;
    zeroLen[10] = 0, zeroLen[11] = 0;
    EXPECT_TRUE(withDbf(zeroLen).features[0].properties.empty());

    std::string longHeader = dbf;
    longHeader[8] = static_cast<char>(0xff), longHeader[9] = static_cast<char>(0xff);
    auto b = withDbf(longHeader);
    EXPECT_EQ(b.fieldNames, (std::vector<std::string>{"NAME"}));  // the list ends at the terminator
    EXPECT_TRUE(b.features[0].properties.empty());

    std::string shortHeader = dbf;
    shortHeader[8] = 5, shortHeader[9] = 0;
    EXPECT_TRUE(withDbf(shortHeader).fieldNames.empty());

    std::string wideField = dbf;
    wideField[48] = static_cast<char>(200);  // wider than the record
    auto c = withDbf(wideField);
    EXPECT_EQ(c.fieldNames, (std::vector<std::string>{"NAME"}));
    EXPECT_TRUE(c.features[0].properties.empty());

    EXPECT_TRUE(withDbf(dbf.substr(0, 31)).fieldNames.empty());
    auto cut = withDbf(dbf.substr(0, dbf.size() - 4));
    EXPECT_EQ(cut.features[0].properties.at("NAME"), "abc");
    EXPECT_TRUE(cut.features[1].properties.empty());
}

TEST(ReadShapefile, WithoutDbfAndFromDisk) {
    kit::test::ScratchDir dir;
    std::string path = dir.file("无表.shp");
    ASSERT_TRUE(kit::writeFileBytes(path, shpWith(record(1, pointContent(1, 2)))));
    Layer layer;
    ASSERT_TRUE(kit::readShapefile(path, layer).ok());
    ASSERT_EQ(layer.features.size(), 1u);
    EXPECT_TRUE(layer.features[0].properties.empty());
    EXPECT_TRUE(layer.fieldNames.empty());
}

TEST(ShapefileRoundTrip, WrittenSetReadsBack) {
    kit::GeoJsonWriter w;
    w.addFeature(polygonGeometry({{116.1, 39.1}, {116.2, 39.1}, {116.2, 39.2}, {116.1, 39.1}}), {{"名", "x", true}});
    w.addFeature(polygonGeometry({{117, 40}, {117.5, 40}, {117.5, 40.5}}), {});
    kit::test::ScratchDir dir;
    std::string path = dir.file("回环.shp");
    ASSERT_TRUE(kit::writeShapefile(w.finish(), path).ok());
    Layer layer;
    ASSERT_TRUE(kit::readShapefile(path, layer).ok());
    ASSERT_EQ(layer.features.size(), 2u);
    // The counter-clockwise ring comes back clockwise, as outer rings are stored.
    EXPECT_EQ(layer.features[0].ring[1], (Position{116.2, 39.2}));
    EXPECT_EQ(layer.features[1].ring.size(), 4u);
    EXPECT_EQ(layer.features[1].properties.at("ID"), "1");
    EXPECT_EQ(layer.fieldNames, (std::vector<std::string>{"ID", "名"}));
    EXPECT_EQ(layer.features[0].properties.at("名"), "x");
}

TEST(ShapefileFixtures, RealFilesGiveWhatTheRulesSay) {
    const std::string fx = std::string(KIT_FIXTURES) + "/shapefiles/";
    Layer lga;
    ASSERT_TRUE(kit::readShapefile(fx + "LGA_2013_AUST.shp", lga).ok());
    // Twelve null shapes and one polygon of 21 parts.
    ASSERT_EQ(lga.features.size(), 21u);
    size_t points = 0;
    for (const auto& f : lga.features) {
        EXPECT_EQ(f.type, "Polygon");
        EXPECT_EQ(f.properties.at("LGA_NAME13"), "Kangaroo Island (DC)");
        EXPECT_EQ(f.ring.front(), f.ring.back());
        points += f.ring.size();
    }
    EXPECT_EQ(points, 13574u);
    EXPECT_EQ(lga.fieldNames.size(), 5u);
    EXPECT_EQ(lga.fieldNames[0], "LGA_CODE13");

    // PolyLineZ of two parts: two polygons, Z and M ignored.
    Layer line;
    ASSERT_TRUE(kit::readShapefile(fx + "export_polylinez.shp", line).ok());
    ASSERT_EQ(line.features.size(), 2u);
    EXPECT_EQ(line.features[0].type, "Polygon");
    EXPECT_EQ(line.features[0].ring, (std::vector<Position>{{-120, 45}, {-119, 44}, {-118, 43}}));
    EXPECT_EQ(line.features[1].ring, (std::vector<Position>{{-115, 40}, {-114, 39}, {-113, 38}}));
    EXPECT_EQ(line.features[1].properties.at("attr"), "polyline_value");

    // MultiPointZ of three points: three point features, same attributes.
    Layer multi;
    ASSERT_TRUE(kit::readShapefile(fx + "export_multipointz.shp", multi).ok());
    ASSERT_EQ(multi.features.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(multi.features[i].type, "Point");
        EXPECT_EQ(multi.features[i].lon, -123.0 + i);
        EXPECT_EQ(multi.features[i].lat, 48.0 - i);
        EXPECT_EQ(multi.features[i].properties.at("attr"), "multipoint_value");
    }

    Layer utf;
    ASSERT_TRUE(kit::readShapefile(fx + "utf.shp", utf).ok());
    ASSERT_EQ(utf.features.size(), 2u);
    EXPECT_EQ(utf.features[0].properties.at("field"), "\xF0\x9F\x92\xA9");
    EXPECT_EQ(utf.features[1].properties.at("field"), "Hněvošický háj");
}

// Every prefix and a few thousand corrupted copies of real files decode
// without reading outside their buffers (the sanitizer build checks that) and
// never yield more than the whole file does.
TEST(ReadShapefile, CutAndCorruptedRealFilesStayInBounds) {
    const std::string fx = std::string(KIT_FIXTURES) + "/";
    for (const char* stem : {"zones", "shapefiles/export_polylinez", "shapefiles/utf"}) {
        std::string shp = kit::test::readAll(fx + stem + ".shp"), dbf = kit::test::readAll(fx + stem + ".dbf");
        ASSERT_FALSE(shp.empty()) << stem;
        const size_t whole = decode(shp, dbf).features.size();
        for (size_t n = 100; n <= shp.size(); ++n)
            EXPECT_LE(decode(shp.substr(0, n), dbf).features.size(), whole) << stem << " cut at " << n;
        for (size_t n = 0; n <= dbf.size(); ++n) EXPECT_EQ(decode(shp, dbf.substr(0, n)).features.size(), whole);

        uint32_t seed = 12345;
        auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
        for (int round = 0; round < 2000; ++round) {
            std::string s = shp, d = dbf;
            for (int k = 0; k < 4; ++k) {
                s[100 + next() % (s.size() - 100)] = static_cast<char>(next() >> 24);
                d[next() % d.size()] = static_cast<char>(next() >> 24);
            }
            auto decoded = kit::decodeShapefile(s, d);
            ASSERT_TRUE(decoded);
            Layer layer;
            kit::appendShapeLayer(*decoded, layer);
            for (const auto& f : layer.features) EXPECT_LE(f.ring.size(), shp.size() / 16);
        }
    }
}
