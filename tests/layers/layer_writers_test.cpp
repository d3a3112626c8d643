// What the writers add to a generated layer: GDAL-compatible DBF field names
// and column types, geometries read whole (multi types, holes), properties in
// written order, and Shapefile records of several parts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "layers/dbf_fields.h"
#include "layers/geojson_geometry.h"
#include "layers/geojson_writer.h"
#include "layers/layer_file.h"
#include "layers/row_properties.h"
#include "layers/shapefile.h"
#include "core/table.h"
#include "core/text.h"
#include "layer_test_util.h"

namespace {

std::string feature(const std::string& type, const std::string& coordinates) {
    return "{\"type\": \"Feature\", \"geometry\": {\"type\": \"" + type + "\", \"coordinates\": " + coordinates +
           "}, \"properties\": {}}";
}

}  // namespace

TEST(DbfFieldName, CutAndRenamedAsGdalDoes) {
    // The names GDAL 3.6's Shapefile driver gave these keys, in this order,
    // after an "ID" field (non-ASCII ones cut at a character boundary instead
    // of inside one).
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"LongFieldName1", "LongFieldN"}, {"LongFieldName2", "LongFiel_1"}, {"LongFieldName3", "LongFiel_2"},
        {"row", "row"},                   {"row_1", "row_1"},               {"LongFieldName_1", "LongFiel_3"},
        {"LongFieldNameA", "LongFiel_4"}, {"LongFieldNameB", "LongFiel_5"}, {"LongFieldNameC", "LongFiel_6"},
        {"LongFieldNameD", "LongFiel_7"}, {"LongFieldNameE", "LongFiel_8"}, {"LongFieldNameF", "LongFiel_9"},
        {"LongFieldNameG", "LongFiel10"}, {"LongFieldNameH", "LongFiel11"}, {"longfieldnY", "longfiel12"},
        {"id", "id_1"},                   {"名称名称名称", "名称名"},        {"名称名称名称x", "名称_1"},
        {"abcdefghi名", "abcdefghi"},    {"", ""},
    };
    std::vector<std::string> taken{"ID"};
    for (const auto& [key, name] : cases) EXPECT_EQ(kit::dbfFieldName(key, taken), name) << key;
    // Past 99 the number grows and the start shrinks, where GDAL gives up.
    for (int i = 0; i < 100; ++i) kit::dbfFieldName("Repeated__Name", taken);
    EXPECT_EQ(kit::dbfFieldName("Repeated__Name", taken), "Repeate100");
}

TEST(DbfColumn, NumbersOnlyWhereEveryValueReadsBackAsItself) {
    struct Case {
        std::vector<std::string> values;
        char type;
        int width, decimals;
    } cases[] = {
        {{"1", "22", "-3"}, 'N', 2, 0},
        {{"1.5", "22", "0.25"}, 'N', 5, 2},
        {{"", "5", ""}, 'N', 1, 0},
        {{"123456789012345"}, 'N', 15, 0},
        {{"1234567890123456"}, 'C', 16, 0},  // beyond a double's digits
        {{"007", "1"}, 'C', 3, 0},           // leading zeros would be lost
        {{"1e5"}, 'C', 3, 0},
        {{"-0"}, 'C', 2, 0},
        {{"12.", "5"}, 'C', 3, 0},
        {{".5"}, 'C', 2, 0},
        {{"1", "x"}, 'C', 1, 0},
        {{}, 'C', 1, 0},
        {{std::string(300, 'a')}, 'C', 254, 0},
    };
    for (const Case& c : cases) {
        std::vector<const std::string*> values;
        for (const std::string& v : c.values) values.push_back(&v);
        values.push_back(nullptr);  // a feature without the key
        kit::FieldDef f = kit::dbfColumn("f", values);
        EXPECT_EQ(f.fieldType, c.type) << testing::PrintToString(c.values);
        EXPECT_EQ(f.width, c.width) << testing::PrintToString(c.values);
        EXPECT_EQ(f.decimals, c.decimals) << testing::PrintToString(c.values);
    }
}

TEST(Utf8Prefix, NeverSplitsACharacter) {
    EXPECT_EQ(kit::utf8Prefix("abc", 10), "abc");
    EXPECT_EQ(kit::utf8Prefix("名称", 5), "名");
    EXPECT_EQ(kit::utf8Prefix("名称", 6), "名称");
    EXPECT_EQ(kit::utf8Prefix("a😀b", 4), "a");
    EXPECT_EQ(kit::utf8Prefix("a😀b", 5), "a😀");
    // A character on bytes 252 to 254 is left out whole.
    EXPECT_EQ(kit::dbfText(std::string(252, 'x') + "长" + std::string(10, 'x')), std::string(252, 'x'));
}

TEST(ReadGeometryParts, EveryMemberPathAndPosition) {
    struct Case {
        std::string type, coordinates;
        kit::GeometryFamily family;
        bool multi;
        std::vector<size_t> memberStarts, pathStarts;
        size_t positions;
    } cases[] = {
        {"Point", "[1, 2, 3]", kit::GeometryFamily::Point, false, {0}, {0}, 1},
        {"MultiPoint", "[[1, 2], [3, 4]]", kit::GeometryFamily::Point, true, {0, 1}, {0, 1}, 2},
        {"LineString", "[[1, 2], [3, 4]]", kit::GeometryFamily::Line, false, {0}, {0}, 2},
        {"MultiLineString", "[[[1, 2], [3, 4]], [[5, 6], [7, 8], [9, 9]]]", kit::GeometryFamily::Line, true,
         {0, 1}, {0, 2}, 5},
        {"Polygon", "[[[0,0],[4,0],[4,4],[0,0]], [[1,1],[2,1],[1,2],[1,1]]]", kit::GeometryFamily::Polygon, false,
         {0}, {0, 4}, 8},
        {"MultiPolygon", "[[[[0,0],[4,0],[4,4],[0,0]], [[1,1],[2,1],[1,2],[1,1]]], [[[5,5],[6,5],[6,6],[5,5]]]]",
         kit::GeometryFamily::Polygon, true, {0, 2}, {0, 4, 8}, 12},
        // Not nested as the type says, unreadable numbers, other types.
        {"Point", "[[1, 2]]", kit::GeometryFamily::None, false, {}, {}, 0},
        {"Polygon", "[[0,0],[1,1]]", kit::GeometryFamily::None, false, {}, {}, 0},
        {"LineString", "[[1, x], [3, 4]]", kit::GeometryFamily::None, false, {}, {}, 0},
        {"MultiPoint", "[[1, 2], [3, 4]", kit::GeometryFamily::None, false, {}, {}, 0},
        {"GeometryCollection", "[[1, 2]]", kit::GeometryFamily::None, false, {}, {}, 0},
    };
    for (const Case& c : cases) {
        kit::GeometryParts g = kit::readGeometryParts(feature(c.type, c.coordinates));
        EXPECT_EQ(g.family, c.family) << c.type << " " << c.coordinates;
        EXPECT_EQ(g.multi, c.multi) << c.coordinates;
        EXPECT_EQ(g.memberStarts, c.memberStarts) << c.coordinates;
        EXPECT_EQ(g.pathStarts, c.pathStarts) << c.coordinates;
        EXPECT_EQ(g.positions.size(), c.positions) << c.coordinates;
    }
    auto hole = kit::readGeometryParts(feature("Polygon", "[[[0,0],[4,0],[4,4],[0,0]], [[1,1],[2,1],[1,2],[1,1]]]"));
    EXPECT_EQ(hole.positions[5], (kit::Position{2, 1}));
}

TEST(ReadPropertyList, WrittenOrderWithStringsUnescaped) {
    const std::string text =
        R"({"type": "Feature", "geometry": null, "properties": {"z": "a\"b\\c\n", "a": 12.50, "名": "\u7ad9\ud83d\ude00",
        "n": null, "t": true, "nested": {"k": [1, 2]}, "last": ""}})";
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"z", "a\"b\\c\n"}, {"a", "12.50"}, {"名", "站😀"}, {"n", ""}, {"t", "true"}, {"nested", "{\"k\": [1, 2]}"},
        {"last", ""}};
    EXPECT_EQ(kit::readPropertyList(text), expected);
    // What the generating tools write reads back as written.
    kit::GeoJsonWriter w;
    w.addFeature("\"type\": \"Point\", \"coordinates\": [1, 2]", {{"row", "0", false}, {"名\t称", "x\"\\", true}});
    EXPECT_EQ(kit::readPropertyList(w.finish()),
              (std::vector<std::pair<std::string, std::string>>{{"row", "0"}, {"名\t称", "x\"\\"}}));
    EXPECT_TRUE(kit::readPropertyList("{\"properties\": 5}").empty());
}

TEST(RowProperties, TableOrderUniqueKeysAndExclusions) {
    kit::Table t;
    t.headers = {"lon", "", "Row", "a", "a", "ROW_1"};
    t.addRow({"1", "e", "r", "x", "y", "z"});
    t.addRow({"2", "f"});
    kit::RowProperties cells(t, {"lon"}, {"row", "type"});
    EXPECT_EQ(cells.cellKeys(), (std::vector<std::string>{"field_2", "Row_1", "a", "a_1", "ROW_1_1"}));
    std::vector<kit::GeoJsonProperty> props = {{"row", "0", false}, {"type", "star", true}};
    cells.fill(0, props);
    ASSERT_EQ(props.size(), 7u);
    EXPECT_EQ(props[1].value, "star");
    EXPECT_EQ(props[3].key, "Row_1");
    EXPECT_EQ(props[6].value, "z");
    cells.fill(1, props);  // a short row keeps the cells it has
    ASSERT_EQ(props.size(), 3u);
    EXPECT_EQ(props[2].key, "field_2");
    EXPECT_EQ(props[2].value, "f");
}

// Remembering where each name's suffix search ended gives exactly the first
// free suffix the plain search finds, case ignored, whatever comes between.
TEST(RowProperties, RepeatedNamesTakeTheFirstFreeSuffix) {
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i) {
        static const char* kinds[] = {"a", "A", "a_2", "b", "a_1", "B_1", "a_7"};
        names.push_back(kinds[(i * 7 + i / 3) % 7]);
    }
    std::vector<std::string> plain;  // lower-cased keys taken so far
    kit::UsedKeys used;
    used.reserve("b");
    plain.push_back("b");
    for (const std::string& name : names) {
        std::string key = name;
        for (int n = 1; std::find(plain.begin(), plain.end(), kit::asciiLower(key)) != plain.end(); ++n)
            key = name + "_" + std::to_string(n);
        plain.push_back(kit::asciiLower(key));
        ASSERT_EQ(used.unique(name), key) << name;
    }
    kit::Table wide;  // 100 000 equal names: linear, not a search per name per name
    wide.headers = std::vector<std::string>(100000, "x");
    wide.addRow({"1"});
    EXPECT_EQ(kit::RowProperties(wide, {}, {}).cellKeys().back(), "x_99999");
}

TEST(WriteShapefile, MultiPartRecordsWithHolesTurnedAndFieldsTyped) {
    struct Case {
        std::vector<std::string> features;  // type, coordinates pairs
        int32_t shapeType;
        std::vector<std::vector<int32_t>> partStarts;
    } cases[] = {
        // Outer ring clockwise, hole counter-clockwise; both polygons in one record.
        {{"MultiPolygon", "[[[[0,0],[4,0],[4,4],[0,0]], [[1,1],[1,2],[2,1],[1,1]]], [[[5,5],[5,6],[6,6],[5,5]]]]",
          "Polygon", "[[[0,0],[0,1],[1,1]]]"},
         5,
         {{0, 4, 8}, {0}}},
        {{"MultiLineString", "[[[1,2],[3,4]], [[5,6],[7,8],[9,9]]]", "LineString", "[[0,0],[1,1]]"}, 3, {{0, 2}, {0}}},
        // One multipoint makes the layer a multipoint layer.
        {{"Point", "[1,2]", "MultiPoint", "[[3,4],[5,6]]"}, 8, {{}, {}}},
    };
    for (const Case& c : cases) {
        kit::GeoJsonWriter w;
        for (size_t i = 0; i < c.features.size(); i += 2)
            w.addFeature("\"type\": \"" + c.features[i] + "\", \"coordinates\": " + c.features[i + 1],
                         {{"名称", "站" + std::to_string(i), true}, {"n", std::to_string(i) + ".5", false}});
        kit::test::ScratchDir dir;
        ASSERT_TRUE(kit::writeShapefile(w.finish(), dir.file("m.shp")).ok()) << c.features[0];
        auto d = kit::decodeShapefile(kit::test::readAll(dir.file("m.shp")), kit::test::readAll(dir.file("m.dbf")));
        ASSERT_TRUE(d);
        EXPECT_EQ(d->shapeType, c.shapeType);
        ASSERT_EQ(d->shapes.size(), c.partStarts.size());
        for (size_t r = 0; r < d->shapes.size(); ++r) EXPECT_EQ(d->shapes[r].partStarts, c.partStarts[r]);
        ASSERT_EQ(d->fields.size(), 3u);
        EXPECT_EQ(d->fields[1].name, "名称");
        EXPECT_EQ(d->fields[1].fieldType, 'C');
        EXPECT_EQ(d->fields[2].fieldType, 'N');
        EXPECT_EQ(d->fields[2].decimals, 1);
        EXPECT_EQ(d->records[1].values, (std::vector<std::string>{"1", "站2", "2.5"}));
        EXPECT_EQ(kit::test::readAll(dir.file("m.prj")), kit::kWgs84Prj);
    }
    // The hole of the first case is counter-clockwise, its outer ring clockwise.
    kit::GeoJsonWriter w;
    w.addFeature("\"type\": \"Polygon\", \"coordinates\": [[[0,0],[4,0],[4,4],[0,0]], [[1,1],[1,2],[2,1],[1,1]]]",
                 {});
    kit::test::ScratchDir dir;
    ASSERT_TRUE(kit::writeShapefile(w.finish(), dir.file("h.shp")).ok());
    auto d = kit::decodeShapefile(kit::test::readAll(dir.file("h.shp")), {});
    ASSERT_TRUE(d);
    EXPECT_EQ(d->shapes[0].xs, (std::vector<double>{0, 4, 4, 0, 1, 2, 1, 1}));
    EXPECT_EQ(d->shapes[0].ys, (std::vector<double>{0, 4, 0, 0, 1, 1, 2, 1}));
}

TEST(WriteShapefile, LongValuesCutAtACharacterAndCounted) {
    std::string longText;
    for (int i = 0; i < 90; ++i) longText += "长";  // 270 bytes
    kit::GeoJsonWriter w;
    for (int i = 0; i < 3; ++i)
        w.addFeature("\"type\": \"Point\", \"coordinates\": [1, 2]", {{"t", i == 1 ? "short" : longText, true}});
    kit::test::ScratchDir dir;
    auto out = kit::writeShapefile(w.finish(), dir.file("l.shp"));
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(out.message, "有 2 个属性值超过 254 字节，已在字符边界截断");
    auto d = kit::decodeShapefile(kit::test::readAll(dir.file("l.shp")), kit::test::readAll(dir.file("l.dbf")));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->fields[1].width, 254);
    EXPECT_EQ(d->records[0].values[1], longText.substr(0, 252));
    EXPECT_EQ(d->records[1].values[1], "short");
}

TEST(SaveLayer, NotesFollowTheSuccessMessage) {
    std::string longText(300, 'x');
    kit::GeoJsonWriter w;
    w.addFeature("\"type\": \"Point\", \"coordinates\": [1, 2]", {{"t", longText, true}});
    const std::string text = w.finish();
    kit::test::ScratchDir dir;
    struct Case {
        const char* name;
        const char* runNote;
        std::string tail;
    } cases[] = {
        {"a.geojson", "", ""},
        {"b.geojson", "跳过 1 行", "\n跳过 1 行"},
        {"c.shp", "", "\n有 1 个属性值超过 254 字节，已在字符边界截断"},
        {"d.shp", "跳过 2 行", "\n有 1 个属性值超过 254 字节，已在字符边界截断\n跳过 2 行"},
        {"e.kml", "跳过 3 行", "\n跳过 3 行"},
    };
    for (const Case& c : cases) {
        auto out = kit::saveLayer(dir.file(c.name), text, 0, c.runNote);
        ASSERT_TRUE(out.ok()) << c.name;
        EXPECT_EQ(out.message, "创建完成！\n文件已保存到：" + dir.file(c.name) + c.tail) << c.name;
    }
}
