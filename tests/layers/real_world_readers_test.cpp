// The KML and GeoJSON readers on what GIS programs write: attributes in
// ExtendedData, holes, several polygons per placemark, detailed boundaries.
#include <gtest/gtest.h>

#include <cmath>

#include "layers/geojson_reader.h"
#include "layers/kml.h"

using kit::Layer;
using kit::Position;

namespace {

Layer kml(const std::string& text) {
    Layer l;
    kit::readKml(text, l);
    return l;
}

Layer geojson(const std::string& text) {
    Layer l;
    kit::readGeoJson(text, l);
    return l;
}

TEST(ReadKmlData, ExtendedDataBecomesProperties) {
    struct Case {
        const char* what;
        std::string placemark;
        kit::PropertyMap want;
    } cases[] = {
        {"SchemaData as GDAL writes it",
         R"(<name>海淀</name><ExtendedData><SchemaData schemaUrl="#z">
              <SimpleData name="区县">海淀区</SimpleData><SimpleData name="编号">1</SimpleData>
            </SchemaData></ExtendedData>)",
         {{"Name", "海淀"}, {"区县", "海淀区"}, {"编号", "1"}}},
        {"Data/value as globe viewers write it",
         R"(<description>d</description><ExtendedData>
              <Data name="CGI"><displayName>小区</displayName><value>460-00-1-2</value></Data>
              <Data name='note'><value>a &lt;b&gt; &amp; &#x6D77;</value></Data>
              <Data name="empty"/></ExtendedData>)",
         {{"Description", "d"}, {"CGI", "460-00-1-2"}, {"note", "a <b> & 海"}, {"empty", ""}}},
        {"CDATA kept as written", R"(<name><![CDATA[a&amp;<b>]]></name>)", {{"Name", "a&amp;<b>"}}},
        {"the placemark's name wins over a Data of that name",
         R"(<name>n</name><ExtendedData><Data name="Name"><value>other</value></Data></ExtendedData>)",
         {{"Name", "n"}}},
        {"elements that only begin alike are not Data",
         R"(<ExtendedData><DataSet name="x"><value>1</value></DataSet></ExtendedData>)", {}},
    };
    for (const Case& c : cases) {
        Layer l = kml("<kml><Placemark>" + c.placemark + "<Point><coordinates>1,2</coordinates></Point></Placemark></kml>");
        ASSERT_EQ(l.features.size(), 1u) << c.what;
        EXPECT_EQ(l.features[0].properties, c.want) << c.what;
    }
}

TEST(ReadKmlData, HolesAndEveryPolygonOfAMultiGeometry) {
    Layer l = kml(R"(<Placemark><name>p</name><MultiGeometry>
      <Polygon><outerBoundaryIs><LinearRing><coordinates>0,0 4,0 4,4 0,4 0,0</coordinates></LinearRing></outerBoundaryIs>
        <innerBoundaryIs><LinearRing><coordinates>1,1 1,2 2,2 2,1</coordinates></LinearRing></innerBoundaryIs>
        <innerBoundaryIs><LinearRing><coordinates>3,3 3,3.5 3.5,3.5 3,3</coordinates></LinearRing></innerBoundaryIs>
      </Polygon>
      <Polygon><outerBoundaryIs><LinearRing><coordinates>10,10 11,10 11,11 10,10</coordinates></LinearRing></outerBoundaryIs></Polygon>
      <Point><coordinates>7,7</coordinates></Point><Point><coordinates>8,8</coordinates></Point>
    </MultiGeometry></Placemark>)");
    ASSERT_EQ(l.features.size(), 4u);  // two points, then two polygons
    EXPECT_EQ(l.features[0].lon, 7);
    EXPECT_EQ(l.features[1].lon, 8);
    // The unclosed hole is closed so the next ring starts cleanly.
    EXPECT_EQ(l.features[2].ring,
              (std::vector<Position>{{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {1, 1}, {1, 2}, {2, 2}, {2, 1}, {1, 1},
                                     {3, 3}, {3, 3.5}, {3.5, 3.5}, {3, 3}}));
    EXPECT_EQ(l.features[3].ring.size(), 4u);
    for (const auto& f : l.features) EXPECT_EQ(f.properties.at("Name"), "p");
}

TEST(ReadGeoJsonRings, InteriorRingsClosedAfterTheOuterOne) {
    Layer l = geojson(R"({"type":"Feature","properties":{},"geometry":{"type":"Polygon","coordinates":[
        [[0,0],[4,0],[4,4],[0,4],[0,0]], [[1,1],[1,2],[2,2],[2,1]], [ [3,3], [3,3.5], [3.5,3.5], [3,3] ]]}})");
    ASSERT_EQ(l.features.size(), 1u);
    EXPECT_EQ(l.features[0].ring,
              (std::vector<Position>{{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {1, 1}, {1, 2}, {2, 2}, {2, 1}, {1, 1},
                                     {3, 3}, {3, 3.5}, {3.5, 3.5}, {3, 3}}));
    EXPECT_EQ(kit::readRings("[[[0,0],[1,1]],[[2,2]]]"), (kit::Rings{{{0, 0}, {1, 1}}, {{2, 2}}}));
    EXPECT_EQ(kit::readRings("[[[0,0],[x,1]],[],[[2,2]]]"), (kit::Rings{{{0, 0}}, {{2, 2}}}));
    EXPECT_TRUE(kit::readRings("[[]]").empty());
}

// A boundary of 150 000 vertices, as a detailed district outline has.
std::vector<Position> detailedRing(size_t n) {
    std::vector<Position> ring;
    for (size_t i = 0; i < n; ++i) {
        const double a = 6.283185307179586 * double(i) / double(n);
        ring.push_back({116 + 0.5 * std::cos(a), 40 + 0.5 * std::sin(a)});
    }
    ring.push_back(ring.front());
    return ring;
}

TEST(ReadLargeRings, EveryPositionKept) {
    const auto ring = detailedRing(150000);
    std::string kmlCoords, jsonCoords;
    for (const Position& p : ring) {
        kmlCoords += std::to_string(p.lon) + "," + std::to_string(p.lat) + ",0 ";
        jsonCoords += (jsonCoords.empty() ? "[" : ",[") + std::to_string(p.lon) + "," + std::to_string(p.lat) + "]";
    }
    Layer k = kml("<Placemark><Polygon><outerBoundaryIs><LinearRing><coordinates>" + kmlCoords +
                  "</coordinates></LinearRing></outerBoundaryIs></Polygon></Placemark>");
    Layer g = geojson(R"({"type":"Feature","geometry":{"type":"Polygon","coordinates":[[)" + jsonCoords + "]]}}");
    for (const Layer* l : {&k, &g}) {
        ASSERT_EQ(l->features.size(), 1u);
        EXPECT_EQ(l->features[0].ring.size(), ring.size());
        EXPECT_EQ(l->features[0].ring.back(), l->features[0].ring.front());
    }
}

}  // namespace
