#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "batchkml/drivetest_kml.h"
#include "batchkml/icon_catalog.h"
#include "batchkml/iconmap_kml.h"
#include "batchkml/kml_text.h"
#include "batchkml/sector_kml.h"
#include "core/geodesy.h"
#include "quillet_test_util.h"

using kit::test::countOf;
using kit::test::linesOf;
using kit::test::tableOf;

namespace {

const char* const kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n";

kit::ColorTemplate urban() { return kit::builtinTemplates()[0]; }

// Bearing from the first point to the second, degrees clockwise from north.
double bearingDeg(double lon1, double lat1, double lon2, double lat2) {
    const double p1 = lat1 * kit::kDegToRad, p2 = lat2 * kit::kDegToRad, dl = (lon2 - lon1) * kit::kDegToRad;
    double b = std::atan2(std::sin(dl) * std::cos(p2), std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl));
    return std::fmod(b / kit::kDegToRad + 360, 360);
}

// The "lon,lat,0" coordinates of a line, spaces and tags around them ignored.
kit::LonLat coordOf(std::string line) {
    size_t tag = line.find("<coordinates>");
    if (tag != std::string::npos) line = line.substr(tag + 13);
    kit::LonLat p{};
    EXPECT_EQ(std::sscanf(line.c_str(), " %lf,%lf,0", &p.lon, &p.lat), 2) << line;
    return p;
}

}  // namespace

TEST(KmlText, NamesOfPaths) {
    const struct {
        const char* path;
        const char* stem;
        const char* folder;
    } cases[] = {
        {"C:\\数据\\路测.1.csv", "路测.1", "C:\\数据"}, {"/a/b/c.xlsx", "c", "/a/b"}, {"a\\b/c", "c", "a\\b"},
        {"noext", "noext", ""},                       {"dir/.hidden", "", "dir"},  {"dir/", "", "dir"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kit::fileStem(c.path), c.stem) << c.path;
        EXPECT_EQ(kit::folderOf(c.path), c.folder) << c.path;
    }
    EXPECT_EQ(kit::xmlEscaped("a&b<c>\"d'"), "a&amp;b&lt;c&gt;&quot;d'");
}

TEST(KmlText, Utf8FileGetsItsByteOrderMark) {
    kit::test::KmlScratch dir;
    ASSERT_TRUE(kit::writeTextFileUtf8(dir.file("x.kml"), "文"));
    EXPECT_EQ(kit::test::readAll(dir.file("x.kml")), "\xEF\xBB\xBF文");
    EXPECT_FALSE(kit::writeTextFileUtf8(dir.file("missing/x.kml"), "x"));
}

TEST(CirclePolygon, ClosedRingAtTheRadiusStartingNorth) {
    for (double lat : {0.0, 40.0, -65.0}) {
        auto ring = kit::circlePolygon(116, lat, 10, 36);
        ASSERT_EQ(ring.size(), 37u);
        EXPECT_EQ(ring.front().lon, ring.back().lon);
        EXPECT_EQ(ring.front().lat, ring.back().lat);
        EXPECT_NEAR(ring[0].lon, 116, 1e-12);
        EXPECT_NEAR(ring[0].lat, lat + 10 / kit::kMetresPerDegreeArc, 1e-12);
        for (size_t i = 0; i < 36; ++i) {
            EXPECT_NEAR(kit::haversineDistance(lat, 116, ring[i].lat, ring[i].lon), 10, 1e-6);
            EXPECT_NEAR(bearingDeg(116, lat, ring[i].lon, ring[i].lat), std::fmod(i * 10.0, 360), 1e-4);
        }
    }
    EXPECT_TRUE(kit::circlePolygon(0, 0, 5, 0).empty());
}

TEST(DriveTestKml, OnePointDocumentExactly) {
    auto t = tableOf({"lon", "lat", "rsrp"}, {{"116", "40", "-95"}}, "D:\\测试\\a&b.csv");
    const std::string kml = kit::writeDriveTestKml(t, 0, 1, 2, urban(), 5);
    auto lines = linesOf(kml);
    ASSERT_EQ(lines.size(), 4u + 4 + 12 + 37 + 6 + 2);
    EXPECT_TRUE(kml.starts_with(std::string(kHead) + R"(  <name>a&amp;b</name>
  <Style id="style_4">
    <PolyStyle><color>ffff0000</color></PolyStyle>
    <LineStyle><color>00000000</color><width>0</width></LineStyle>
  </Style>
  <Folder>
    <name>-96.0 ~ -90.0 dBm</name>
    <Placemark>
      <name>1</name>
      <description>Signal: -95.00 dBm</description>
      <styleUrl>#style_4</styleUrl>
      <Polygon>
        <extrude>0</extrude>
        <altitudeMode>clampToGround</altitudeMode>
        <outerBoundaryIs>
          <LinearRing>
            <coordinates>
              116.00000000,40.00004497,0
)")) << kml;
    EXPECT_EQ(lines[20 + 36], lines[20]);
    EXPECT_TRUE(kml.ends_with(R"(              116.00000000,40.00004497,0
            </coordinates>
          </LinearRing>
        </outerBoundaryIs>
      </Polygon>
    </Placemark>
  </Folder>
</Document>
</kml>
)"));
}

TEST(DriveTestKml, PointSelectionAndStyles) {
    auto t = tableOf({"lon", "lat", "v"}, {
                                              {"116", "40", "-85"},         // range 5
                                              {"116", "40", "-150"},        // no range: the first
                                              {"116", "40"},                // too short
                                              {"116", "40", ""},            // no number
                                              {"x", "40", "-90"},           // no number
                                              {" 116.5", "40", "-82dBm"},   // leading blank, trailing text
                                              {"116", "40", "nan"},         // not drawable
                                              {"116", "40", "-100", "extra"},
                                          });
    auto points = kit::driveTestPoints(t, 0, 1, 2, urban().ranges);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0].rangeIndex, 5);
    EXPECT_EQ(points[1].rangeIndex, 0);
    EXPECT_EQ(points[2].lon, 116.5);
    EXPECT_EQ(points[2].value, -82);
    EXPECT_EQ(points[3].rangeIndex, 2);

    const std::string kml = kit::writeDriveTestKml(t, 0, 1, 2, urban(), 5);
    EXPECT_EQ(countOf(kml, "<Style id="), 3u);  // used ranges only, ascending
    EXPECT_LT(kml.find("style_0\""), kml.find("style_2\""));
    EXPECT_LT(kml.find("style_2\""), kml.find("style_5\""));
    EXPECT_EQ(countOf(kml, "<Folder>"), 4u);
    EXPECT_NE(kml.find("<name>-145.0 ~ -105.0 dBm</name>\n    <Placemark>\n      <name>2</name>\n"
                       "      <description>Signal: -150.00 dBm</description>"),
              std::string::npos);
    EXPECT_EQ(countOf(kml, "<name>4</name>"), 1u);
    EXPECT_EQ(countOf(kml, "<name>5</name>"), 0u);
}

TEST(DriveTestKml, PiecesJoinIntoTheWholeDocument) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 3000; ++i) rows.push_back({std::to_string(116 + i * 1e-4), "40", std::to_string(-60 - i % 80)});
    const auto t = tableOf({"lon", "lat", "v"}, rows, "p.csv");
    const std::string whole = kit::writeDriveTestKml(t, 0, 1, 2, urban(), 5);
    std::string joined;
    size_t pieces = 0;
    EXPECT_TRUE(kit::writeDriveTestKml(t, 0, 1, 2, urban(), 5, [&](std::string_view piece) {
        joined += piece;
        ++pieces;
        return true;
    }));
    EXPECT_EQ(joined, whole);
    EXPECT_GT(pieces, 3u);
    // A sink that refuses stops the writer, which reports it.
    pieces = 0;
    EXPECT_FALSE(kit::writeDriveTestKml(t, 0, 1, 2, urban(), 5, [&](std::string_view) { return ++pieces < 2; }));
    EXPECT_EQ(pieces, 2u);
}

TEST(DriveTestKml, EmptyInputStillMakesADocument) {
    auto t = tableOf({"lon"}, {{"1"}}, "");
    EXPECT_EQ(kit::writeDriveTestKml(t, 0, 1, 2, urban(), 5), std::string(kHead) + "  <name></name>\n</Document>\n</kml>\n");
    kit::ColorTemplate none{"x", {}};
    EXPECT_EQ(countOf(kit::writeDriveTestKml(tableOf({}, {{"1", "2", "3"}}), 0, 1, 2, none, 5), "<Folder>"), 0u);
}

TEST(SectorKml, ColourAndLevelOfDetail) {
    const struct {
        uint32_t color;
        int opacity;
        const char* text;
    } colours[] = {{255, 100, "ff0000ff"}, {255, 50, "7f0000ff"}, {0x00123456, 0, "00123456"},
                   {kit::rangeColor(1, 2, 3), 150, "ff030201"}, {255, -5, "000000ff"}};
    for (const auto& c : colours) EXPECT_EQ(kit::sectorColorText(c.color, c.opacity), c.text);
    const std::pair<double, int> lods[] = {{5, 128}, {10, 64}, {2, 320}, {0, 128}, {-1, 128}, {3, 213}, {1e-300, INT_MAX}};
    for (const auto& [km, px] : lods) EXPECT_EQ(kit::minLodPixels(km), px) << km;
}

TEST(SectorKml, OneRowDocumentExactly) {
    auto t = tableOf({"站名", "经度", "纬度"}, {{"A<1>", "116", "40"}}, "/x/基站.csv");
    kit::SectorKmlParams p;
    p.siteCol = 0;
    p.lonCol = 1;
    p.latCol = 2;
    p.azimuthFixed = 0;
    p.beamwidthFixed = 60;
    p.radiusFixed = 500.9;
    const std::string kml = kit::writeSectorKml(t.sourcePath, t, p);
    auto lines = linesOf(kml);
    ASSERT_EQ(lines.size(), 4u + 45 + 19 + 2);
    EXPECT_TRUE(kml.starts_with(std::string(kHead) + R"(  <name>基站</name>
  <Placemark>
    <name>A&lt;1&gt;</name>
    <description>方位角:0° 波宽:60° 半径:500m</description>
    <Style>
      <LineStyle><color>ff0000ff</color><width>1.5</width></LineStyle>
      <PolyStyle><color>ff0000ff</color></PolyStyle>
    </Style>
    <Region>
      <Lod>
        <minLodPixels>128</minLodPixels>
        <maxLodPixels>-1</maxLodPixels>
      </Lod>
    </Region>
    <Polygon>
      <altitudeMode>relativeToGround</altitudeMode>
      <outerBoundaryIs>
        <LinearRing>
          <coordinates>116.000000,40.000000,0
)")) << kml;
    EXPECT_TRUE(kml.ends_with(R"(116.000000,40.000000,0
</coordinates>
        </LinearRing>
      </outerBoundaryIs>
    </Polygon>
  </Placemark>
  <Placemark>
    <name>A&lt;1&gt;</name>
    <Style>
      <IconStyle>
        <Icon><href>http://maps.google.com/mapfiles/kml/shapes/info.png</href></Icon>
        <scale>0.6</scale>
      </IconStyle>
      <LabelStyle><scale>0.8</scale></LabelStyle>
    </Style>
    <Region>
      <Lod>
        <minLodPixels>128</minLodPixels>
        <maxLodPixels>-1</maxLodPixels>
      </Lod>
    </Region>
    <Point>
      <coordinates>116.000000,40.000000,0</coordinates>
    </Point>
  </Placemark>
</Document>
</kml>
)")) << kml;
    // The arc: 21 points at the radius from bearing 330 to 30.
    for (size_t j = 0; j <= 20; ++j) {
        auto v = coordOf(lines[22 + j]);
        EXPECT_NEAR(kit::haversineDistance(40, 116, v.lat, v.lon), 500.9, 0.1);
        EXPECT_NEAR(bearingDeg(116, 40, v.lon, v.lat), std::fmod(330 + 3.0 * j, 360), 0.02) << j;
    }
}

TEST(SectorKml, RowValuesColumnsAndFallbacks) {
    auto t = tableOf({"lon", "lat", "az", "bw", "r", "name"},
                     {
                         {"116", "40", "90", "30", "1000", "S1"},
                         {"116", "40", "x", "", "abc"},  // defaults 0, 65, 500; no name cell
                         {"116"},                        // too short for its coordinates: left out
                         {"east", "40", "10", "360", "100", "S4"},
                     });
    kit::SectorKmlParams p{5, 0, 1, 2, 3, 4};
    p.lodEnabled = false;
    const std::string kml = kit::writeSectorKml("s.csv", t, p);
    EXPECT_EQ(countOf(kml, "<Placemark>"), 6u);
    EXPECT_EQ(countOf(kml, "<Region>"), 0u);
    EXPECT_NE(kml.find("<name>S1</name>\n    <description>方位角:90° 波宽:30° 半径:1000m</description>"), std::string::npos);
    EXPECT_NE(kml.find("<name>Site</name>\n    <description>方位角:0° 波宽:65° 半径:500m</description>"), std::string::npos);
    EXPECT_NE(kml.find("<coordinates>0.000000,40.000000,0</coordinates>"), std::string::npos);  // unreadable lon: 0
    p.siteCol = -1;
    EXPECT_EQ(countOf(kit::writeSectorKml("s.csv", t, p), "<name>Site</name>"), 6u);
}

TEST(IconMapKml, RowsNumbersAndExtendedData) {
    auto t = tableOf({"ID", "经度", "纬度"},
                     {
                         {"", "0", "5"},                  // longitude 0 alone is a place
                         {"p2", "0", "0"},                // both 0: left out, number used up
                         {"p<3>", "116.5", "40.25"},
                         {"p4", "116"},                   // too short
                         {"p5", "x", "1", "more", "más"},  // extra cells get colN names
                     });
    const std::string kml = kit::writeIconMapKml("/d/点.csv", t, 1, 2, -1, "http://h/i.png?a=1&b=2");
    EXPECT_TRUE(kml.starts_with(std::string(kHead) + R"(  <name>点</name>
  <Style id="defaultIcon">
    <IconStyle>
      <Icon><href>http://h/i.png?a=1&amp;b=2</href></Icon>
      <scale>1.0</scale>
    </IconStyle>
    <LabelStyle><scale>0.9</scale></LabelStyle>
  </Style>
  <Placemark>
    <name>Point1</name>
    <styleUrl>#defaultIcon</styleUrl>
    <ExtendedData>
      <Data name="ID">
        <value></value>
      </Data>
)")) << kml;
    EXPECT_NE(kml.find("      <coordinates>0.00000000,5.00000000,0</coordinates>\n  </Point>\n  </Placemark>\n"),
              std::string::npos);
    EXPECT_EQ(countOf(kml, "<Placemark>"), 3u);
    EXPECT_NE(kml.find("<name>Point3</name>"), std::string::npos);
    EXPECT_NE(kml.find("<name>Point5</name>"), std::string::npos);
    EXPECT_NE(kml.find("<Data name=\"col3\">\n        <value>more</value>"), std::string::npos);
    EXPECT_NE(kml.find("<Data name=\"col4\">"), std::string::npos);

    const std::string named = kit::writeIconMapKml("a.csv", t, 1, 2, 0, "u");
    EXPECT_NE(named.find("<name>p&lt;3&gt;</name>"), std::string::npos);
    EXPECT_NE(named.find("<name></name>"), std::string::npos);  // an empty id cell is still the name
}

TEST(IconCatalog, SixtySevenEntriesWithTheirAddresses) {
    const auto& all = kit::iconCatalog();
    std::set<std::string_view> files;
    std::map<std::string_view, int> groups;
    for (const auto& e : all) {
        files.insert(e.localFile);
        ++groups[e.group];
        EXPECT_TRUE(e.path.starts_with("/mapfiles/kml/")) << e.path;
        EXPECT_TRUE(e.localFile.ends_with(".png"));
    }
    EXPECT_EQ(files.size(), 67u);
    EXPECT_EQ(groups["图钉"], 8);
    EXPECT_EQ(groups["字母"], 26);
    EXPECT_EQ(groups["数字"], 9);
    EXPECT_EQ(groups["符号"], 24);
    const struct {
        size_t i;
        const char* file;
        const char* url;
    } spot[] = {{0, "ylw-pushpin.png", "http://maps.google.com/mapfiles/kml/pushpin/ylw-pushpin.png"},
                {2, "blue-pushpin.png", "http://maps.google.com/mapfiles/kml/pushpin/blu-pushpin.png"},
                {12, "E.png", "http://maps.google.com/mapfiles/kml/paddle/grn-E.png"},
                {42, "9.png", "http://maps.google.com/mapfiles/kml/paddle/grn-9.png"},
                {49, "hiker.png", "http://maps.google.com/mapfiles/kml/shapes/hiking.png"},
                {51, "info-i.png", "http://maps.google.com/mapfiles/kml/shapes/info.png"},
                {66, "water.png", "http://maps.google.com/mapfiles/kml/shapes/water.png"}};
    for (const auto& s : spot) {
        EXPECT_EQ(all[s.i].localFile, s.file);
        EXPECT_EQ(kit::iconUrl(all[s.i]), s.url);
    }
    EXPECT_EQ(kit::iconNameOf("ylw-pushpin.png"), "ylw-pushpin");
    EXPECT_EQ(kit::findIcon("E"), 12u);
    EXPECT_EQ(kit::findIcon("ylw-pushpin"), 0u);
    EXPECT_EQ(kit::findIcon("66"), 66u);
    EXPECT_EQ(kit::findIcon("67"), std::nullopt);
    EXPECT_EQ(kit::findIcon("blu-pushpin"), std::nullopt);
}

// The sector and icon-map writers, like the drive-test one, hand their
// document over in pieces of about a megabyte that join into the whole
// document; a refused piece stops them.
TEST(KmlWriters, LongDocumentsGoOutInPieces) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 6000; ++i)
        rows.push_back({"S" + std::to_string(i), std::to_string(116 + i * 1e-4), "40.5", std::to_string(i % 360)});
    const auto t = tableOf({"站名", "经度", "纬度", "方位角"}, rows);
    kit::SectorKmlParams sector;
    sector.siteCol = 0;
    sector.lonCol = 1;
    sector.latCol = 2;
    sector.azimuthCol = 3;
    using Produce = std::function<bool(const kit::TextSink&)>;
    const struct {
        const char* what;
        std::string whole;
        Produce produce;
    } writers[] = {
        {"sectors", kit::writeSectorKml(t.sourcePath, t, sector),
         [&](const kit::TextSink& s) { return kit::writeSectorKml(t.sourcePath, t, sector, s); }},
        {"icon map", kit::writeIconMapKml(t.sourcePath, t, 1, 2, 0, "u"),
         [&](const kit::TextSink& s) { return kit::writeIconMapKml(t.sourcePath, t, 1, 2, 0, "u", s); }},
    };
    for (const auto& w : writers) {
        std::string joined;
        size_t pieces = 0, largest = 0;
        EXPECT_TRUE(w.produce([&](std::string_view piece) {
            joined += piece;
            ++pieces;
            largest = std::max(largest, piece.size());
            return true;
        })) << w.what;
        EXPECT_EQ(joined, w.whole) << w.what;
        EXPECT_GE(pieces, 2u) << w.what;
        EXPECT_LE(largest, (size_t{1} << 20) + 8192) << w.what;
        size_t offered = 0;
        EXPECT_FALSE(w.produce([&](std::string_view) { return ++offered > 1; })) << w.what;
        EXPECT_EQ(offered, 1u) << w.what;
    }
}
