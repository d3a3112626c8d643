// Layers as GDAL writes them (ogr2ogr builds each input here), read for
// matching: GBK Shapefiles with and without their .cpg, KML with SimpleData,
// polygons with holes in every format, and a projected layer that must be
// refused. Skipped where ogr2ogr is not installed (and on Windows).
#include <gtest/gtest.h>

#include <cstdio>

#include "analysis/layer_match.h"
#include "core/file_io.h"
#include "tests/shell_command.h"
#include "tests/temp_folder.h"

#ifndef _WIN32

namespace {

using kit::Layer;
using kit::test::capture;

class OgrInputs : public ::testing::Test {
protected:
    void SetUp() override {
        if (!kit::test::haveCommand("ogr2ogr --version")) GTEST_SKIP() << "not installed: ogr2ogr";
    }
    // A CSV of WKT geometries and attributes converted by ogr2ogr with the
    // given options; the path of the output.
    std::string convert(const std::string& csv, const std::string& out, const std::string& options) {
        const std::string in = dir_.file("in.csv");
        EXPECT_TRUE(kit::writeFileBytes(in, csv));
        const std::string path = dir_.file(out);
        capture(options + " '" + path + "' '" + in + "' -oo KEEP_GEOM_COLUMNS=NO 2>&1");
        return path;
    }
    kit::test::TempFolder dir_{"kit_ogr_"};
};

const std::string kDistricts =
    "WKT,名称,编号\n"
    "\"POLYGON ((116.30 39.90, 116.40 39.90, 116.40 40.00, 116.30 40.00, 116.30 39.90),"
    " (116.34 39.94, 116.36 39.94, 116.36 39.96, 116.34 39.96, 116.34 39.94))\",海淀区,1\n"
    "\"POLYGON ((116.40 39.90, 116.50 39.90, 116.50 40.00, 116.40 40.00, 116.40 39.90))\",朝阳区,2\n";

// The layer's matches at a point inside the hole and at one in the ring.
void expectHoleHonoured(const Layer& layer, const std::string& what) {
    ASSERT_EQ(layer.features.size(), 2u) << what;
    EXPECT_FALSE(kit::matchFeature(layer.features[0], 116.35, 39.95, 100)) << what;
    EXPECT_EQ(kit::matchFeature(layer.features[0], 116.32, 39.95, 100), 0.0) << what;
    EXPECT_EQ(kit::matchFeature(layer.features[1], 116.45, 39.95, 100), 0.0) << what;
}

TEST_F(OgrInputs, GbkShapefileWithCpgOrLanguageByteOnly) {
    const std::string shp = convert(kDistricts, "gbk.shp", "ogr2ogr -lco ENCODING=CP936");
    ASSERT_EQ(capture("cat '" + dir_.file("gbk.cpg") + "'").substr(0, 5), "CP936");
    Layer layer;
    ASSERT_TRUE(kit::loadMatchLayer(shp, layer).ok());
    EXPECT_EQ(layer.fieldNames, (std::vector<std::string>{"名称", "编号"}));
    EXPECT_EQ(layer.features[0].properties.at("名称"), "海淀区");
    EXPECT_EQ(layer.features[0].properties.at("编号"), "1");
    expectHoleHonoured(layer, "shapefile");

    // Without the .cpg, the language byte 0x4D (GBK) says the same.
    ASSERT_EQ(std::remove(dir_.file("gbk.cpg").c_str()), 0);
    auto dbf = kit::readFileBytes(dir_.file("gbk.dbf"));
    ASSERT_TRUE(dbf && dbf->size() > 32);
    (*dbf)[29] = 0x4D;
    ASSERT_TRUE(kit::writeFileBytes(dir_.file("gbk.dbf"), *dbf));
    Layer byByte;
    ASSERT_TRUE(kit::loadMatchLayer(shp, byByte).ok());
    EXPECT_EQ(byByte.features[1].properties.at("名称"), "朝阳区");
}

TEST_F(OgrInputs, KmlWithSimpleDataAndGeoJsonWithHoles) {
    // The KML driver (not LIBKML) writes SchemaData/SimpleData; 名称 goes to <name>.
    const std::string kml = convert(kDistricts, "d.kml", "GDAL_SKIP=LIBKML ogr2ogr -f KML -dsco NameField=名称");
    ASSERT_NE(capture("cat '" + kml + "'").find("<SimpleData name=\"编号\">1</SimpleData>"), std::string::npos);
    Layer k;
    ASSERT_TRUE(kit::loadMatchLayer(kml, k).ok());
    EXPECT_EQ(k.fieldNames, (std::vector<std::string>{"Name", "编号"}));
    EXPECT_EQ(k.features[0].properties.at("Name"), "海淀区");
    EXPECT_EQ(k.features[0].properties.at("编号"), "1");
    expectHoleHonoured(k, "kml");

    const std::string geojson = convert(kDistricts, "d.geojson", "ogr2ogr -f GeoJSON");
    Layer g;
    ASSERT_TRUE(kit::loadMatchLayer(geojson, g).ok());
    EXPECT_EQ(g.features[1].properties.at("名称"), "朝阳区");
    expectHoleHonoured(g, "geojson");
}

TEST_F(OgrInputs, ProjectedLayerIsRefused) {
    for (const char* name : {"utm.shp", "utm.geojson"}) {
        const std::string path =
            convert(kDistricts, name, "ogr2ogr -s_srs EPSG:4326 -t_srs EPSG:32650 -f " +
                                          std::string(name[4] == 's' ? "'ESRI Shapefile'" : "GeoJSON"));
        Layer layer;
        kit::Outcome o = kit::loadMatchLayer(path, layer);
        EXPECT_EQ(o.status, kit::Status::Warning) << name;
        EXPECT_NE(o.message.find(std::string("图层 ") + name + " 不是经纬度坐标"), std::string::npos) << o.message;
        EXPECT_TRUE(layer.features.empty());
    }
    // CGCS2000 (EPSG:4490) is geographic: read as it is.
    const std::string cgcs = convert(kDistricts, "cgcs.shp", "ogr2ogr -s_srs EPSG:4326 -t_srs EPSG:4490");
    Layer layer;
    EXPECT_TRUE(kit::loadMatchLayer(cgcs, layer).ok());
}

}  // namespace

#endif
