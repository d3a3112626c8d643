#include <gtest/gtest.h>

#include "core/columns.h"
#include "core/file_io.h"
#include "core/table.h"
#include "layers/wkt_layer.h"

namespace {

kit::Table tableOf(std::string text) {
    kit::Table t;
    EXPECT_TRUE(kit::parseTable(std::move(text), t));
    return t;
}

const char* kHead = "{\n  \"type\": \"FeatureCollection\",\n  \"features\": [\n";
const char* kFeatureHead = "    {\n      \"type\": \"Feature\",\n      \"geometry\": {\n        ";
const char* kPropsHead = "\n      },\n      \"properties\": {\n";
const char* kFeatureTail = "\n      }\n    }";
const char* kTail = "  ]\n}";

}  // namespace

TEST(GeometryColumn, NameBeatsContentAndCandidateOrderBeatsColumnOrder) {
    // "geom" is the first candidate, so the_geom wins over a column whose
    // cells look like WKT and over one whose name holds a later candidate.
    EXPECT_EQ(kit::detectGeometryColumn(tableOf("loc\tpoint_name\tthe_geom\nPOINT (1 2)\ta\tx\n")), 2);
    EXPECT_EQ(kit::detectGeometryColumn(tableOf("id\tWKT_TEXT\n1\tPOINT (1 2)\n")), 1);
    EXPECT_EQ(kit::detectGeometryColumn(tableOf("id\tSHAPE\tPolygon_Name\n1\t\t\n")), 1);
}

TEST(GeometryColumn, ContentLooksAtTheFirstFiveRowsOnly) {
    EXPECT_EQ(kit::detectGeometryColumn(tableOf("id\tlocation\n1\t\n2\tpolygon ((0 0, 1 1, 0 0))\n")), 1);
    EXPECT_EQ(kit::detectGeometryColumn(tableOf("a\tb\n1\tmultipoint ((1 2))\n")), 1);
    EXPECT_EQ(kit::detectGeometryColumn(tableOf("a\tb\n1\t\n2\t\n3\t\n4\t\n5\t\n6\tPOINT (1 2)\n")), kit::kNoColumn);
    // Leading blanks are skipped, as the conversion skips them; a short row
    // simply lacks the cell.
    EXPECT_EQ(kit::detectGeometryColumn(tableOf("a\tb\n1\t POINT (1 2)\n2\n")), 1);
    EXPECT_EQ(kit::detectGeometryColumn(tableOf("a\tb\n1\tGeometryCollection (POINT (1 2))\n")), 1);
    EXPECT_EQ(kit::detectGeometryColumn(tableOf("a\tb\n1\tx\n2\n")), kit::kNoColumn);
}

TEST(WktToGeometry, Points) {
    const std::string expected = "\"type\": \"Point\", \"coordinates\": [116.30000000, 39.90000000]";
    EXPECT_EQ(kit::wktToGeometry("POINT (116.3 39.9)"), expected);
    EXPECT_EQ(kit::wktToGeometry("point(116.3 39.9)"), expected);
    EXPECT_EQ(kit::wktToGeometry("Point (116.3,39.9)"), expected);  // no space: split at the comma
    EXPECT_EQ(kit::wktToGeometry("POINT Z (116.3 39.9 50)"), "\"type\": \"Point\", \"coordinates\": "
                                                            "[116.30000000, 39.90000000]");
    // Unreadable numbers, a missing separator or NaN give (0, 0).
    const std::string zero = "\"type\": \"Point\", \"coordinates\": [0.00000000, 0.00000000]";
    EXPECT_EQ(kit::wktToGeometry("POINT (abc 39.9)"), zero);
    EXPECT_EQ(kit::wktToGeometry("POINT (116.3)"), zero);
    EXPECT_EQ(kit::wktToGeometry("POINT (nan 1)"), zero);
}

TEST(WktToGeometry, LineStringReadsEveryPosition) {
    EXPECT_EQ(kit::wktToGeometry("LINESTRING (116.30 39.90, 116.31 39.91,116.32 39.905)"),
              "\"type\": \"LineString\", \"coordinates\": [[116.30000000, 39.90000000], "
              "[116.31000000, 39.91000000], [116.32000000, 39.90500000]]");
}

TEST(WktToGeometry, PolygonKeepsItsRingAsWritten) {
    // Not closed in the WKT: not closed in the output either.
    EXPECT_EQ(kit::wktToGeometry("POLYGON ((0 0, 1 0, 1 1))"),
              "\"type\": \"Polygon\", \"coordinates\": [[[0.00000000, 0.00000000], [1.00000000, 0.00000000], "
              "[1.00000000, 1.00000000]]]");
}

TEST(WktToGeometry, PolygonHolesBecomeRingsOfTheirOwn) {
    EXPECT_EQ(kit::wktToGeometry("POLYGON ((0 0, 4 0, 4 4, 0 0), (1 1, 2 1, 2 2, 1 1),(3 3, 3.5 3, 3 3))"),
              "\"type\": \"Polygon\", \"coordinates\": ["
              "[[0.00000000, 0.00000000], [4.00000000, 0.00000000], [4.00000000, 4.00000000], "
              "[0.00000000, 0.00000000]], "
              "[[1.00000000, 1.00000000], [2.00000000, 1.00000000], [2.00000000, 2.00000000], "
              "[1.00000000, 1.00000000]], "
              "[[3.00000000, 3.00000000], [3.50000000, 3.00000000], [3.00000000, 3.00000000]]]");
}

TEST(WktToGeometry, MultiTypesCollectionsBlanksAndDimensions) {
    const std::string p12 = "[1.00000000, 2.00000000]", p34 = "[3.00000000, 4.00000000]",
                      p00 = "[0.00000000, 0.00000000]", p10 = "[1.00000000, 0.00000000]",
                      p11 = "[1.00000000, 1.00000000]";
    const std::string square = "[[" + p00 + ", " + p10 + ", " + p11 + ", " + p00 + "]]";
    struct Case {
        const char* wkt;
        std::string type, coordinates;
    } cases[] = {
        {"  POINT (1 2)\t ", "Point", p12},
        {"point z (1 2 3)", "Point", p12},
        {"POINTZM(1 2 3 4)", "Point", p12},
        {"POINT M (1 2 9)", "Point", p12},
        {"MULTIPOINT ((1 2), (3 4))", "MultiPoint", "[" + p12 + ", " + p34 + "]"},
        {"MultiPoint (1 2, 3 4)", "MultiPoint", "[" + p12 + ", " + p34 + "]"},
        {"MULTILINESTRING Z ((1 2 0, 3 4 0), (0 0 1, 1 1 1))", "MultiLineString",
         "[[" + p12 + ", " + p34 + "], [" + p00 + ", " + p11 + "]]"},
        {"MULTIPOLYGON (((0 0, 1 0, 1 1, 0 0)), ((0 0, 1 0, 1 1, 0 0), (0 0, 1 0, 1 1, 0 0)))", "MultiPolygon",
         "[" + square + ", [[" + p00 + ", " + p10 + ", " + p11 + ", " + p00 + "], [" + p00 + ", " + p10 + ", " +
             p11 + ", " + p00 + "]]]"},
        {"GEOMETRYCOLLECTION (POINT (1 2), MULTIPOINT ((3 4)))", "MultiPoint", "[" + p12 + ", " + p34 + "]"},
        {"geometrycollection(POLYGON ((0 0, 1 0, 1 1, 0 0)))", "MultiPolygon", "[" + square + "]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kit::wktToGeometry(c.wkt), "\"type\": \"" + c.type + "\", \"coordinates\": " + c.coordinates)
            << c.wkt;
}

TEST(WktToGeometry, UnsupportedGeometriesGiveNothing) {
    for (const char* wkt : {"POINT EMPTY", "MULTIPOLYGON EMPTY", "GEOMETRYCOLLECTION (POINT (1 2), LINESTRING (0 0, 1 1))",
                            "GEOMETRYCOLLECTION (GEOMETRYCOLLECTION (POINT (1 2)))", "POINT )1 2(",
                            "POLYGON (0 0, 1 1)", "MULTIPOLYGON ((0 0, 1 1))", "POINT (1 2) x", "CIRCLE (1 2)",
                            "MULTIPOINT ((1 2)", "POINT ((((1 2))))", ""})
        EXPECT_EQ(kit::wktToGeometry(wkt), "") << wkt;
}

TEST(WktLayer, Warnings) {
    kit::Table t = tableOf("id\tgeom\n1\tPOINT (1 2)\n");
    EXPECT_EQ(kit::runWktLayer(nullptr, std::string("geom")).message, "请先获取数据");
    kit::Outcome o = kit::runWktLayer(&t, std::nullopt);
    EXPECT_EQ(o.status, kit::Status::Warning);
    EXPECT_EQ(o.message, "请选择 Geometry 列");
}

TEST(WktLayer, WholeTextWithPropertiesInTableOrderAndSkippedRows) {
    // Columns in table order, a number, an escape-worthy value, a non-ASCII
    // key, a duplicate header (renamed, both cells kept), an unreadable row
    // in the middle and an empty geometry cell last.
    kit::Table t = tableOf(
        "名称\tz\tgeom\ta\tZ\n"
        "站\"A\"\t1\tPOINT (1 2)\t12.50\t2\n"
        "x\t1\tMULTIPOINT ((1 2)\t\t\n"
        "B\t1\tpoint(3 4)\n"
        "C\t1\t\t\t\n");
    kit::Outcome o = kit::runWktLayer(&t, std::string("geom"));
    ASSERT_TRUE(o.ok());
    EXPECT_EQ(o.message, "跳过 2 行（几何为空或无法识别）：第 2, 4 行");
    const std::string expected =
        std::string(kHead) + kFeatureHead + "\"type\": \"Point\", \"coordinates\": [1.00000000, 2.00000000]" +
        kPropsHead + "        \"名称\": \"站\\\"A\\\"\",\n        \"z\": \"1\",\n        \"a\": \"12.50\",\n" +
        "        \"Z_1\": \"2\"" + kFeatureTail + ",\n" + kFeatureHead +
        "\"type\": \"Point\", \"coordinates\": [3.00000000, 4.00000000]" + kPropsHead +
        "        \"名称\": \"B\",\n        \"z\": \"1\"" + kFeatureTail + "\n" + kTail;
    EXPECT_EQ(o.text, expected);
}

TEST(WktLayer, SkippedRowsNoteListsTheFirstTen) {
    EXPECT_EQ(kit::skippedRowsNote(0, {}), "");
    EXPECT_EQ(kit::skippedRowsNote(12, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
              "跳过 12 行（几何为空或无法识别）：第 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, … 行");
}

TEST(WktLayer, NoReadableGeometryGivesAnEmptyCollection) {
    kit::Table t = tableOf("id\tgeom\n1\tMULTIPOINT EMPTY\n");
    EXPECT_EQ(kit::runWktLayer(&t, std::string("geom")).text, std::string(kHead) + kTail);
}

TEST(WktLayer, FixtureTable) {
    auto bytes = kit::readFileBytes(std::string(KIT_FIXTURES) + "/wkt_table.tsv");
    ASSERT_TRUE(bytes);
    kit::Table t = tableOf(*bytes);
    int geo = kit::detectGeometryColumn(t);
    ASSERT_EQ(geo, 2);
    kit::Outcome o = kit::runWktLayer(&t, std::string(t.headers[geo]));
    ASSERT_TRUE(o.ok());
    // Point, line, polygon, the polygon with a hole and the multipolygon; the
    // empty row is reported.
    size_t features = 0;
    for (size_t p = 0; (p = o.text.find("\"type\": \"Feature\"", p)) != std::string::npos; ++p) ++features;
    EXPECT_EQ(features, 5u);
    EXPECT_NE(o.text.find("\"type\": \"MultiPolygon\""), std::string::npos);
    EXPECT_EQ(o.message, "跳过 1 行（几何为空或无法识别）：第 6 行");
    EXPECT_NE(o.text.find("\"name\": \"有洞\""), std::string::npos);
    EXPECT_EQ(o.text.find("[0.00000000, 0.00000000]"), std::string::npos);
    EXPECT_NE(o.text.find("[116.40000000, 39.90000000]], [[116.41000000, 39.91000000]"), std::string::npos);
}
