// Files the kit writes, read back by independent readers: GDAL's ogrinfo and
// Python's shapefile module. Skipped where those tools are not installed
// (and on Windows, where the tests run under Wine without them).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "layers/geojson_writer.h"
#include "layers/layer_file.h"
#include "layer_test_util.h"
#include "tests/shell_command.h"

namespace {

#ifndef _WIN32
using kit::test::capture;
using kit::test::haveCommand;

std::string ogrinfo(const std::string& path) { return capture("ogrinfo -al '" + path + "' 2>&1"); }

size_t countOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

#define REQUIRE_TOOL(probe)                                               \
    do {                                                                  \
        if (!haveCommand(probe)) GTEST_SKIP() << "not installed: " probe; \
    } while (0)

// Sector-like wedges, as the sectors tool writes them.
std::string sectorsGeoJson(int n) {
    kit::GeoJsonWriter w;
    for (int i = 0; i < n; ++i) {
        double lon = 116 + 0.01 * i, lat = 39.9;
        std::string g = "\"type\": \"Polygon\",\n        \"coordinates\": [[" + kit::formatPosition(lon, lat);
        for (int k = 0; k <= 6; ++k) g += ", " + kit::formatPosition(lon + 0.001 * k, lat + 0.002 - 0.0003 * k);
        g += ", " + kit::formatPosition(lon, lat) + "]]";
        w.addFeature(g, {{"站名", "基站-" + std::to_string(i), true}, {"方位角", std::to_string(30 * i), false}});
    }
    return w.finish();
}

std::string pointsGeoJson(int n) {
    kit::GeoJsonWriter w;
    for (int i = 0; i < n; ++i)
        w.addFeature("\"type\": \"Point\",\n        \"coordinates\": " + kit::formatPosition(116.5 + i, 40.25),
                     {{"名称", "点\"" + std::to_string(i) + "\"", true}});
    return w.finish();
}
#endif

}  // namespace

#ifndef _WIN32

TEST(Interop, GdalReadsWrittenGeoJson) {
    REQUIRE_TOOL("ogrinfo --version");
    kit::test::ScratchDir dir;
    ASSERT_TRUE(kit::saveLayer(dir.file("扇区.geojson"), sectorsGeoJson(3)).ok());
    std::string info = ogrinfo(dir.file("扇区.geojson"));
    EXPECT_NE(info.find("Geometry: Polygon"), std::string::npos) << info;
    EXPECT_NE(info.find("Feature Count: 3"), std::string::npos) << info;
    EXPECT_NE(info.find("站名 (String) = 基站-2"), std::string::npos) << info;
    EXPECT_NE(info.find("方位角 (Integer) = 60"), std::string::npos) << info;
    EXPECT_NE(info.find("POLYGON ((116.02 39.9,116.02 39.902,"), std::string::npos) << info;

    ASSERT_TRUE(kit::saveLayer(dir.file("点.json"), pointsGeoJson(2)).ok());
    info = ogrinfo(dir.file("点.json"));
    EXPECT_NE(info.find("Geometry: Point"), std::string::npos) << info;
    EXPECT_NE(info.find("Feature Count: 2"), std::string::npos) << info;
    EXPECT_NE(info.find("名称 (String) = 点\"1\""), std::string::npos) << info;
    EXPECT_NE(info.find("POINT (117.5 40.25)"), std::string::npos) << info;
}

TEST(Interop, GdalReadsWrittenKml) {
    REQUIRE_TOOL("ogrinfo --version");
    kit::test::ScratchDir dir;
    ASSERT_TRUE(kit::saveLayer(dir.file("扇区.kml"), sectorsGeoJson(3)).ok());
    std::string info = ogrinfo(dir.file("扇区.kml"));
    EXPECT_NE(info.find("Feature Count: 3"), std::string::npos) << info;
    EXPECT_EQ(countOf(info, "POLYGON Z ((116.0"), 3u) << info;
    EXPECT_NE(info.find("Name (String) = Feature 2"), std::string::npos) << info;

    ASSERT_TRUE(kit::saveLayer(dir.file("点.kml"), pointsGeoJson(2)).ok());
    info = ogrinfo(dir.file("点.kml"));
    EXPECT_NE(info.find("Feature Count: 2"), std::string::npos) << info;
    EXPECT_NE(info.find("POINT Z (117.5 40.25 0)"), std::string::npos) << info;
    EXPECT_NE(info.find("Name (String) = Feature 1"), std::string::npos) << info;
}

TEST(Interop, GdalReadsWrittenShapefiles) {
    REQUIRE_TOOL("ogrinfo --version");
    kit::test::ScratchDir dir;
    ASSERT_TRUE(kit::saveLayer(dir.file("扇区.shp"), sectorsGeoJson(3)).ok());
    std::string info = ogrinfo(dir.file("扇区.shp"));
    EXPECT_NE(info.find("Geometry: Polygon"), std::string::npos) << info;
    EXPECT_NE(info.find("Feature Count: 3"), std::string::npos) << info;
    EXPECT_NE(info.find("ID: Integer"), std::string::npos) << info;
    EXPECT_NE(info.find("(Integer64) = 2"), std::string::npos) << info;
    EXPECT_EQ(countOf(info, "POLYGON ((116.0"), 3u) << info;
    EXPECT_EQ(info.find("ERROR"), std::string::npos) << info;

    ASSERT_TRUE(kit::saveLayer(dir.file("点.SHP"), pointsGeoJson(3)).ok());
    info = ogrinfo(dir.file("点.SHP.shp"));
    EXPECT_NE(info.find("Geometry: Point"), std::string::npos) << info;
    EXPECT_NE(info.find("Feature Count: 3"), std::string::npos) << info;
    EXPECT_NE(info.find("POINT (118.5 40.25)"), std::string::npos) << info;
    EXPECT_EQ(info.find("ERROR"), std::string::npos) << info;
}

TEST(Interop, PyshpReadsWrittenShapefiles) {
    REQUIRE_TOOL("/usr/bin/python3 -c 'import shapefile'");
    kit::test::ScratchDir dir;
    ASSERT_TRUE(kit::saveLayer(dir.file("扇区.shp"), sectorsGeoJson(4)).ok());
    ASSERT_TRUE(kit::saveLayer(dir.file("点.shp"), pointsGeoJson(2)).ok());
    const std::string script =
        "import shapefile, sys\n"
        "for p in sys.argv[1:]:\n"
        "    r = shapefile.Reader(p)\n"
        "    print(r.shapeType, len(r), [f[0] for f in r.fields[1:]])\n"
        "    for s, rec in zip(r.shapes(), r.records()):\n"
        "        print(s.shapeType, list(s.parts), len(s.points), tuple(s.points[0]), list(rec))\n";
    ASSERT_TRUE(kit::writeFileBytes(dir.file("read.py"), script));
    std::string out = capture("/usr/bin/python3 '" + dir.file("read.py") + "' '" + dir.file("扇区.shp") + "' '" +
                              dir.file("点.shp") + "' 2>&1");
    EXPECT_EQ(out,
              "5 4 ['ID']\n"
              "5 [0] 9 (116.0, 39.9) [0]\n"
              "5 [0] 9 (116.01, 39.9) [1]\n"
              "5 [0] 9 (116.02, 39.9) [2]\n"
              "5 [0] 9 (116.03, 39.9) [3]\n"
              "1 2 ['ID']\n"
              "1 [] 1 (116.5, 40.25) [0]\n"
              "1 [] 1 (117.5, 40.25) [1]\n");
}

TEST(Interop, KitReadsWhatGdalWrites) {
    REQUIRE_TOOL("ogr2ogr --version");
    kit::test::ScratchDir dir;
    // GDAL converts the kit's GeoJSON to its own Shapefile and KML; the kit
    // reads those back with the same geometry.
    ASSERT_TRUE(kit::saveLayer(dir.file("src.geojson"), sectorsGeoJson(3)).ok());
    std::string src = dir.file("src.geojson");
    capture("ogr2ogr -f 'ESRI Shapefile' -lco ENCODING=UTF-8 '" + dir.file("gdal.shp") + "' '" + src + "' 2>&1");
    capture("ogr2ogr -f KML '" + dir.file("gdal.kml") + "' '" + src + "' 2>&1");
    kit::Layer shp, kml, geo;
    ASSERT_TRUE(kit::loadLayerFile(dir.file("gdal.shp"), shp).ok());
    ASSERT_TRUE(kit::loadLayerFile(dir.file("gdal.kml"), kml).ok());
    ASSERT_TRUE(kit::loadLayerFile(src, geo).ok());
    ASSERT_EQ(shp.features.size(), 3u);
    ASSERT_EQ(kml.features.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_EQ(shp.features[i].ring.size(), geo.features[i].ring.size());
        EXPECT_EQ(kml.features[i].ring.size(), geo.features[i].ring.size());
        for (size_t k = 0; k < geo.features[i].ring.size(); ++k) {
            EXPECT_NEAR(shp.features[i].ring[k].lon, geo.features[i].ring[k].lon, 1e-12);
            EXPECT_NEAR(kml.features[i].ring[k].lat, geo.features[i].ring[k].lat, 1e-9);
        }
    }
    EXPECT_EQ(shp.features[1].properties.at("站名"), "基站-1");
    EXPECT_EQ(shp.fieldNames, (std::vector<std::string>{"站名", "方位角"}));
}

#endif
