#include <gtest/gtest.h>

#include "core/format.h"
#include "coverage/density.h"

using namespace kit;

namespace {

size_t countOf(const std::string& text, const std::string& piece) {
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(Density, CellsInTheOrderFirstMetWithTheirCounts) {
    LonLat beijing{116.4, 39.9}, sydney{151.2, -33.9}, origin{0, 0};
    auto cells = aggregateDensity({sydney, beijing, sydney, origin, beijing, sydney}, 5);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0].id, makeCellId(-33.9, 151.2, 5));
    EXPECT_EQ(cells[0].count, 3);
    EXPECT_EQ(cells[1].id, makeCellId(39.9, 116.4, 5));
    EXPECT_EQ(cells[1].count, 2);
    EXPECT_EQ(cells[2].count, 1);
    EXPECT_TRUE(aggregateDensity({}, 7).empty());
}

TEST(Density, ManyCellsSurviveTheIndexGrowing) {
    std::vector<LonLat> stations;
    for (int i = 0; i < 20000; ++i) stations.push_back({100 + (i % 200) * 0.01, 30 + (i / 200) * 0.01});
    stations.push_back(stations[12345]);
    auto cells = aggregateDensity(stations, 12);
    EXPECT_EQ(cells.size(), 20000u);
    long total = 0;
    for (const CellCount& c : cells) total += c.count;
    EXPECT_EQ(total, 20001);
    EXPECT_EQ(cells[12345].count, 2);
}

TEST(Density, NearbyStationsShareACellOnlyAtCoarseLevels) {
    // Two stations 20 m apart around a level-7 cell centre.
    CellParts p = splitCellId(makeCellId(39.9, 116.4, 7));
    LonLat c = cellCentre(p.q, p.r, 7);
    std::vector<LonLat> pair{{c.lon - 0.0001, c.lat}, {c.lon + 0.0001, c.lat}};
    auto coarse = aggregateDensity(pair, 7);
    ASSERT_EQ(coarse.size(), 1u);
    EXPECT_NE(writeDensityGeoJson({coarse[0].id}, {2.0}).find("\"value\":2.00000000}"), std::string::npos);
    EXPECT_EQ(aggregateDensity(pair, 12).size(), 2u);
}

TEST(Density, GeoJsonText) {
    EXPECT_EQ(writeDensityGeoJson({}, {}), "{\"type\":\"FeatureCollection\",\"features\":[]}");

    CellId a = makeCellId(0, 0, 7), b = makeCellId(39.9, 116.4, 7);
    std::string text = writeDensityGeoJson({a, b}, {3});
    std::string expectedFirst = "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":"
                                "{\"h3\":\"8646911286698835968\",\"value\":3.00000000},\"geometry\":{\"type\":"
                                "\"Polygon\",\"coordinates\":[[";
    EXPECT_EQ(text.substr(0, expectedFirst.size()), expectedFirst);
    // The second id has no value, so it carries only its id.
    EXPECT_NE(text.find(",{\"type\":\"Feature\",\"properties\":{\"h3\":\"" + std::to_string(b) + "\"},"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 6), "]]}}]}");
    EXPECT_EQ(text.find(' '), std::string::npos);

    // The ring is the outline's corners at 8 decimals, closed by corner 0.
    std::string ring;
    auto corners = cellOutline(b);
    for (int i = 0; i <= 6; ++i) {
        const LonLat& p = corners[i % 6];
        ring += (i ? ",[" : "[") + formatFixed(p.lon, 8) + "," + formatFixed(p.lat, 8) + "]";
    }
    EXPECT_NE(text.find("[[" + ring + "]]"), std::string::npos);
    EXPECT_EQ(countOf(text, "],["), 2u * 6u);
}
