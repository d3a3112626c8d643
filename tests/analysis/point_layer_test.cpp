#include <gtest/gtest.h>

#include "analysis/point_layer.h"
#include "layer_text.h"

using test::tableOf;

TEST(LonLatColumns, Checks) {
    kit::Table rows = tableOf("lon\tlat\n1\t2\n");
    kit::Table headersOnly = tableOf("lon\tlat\n");
    const kit::LonLatColumns both{"lon", "lat"};
    EXPECT_EQ(kit::runPointLayer(nullptr, both).message, "请先获取数据");
    EXPECT_EQ(kit::runPointLayer(&headersOnly, both).message, "请先获取数据");
    EXPECT_EQ(kit::runPointLayer(&rows, {"lon", std::nullopt}).message, "请选择经度列和纬度列");
    EXPECT_EQ(kit::runPointLayer(&rows, kit::lonLatColumnsAt(rows, 0, 2)).status, kit::Status::Warning);
    EXPECT_TRUE(kit::runPointLayer(&rows, kit::lonLatColumnsAt(rows, 0, 1)).ok());
}

TEST(PointLayer, WholeText) {
    // Unreadable, NaN and missing coordinates are written as 0; every other
    // cell is a string property in table order, numbers included.
    kit::Table t = tableOf(
        "名称\t经度\t纬度\tRSRP\tid\n"
        "站A\t116.3\t39.9\t-95.5\tA\\1\n"
        "站B\t\tNaN\t\t2\n"
        "站C\t117\n");
    kit::Outcome o = kit::runPointLayer(&t, {"经度", "纬度"});
    ASSERT_TRUE(o.ok());
    EXPECT_EQ(o.text,
              "{\n  \"type\": \"FeatureCollection\",\n  \"features\": [\n"
              "    {\n      \"type\": \"Feature\",\n      \"geometry\": {\n"
              "        \"type\": \"Point\",\n        \"coordinates\": [116.30000000, 39.90000000]\n"
              "      },\n      \"properties\": {\n"
              "        \"名称\": \"站A\",\n        \"RSRP\": \"-95.5\",\n        \"id\": \"A\\\\1\"\n"
              "      }\n    },\n"
              "    {\n      \"type\": \"Feature\",\n      \"geometry\": {\n"
              "        \"type\": \"Point\",\n        \"coordinates\": [0.00000000, 0.00000000]\n"
              "      },\n      \"properties\": {\n"
              "        \"名称\": \"站B\",\n        \"RSRP\": \"\",\n        \"id\": \"2\"\n"
              "      }\n    },\n"
              "    {\n      \"type\": \"Feature\",\n      \"geometry\": {\n"
              "        \"type\": \"Point\",\n        \"coordinates\": [117.00000000, 0.00000000]\n"
              "      },\n      \"properties\": {\n"
              "        \"名称\": \"站C\"\n"
              "      }\n    }\n  ]\n}");
}

TEST(PointLayer, SameColumnForBothCoordinates) {
    kit::Table t = tableOf("x\tname\n5\tp\n");
    kit::Outcome o = kit::runPointLayer(&t, {"x", "x"});
    ASSERT_TRUE(o.ok());
    EXPECT_NE(o.text.find("[5.00000000, 5.00000000]"), std::string::npos);
    EXPECT_EQ(test::propertiesOf(test::featuresIn(o.text).at(0)), "        \"name\": \"p\"");
}
