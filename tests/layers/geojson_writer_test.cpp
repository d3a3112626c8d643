#include <gtest/gtest.h>

#include "layers/geojson_writer.h"

TEST(GeoJsonWriter, CommonLayoutWithEscapes) {
    kit::GeoJsonWriter w;
    w.addFeature("\"type\": \"Point\",\n        \"coordinates\": " + kit::formatPosition(116.3, 39.9),
                 {{"名称", "A\t\"q\"\\", true}, {"n", "12", false}});
    w.addFeature("X", {});
    EXPECT_EQ(w.finish(),
              "{\n  \"type\": \"FeatureCollection\",\n  \"features\": [\n"
              "    {\n      \"type\": \"Feature\",\n      \"geometry\": {\n        "
              "\"type\": \"Point\",\n        \"coordinates\": [116.30000000, 39.90000000]"
              "\n      },\n      \"properties\": {\n"
              "        \"名称\": \"A\\t\\\"q\\\"\\\\\",\n        \"n\": 12\n      }\n    },\n"
              "    {\n      \"type\": \"Feature\",\n      \"geometry\": {\n        X\n      },\n"
              "      \"properties\": {\n\n      }\n    }\n  ]\n}");
}

TEST(GeoJsonWriter, EmptyCollectionAndNumbers) {
    kit::GeoJsonWriter w;
    EXPECT_EQ(w.finish(), "{\n  \"type\": \"FeatureCollection\",\n  \"features\": [\n  ]\n}");
    EXPECT_EQ(kit::formatNumber(-0.5), "-0.50000000");
    EXPECT_EQ(kit::formatInt(-7), "-7");
    EXPECT_EQ(kit::jsonEscape("a\rb\nc\x01 中"), "a\\rb\\nc\x01 中");
}
