// Feature properties held compactly: the same answers as the map they stand
// for, and a .dbf's records read straight into them.
#include <gtest/gtest.h>

#include "layers/feature.h"
#include "layers/shapefile.h"

namespace {

TEST(PropertySet, AnswersAsItsMap) {
    const kit::PropertyMap map{{"b", "2"}, {"a", ""}, {"名称", "海淀区"}, {"c", "x,y"}};
    const kit::PropertySet set = map;
    EXPECT_EQ(set.size(), 4u);
    EXPECT_EQ(set.toMap(), map);
    EXPECT_EQ(set, map);
    std::vector<std::string> keys;
    for (const auto& [key, value] : set) {
        keys.push_back(key);
        EXPECT_EQ(value, map.at(key));
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"a", "b", "c", "名称"}));  // ascending bytes, as the map
    EXPECT_EQ(set.find("名称"), "海淀区");
    EXPECT_EQ(set.find("a"), "");
    EXPECT_FALSE(set.find("d"));
    EXPECT_EQ(set.count("b"), 1u);
    EXPECT_THROW((void)set.at("zz"), std::out_of_range);
    EXPECT_TRUE(kit::PropertySet().empty());
    EXPECT_FALSE(set == kit::PropertySet({{"a", ""}}));
    const kit::PropertySet copy = set;
    EXPECT_TRUE(copy.sharedWith(set));
}

// A table of many one-byte fields, a repeated name and a record cut short, as
// appendShapefile reads it straight into the features.
TEST(PropertySet, DbfRecordsReadStraightIntoFeatures) {
    kit::ShapeLayer l;
    const int fields = 300;
    for (int k = 0; k < fields; ++k) l.addField("F" + std::to_string(k), 'C', 1, 0);
    l.addField("F7", 'N', 3, 0);  // a second F7: the later field wins, as in a map
    for (int r = 0; r < 50; ++r) {
        std::vector<std::string> values;
        for (int k = 0; k < fields; ++k) values.push_back(std::string(1, char('A' + (r + k) % 26)));
        values.push_back(std::to_string(r));
        l.addPoint(116 + r * 0.01, 40, values);
    }
    const kit::ShapeFiles files = l.encode();
    std::string cut = files.dbf;
    cut.resize(cut.size() - 200);  // the last record is incomplete: no values
    std::string narrow = files.dbf;
    narrow[10] = char(151), narrow[11] = 0;  // records of 150 values: each holds the first fields only

    for (const std::string& dbf : {files.dbf, cut, narrow}) {
        kit::Layer read;
        ASSERT_TRUE(kit::appendShapefile(files.shp, dbf, "", read).ok());
        kit::Layer viaDecode;
        auto decoded = kit::decodeShapefile(files.shp, dbf);
        ASSERT_TRUE(decoded);
        kit::appendShapeLayer(*decoded, viaDecode);
        ASSERT_EQ(read.features.size(), 50u);
        EXPECT_EQ(read.fieldNames, viaDecode.fieldNames);
        for (size_t i = 0; i < read.features.size(); ++i)
            EXPECT_EQ(read.features[i].properties, viaDecode.features[i].properties) << i;
    }
    kit::Layer read;
    ASSERT_TRUE(kit::appendShapefile(files.shp, cut, "", read).ok());
    EXPECT_EQ(read.features[3].properties.at("F7"), "3");
    EXPECT_EQ(read.features[3].properties.at("F0"), "D");
    EXPECT_EQ(read.features[3].properties.size(), size_t(fields));
    EXPECT_TRUE(read.features[49].properties.empty());
    kit::Layer narrowed;
    ASSERT_TRUE(kit::appendShapefile(files.shp, narrow, "", narrowed).ok());
    EXPECT_EQ(narrowed.features[0].properties.size(), 150u);
}

}  // namespace
