// Layers whose coordinates are not longitude / latitude are told apart.
#include "layers/lonlat_check.h"

#include <gtest/gtest.h>

#include "layer_test_util.h"

namespace {

TEST(LonLatCheck, ProjectedPrjTexts) {
    struct Case {
        const char* wkt;
        bool projected;
    } cases[] = {
        {R"(PROJCS["WGS_1984_UTM_Zone_50N",GEOGCS["GCS_WGS_1984",DATUM["D_WGS_1984"]]])", true},
        {R"(  projcs["CGCS2000_3_Degree_GK_Zone_39",GEOGCS["GCS_China_Geodetic_Coordinate_System_2000"]])", true},
        {"\xEF\xBB\xBFPROJCRS[\"WGS 84 / UTM zone 50N\",BASEGEOGCRS[\"WGS 84\"]]", true},
        {R"(PROJECTEDCRS["x"])", true},
        {R"(GEOGCS["GCS_WGS_1984",DATUM["D_WGS_1984",SPHEROID["WGS_1984",6378137.0,298.257223563]]])", false},
        {R"(GEOGCS["GCS_China_Geodetic_Coordinate_System_2000",DATUM["D_China_2000"]])", false},
        {R"(GEOGCS["GCS_Beijing_1954",DATUM["D_Beijing_1954"]])", false},
        {R"(GEOGCS["GCS_Xian_1980",DATUM["D_Xian_1980"]])", false},
        {R"(GEOGCRS["WGS 84",DATUM["World Geodetic System 1984"]])", false},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(kit::isProjectedPrj(c.wkt), c.projected) << c.wkt;
}

kit::Layer layerAt(double lon, double lat, bool polygon) {
    kit::Layer l;
    kit::Feature f;
    f.type = polygon ? "Polygon" : "Point";
    if (polygon)
        f.ring = {{116, 40}, {lon, lat}, {116, 41}};
    else
        f.lon = lon, f.lat = lat;
    l.features.push_back(f);
    return l;
}

TEST(LonLatCheck, Extent) {
    EXPECT_TRUE(kit::extentIsLonLat(layerAt(180, -90, true)));
    EXPECT_TRUE(kit::extentIsLonLat(layerAt(NAN, 40, false)));  // left to the tests, which match nothing
    EXPECT_FALSE(kit::extentIsLonLat(layerAt(440000, 4420000, true)));
    EXPECT_FALSE(kit::extentIsLonLat(layerAt(116, 90.5, false)));
    EXPECT_FALSE(kit::extentIsLonLat(layerAt(-INFINITY, 0, false)));
    EXPECT_TRUE(kit::extentIsLonLat(kit::Layer{}));
}

TEST(LonLatCheck, WarningNamesTheLayer) {
    kit::test::ScratchDir dir;
    const kit::Layer lonLat = layerAt(116.5, 40, true);
    const std::string shp = dir.file("分区.shp");
    EXPECT_FALSE(kit::notLonLatWarning(shp, lonLat));  // no .prj: the extent decides
    ASSERT_TRUE(kit::writeFileBytes(dir.file("分区.prj"), R"(PROJCS["WGS_1984_UTM_Zone_50N"])"));
    EXPECT_EQ(kit::notLonLatWarning(shp, lonLat), "图层 分区.shp 不是经纬度坐标（投影坐标系），无法匹配");
    // A .prj speaks only for the Shapefile it belongs to.
    EXPECT_FALSE(kit::notLonLatWarning(dir.file("分区.geojson"), lonLat));
    EXPECT_EQ(kit::notLonLatWarning(dir.file("分区.geojson"), layerAt(440000, 4420000, true)),
              "图层 分区.geojson 不是经纬度坐标（坐标超出 ±180/±90），无法匹配");
}

}  // namespace
