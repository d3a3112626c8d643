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

const std::string kCases = std::string(KIT_FIXTURES) + "/fuzz-cases/";

Layer loaded(const std::string& path) {
    Layer layer;
    kit::Outcome read = kit::loadLayerFile(path, layer);
    EXPECT_TRUE(read.ok()) << read.message;
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
    EXPECT_EQ(geo.features.size(), 100001u);  // every position the file holds
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

TEST(HostileInput, DbfWithMoreValuesThanTheReaderKeepsIsRefused) {
    // 2000 one-byte fields: a value per byte, each of which would become a
    // property of a hundred bytes or so.
    const size_t fields = 2000, width = 1;
    auto dbfOf = [&](size_t claimed, size_t records) {
        std::string dbf(32, '\0');
        dbf[0] = 3;
        const uint32_t count = static_cast<uint32_t>(claimed);
        const uint16_t header = static_cast<uint16_t>(32 * fields + 33), length = static_cast<uint16_t>(fields * width + 1);
        for (int i = 0; i < 4; ++i) dbf[4 + i] = static_cast<char>(count >> (8 * i));
        dbf[8] = static_cast<char>(header & 0xFF), dbf[9] = static_cast<char>(header >> 8);
        dbf[10] = static_cast<char>(length & 0xFF), dbf[11] = static_cast<char>(length >> 8);
        for (size_t k = 0; k < fields; ++k) {
            std::string d(32, '\0');
            std::string name = "F" + std::to_string(k);
            d.replace(0, name.size(), name);
            d[11] = 'C';
            d[16] = static_cast<char>(width);
            dbf += d;
        }
        dbf += '\x0D';
        dbf.append(records * length, 'x');
        return dbf;
    };
    auto shpOf = [](size_t records) {  // null shapes: 12 bytes each
        std::string shp(100, '\0');
        shp[2] = 0x27, shp[3] = 0x0A;  // file code 9994
        for (size_t i = 0; i < records; ++i) shp += std::string("\0\0\0\1\0\0\0\2\0\0\0\0", 12);
        return shp;
    };
    const size_t most = kit::kMaxDbfValues / fields;
    // What the file holds counts, not what its header claims.
    auto within = kit::decodeShapefile(shpOf(most + 1), dbfOf(most + 1, 100));
    ASSERT_TRUE(within);
    EXPECT_FALSE(within->attributesTooLarge);
    EXPECT_EQ(within->records.size(), 100u);
    auto beyond = kit::decodeShapefile(shpOf(most + 1), dbfOf(most + 1, most + 1));
    ASSERT_TRUE(beyond);
    EXPECT_TRUE(beyond->attributesTooLarge);
    EXPECT_TRUE(beyond->records.empty());

    kit::test::ScratchDir dir;
    ASSERT_TRUE(kit::writeFileBytes(dir.file("a.shp"), shpOf(most + 1)));
    ASSERT_TRUE(kit::writeFileBytes(dir.file("a.dbf"), dbfOf(most + 1, most + 1)));
    Layer layer;
    EXPECT_EQ(kit::loadLayerFile(dir.file("a.shp"), layer).message, "文件过大或无效");
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
        kit::Outcome o = kit::runWktLayer(&t, std::string(t.headers[c]));
        ASSERT_TRUE(o.ok());
        EXPECT_NE(o.text.find("\"Point\""), std::string::npos);
        // Every other cell is a property (none when they all share the name).
        const size_t properties = sameName ? 0 : n - 1;
        size_t seen = 0;
        for (size_t at = o.text.find("\": \"1\""); at != std::string::npos; at = o.text.find("\": \"1\"", at + 1)) ++seen;
        EXPECT_EQ(seen, properties);
    }
}
