#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/file_io.h"
#include "layers/geojson_writer.h"
#include "layers/kml.h"
#include "layers/layer_file.h"
#include "layer_test_util.h"

using kit::Layer;
using kit::Position;

namespace {

const std::string kFixtures = KIT_FIXTURES;

std::string sampleGeoJson() {
    kit::GeoJsonWriter w;
    w.addFeature("\"type\": \"Polygon\",\n        \"coordinates\": [[" + kit::formatPosition(116.1, 39.1) + ", " +
                     kit::formatPosition(116.2, 39.1) + ", " + kit::formatPosition(116.2, 39.2) + ", " +
                     kit::formatPosition(116.1, 39.1) + "]]",
                 {{"小区", "甲-1", true}, {"方位角", "30", false}});
    w.addFeature("\"type\": \"Polygon\",\n        \"coordinates\": [[" + kit::formatPosition(116.3, 39.3) + ", " +
                     kit::formatPosition(116.4, 39.3) + ", " + kit::formatPosition(116.4, 39.4) + ", " +
                     kit::formatPosition(116.3, 39.3) + "]]",
                 {{"小区", "乙-2", true}, {"方位角", "150", false}});
    return w.finish();
}

Layer loaded(const std::string& path) {
    Layer layer;
    kit::Outcome read = kit::loadLayerFile(path, layer);
    EXPECT_TRUE(read.ok()) << read.message;
    return layer;
}

void copyFile(const std::string& from, const std::string& to) {
    ASSERT_TRUE(kit::writeFileBytes(to, kit::test::readAll(from)));
}

}  // namespace

TEST(LoadLayerFile, ZonesGeoJsonWrittenByGdal) {
    Layer layer = loaded(kFixtures + "/zones.geojson");
    ASSERT_EQ(layer.features.size(), 4u);
    EXPECT_EQ(layer.fieldNames, (std::vector<std::string>{"人口", "区县", "编号"}));
    EXPECT_EQ(layer.features[0].ring.size(), 5u);
    EXPECT_EQ(layer.features[0].properties,
              (std::map<std::string, std::string>{{"区县", "海淀区"}, {"编号", "1"}, {"人口", "313.2"}}));
    // The hole's positions follow the outer ring's in the one ring.
    ASSERT_EQ(layer.features[1].ring.size(), 10u);
    EXPECT_EQ(layer.features[1].ring[5], (Position{116.38, 39.9}));
    // Both parts of the multipolygon in one ring.
    ASSERT_EQ(layer.features[2].ring.size(), 10u);
    EXPECT_EQ(layer.features[2].ring[9], (Position{116.46, 39.93}));
    EXPECT_EQ(layer.features[3].properties.at("人口"), "");
    for (const auto& f : layer.features) EXPECT_EQ(f.type, "Polygon");
}

TEST(LoadLayerFile, ZonesKmlWrittenByGdal) {
    Layer layer = loaded(kFixtures + "/zones.kml");
    // The multigeometry gives both its polygons.
    ASSERT_EQ(layer.features.size(), 5u);
    // The SchemaData values, as GDAL wrote them (no name or description).
    EXPECT_EQ(layer.fieldNames, (std::vector<std::string>{"人口", "区县", "编号"}));
    EXPECT_EQ(layer.features[0].properties,
              (std::map<std::string, std::string>{{"区县", "海淀区"}, {"编号", "1"}, {"人口", "313.2"}}));
    for (const auto& f : layer.features) EXPECT_EQ(f.type, "Polygon");
    EXPECT_EQ(layer.features[1].ring.size(), 10u);  // the outer boundary and its hole
    EXPECT_EQ(layer.features[2].ring[0], (Position{116.42, 39.88}));
    EXPECT_EQ(layer.features[2].properties, layer.features[3].properties);
}

TEST(LoadLayerFile, ZonesShapefileWrittenByGdal) {
    Layer layer = loaded(kFixtures + "/zones.shp");
    // The polygon keeps its hole; the two-part multipolygon gives two.
    ASSERT_EQ(layer.features.size(), 5u);
    EXPECT_EQ(layer.fieldNames, (std::vector<std::string>{"区县", "编号", "人口"}));
    EXPECT_EQ(layer.features[0].properties.at("区县"), "海淀区");
    EXPECT_EQ(layer.features[0].properties.at("编号"), "1");  // the number without its padding
    EXPECT_EQ(layer.features[0].properties.at("人口"), "313.199999999999989");
    EXPECT_EQ(layer.features[1].properties.at("区县"), "西城区");
    EXPECT_EQ(layer.features[1].ring.size(), 10u);
    EXPECT_EQ(layer.features[2].properties, layer.features[3].properties);
    EXPECT_EQ(layer.features[3].properties.at("区县"), "东城区");
    EXPECT_EQ(layer.features[4].properties.at("人口"), "************************");
}

TEST(LoadLayerFile, ExtensionChoosesTheReaderWhateverItsCase) {
    kit::test::ScratchDir dir;
    copyFile(kFixtures + "/zones.kml", dir.file("区.KML"));
    EXPECT_EQ(loaded(dir.file("区.KML")).features.size(), 5u);
    // KML text under another name goes to the GeoJSON reader and yields nothing.
    copyFile(kFixtures + "/zones.kml", dir.file("区.txt"));
    EXPECT_TRUE(loaded(dir.file("区.txt")).features.empty());
    copyFile(kFixtures + "/zones.geojson", dir.file("无扩展名"));
    EXPECT_EQ(loaded(dir.file("无扩展名")).features.size(), 4u);
    copyFile(kFixtures + "/zones.shp", dir.file("z.SHP"));
    copyFile(kFixtures + "/zones.dbf", dir.file("z.dbf"));
    Layer shp = loaded(dir.file("z.SHP"));
    EXPECT_EQ(shp.features.size(), 5u);
    EXPECT_EQ(shp.fieldNames.size(), 3u);
}

// Only the file's own name chooses the reader and the written type: folders
// named like layer files change nothing.
TEST(LayerFile, ADotInAFolderNameIsNoExtension) {
    kit::test::ScratchDir dir;
    const std::string kmlFolder = dir.file("区.kml"), shpFolder = dir.file("out.SHP");
    ASSERT_TRUE(kit::createDirectories(kmlFolder));
    ASSERT_TRUE(kit::createDirectories(shpFolder));
    copyFile(kFixtures + "/zones.geojson", kit::joinPath(kmlFolder, "zones"));
    EXPECT_EQ(loaded(kit::joinPath(kmlFolder, "zones")).features.size(), 4u);
    copyFile(kFixtures + "/zones.kml", kit::joinPath(shpFolder, "zones.kml"));
    EXPECT_EQ(loaded(kit::joinPath(shpFolder, "zones.kml")).features.size(), 5u);

    const std::pair<const char*, const char*> saves[] = {{"points", "points.geojson"}, {"points.kml", "points.kml"}};
    for (auto [chosen, written] : saves) {
        auto out = kit::saveLayer(kit::joinPath(shpFolder, chosen), sampleGeoJson());
        ASSERT_TRUE(out.ok()) << chosen << ": " << out.message;
        EXPECT_EQ(out.text, kit::joinPath(shpFolder, written));
        EXPECT_EQ(loaded(out.text).features.size(), 2u) << chosen;
    }
}

TEST(LoadLayerFile, FailuresKeepThePreviousLayer) {
    kit::test::ScratchDir dir;
    Layer layer = loaded(kFixtures + "/zones.geojson");
    EXPECT_EQ(kit::loadLayerFile(dir.file("没有.geojson"), layer).message, "无法打开文件");
    EXPECT_EQ(kit::loadLayerFile(dir.path(), layer).message, "无法打开文件");
    ASSERT_TRUE(kit::writeFileBytes(dir.file("坏.shp"), std::string(200, 'x')));
    EXPECT_EQ(kit::loadLayerFile(dir.file("坏.shp"), layer).message, "无法打开 Shapefile");
    ASSERT_TRUE(kit::writeFileBytes(dir.file("短.shp"), std::string("\0\0\x27\x0a", 4)));
    EXPECT_EQ(kit::loadLayerFile(dir.file("短.shp"), layer).message, "无法打开 Shapefile");
    EXPECT_EQ(layer.features.size(), 4u);
    EXPECT_EQ(layer.fieldNames.size(), 3u);

    // A successful load replaces the layer, even by an empty one.
    ASSERT_TRUE(kit::writeFileBytes(dir.file("空.geojson"), ""));
    EXPECT_TRUE(kit::loadLayerFile(dir.file("空.geojson"), layer).ok());
    EXPECT_TRUE(layer.features.empty());
    EXPECT_TRUE(layer.fieldNames.empty());
}

TEST(LoadLayerFile, SizeLimitIsExactlyOneHundredMebibytes) {
    kit::test::ScratchDir dir;
    const std::string feature =
        "{\"type\":\"Feature\",\"properties\":{\"k\":\"v\"},\"geometry\":{\"type\":\"Point\",\"coordinates\":[1,2]}}";
    auto make = [&](const std::string& name, uint64_t size) {
        std::string path = dir.file(name);
        EXPECT_TRUE(kit::writeFileBytes(path, feature));
        // Zero-filled (sparse where the file system allows) up to the size.
        std::filesystem::resize_file(kit::test::pathOf(path), size);
        return path;
    };
    Layer layer;
    std::string atLimit = make("整.geojson", kit::kMaxLayerFileBytes);
    EXPECT_TRUE(kit::loadLayerFile(atLimit, layer).ok());
    EXPECT_EQ(layer.features.size(), 1u);
    std::string over = make("超.geojson", kit::kMaxLayerFileBytes + 1);
    EXPECT_EQ(kit::loadLayerFile(over, layer).message, "文件过大或无效");
    EXPECT_EQ(layer.features.size(), 1u);
    std::filesystem::remove(kit::test::pathOf(atLimit));
    std::string overShp = make("超.shp", kit::kMaxLayerFileBytes + 1);
    EXPECT_EQ(kit::loadLayerFile(overShp, layer).message, "文件过大或无效");
}

TEST(SaveLayer, ExtensionRulesAndOutcome) {
    kit::test::ScratchDir dir;
    const std::string text = sampleGeoJson();
    struct Case {
        std::string chosen, written;
    } cases[] = {
        {"图层", "图层.geojson"},      {"a.json", "a.json"},           {"b.geojson", "b.geojson"},
        {"c.GEOJSON", "c.GEOJSON.geojson"}, {"d.KML", "d.KML.kml"}, {"e.kml", "e.kml"},
        {"f.Shp", "f.Shp.shp"},        {"g.shp", "g.shp"},
    };
    for (const Case& c : cases) {
        auto out = kit::saveLayer(dir.file(c.chosen), text);
        ASSERT_TRUE(out.ok()) << c.chosen << ": " << out.message;
        EXPECT_EQ(out.text, dir.file(c.written));
        EXPECT_EQ(out.message, "创建完成！\n文件已保存到：" + dir.file(c.written));
        EXPECT_TRUE(kit::fileExists(dir.file(c.written))) << c.written;
    }
    EXPECT_EQ(kit::test::readAll(dir.file("a.json")), "\xEF\xBB\xBF" + text);
    EXPECT_EQ(kit::test::readAll(dir.file("d.KML.kml")), kit::kmlFromGeoJson(text));
    EXPECT_TRUE(kit::fileExists(dir.file("f.Shp.shx")));
    EXPECT_TRUE(kit::fileExists(dir.file("f.Shp.dbf")));
    EXPECT_FALSE(kit::fileExists(dir.file("f.Shp")));
}

TEST(SaveLayer, SavedFilesLoadBack) {
    kit::test::ScratchDir dir;
    const std::string text = sampleGeoJson();
    for (const char* name : {"回.geojson", "回.kml", "回.shp"}) ASSERT_TRUE(kit::saveLayer(dir.file(name), text).ok());
    Layer g = loaded(dir.file("回.geojson"));
    ASSERT_EQ(g.features.size(), 2u);
    EXPECT_EQ(g.features[1].properties.at("小区"), "乙-2");
    EXPECT_EQ(g.features[1].properties.at("方位角"), "150");
    EXPECT_EQ(g.features[1].ring.size(), 4u);
    Layer k = loaded(dir.file("回.kml"));
    ASSERT_EQ(k.features.size(), 2u);
    // The placemark is named by the first property, the row's first cell.
    EXPECT_EQ(k.features[1].properties.at("Name"), "乙-2");
    EXPECT_EQ(k.features[1].ring, g.features[1].ring);
    Layer s = loaded(dir.file("回.shp"));
    ASSERT_EQ(s.features.size(), 2u);
    // The Shapefile stores its outer ring clockwise: the same ring reversed.
    EXPECT_EQ(s.features[1].ring, (std::vector<kit::Position>(g.features[1].ring.rbegin(), g.features[1].ring.rend())));
    EXPECT_EQ(s.features[1].properties.at("ID"), "1");
}

TEST(SaveLayer, ErrorsComeFromTheWriters) {
    kit::test::ScratchDir dir;
    const std::string text = sampleGeoJson();
    auto geo = kit::saveLayer(dir.file("无/x"), text);
    EXPECT_EQ(geo.status, kit::Status::Error);
    EXPECT_EQ(geo.message, "无法创建文件");
    EXPECT_EQ(kit::saveLayer(dir.file("无/x.kml"), text).message, "无法创建文件");
    EXPECT_EQ(kit::saveLayer(dir.file("无/x.shp"), text).message, "写入 Shapefile 失败");
    EXPECT_EQ(kit::saveLayer(dir.file("空.shp"), "{}").message, "GeoJSON 中未找到要素");
    EXPECT_FALSE(kit::fileExists(dir.file("空.shp")));
}
