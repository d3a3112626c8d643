// Files the kit writes, read back by independent readers: GDAL's ogrinfo and
// Python's shapefile module. Skipped where those tools are not installed
// (and on Windows, where the tests run under Wine without them).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "layers/geojson_writer.h"
#include "layers/layer_file.h"
#include "layers/row_properties.h"
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

// A layer as a generating tool writes it: its own keys (row, azimuth) and
// then every cell of a table with awkward headers and values.
const std::string kLongText = [] {
    std::string t;
    for (int i = 0; i < 100; ++i) t += "长";  // 300 bytes
    return t;
}();

kit::Table awkwardTable() {
    kit::Table t;
    t.headers = {"名称", "lon", "lat", "ID", "row", "LongHeaderName1", "LongHeaderName2", "名称名称名称", "code",
                 "value", "note", "name", "Extra"};
    t.addRow({"站A & <b> \"q\"", "116.3", "39.9", "x1", "r1", "a", "b", "c", "007", "1.5", kLongText, "n1", ""});
    t.addRow({"", "116.4", "39.95", "x2", "r2", "d", "e", "f", "12", "22", "", "n2", "z"});
    return t;
}

std::string awkwardGeoJson(const kit::Table& t) {
    kit::RowProperties cells(t, {}, {"row", "azimuth"});
    kit::GeoJsonWriter w;
    std::vector<kit::GeoJsonProperty> props = {{"row", "", false}, {"azimuth", "", false}};
    for (size_t r = 0; r < t.rowCount(); ++r) {
        props[0].value = std::to_string(r);
        props[1].value = kit::formatNumber(120.5 * double(r + 1));
        cells.fill(r, props);
        w.addFeature("\"type\": \"Point\",\n        \"coordinates\": " +
                         kit::formatPosition(116 + double(r), 40),
                     props);
    }
    return w.finish();
}

// Each feature's fields as ogrinfo prints them: name -> (type, value).
using FieldValues = std::map<std::string, std::pair<std::string, std::string>>;

std::vector<FieldValues> ogrFeatures(const std::string& info) {
    static const std::regex field(R"(^  (\S+) \((\w+)\) = (.*)$)");
    std::vector<FieldValues> out;
    std::istringstream in(info);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("OGRFeature(")) out.emplace_back();
        std::smatch m;
        if (!out.empty() && std::regex_match(line, m, field)) out.back()[m[1]] = {m[2], m[3]};
    }
    return out;
}

// A value read back: text exactly; a number GDAL typed as one by value; an
// empty text may come back as null where the format has no empty text.
void expectValue(const FieldValues& f, const std::string& name, const std::string& expected,
                 const std::string& where) {
    auto it = f.find(name);
    ASSERT_NE(it, f.end()) << where << ": no field " << name;
    const auto& [type, value] = it->second;
    if (expected.empty() && value == "(null)") return;
    if (type == "Integer" || type == "Integer64" || type == "Real")
        EXPECT_DOUBLE_EQ(std::stod(value), std::stod(expected)) << where << ": " << name;
    else
        EXPECT_EQ(value, expected) << where << ": " << name;
}
#endif

}  // namespace

#ifndef _WIN32

TEST(Interop, GdalReadsEveryFieldAndValueBack) {
    REQUIRE_TOOL("ogrinfo --version");
    kit::test::ScratchDir dir;
    const kit::Table table = awkwardTable();
    const std::string text = awkwardGeoJson(table);
    // The property keys, and the names each format gives them.
    const std::vector<std::string> keys = {"row",   "azimuth",         "名称",            "lon",          "lat",
                                           "ID",    "row_1",           "LongHeaderName1", "LongHeaderName2",
                                           "名称名称名称", "code", "value",  "note", "name", "Extra"};
    const std::vector<std::string> dbfNames = {"row",        "azimuth",    "名称",   "lon",  "lat",
                                               "ID_1",       "row_1",      "LongHeader", "LongHead_1",
                                               "名称名",     "code",       "value",  "note", "name", "Extra"};
    std::vector<std::string> kmlNames = keys;
    kmlNames[13] = "name_1";  // LIBKML's own Name field

    auto value = [&](size_t r, size_t k) -> std::string {
        if (k == 0) return std::to_string(r);
        if (k == 1) return kit::formatNumber(120.5 * double(r + 1));
        return std::string(table.cell(r, k - 2));
    };
    struct Case {
        const char* file;
        const char* env;  // forces one KML driver
        const std::vector<std::string>* names;
        bool cutAt254;
    } cases[] = {
        {"层.geojson", "", &keys, false},
        {"层.shp", "", &dbfNames, true},
        {"层.kml", "GDAL_SKIP=KML ", &kmlNames, false},
    };
    for (const Case& c : cases) {
        auto saved = kit::saveLayer(dir.file(c.file), text, 2);
        ASSERT_TRUE(saved.ok()) << saved.message;
        const std::string info = capture(std::string(c.env) + "ogrinfo -al '" + dir.file(c.file) + "' 2>&1");
        EXPECT_EQ(info.find("ERROR"), std::string::npos) << info;
        auto features = ogrFeatures(info);
        ASSERT_EQ(features.size(), 2u) << info;
        for (size_t r = 0; r < 2; ++r) {
            // The Shapefile adds ID; LIBKML its Name, tessellate, extrude, visibility.
            EXPECT_EQ(features[r].size(), keys.size() + (c.names == &keys ? 0 : c.names == &dbfNames ? 1 : 4))
                << c.file << "\n" << info;
            for (size_t k = 0; k < keys.size(); ++k) {
                std::string expected = value(r, k);
                if (c.cutAt254 && expected.size() > 254) expected = expected.substr(0, 252);  // 84 characters
                expectValue(features[r], (*c.names)[k], expected, c.file);
            }
        }
        if (c.cutAt254) {
            EXPECT_NE(saved.message.find("有 1 个属性值超过 254 字节"), std::string::npos) << saved.message;
        }
    }
    // Both KML drivers: the placemark's name is the row's first cell, else
    // "Feature n" (GDAL's older KML driver reads nothing else).
    for (const char* env : {"GDAL_SKIP=KML ", "GDAL_SKIP=LIBKML "}) {
        auto features = ogrFeatures(capture(std::string(env) + "ogrinfo -al '" + dir.file("层.kml") + "' 2>&1"));
        ASSERT_EQ(features.size(), 2u) << env;
        expectValue(features[0], "Name", "站A & <b> \"q\"", env);
        expectValue(features[1], "Name", "Feature 1", env);
    }
    // The Shapefile set says what its bytes and coordinates are.
    EXPECT_EQ(kit::test::readAll(dir.file("层.cpg")), "UTF-8");
    EXPECT_NE(ogrinfo(dir.file("层.shp")).find("GEOGCRS[\"WGS 84\""), std::string::npos);
}

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
    // Named by the first property, the row's first cell.
    EXPECT_NE(info.find("Name (String) = 基站-2"), std::string::npos) << info;

    ASSERT_TRUE(kit::saveLayer(dir.file("点.kml"), pointsGeoJson(2)).ok());
    info = ogrinfo(dir.file("点.kml"));
    EXPECT_NE(info.find("Feature Count: 2"), std::string::npos) << info;
    EXPECT_NE(info.find("POINT Z (117.5 40.25 0)"), std::string::npos) << info;
    EXPECT_NE(info.find("Name (String) = 点\"1\""), std::string::npos) << info;
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
              "5 4 ['ID', '站名', '方位角']\n"
              "5 [0] 9 (116.0, 39.9) [0, '基站-0', 0]\n"
              "5 [0] 9 (116.01, 39.9) [1, '基站-1', 30]\n"
              "5 [0] 9 (116.02, 39.9) [2, '基站-2', 60]\n"
              "5 [0] 9 (116.03, 39.9) [3, '基站-3', 90]\n"
              "1 2 ['ID', '名称']\n"
              "1 [] 1 (116.5, 40.25) [0, '点\"0\"']\n"
              "1 [] 1 (117.5, 40.25) [1, '点\"1\"']\n");
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
