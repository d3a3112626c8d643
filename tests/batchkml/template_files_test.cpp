#include <gtest/gtest.h>

#include "batchkml/iconmap_kml.h"
#include "batchkml/sector_templates.h"
#include "batchkml/template_scan.h"
#include "batchkml/template_store.h"
#include "quillet_test_util.h"

using kit::ColorTemplate;
using kit::test::KmlScratch;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

std::vector<std::string> namesOf(const std::vector<ColorTemplate>& list) {
    std::vector<std::string> out;
    for (const auto& t : list) out.push_back(t.name);
    return out;
}

const std::vector<std::string> kBuiltinNames{"4G城区", "4G农村", "5G模板", "SINR模板"};

kit::SectorTemplate sampleSector(std::string name) {
    kit::SectorTemplate t;
    t.name = std::move(name);
    t.siteCol = "站名";
    t.lonCol = "经度";
    t.latCol = "纬度";
    t.azimuthCol = t.azimuthFixed = "30";
    t.beamwidthCol = t.beamwidthFixed = "波宽";
    t.radiusCol = t.radiusFixed = "500";
    t.color = 16711680;
    t.opacity = 50;
    t.lodEnabled = true;
    t.lodKm = 2.5;
    return t;
}

kit::IconMapTemplate sampleIconMap(std::string name) {
    return {std::move(name), "经度", "纬度", "ID", "http://maps.google.com/mapfiles/kml/paddle/grn-E.png", "E", "E.png"};
}

}  // namespace

TEST(TemplatesJson, WritesTheDocumentedLayout) {
    std::vector<ColorTemplate> list{{"甲", {{-105, -100, kit::rangeColor(255, 0, 0)}, {-100, -90.5, 0}}}, {"乙", {{0, 1, 0}}}};
    EXPECT_EQ(kit::formatTemplates(list, "乙"), kBom + R"({
  "last_used": "乙",
  "templates": [
    {
      "name": "甲",
      "ranges": [
        { "min": -105.000000, "max": -100.000000, "color": [255, 0, 0] },
        { "min": -100.000000, "max": -90.500000, "color": [0, 0, 0] }
      ]
    },
    {
      "name": "乙",
      "ranges": [
        { "min": 0.000000, "max": 1.000000, "color": [0, 0, 0] }
      ]
    }
  ]
}
)");
}

TEST(TemplatesJson, RoundTripsNamesWithQuotesAndBackslashes) {
    auto list = kit::builtinTemplates();
    list.push_back({"引号\"与\\反斜杠\\", {{-1, 2, kit::rangeColor(1, 2, 3)}}});
    list.push_back({"after", {{5, 6, 7}}});
    std::string lastUsed;
    auto back = kit::parseTemplates(kit::formatTemplates(list, "引号\"与\\反斜杠\\"), lastUsed);
    EXPECT_EQ(back, list);
    EXPECT_EQ(lastUsed, "引号\"与\\反斜杠\\");
}

TEST(TemplatesJson, TolerantReadingOfHandEditedFiles) {
    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> names;
        std::string lastUsed;
    } cases[] = {
        {"empty file", "", kBuiltinNames, "4G城区"},
        {"no templates key", R"({"last_used": "x"})", kBuiltinNames, "x"},
        {"empty array", R"({"last_used": "", "templates": []})", kBuiltinNames, "4G城区"},
        {"nameless and rangeless", R"({"templates": [{"ranges": [{"min": 1}]}, {"name": "n", "ranges": []}]})",
         kBuiltinNames, "4G城区"},
        {"key without colon skipped",
         R"({"note": "\"last_used\" here", "last_used" : "no", "last_used":"yes", "templates": [{"name": "a", "ranges": [{}]}]})",
         {"a"}, "yes"},
        {"compact, CRLF and tabs", "{\r\n\t\"templates\":[{\"name\":\"a\",\"ranges\":[{\"min\":-1,\"max\":2,\"color\":[1,2,3]}]},"
                                   "{\"name\":\"b\",\"ranges\":[{\"min\":1}]}]}\r\n",
         {"a", "b"}, "4G城区"},
        {"unknown keys skipped whole",
         R"({"templates": [{"extra": {"name": "x", "ranges": [{"min": 1}]}, "name": "a", "tags": ["}", "]"], "ranges": [{"min": 1, "alpha": [1, 2], "max": 2}]}, {"name": "b", "ranges": [{}]}]})",
         {"a", "b"}, "4G城区"},
        {"ranges not an array", R"({"templates": [{"name": "a", "ranges": 5}, {"name": "b", "ranges": [{}]}]})", {"b"},
         "4G城区"},
        {"stray characters", R"({"templates": [x {"name": "a", @ "ranges": [{ # "min": 1}]} ,, {"name": "b", "ranges": [{}]}]})",
         {"a", "b"}, "4G城区"},
    };
    for (const auto& c : cases) {
        std::string lastUsed = "before";
        auto list = kit::parseTemplates(c.text, lastUsed);
        EXPECT_EQ(namesOf(list), c.names) << c.what;
        EXPECT_EQ(lastUsed, c.lastUsed) << c.what;
    }
}

TEST(TemplatesJson, NumbersAndColoursReadAsTheScannerDefines) {
    std::string lastUsed;
    auto list = kit::parseTemplates(
        R"({"templates": [{"name": "a", "ranges": [
            {"min": -1.5, "max": 2., "color": [300, -1, 2.9]},
            {"min": 1e5, "max": +3, "color": [ 1 , 2 , 3 ]},
            {"min": -, "max": 1.2.3}
        ]}]})",
        lastUsed);
    ASSERT_EQ(list.size(), 1u);
    const auto& r = list[0].ranges;
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0], (kit::ColorRange{-1.5, 2, 44 + (255 << 8) + (2 << 16)}));
    EXPECT_EQ(r[1].min, 1);  // no exponent
    EXPECT_EQ(r[1].max, 0);  // no '+'
    EXPECT_EQ(r[1].color, kit::rangeColor(1, 2, 3));
    EXPECT_EQ(r[2].min, 0);
    EXPECT_EQ(r[2].max, 1.2);
}

TEST(TemplatesJson, EveryTruncationReadsWithoutLoss) {
    // A file cut anywhere keeps the templates that are whole before the cut,
    // and gives the built-ins when none is.
    auto list = kit::builtinTemplates();
    list[1].name = "带\"引号";
    const std::string text = kit::formatTemplates(list, "5G模板");
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        std::string lastUsed;
        auto back = kit::parseTemplates(std::string_view(text).substr(0, cut), lastUsed);
        ASSERT_FALSE(back.empty());
        if (back.size() < 4 && namesOf(back) != kBuiltinNames) {
            for (size_t i = 0; i + 1 < back.size(); ++i) ASSERT_EQ(back[i], list[i]) << "cut " << cut;
        }
    }
}

TEST(TemplatesJson, LoadAndSaveThroughFiles) {
    KmlScratch dir;
    const std::string path = kit::templatesPath(dir.path());
    std::string lastUsed = "kept";
    EXPECT_EQ(kit::loadTemplates(path, lastUsed), kit::builtinTemplates());
    EXPECT_EQ(lastUsed, "kept");  // a missing file leaves it alone

    auto list = kit::builtinTemplates();
    list.resize(2);
    ASSERT_TRUE(kit::saveTemplates(path, list, "4G农村"));
    EXPECT_EQ(kit::loadTemplates(path, lastUsed), list);
    EXPECT_EQ(lastUsed, "4G农村");

    // A later save replaces the file (safely: see the core's file tests).
    ASSERT_TRUE(kit::saveTemplates(path, kit::builtinTemplates(), "SINR模板"));
    EXPECT_EQ(kit::loadTemplates(path, lastUsed), kit::builtinTemplates());
    EXPECT_EQ(lastUsed, "SINR模板");
    EXPECT_FALSE(kit::saveTemplates(dir.file("no/such/folder/t.json"), list, "x"));
    EXPECT_EQ(kit::templatesPath(""), "templates.json");
}

TEST(SectorTemplatesJson, WritesAndReadsBack) {
    std::vector<kit::SectorTemplate> list{sampleSector("甲"), sampleSector("C:\\目录\\\"引号\"")};
    list[1].lodEnabled = false;
    const std::string text = kit::formatSectorTemplates(list);
    EXPECT_TRUE(text.starts_with(kBom + "[\n  {\n    \"name\": \"甲\",\n    \"siteCol\": \"站名\",\n")) << text;
    EXPECT_NE(text.find("    \"color\": 16711680,\n    \"opacity\": 50,\n    \"lodEnabled\": true,\n    \"lodKm\": 2.500000\n  },\n"),
              std::string::npos);
    EXPECT_EQ(kit::parseSectorTemplates(text), list);
    EXPECT_EQ(kit::formatSectorTemplates({}), kBom + "[\n]\n");
}

TEST(SectorTemplatesJson, KeysStayInsideTheirObject) {
    // The first object lacks radiusCol and lodEnabled: they must not come from the second.
    auto list = kit::parseSectorTemplates(R"([
      {"name": "a", "color": 255, "opacity": 100.9},
      {"name": "b", "radiusCol": "半径", "lodEnabled": true, "lodKm": -3.5, "color": "x"},
      {"name": "c", "lodEnabled": false, "note": "true"},
      {"name": "旧\文件", "lonCol": "C:\dir\x"},
      {
        "name": "old "quoted" {name}",
        "lonCol": "lon"
      },
      {"name": "next"}
    ])");
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0].radiusCol, "");
    EXPECT_FALSE(list[0].lodEnabled);
    EXPECT_EQ(list[0].opacity, 100);
    EXPECT_EQ(list[1].radiusCol, "半径");
    EXPECT_TRUE(list[1].lodEnabled);
    EXPECT_EQ(list[1].lodKm, -3.5);
    EXPECT_EQ(list[1].color, 0);
    EXPECT_FALSE(list[2].lodEnabled);  // "true" after the comma does not count
    // Files written before escaping: a lone backslash stays as written.
    EXPECT_EQ(list[3].name, "旧\\文件");
    EXPECT_EQ(list[3].lonCol, "C:\\dir\\x");
    // An unescaped quote in an old file costs that name, not the templates after it.
    EXPECT_EQ(list[4].name, "old ");
    EXPECT_EQ(list[4].lonCol, "lon");
    EXPECT_EQ(list[5].name, "next");
}

TEST(SectorTemplatesJson, StoreAndFiles) {
    KmlScratch dir;
    const std::string path = kit::sectorTemplatesPath(dir.path());
    EXPECT_TRUE(kit::loadSectorTemplates(path).empty());
    std::vector<kit::SectorTemplate> list;
    EXPECT_EQ(kit::storeSectorTemplate(list, sampleSector("a")), 0);
    EXPECT_EQ(kit::storeSectorTemplate(list, sampleSector("b")), 1);
    auto changed = sampleSector("a");
    changed.opacity = 7;
    EXPECT_EQ(kit::storeSectorTemplate(list, changed), 0);
    EXPECT_EQ(kit::storeSectorTemplate(list, sampleSector("")), -1);
    ASSERT_TRUE(kit::saveSectorTemplates(path, list));
    EXPECT_EQ(kit::loadSectorTemplates(path), (std::vector<kit::SectorTemplate>{changed, sampleSector("b")}));
}

TEST(IconMapTemplatesJson, WritesReadsAndKeepsTheListOnEmptyFiles) {
    std::vector<kit::IconMapTemplate> list{sampleIconMap("甲"), sampleIconMap("带\"引号\\")};
    list[1].idCol = "";
    const std::string text = kit::formatIconMapTemplates(list);
    EXPECT_TRUE(text.starts_with(kBom + "[\n  {\n    \"name\": \"甲\",\n    \"lonCol\": ")) << text;
    EXPECT_EQ(kit::parseIconMapTemplates(text), list);

    KmlScratch dir;
    const std::string path = kit::iconMapTemplatesPath(dir.path());
    std::vector<kit::IconMapTemplate> held{sampleIconMap("held")};
    kit::loadIconMapTemplates(path, held);  // missing
    ASSERT_TRUE(kit::writeFileBytes(path, ""));
    kit::loadIconMapTemplates(path, held);  // empty
    EXPECT_EQ(held.size(), 1u);
    ASSERT_TRUE(kit::saveIconMapTemplates(path, list));
    kit::loadIconMapTemplates(path, held);
    EXPECT_EQ(held, list);
    EXPECT_EQ(kit::storeIconMapTemplate(held, sampleIconMap("新")), 2);
}

TEST(SettingsFiles, EveryTruncationReadsWithoutCrashOrInvention) {
    const std::string sectors = kit::formatSectorTemplates({sampleSector("a{b}"), sampleSector("c")});
    const std::string icons = kit::formatIconMapTemplates({sampleIconMap("a}"), sampleIconMap("{c")});
    for (size_t cut = 0; cut <= sectors.size(); ++cut) {
        auto list = kit::parseSectorTemplates(std::string_view(sectors).substr(0, cut));
        ASSERT_LE(list.size(), 2u);
        if (!list.empty() && cut > sectors.find("\"siteCol\"")) {
            ASSERT_EQ(list[0].name, "a{b}") << cut;
        }
    }
    for (size_t cut = 0; cut <= icons.size(); ++cut) ASSERT_LE(kit::parseIconMapTemplates(icons.substr(0, cut)).size(), 2u);
}

// Hostile settings files: the scans stay linear and what they keep stays small.
TEST(SettingsFiles, KeySearchStaysInsideItsObject) {
    // A million empty objects before the only key: a search that ran on to
    // the next quote would cross all of them for each object, for minutes.
    const std::string named = R"({"name": "last"})";
    auto emptyObjects = [](size_t n) {
        std::string text;
        for (size_t i = 0; i < n; ++i) text += "{}";
        return text;
    };
    const std::string text = emptyObjects(1'500'000) + named;
    const auto objects = kit::tmplscan::flatObjects(text);
    ASSERT_EQ(objects.size(), 1'500'001u);
    size_t found = 0;
    for (const auto& obj : objects) found += !kit::tmplscan::objectText(text, obj, "name").empty();
    EXPECT_EQ(found, 1u);
    EXPECT_EQ(kit::tmplscan::objectText(text, objects.back(), "name"), "last");
    EXPECT_EQ(kit::tmplscan::findKeyColon(text, "name", 0, 2), std::string_view::npos);

    // The readers on the same kind of file, smaller: only the named object is a template.
    const std::string few = emptyObjects(20'000) + named;
    EXPECT_EQ(kit::parseSectorTemplates(few).size(), 1u);
    EXPECT_EQ(kit::parseIconMapTemplates(few).back().name, "last");
}

// An object without a "name" key is no template: a file of them once kept a
// template (hundreds of bytes) per two bytes read. Everything with the key,
// empty or repeated names included, still reads in file order.
TEST(SettingsFiles, ObjectsWithoutANameKeyAreNoTemplates) {
    auto repeat = [](std::string_view piece, size_t n) {
        std::string text;
        for (size_t i = 0; i < n; ++i) text += piece;
        return text;
    };
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> names;
    };
    const std::vector<Case> cases{
        {"half a million empty objects", repeat("{}", 500'000), {}},
        {"empty objects around named ones", repeat("{}, ", 100'000) + R"({"name": "a"}, {}, {"name": "b"})" + repeat("{ }", 100'000),
         {"a", "b"}},
        {"keys but no name", repeat(R"({"lonCol": "x", "iconUrl": "u"},)", 50'000) + R"({"name": "only"})", {"only"}},
        {"the word name only as a value", R"({"lonCol": "name"}, {"latCol": "\"name\":"}, {"name" : "spaced colon"})", {}},
        {"empty and repeated names stay", R"({"name": ""}, {"name": "a"}, {"name": "a", "lonCol": "2"})", {"", "a", "a"}},
        {"an old unescaped leading quote", "{\n\"name\": \"\"q\"\",\n\"lonCol\": \"lon\"\n}", {""}},
    };
    for (const Case& c : cases) {
        const auto sectors = kit::parseSectorTemplates(c.text);
        const auto icons = kit::parseIconMapTemplates(c.text);
        ASSERT_EQ(sectors.size(), c.names.size()) << c.what;
        ASSERT_EQ(icons.size(), c.names.size()) << c.what;
        for (size_t i = 0; i < c.names.size(); ++i) {
            EXPECT_EQ(sectors[i].name, c.names[i]) << c.what;
            EXPECT_EQ(icons[i].name, c.names[i]) << c.what;
        }
    }
    // The repeated name keeps its own settings, and a skipped object takes none with it.
    const auto repeated = kit::parseSectorTemplates(cases[4].text);
    EXPECT_EQ(repeated[2].lonCol, "2");
    EXPECT_EQ(repeated[1].lonCol, "");
    EXPECT_EQ(kit::parseIconMapTemplates(cases[5].text)[0].lonCol, "lon");

    // The file of the report, through the loaders the tabs use; the icon map's list is cleared.
    const std::string file = std::string(KIT_FIXTURES) + "/fuzz-cases/sector_iconmap_templates_500k_empty_objects_1MB.json";
    EXPECT_TRUE(kit::loadSectorTemplates(file).empty());
    std::vector<kit::IconMapTemplate> held{sampleIconMap("old")};
    kit::loadIconMapTemplates(file, held);
    EXPECT_TRUE(held.empty());
}

TEST(TemplatesJson, KeepsAtMostTheRangesTheEditorShows) {
    std::string text = R"({"templates": [{"name": "many", "ranges": [)";
    for (int i = 0; i < 600'000; ++i) text += R"({"min": )" + std::to_string(i) + "},";
    text += R"({}]}, {"name": "two", "ranges": [{"max": 1}, {"max": 2}]}]})";
    std::string lastUsed;
    const auto list = kit::parseTemplates(text, lastUsed);
    ASSERT_EQ(namesOf(list), (std::vector<std::string>{"many", "two"}));
    ASSERT_EQ(list[0].ranges.size(), kit::kMaxRanges);
    for (size_t i = 0; i < kit::kMaxRanges; ++i) EXPECT_EQ(list[0].ranges[i].min, static_cast<double>(i));
    EXPECT_EQ(list[1].ranges.size(), 2u);
}
