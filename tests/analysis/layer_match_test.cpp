#include "analysis/layer_match.h"
#include "analysis/buffer_group.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/format.h"
#include "core/geodesy.h"

using kit::Layer;
using kit::MatchMethod;
using kit::Outcome;
using kit::Table;

namespace {

constexpr double M = kit::kMetresPerDegreeArc;

Table table(std::string text) {
    Table t;
    EXPECT_TRUE(kit::parseTable(std::move(text), t));
    return t;
}

kit::Feature square(double lon, double lat, double size, std::map<std::string, std::string> props) {
    kit::Feature f;
    f.type = "Polygon";
    f.ring = {{lon, lat}, {lon + size, lat}, {lon + size, lat + size}, {lon, lat + size}, {lon, lat}};
    f.properties = std::move(props);
    return f;
}

Layer layerOf(std::vector<kit::Feature> features) {
    Layer l;
    for (auto& f : features) {
        l.noteFields(f);
        l.features.push_back(std::move(f));
    }
    return l;
}

const kit::MatchColumns kLonLat{"lon", "lat"};

Outcome run(const Table& t, const Layer& l, std::string_view buffer = "100", MatchMethod m = MatchMethod::Single,
            kit::MatchField field = std::nullopt) {
    return kit::runLayerMatch(&t, kLonLat, &l, buffer, m, field);
}

// Two overlapping squares at (116, 40): A is 0.01 degrees wide, B half that.
Layer overlapping() {
    return layerOf({square(116, 40, 0.01, {{"name", "A"}, {"code", "1"}}),
                    square(116, 40, 0.005, {{"name", "B"}, {"code", "2"}})});
}

}  // namespace

TEST(LayerMatch, ChecksInOrder) {
    Layer l = overlapping();
    Table t = table("lon\tlat\n116.001\t40.001\n");
    Table headerOnly;
    headerOnly.headers = {"lon", "lat"};
    EXPECT_EQ(kit::runLayerMatch(nullptr, {}, nullptr, "", MatchMethod::Single, {}).message, "请先获取数据");
    EXPECT_EQ(kit::runLayerMatch(&headerOnly, kLonLat, &l, "", MatchMethod::Single, {}).message, "请先获取数据");
    Layer empty;
    EXPECT_EQ(kit::runLayerMatch(&t, {}, &empty, "", MatchMethod::Single, {}).message, "请先选择图层文件");
    EXPECT_EQ(kit::runLayerMatch(&t, {}, nullptr, "", MatchMethod::Single, {}).message, "请先选择图层文件");
    Outcome w = kit::runLayerMatch(&t, {"lon", std::nullopt}, &l, "", MatchMethod::Single, {});
    EXPECT_EQ(w.status, kit::Status::Warning);
    EXPECT_EQ(w.message, "请选择经度列和纬度列");
    EXPECT_TRUE(w.text.empty());
}

TEST(LayerMatch, BufferText) {
    EXPECT_EQ(kit::matchBuffer("30"), 30);
    EXPECT_EQ(kit::matchBuffer(" 2.5e1m"), 25);
    for (const char* text : {"", "abc", "0", "-5", "1e999"}) EXPECT_EQ(kit::matchBuffer(text), 100) << text;
    // Only the field's 63 characters are read.
    EXPECT_EQ(kit::matchBuffer(std::string(63, '1') + "99"), kit::matchBuffer(std::string(63, '1')));

    // 50 m south of the square: in at the default buffer, out at 30.
    Layer l = overlapping();
    Table t = table("lon\tlat\n116.008\t" + kit::formatFixed(40 - 50 / M, 12) + "\n");
    for (const char* text : {"100", "abc", "0", "-1"}) {
        Outcome o = run(t, l, text);
        EXPECT_NE(o.text.find("\t1\tA\t50.00\n"), std::string::npos) << text << ": " << o.text;
    }
    EXPECT_NE(run(t, l, "30").text.find("\t\t\t-1.00\n"), std::string::npos);
}

TEST(LayerMatch, SingleTakesTheFirstMatchInLayerOrder) {
    Layer l = overlapping();
    Table t = table("id,lon,lat\np,116.001,40.001\nq,117,41\n");
    Outcome o = run(t, l);
    ASSERT_TRUE(o.ok());
    EXPECT_EQ(o.text,
              "id\tlon\tlat\tcode\tname\t距离(米)\n"
              "p\t116.001\t40.001\t1\tA\t0.00\n"
              "q\t117\t41\t\t\t-1.00\n");
    EXPECT_EQ(o.message, "匹配完成！1/2 个匹配，2行已导出到剪贴板");
    // A point layer: the nearer point in the layer comes second, still the first is taken.
    kit::Feature far, near;
    far.type = near.type = "Point";
    far.lon = 116.0009;
    near.lon = 116.0001;
    far.lat = near.lat = 40.001;
    far.properties = {{"name", "far"}};
    near.properties = {{"name", "near"}};
    Outcome p = run(t, layerOf({far, near}));
    EXPECT_NE(p.text.find("\tfar\t"), std::string::npos) << p.text;
}

TEST(LayerMatch, MergeJoinsValuesAndKeepsTheNearestDistance) {
    auto sq = [](double size, const char* name, const char* code) {
        return square(116, 40, size, {{"name", name}, {"code", code}});
    };
    Table t = table("lon\tlat\n116.0001\t40.0001\n");
    auto merged = [&](std::vector<kit::Feature> fs) {
        return run(t, layerOf(std::move(fs)), "100", MatchMethod::Merge).text;
    };
    EXPECT_EQ(merged({sq(0.01, "A", "1"), sq(0.02, "B", "1"), sq(0.03, "A", "")}),
              "lon\tlat\tcode\tname\t距离(米)\n116.0001\t40.0001\t1\tA,B,A\t0.00\n");
    EXPECT_EQ(merged({sq(0.01, "A", "x"), sq(0.02, "A", "y")}),
              "lon\tlat\tcode\tname\t距离(米)\n116.0001\t40.0001\tx,y\tA\t0.00\n");
    // The first value is taken even when empty; later ones follow its comma.
    EXPECT_EQ(merged({sq(0.01, "", "1"), sq(0.02, "B", "1")}),
              "lon\tlat\tcode\tname\t距离(米)\n116.0001\t40.0001\t1\t,B\t0.00\n");

    // Distance: the smallest of the matches, -1.00 without any.
    Layer two =
        layerOf({square(116.001, 40, 0.001, {{"name", "far"}}), square(116.0002, 40, 0.001, {{"name", "near"}})});
    Table out = table("lon\tlat\n116\t40.0005\n0\t0\n");
    Outcome o = run(out, two, "100", MatchMethod::Merge);
    EXPECT_EQ(o.text, "lon\tlat\tname\t距离(米)\n116\t40.0005\tfar,near\t" +
                          kit::formatFixed(0.0002 * M * std::cos(40.0005 * kit::kDegToRad), 2) + "\n0\t0\t\t-1.00\n");
    EXPECT_EQ(o.message, "匹配完成！1/2 个匹配，2行已导出到剪贴板");
}

TEST(LayerMatch, ExpandWritesOneLinePerMatch) {
    Layer l = overlapping();
    Table t = table("lon\tlat\n116.001\t40.001\n117\t41\n");
    Outcome o = run(t, l, "100", MatchMethod::Expand);
    EXPECT_EQ(o.text,
              "lon\tlat\tcode\tname\t距离(米)\n"
              "116.001\t40.001\t1\tA\t0.00\n"
              "116.001\t40.001\t2\tB\t0.00\n"
              "117\t41\t\t\t-1\n");
    EXPECT_EQ(o.message, "匹配完成！1/2 个匹配，3行已导出到剪贴板");
}

TEST(LayerMatch, FieldChoiceAndColumnsNamedLikeFields) {
    Layer l = overlapping();
    // A table column named like a field takes the feature's value; one named
    // like the distance column takes the distance.
    Table t = table("name\tlon\tlat\t距离(米)\nmine\t116.001\t40.001\t7\n");
    EXPECT_EQ(run(t, l).text, "name\tlon\tlat\t距离(米)\tcode\tname\t距离(米)\nA\t116.001\t40.001\t0.00\t1\tA\t0.00\n");
    // One field: only its column, filled from the match; other columns keep the table's cells.
    EXPECT_EQ(run(t, l, "100", MatchMethod::Single, "code").text,
              "name\tlon\tlat\t距离(米)\tcode\t距离(米)\nmine\t116.001\t40.001\t0.00\t1\t0.00\n");
    EXPECT_EQ(kit::matchFieldAt(l, 0), std::nullopt);
    EXPECT_EQ(kit::matchFieldAt(l, 2), "name");
    EXPECT_EQ(kit::matchFieldAt(l, 3), std::nullopt);
    EXPECT_EQ(kit::matchFieldItems(l), (std::vector<std::string>{"全部", "code", "name"}));
}

TEST(LayerMatch, MissingAndUnreadableCoordinatesAreZero) {
    Layer l = layerOf({square(-0.001, -0.001, 0.002, {{"name", "origin"}})});
    // Empty cells, text and missing cells all read as 0; under a duplicate
    // header the right-most cell the row has is read.
    Table t = table("lon\tlat\tlon\n5\t\tabc\n\tx\n7\t7\n1e-4\n");
    Outcome o = run(t, l);
    EXPECT_EQ(o.message, "匹配完成！3/4 个匹配，4行已导出到剪贴板");
    EXPECT_EQ(o.text,
              "lon\tlat\tlon\tname\t距离(米)\n"
              "abc\t\tabc\torigin\t0.00\n"
              "\tx\t\torigin\t0.00\n"
              "7\t7\t7\t\t-1.00\n"
              "1e-4\t\t1e-4\torigin\t0.00\n");
}

TEST(LayerMatchPanel, LabelsAndEnabling) {
    EXPECT_EQ(kit::layerFileLabel("C:\\data\\zones.geojson"), "zones.geojson");
    EXPECT_EQ(kit::layerFileLabel("/tmp/a\\b/123456789012345678.kml"), "123456789012345...");
    EXPECT_EQ(kit::layerFileLabel("d/123456789012345678"), "123456789012345678");  // 18 characters stay whole
    // Characters, not bytes: 18 Chinese characters stay, 19 are cut to 15.
    std::string eighteen;
    for (int i = 0; i < 18; ++i) eighteen += "区";
    EXPECT_EQ(kit::layerFileLabel("x/" + eighteen), eighteen);
    std::string cut;
    for (int i = 0; i < 15; ++i) cut += "区";
    EXPECT_EQ(kit::layerFileLabel("x/" + eighteen + "界"), cut + "...");
    EXPECT_EQ(kit::layerFileLabel("noslash"), "noslash");

    Layer l = overlapping();
    EXPECT_EQ(kit::layerLoadedLabel(l), "已加载 2 个要素");
    Table t = table("lon\tlat\n1\t2\n");
    EXPECT_TRUE(kit::matchButtonEnabled(&t, &l));
    EXPECT_FALSE(kit::matchButtonEnabled(nullptr, &l));
    Layer empty;
    EXPECT_FALSE(kit::matchButtonEnabled(&t, &empty));
    EXPECT_FALSE(kit::matchButtonEnabled(&t, nullptr));
}

TEST(LayerMatchPanel, LoadingKeepsTheLayerOnFailure) {
    Layer layer;
    Outcome ok = kit::loadMatchLayer(std::string(KIT_FIXTURES) + "/zones.geojson", layer);
    ASSERT_TRUE(ok.ok()) << ok.message;
    EXPECT_EQ(ok.message, "已加载 4 个要素");
    EXPECT_EQ(kit::matchFieldItems(layer), (std::vector<std::string>{"全部", "人口", "区县", "编号"}));

    Outcome missing = kit::loadMatchLayer(std::string(KIT_FIXTURES) + "/没有.geojson", layer);
    EXPECT_EQ(missing.status, kit::Status::Error);
    EXPECT_EQ(missing.message, "无法打开文件");
    EXPECT_EQ(layer.features.size(), 4u);

    // A file without any usable geometry: the warning, and nothing left to match against.
    Outcome none = kit::loadMatchLayer(std::string(KIT_FIXTURES) + "/pois.tsv", layer);
    EXPECT_EQ(none.status, kit::Status::Warning);
    EXPECT_EQ(none.message, "未在文件中找到有效几何要素");
    Table t = table("lon\tlat\n116.3\t39.9\n");
    EXPECT_FALSE(kit::matchButtonEnabled(&t, &layer));
    EXPECT_EQ(run(t, layer).message, "请先选择图层文件");
}

// Each output column used to be looked up by a scan of every header (and of
// every layer field): quadratic, minutes for a table this wide. Both runs
// must stay linear in the number of columns.
TEST(WideTables, MatchAndGroupingStayLinearInTheColumns) {
    const size_t n = 150000;
    std::string header = "lon\tlat", row = "116.001\t40.001";
    for (size_t i = 0; i < n; ++i) {
        header += "\tc" + std::to_string(i);
        row += "\t" + std::to_string(i % 10);
    }
    Table t = table(header + "\n" + row + "\n");
    std::map<std::string, std::string> props;
    for (size_t i = 0; i < n / 2; ++i) props["f" + std::to_string(i)] = "v";
    props["name"] = "A";
    Layer l = layerOf({square(116, 40, 0.01, props)});

    Outcome matched = run(t, l);
    ASSERT_TRUE(matched.ok()) << matched.message;
    const std::string line = matched.text.substr(matched.text.find('\n') + 1);
    EXPECT_EQ(line.rfind("116.001\t40.001\t0\t1\t2", 0), 0u);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), static_cast<long>(2 + n + props.size()));

    Outcome grouped = kit::runBufferGroup(&t, {"lon", "lat"}, "100", false);
    ASSERT_TRUE(grouped.ok()) << grouped.message;
    EXPECT_NE(grouped.text.find("\tc149999\tclusterid\n"), std::string::npos);
}

// Every output column under an empty or repeated name once held its own copy
// of the positions of every column of that name: 100 000 empty names made
// 10^10 positions (40 GB). The columns now share the one list; each cell is
// the one of the right-most such column the row reaches.
TEST(WideTables, RepeatedNamesShareTheirPositions) {
    const size_t n = 100000;
    std::string header = "lon\tlat" + std::string(n, '\t') + "\tname";
    Table t = table(header + "\n116.001\t40.001\tA\tB\n116.001\t40.001\n");
    Layer l = layerOf({square(116, 40, 0.01, {{"zone", "Z"}})});
    std::string first = "116.001\t40.001\t", second = first;
    for (size_t i = 0; i < n; ++i) first += "B\t", second += "\t";
    first += "\t";  // name
    second += "\t";

    Outcome matched = run(t, l);
    ASSERT_TRUE(matched.ok()) << matched.message;
    EXPECT_TRUE(matched.text == header + "\tzone\t距离(米)\n" + first + "Z\t0.00\n" + second + "Z\t0.00\n");

    Outcome grouped = kit::runBufferGroup(&t, {"lon", "lat"}, "100", false);
    ASSERT_TRUE(grouped.ok()) << grouped.message;
    EXPECT_TRUE(grouped.text == header + "\tclusterid\n" + first + "0\n" + second + "0\n");
}
