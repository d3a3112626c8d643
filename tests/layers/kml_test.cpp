#include <gtest/gtest.h>

#include <string>

#include "layers/geojson_writer.h"
#include "layers/kml.h"
#include "layer_test_util.h"

using kit::Layer;
using kit::Position;

namespace {

Layer readKmlText(std::string_view text) {
    Layer layer;
    kit::readKml(text, layer);
    return layer;
}

std::string pointFeature(double lon, double lat) {
    return "\"type\": \"Point\",\n        \"coordinates\": " + kit::formatPosition(lon, lat);
}

std::string polygonFeature(const std::vector<Position>& ring) {
    std::string g = "\"type\": \"Polygon\",\n        \"coordinates\": [[";
    for (size_t i = 0; i < ring.size(); ++i) {
        if (i) g += ", ";
        g += kit::formatPosition(ring[i].lon, ring[i].lat);
    }
    return g + "]]";
}

}  // namespace

TEST(ReadKml, PointsPolygonsAndProperties) {
    Layer layer = readKmlText(R"(<kml><Document>
      <Placemark id="p1"><name> A &amp; B </name><description><![CDATA[x]]></description>
        <Point><coordinates>
          116.3,39.9,0</coordinates></Point></Placemark>
      <Placemark><description>only</description>
        <Polygon><outerBoundaryIs><LinearRing><coordinates>1,2,0 3,4,0  5,6,0 bad 7,x 1,2,0
        </coordinates></LinearRing></outerBoundaryIs>
        <innerBoundaryIs><LinearRing><coordinates>9,9 9,9 9,9</coordinates></LinearRing></innerBoundaryIs></Polygon>
      </Placemark>
    </Document></kml>)");
    ASSERT_EQ(layer.features.size(), 2u);
    const auto& p = layer.features[0];
    EXPECT_EQ(p.type, "Point");
    EXPECT_DOUBLE_EQ(p.lon, 116.3);
    EXPECT_DOUBLE_EQ(p.lat, 39.9);
    EXPECT_EQ(p.properties.at("Name"), " A & B ");  // entities decoded, untrimmed
    EXPECT_EQ(p.properties.at("Description"), "x");
    const auto& q = layer.features[1];
    EXPECT_EQ(q.type, "Polygon");
    // The inner boundary follows the outer one, each closed.
    EXPECT_EQ(q.ring, (std::vector<Position>{{1, 2}, {3, 4}, {5, 6}, {1, 2}, {9, 9}, {9, 9}, {9, 9}}));
    EXPECT_EQ(q.properties.size(), 1u);
    // In the map's key order within the first placemark.
    EXPECT_EQ(layer.fieldNames, (std::vector<std::string>{"Description", "Name"}));
}

TEST(ReadKml, TuplesSplitAtAnyWhiteSpace) {
    auto ring = [](std::string coords) {
        Layer l = readKmlText("<Placemark><Polygon><coordinates>" + coords + "</coordinates></Polygon></Placemark>");
        return l.features.empty() ? std::vector<Position>{} : l.features[0].ring;
    };
    const std::vector<Position> square{{1, 2}, {3, 4}, {5, 6}, {1, 2}};
    struct Case {
        const char* coords;
        std::vector<Position> want;
    } cases[] = {
        {"1,2,0 3,4,0 5,6,0 1,2,0", square},
        // One tuple per line, with or without indentation, as other programs write rings.
        {"1,2,0\n3,4,0\n5,6,0\n1,2,0", square},
        {"\n\t\t1,2,0\n\t\t3,4,0\n\t\t5,6,0\n\t\t1,2,0\n\t", square},
        {"1,2\r\n3,4\r\n5,6\r\n1,2", square},
        {"\t1,2\t 3,4\r\n", {{1, 2}, {3, 4}}},
        // White space beside a comma stays inside the tuple.
        {"1,\t2,0 3 ,4", {{1, 2}, {3, 4}}},
        {"1, 2, 0\n3, 4, 0", {{1, 2}, {3, 4}}},
        {"", {}},
        {"1 2 3", {}},
        {"1,2,0 junk 3,4,0", {{1, 2}, {3, 4}}},
    };
    for (const Case& c : cases) EXPECT_EQ(ring(c.coords), c.want) << c.coords;
}

TEST(ReadKml, MultiGeometryAndPlacemarksWithoutGeometry) {
    Layer layer = readKmlText(R"(
      <Placemark><name>n</name></Placemark>
      <Placemark><name>m</name><MultiGeometry><Point><coordinates>1,2</coordinates></Point>
        <Polygon><outerBoundaryIs><LinearRing><coordinates>0,0 1,0 0,1 0,0</coordinates></LinearRing></outerBoundaryIs></Polygon>
        <LineString><coordinates>5,5 6,6</coordinates></LineString></MultiGeometry></Placemark>
      <Placemark><LineString><coordinates>5,5 6,6</coordinates></LineString></Placemark>
      <Placemark><Point><coordinates>12</coordinates></Point></Placemark>
      <Placemark><Point><coordinates>a,b</coordinates></Point></Placemark>)");
    ASSERT_EQ(layer.features.size(), 2u);
    EXPECT_EQ(layer.features[0].type, "Point");
    EXPECT_EQ(layer.features[1].type, "Polygon");
    EXPECT_EQ(layer.features[0].properties, layer.features[1].properties);
    EXPECT_EQ(layer.features[1].properties.at("Name"), "m");
    EXPECT_EQ(layer.fieldNames, (std::vector<std::string>{"Name"}));
}

TEST(ReadKml, UnclosedTagsStopCleanly) {
    // A placemark without its closing tag ends the reading.
    Layer a = readKmlText("<Placemark><Point><coordinates>1,2</coordinates></Point></Placemark><Placemark><Point>");
    EXPECT_EQ(a.features.size(), 1u);
    // Without closing coordinates, point or name tags, nothing of them reads.
    Layer b = readKmlText("<Placemark><name>x<Point><coordinates>1,2</Point></Placemark>");
    EXPECT_TRUE(b.features.empty());
    EXPECT_TRUE(b.fieldNames.empty());
    Layer c = readKmlText("<Placemark><Polygon><coordinates>1,2 3,4</coordinates></Placemark>");
    EXPECT_TRUE(c.features.empty());
    EXPECT_TRUE(readKmlText("").features.empty());
    EXPECT_TRUE(readKmlText("<Placemark").features.empty());
}

TEST(ReadKml, RingKeepsEveryTuple) {
    std::string coords;
    for (int i = 0; i < 100010; ++i) coords += "1,2 ";
    Layer layer = readKmlText("<Placemark><Polygon><coordinates>" + coords + "</coordinates></Polygon></Placemark>");
    ASSERT_EQ(layer.features.size(), 1u);
    EXPECT_EQ(layer.features[0].ring.size(), 100010u);
}

TEST(WriteKml, PointsAndPolygonsInTheDocumentLayout) {
    kit::GeoJsonWriter w;
    // A key named like the placemark's own name field is written renamed.
    w.addFeature(pointFeature(116.3, 39.9), {{"name", "ignored", true}});
    w.addFeature(pointFeature(-1.5, 2), {});
    w.addFeature(polygonFeature({{0, 0}, {1, 0}, {0, 1}, {0, 0}}), {});
    w.addFeature(polygonFeature({{0, 0}, {1, 0}}), {});
    EXPECT_EQ(kit::kmlFromGeoJson(w.finish()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n"
              "<Schema name=\"fields\" id=\"fields\">\n  <SimpleField name=\"name_1\" type=\"string\"></SimpleField>\n"
              "</Schema>\n"
              "  <Placemark>\n    <name>ignored</name>\n"
              "    <ExtendedData><SchemaData schemaUrl=\"#fields\">\n"
              "      <SimpleData name=\"name_1\">ignored</SimpleData>\n    </SchemaData></ExtendedData>\n"
              "    <Point><coordinates>116.30000000,39.90000000,0</coordinates></Point>\n  </Placemark>\n"
              "  <Placemark>\n    <name>Feature 1</name>\n"
              "    <Point><coordinates>-1.50000000,2.00000000,0</coordinates></Point>\n  </Placemark>\n"
              "  <Placemark>\n    <name>Feature 2</name>\n"
              "    <Polygon><outerBoundaryIs><LinearRing>\n      <coordinates>\n        "
              "0.00000000,0.00000000,0 1.00000000,0.00000000,0 0.00000000,1.00000000,0 0.00000000,0.00000000,0 "
              "\n      </coordinates>\n    </LinearRing></outerBoundaryIs></Polygon>\n  </Placemark>\n"
              "  <Placemark>\n    <name>Feature 3</name>\n  </Placemark>\n"
              "</Document>\n</kml>\n");
}

TEST(WriteKml, HolesLinesMultiGeometriesAndFeaturesWithoutCoordinatesSkipped) {
    std::string text = R"({"features":[
      {"type":"Feature","geometry":{"type":"Polygon","coordinates":[[[0,0],[4,0],[4,4],[0,0]],[[1,1],[2,1],[1,2],[1,1]]]}},
      {"type":"Feature","geometry":{"type":"Point"}},
      {"type":"Feature","geometry":{"type":"LineString","coordinates":[[1,2],[3,4]]}},
      {"type":"Feature","geometry":{"type":"MultiPoint","coordinates":[[1,2],[3,4]]}}
    ]})";
    std::string kml = kit::kmlFromGeoJson(text);
    EXPECT_NE(kml.find("0.00000000,0.00000000,0 4.00000000,0.00000000,0 4.00000000,4.00000000,0 "
                       "0.00000000,0.00000000,0 \n"),
              std::string::npos);
    EXPECT_NE(kml.find("</outerBoundaryIs>\n    <innerBoundaryIs><LinearRing>\n      <coordinates>\n        "
                       "1.00000000,1.00000000,0 2.00000000,1.00000000,0"),
              std::string::npos);
    // The point without coordinates takes no number: the line is Feature 1.
    EXPECT_NE(kml.find("<name>Feature 1</name>\n    <LineString>\n      <coordinates>\n        "
                       "1.00000000,2.00000000,0 3.00000000,4.00000000,0 \n      </coordinates>\n    </LineString>"),
              std::string::npos);
    // A multipoint is a MultiGeometry of its points.
    EXPECT_NE(kml.find("<name>Feature 2</name>\n    <MultiGeometry>\n"
                       "    <Point><coordinates>1.00000000,2.00000000,0</coordinates></Point>\n"
                       "    <Point><coordinates>3.00000000,4.00000000,0</coordinates></Point>\n"
                       "    </MultiGeometry>\n  </Placemark>"),
              std::string::npos);
}

TEST(WriteKml, WritesFileAndReportsCreateFailure) {
    kit::test::ScratchDir dir;
    kit::GeoJsonWriter w;
    w.addFeature(pointFeature(1, 2), {});
    std::string text = w.finish();
    std::string path = dir.file("点.kml");
    auto ok = kit::writeKml(text, path);
    EXPECT_TRUE(ok.ok());
    EXPECT_EQ(ok.text, path);
    EXPECT_EQ(kit::test::readAll(path), kit::kmlFromGeoJson(text));
    // The written file reads back as one point.
    Layer layer = readKmlText(kit::test::readAll(path));
    ASSERT_EQ(layer.features.size(), 1u);
    EXPECT_EQ(layer.features[0].properties.at("Name"), "Feature 0");

    auto bad = kit::writeKml(text, dir.file("missing/x.kml"));
    EXPECT_EQ(bad.status, kit::Status::Error);
    EXPECT_EQ(bad.message, "无法创建文件");
}

TEST(ReadKml, EveryPrefixOfARealFileReadsSafely) {
    kit::test::expectCountGrowsOverPrefixes(
        std::string(KIT_FIXTURES) + "/zones.kml", [](std::string_view t) { return readKmlText(t).features.size(); }, 5);
}
