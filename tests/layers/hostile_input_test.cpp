// Inputs that once made the readers hang or exhaust memory, kept as files
// under tests/data/fuzz-cases/, and generated inputs large enough that a
// reader quadratic in their shape would take minutes instead of moments.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/columns.h"
#include "core/table.h"
#include "layers/geojson_reader.h"
#include "layers/layer_file.h"
#include "layers/shapefile.h"
#include "layers/wkt_layer.h"
#include "layer_test_util.h"

using kit::Layer;

namespace {

const std::string kCases = std::string(KIT_SOURCE_DIR) + "/tests/data/fuzz-cases/";

Layer loaded(const std::string& path) {
    Layer layer;
    auto err = kit::loadLayerFile(path, layer);
    EXPECT_FALSE(err) << *err;
    return layer;
}

// Every feature shares one property set with the first.
void expectOneSharedSet(const Layer& layer, size_t properties) {
    ASSERT_FALSE(layer.features.empty());
    const kit::PropertySet& first = layer.features.front().properties;
    EXPECT_EQ(first.size(), properties);
    for (const kit::Feature& f : layer.features) ASSERT_TRUE(f.properties.sharedWith(first));
}

std::string repeated(std::string_view piece, size_t times) {
    std::string s;
    s.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i) s += piece;
    return s;
}

}  // namespace

TEST(HostileInput, EscapedQuotesBeforeTheTypeMemberEndTheScan) {
    // {"\""""}"{""}"type":"Feature": the object never closes.
    Layer layer = loaded(kCases + "hang_29_bytes.geojson");
    EXPECT_TRUE(layer.features.empty());
    // In a well-formed feature an escaped quote no longer hides the object.
    std::string f = R"({"properties":{"n":"a\"}{"},"type":"Feature","geometry":{"type":"Point","coordinates":[1,2]}})";
    auto found = kit::scanFeatures(f);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], (std::pair<size_t, size_t>{0, f.size() - 1}));
}

TEST(HostileInput, MultiPointPositionsShareTheirFeaturesProperties) {
    Layer geo = loaded(kCases + "multipoint_1000_properties.geojson");
    EXPECT_EQ(geo.features.size(), kit::kMaxScannedPositions + 1);  // the position cap
    EXPECT_EQ(geo.fieldNames.size(), 1000u);
    expectOneSharedSet(geo, 1000);
    EXPECT_EQ(geo.features[5].properties.at("k0999"), "v");

    Layer shp = loaded(kCases + "multipoint_500_fields/mp.shp");
    EXPECT_EQ(shp.features.size(), 10000u);
    EXPECT_EQ(shp.fieldNames.size(), 500u);
    expectOneSharedSet(shp, 500);
}

TEST(HostileInput, DbfRecordCountMustFitTheFile) {
    // The header claims 2^31-1 records of 2046 zero-width fields.
    Layer layer = loaded(kCases + "lying_dbf/lying.shp");
    ASSERT_EQ(layer.features.size(), 1u);
    EXPECT_TRUE(layer.fieldNames.empty());  // a field of width 0 holds nothing
    EXPECT_TRUE(layer.features[0].properties.empty());

    // Records are read only as far as both the bytes and the shapes go.
    std::string shp = kit::test::readAll(kCases + "lying_dbf/lying.shp");
    std::string dbf = kit::test::readAll(kCases + "lying_dbf/lying.dbf");
    auto decoded = kit::decodeShapefile(shp, dbf);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->shapes.size(), 1u);
    EXPECT_LE(decoded->records.size(), 1u);
}

TEST(HostileInput, UnclosedFeatureRepeatedScansInLinearTime) {
    // Each occurrence used to walk the rest of the text: minutes at this size.
    std::string text = "{" + repeated("\"type\":\"Feature\",", 250000);  // 4 MB
    EXPECT_TRUE(kit::scanFeatures(text).empty());
    Layer layer;
    kit::readGeoJson(text, layer);
    EXPECT_TRUE(layer.features.empty());
}

TEST(HostileInput, NestedFeaturesReadOnceAsTheOutermost) {
    // Every object's type member comes after an inner object that is itself a
    // feature: only the outermost is a feature, so no text is read twice.
    const size_t depth = 20000;
    std::string text = repeated("{\"p\":", depth) + "{\"type\":\"Feature\"}" + repeated(",\"type\":\"Feature\"}", depth);
    auto found = kit::scanFeatures(text);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], (std::pair<size_t, size_t>{0, text.size() - 1}));
}

TEST(HostileInput, ManyDistinctFieldNamesAreNotedInLinearTime) {
    const size_t n = 100000;
    std::string text;
    for (size_t i = 0; i < n; ++i)
        text += "{\"type\":\"Feature\",\"properties\":{\"f" + std::to_string(i) +
                "\":1},\"geometry\":{\"type\":\"Point\",\"coordinates\":[1,2]}}\n";
    Layer layer;
    kit::readGeoJson(text, layer);
    EXPECT_EQ(layer.features.size(), n);
    ASSERT_EQ(layer.fieldNames.size(), n);
    EXPECT_EQ(layer.fieldNames[n - 1], "f" + std::to_string(n - 1));
}

TEST(HostileInput, WideTablesDetectAndConvertInLinearTime) {
    kit::Table file;
    ASSERT_TRUE(kit::parseTable(kit::test::readAll(kCases + "wide_40000_columns.tsv"), file));
    EXPECT_EQ(file.columnCount(), 40000u);
    EXPECT_EQ(kit::detectGeometryColumn(file), kit::kNoColumn);

    // 200 000 distinct columns with the WKT in the last one, then as many
    // columns under one name: both quadratic shapes.
    for (bool sameName : {false, true}) {
        const size_t n = 200000;
        std::string header, row;
        for (size_t i = 0; i < n; ++i) {
            header += sameName ? std::string("c") : "c" + std::to_string(i);
            row += i + 1 == n ? "POINT (1 2)" : "1";
            header += i + 1 == n ? '\n' : '\t';
            row += i + 1 == n ? '\n' : '\t';
        }
        kit::Table t;
        ASSERT_TRUE(kit::parseTable(header + row, t));
        const int c = kit::detectGeometryColumn(t);
        // With one name the right-most cell stands for every header.
        EXPECT_EQ(c, sameName ? 0 : static_cast<int>(n - 1)) << sameName;
        kit::Outcome o = kit::runWktLayer(&t, t.headers[c]);
        ASSERT_TRUE(o.ok());
        EXPECT_NE(o.text.find("\"Point\""), std::string::npos);
        // Every other cell is a property (none when they all share the name).
        const size_t properties = sameName ? 0 : n - 1;
        size_t seen = 0;
        for (size_t at = o.text.find("\": \"1\""); at != std::string::npos; at = o.text.find("\": \"1\"", at + 1)) ++seen;
        EXPECT_EQ(seen, properties);
    }
}
