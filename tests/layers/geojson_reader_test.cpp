#include <gtest/gtest.h>

#include <string>

#include "layers/geojson_reader.h"
#include "layers/geojson_writer.h"
#include "layer_test_util.h"

using kit::Layer;
using kit::Position;

namespace {

Layer readText(std::string_view text) {
    Layer layer;
    kit::readGeoJson(text, layer);
    return layer;
}

std::vector<std::string_view> featureTexts(std::string_view text) {
    std::vector<std::string_view> out;
    for (auto [s, e] : kit::scanFeatures(text)) out.push_back(text.substr(s, e - s + 1));
    return out;
}

}  // namespace

TEST(ScanFeatures, FindsTypeFeatureMembersWhateverTheSpacing) {
    std::string text =
        "{\"features\":[{\"type\":\"Feature\",\"id\":1},"
        "{\"type\" :\t \"Feature\" , \"id\":2},"
        "{\"type\"\r\n  :\"Feature\", \"id\":3}]}";
    auto found = featureTexts(text);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0], "{\"type\":\"Feature\",\"id\":1}");
    EXPECT_EQ(found[1], "{\"type\" :\t \"Feature\" , \"id\":2}");
    EXPECT_EQ(found[2], "{\"type\"\r\n  :\"Feature\", \"id\":3}");
}

TEST(ScanFeatures, HiddenByLineBreakAfterColonOrOtherKey) {
    EXPECT_TRUE(kit::scanFeatures("{\"type\":\n\"Feature\"}").empty());
    EXPECT_TRUE(kit::scanFeatures("{\"kind\": \"Feature\"}").empty());
    EXPECT_TRUE(kit::scanFeatures("{\"xtype\": \"Feature\"}").empty());
    // A string value "Feature" is not a member on its own.
    EXPECT_TRUE(kit::scanFeatures("[\"Feature\", \"type\"]").empty());
    EXPECT_TRUE(kit::scanFeatures("").empty());
    EXPECT_TRUE(kit::scanFeatures("\"Feature\"").empty());
    EXPECT_TRUE(kit::scanFeatures(":\"Feature\"").empty());
}

TEST(ScanFeatures, TypeAfterLargeMembersAndBracesInsideStrings) {
    // The enclosing object is found across a nested geometry and strings
    // holding braces.
    std::string text =
        "[{\"geometry\":{\"coordinates\":[1,2]},\"properties\":{\"a\":\"}{\"},\"type\":\"Feature\"},"
        "{\"properties\":{\"b\":\"{\"},\"type\":\"Feature\"}]";
    auto found = featureTexts(text);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_TRUE(found[0].starts_with("{\"geometry\""));
    EXPECT_TRUE(found[0].ends_with("\"Feature\"}"));
    EXPECT_TRUE(found[1].starts_with("{\"properties\""));
    // The search goes on after a found feature, so a "Feature" inside it
    // does not produce a second object.
    EXPECT_EQ(kit::scanFeatures("{\"type\":\"Feature\",\"p\":{\"type\":\"Feature\"}}").size(), 1u);
}

TEST(ScanFeatures, UnbalancedInputSkipsOnlyTheBrokenObject) {
    // The first feature never closes its string, the second never its brace;
    // no read goes past the end and the search simply finds nothing more.
    EXPECT_TRUE(kit::scanFeatures("{\"type\":\"Feature\",\"a\":\"open").empty());
    EXPECT_TRUE(kit::scanFeatures("{\"type\":\"Feature\",\"a\":{").empty());
    // No opening brace at all before the member.
    EXPECT_TRUE(kit::scanFeatures("\"type\":\"Feature\"}").empty());
    // In a collection cut short, the closed feature is found and the cut one
    // skipped.
    auto found = featureTexts("{\"features\":[{\"type\":\"Feature\",\"id\":9}, {\"type\":\"Feature\"");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], "{\"type\":\"Feature\",\"id\":9}");
}

TEST(MatchBrace, StringAwareWithEscapes) {
    EXPECT_EQ(kit::matchBrace("{}", 0), 1u);
    EXPECT_EQ(kit::matchBrace("x{a{b}c}", 1), 7u);
    EXPECT_EQ(kit::matchBrace("{\"}\"}", 0), 4u);
    EXPECT_EQ(kit::matchBrace("{\"\\\"}\"}", 0), 6u);  // {"\"}"}
    EXPECT_FALSE(kit::matchBrace("{\"}", 0));
    EXPECT_FALSE(kit::matchBrace("{{}", 0));
    EXPECT_FALSE(kit::matchBrace("a{}", 0));
    EXPECT_FALSE(kit::matchBrace("{}", 2));
    EXPECT_FALSE(kit::matchBrace("{\"\\", 0));  // backslash as the last byte
}

TEST(ParseProperties, TypesOrderNullAndFieldNames) {
    std::string f = R"({"type":"Feature","properties":{"b": 1, "a": "x", "c": null},"geometry":{"type":"Point","coordinates":[1,2]}})";
    auto props = kit::parseProperties(f, 0, f.size() - 1);
    EXPECT_EQ(props, (std::map<std::string, std::string>{{"a", "x"}, {"b", "1"}, {"c", ""}}));
    Layer layer = readText(f);
    EXPECT_EQ(layer.fieldNames, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(ParseProperties, RawTextKeptAsWritten) {
    std::string f =
        R"({"properties":{"s": "say \"hi\"\\", "n": 12.50, "t":true, "u":"\u4e2d", "k\"q": 5, "d": 1, "d": 2}})";
    auto props = kit::parseProperties(f, 0, f.size() - 1);
    EXPECT_EQ(props["s"], R"(say \"hi\"\\)");
    EXPECT_EQ(props["n"], "12.50");
    EXPECT_EQ(props["t"], "true");
    EXPECT_EQ(props["u"], R"(\u4e2d)");
    EXPECT_EQ(props["k\\"], "5");  // a key is cut at an escaped quote
    EXPECT_EQ(props["d"], "2");    // a later duplicate replaces
}

TEST(ParseProperties, LastBareValueIsKept) {
    // The last member has no delimiter after it inside the object; it still
    // counts, without the layout's white space.
    std::string f = "{\"properties\": {\"名称\": \"甲\", \"人口\": 313.2 }}";
    auto props = kit::parseProperties(f, 0, f.size() - 1);
    EXPECT_EQ(props["人口"], "313.2");
    std::string g = "{\"properties\": {\n        \"n\": 12\n      }}";
    EXPECT_EQ(kit::parseProperties(g, 0, g.size() - 1)["n"], "12");
}

TEST(ParseProperties, NestedValuesAndBounds) {
    std::string f = R"({"properties":{"o": {"x": 1, "y": 2}, "z": [3, 4], "e": ""}})";
    auto props = kit::parseProperties(f, 0, f.size() - 1);
    EXPECT_EQ(props["o"], R"({"x": 1)");
    EXPECT_EQ(props["y"], "2");  // an inner key read as one of the map
    EXPECT_EQ(props["z"], "[3");
    EXPECT_EQ(props["e"], "");
    EXPECT_EQ(props.count("x"), 0u);

    // Properties beyond the feature's end are not read, nor an unclosed object.
    std::string two = R"({"a":1} {"properties":{"k":"v"}})";
    EXPECT_TRUE(kit::parseProperties(two, 0, 6).empty());
    EXPECT_EQ(kit::parseProperties(two, 8, two.size() - 1).at("k"), "v");
    std::string open = R"({"properties":{"k":"v")";
    EXPECT_TRUE(kit::parseProperties(open, 0, open.size() - 1).empty());
    std::string empty = R"({"properties":{}})";
    EXPECT_TRUE(kit::parseProperties(empty, 0, empty.size() - 1).empty());
    std::string emptyKey = R"({"properties":{"":"v","k":"w"}})";
    EXPECT_EQ(kit::parseProperties(emptyKey, 0, emptyKey.size() - 1),
              (std::map<std::string, std::string>{{"k", "w"}}));
}

TEST(ReadPositions, NestingSignsAndFailures) {
    EXPECT_EQ(kit::readPositions("[[[1.5, 2], [-3,4e1, 99]], [[5 ,6]]]"),
              (std::vector<Position>{{1.5, 2}, {-3, 40}, {5, 6}}));
    // JSON white space before the first number is allowed; '+' hides the position.
    EXPECT_EQ(kit::readPositions("[ [ 1, 2 ], [+3, 4], [\n\t-5 ,6], [ ]]"), (std::vector<Position>{{1, 2}, {-5, 6}}));
    // A latitude that does not convert drops just that position.
    EXPECT_EQ(kit::readPositions("[[1, x], [7, 8]]"), (std::vector<Position>{{7, 8}}));
    // A closing bracket before the comma: no latitude, nothing read past it.
    EXPECT_EQ(kit::readPositions("[1] , [2, 3]"), (std::vector<Position>{{2, 3}}));
    EXPECT_TRUE(kit::readPositions("[1, 2").empty());
    EXPECT_TRUE(kit::readPositions("[1 2]").empty());
    EXPECT_TRUE(kit::readPositions("").empty());
    EXPECT_TRUE(kit::readPositions("[").empty());
}

TEST(ReadPositions, KeepsEveryPosition) {
    // A detailed boundary is read whole: no cap cuts it short.
    std::string text = "[";
    for (int i = 0; i < 150000; ++i) text += "[1,2],";
    text += "[1,2]]";
    EXPECT_EQ(kit::readPositions(text).size(), 150001u);
    // Deep nesting with the only delimiters at the very end still reads.
    std::string deep(200000, '[');
    deep += "1,2]";
    EXPECT_EQ(kit::readPositions(deep), (std::vector<Position>{{1, 2}}));
}

TEST(ParseGeoJsonFeature, PointsAndMultiPoints) {
    Layer layer = readText(R"([
      {"type":"Feature","properties":{"n":"a"},"geometry":{"type":"Point","coordinates":[116.3, 39.9, 50]}},
      {"type":"Feature","properties":{"n":"b"},"geometry":{"type":"Point","coordinates":[x, 39.9]}},
      {"type":"Feature","properties":{"n":"c"},"geometry":{"type": "MultiPoint","coordinates":[[1,2],[3,4],[5,6]]}}
    ])");
    ASSERT_EQ(layer.features.size(), 4u);
    EXPECT_EQ(layer.features[0].type, "Point");
    EXPECT_DOUBLE_EQ(layer.features[0].lon, 116.3);
    EXPECT_DOUBLE_EQ(layer.features[0].lat, 39.9);
    EXPECT_TRUE(layer.features[0].ring.empty());
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(layer.features[i].type, "Point");
        EXPECT_EQ(layer.features[i].properties.at("n"), "c");
        EXPECT_EQ(layer.features[i].lon, 2.0 * i - 1);
    }
    // The point that did not convert still named its field.
    EXPECT_EQ(layer.fieldNames, (std::vector<std::string>{"n"}));
}

TEST(ParseGeoJsonFeature, PolygonsCollectEveryRingInOrder) {
    Layer layer = readText(R"({"features":[
      {"type":"Feature","geometry":{"type":"Polygon","coordinates":[[[0,0],[4,0],[4,4],[0,0]],[[1,1],[2,1],[1,2],[1,1]]]},"properties":{}},
      {"type":"Feature","geometry":{"type":"MultiPolygon","coordinates":[[[[0,0],[1,0],[0,1],[0,0]]],[[[5,5],[6,5],[5,6],[5,5]]]]},"properties":{}},
      {"type":"Feature","geometry":{"type":"Polygon","coordinates":[]},"properties":{}}
    ]})");
    ASSERT_EQ(layer.features.size(), 2u);
    EXPECT_EQ(layer.features[0].type, "Polygon");
    ASSERT_EQ(layer.features[0].ring.size(), 8u);
    EXPECT_EQ(layer.features[0].ring[4], (Position{1, 1}));
    EXPECT_EQ(layer.features[0].lon, 0);
    ASSERT_EQ(layer.features[1].ring.size(), 8u);
    EXPECT_EQ(layer.features[1].ring[7], (Position{5, 5}));
}

TEST(ParseGeoJsonFeature, OtherGeometriesSkippedWithTheirProperties) {
    Layer layer = readText(R"([
      {"type":"Feature","properties":{"line":1},"geometry":{"type":"LineString","coordinates":[[0,0],[1,1]]}},
      {"type":"Feature","properties":{"none":1},"geometry":null},
      {"type":"Feature","properties":{"nogeom":1}},
      {"type":"Feature","properties":{"nocoords":1},"geometry":{"type":"Point"}}
    ])");
    EXPECT_TRUE(layer.features.empty());
    // Only the readable type (with no coordinates) contributed its field.
    EXPECT_EQ(layer.fieldNames, (std::vector<std::string>{"nocoords"}));
}

TEST(ParseGeoJsonFeature, TypeWordMustStartWithinThirtyBytesOfTheColon) {
    auto feature = [](size_t spaces) {
        return "{\"type\":\"Feature\",\"geometry\":{\"type\":" + std::string(spaces, ' ') +
               "\"Point\",\"coordinates\":[1,2]}}";
    };
    EXPECT_EQ(readText(feature(28)).features.size(), 1u);  // the quote 29 bytes after the colon
    EXPECT_EQ(readText(feature(29)).features.size(), 0u);
}

TEST(ParseGeoJsonFeature, GeneratedCollectionLoadsBack) {
    kit::GeoJsonWriter w;
    w.addFeature("\"type\": \"Point\",\n        \"coordinates\": " + kit::formatPosition(116.5, 40.25),
                 {{"站名", "A \"1\"", true}, {"方位角", "120", false}});
    w.addFeature("\"type\": \"Polygon\",\n        \"coordinates\": [[" + kit::formatPosition(1, 2) + ", " +
                     kit::formatPosition(3, 4) + ", " + kit::formatPosition(1, 2) + "]]",
                 {{"站名", "B\tb", true}});
    Layer layer = readText(w.finish());
    ASSERT_EQ(layer.features.size(), 2u);
    EXPECT_EQ(layer.features[0].properties.at("站名"), "A \\\"1\\\"");
    EXPECT_EQ(layer.features[0].properties.at("方位角"), "120");
    EXPECT_DOUBLE_EQ(layer.features[0].lat, 40.25);
    EXPECT_EQ(layer.features[1].ring, (std::vector<Position>{{1, 2}, {3, 4}, {1, 2}}));
    EXPECT_EQ(layer.features[1].properties.at("站名"), "B\\tb");
    EXPECT_EQ(layer.fieldNames, (std::vector<std::string>{"方位角", "站名"}));
}

TEST(GeoJsonWriterHelpers, GeometryTypeCoordinatesAndFirstRing) {
    std::string f = R"({"type":"Feature","geometry":{"type": "Polygon","coordinates":[[[1,2],[3, 4, 9],[x,6]],[[7,8]]]}})";
    EXPECT_EQ(kit::geometryTypeOf(f), "Polygon");
    EXPECT_FALSE(kit::geometryTypeOf(R"({"type":"Feature"})"));
    auto colon = kit::coordinatesColon(f);
    ASSERT_TRUE(colon);
    size_t open = f.find('[', *colon);
    // The outer ring only, a bad number reading as 0.
    EXPECT_EQ(kit::readFirstRing(f, open + 1), (std::vector<Position>{{1, 2}, {3, 4}, {0, 6}}));
    EXPECT_TRUE(kit::readFirstRing("no brackets", 0).empty());
    EXPECT_EQ(kit::readFirstRing("[[1,2", 0), (std::vector<Position>{{1, 2}}));  // unclosed tail
    EXPECT_EQ(kit::readBracketPosition("1]", 0), (Position{1, 0}));
}

TEST(ReadGeoJson, EveryPrefixOfARealFileReadsSafely) {
    kit::test::expectCountGrowsOverPrefixes(
        std::string(KIT_FIXTURES) + "/zones.geojson", [](std::string_view t) { return readText(t).features.size(); }, 4);
}
