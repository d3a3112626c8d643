#include <gtest/gtest.h>

#include <optional>

#include "batchkml/csv_reader.h"
#include "batchkml/table_reader.h"
#include "batchkml/xlsx_reader.h"
#include "tests/batchkml/zip_builder.h"
#include "tests/layers/layer_test_util.h"

namespace kit {
namespace {

using Cells = std::vector<std::string>;
using Rows = std::vector<Cells>;

TEST(XlsxReader, DecodesEntitiesAndColumnLetters) {
    struct Text {
        std::string in, out;
    } texts[] = {
        {"A&amp;B&#8203;C", "A&B\u200BC"},
        {"&lt;&quot;x&quot;&gt; &apos;", "<\"x\"> '"},
        {"&#21517;&#x79F0;", "名称"},
        {"&nbsp;x&unknown;y", "xy"},  // other references vanish whole
        {"&#0;&#xD800;&#1114112;z", "z"},
        {"AT&T", "AT&T"},             // a bare ampersand stays
    };
    for (const auto& t : texts) EXPECT_EQ(decodeXmlEntities(t.in), t.out) << t.in;

    struct Ref {
        std::string ref;
        int column;
    } refs[] = {{"A1", 0}, {"Z9", 25}, {"AA10", 26}, {"b2", 1}, {"XFD1", 16383}, {"XFE1", -1},
                {"AAAAAAAAAAAAAAAAAAAAA1", -1}, {"", 0}, {"7", 0}};
    for (const auto& r : refs) EXPECT_EQ(columnOfReference(r.ref), r.column) << r.ref;
}

TEST(XlsxReader, SharedStringsAreOneEntryPerItem) {
    const std::string xml =
        "<sst><si><t>plain</t></si>"
        "<si><t xml:space=\"preserve\"> padded </t></si>"
        "<si><r><rPr><b/></rPr><t>rich</t></r><r><t xml:space=\"preserve\"> text</t></r></si>"
        "<si><t>漢字</t><rPh sb=\"0\" eb=\"1\"><t>かんじ</t></rPh></si>"
        "<si/><si><t/></si><si><t>A&amp;B</t></si><si><t>cut";
    EXPECT_EQ(parseSharedStrings(xml), (Cells{"plain", " padded ", "rich text", "漢字", "", "", "A&B"}));
}

TEST(XlsxReader, ReadsCellsByTheirOwnReference) {
    const std::string shared = "<sst><si><t>s0</t></si><si><t>s1</t></si><si><t>name</t></si></sst>";
    struct Case {
        const char* what;
        std::string rows;
        Cells headers;
        Rows rows_;
    } cases[] = {
        {"shared, numbers, gaps",
         R"(<row r="1"><c r="A1" t="s"><v>2</v></c><c r="C1" t="s"><v>1</v></c></row>)"
         R"(<row r="2"><c r="D2"><v>4.5</v></c></row>)",
         {"name", "", "s1"},
         {{"", "", "", "4.5"}}},
        {"index outside the list keeps its digits",
         R"(<row><c r="A1" t="s"><v>7</v></c><c r="B1" t="s"><v>-1</v></c><c r="C1" t="s"><v>x</v></c></row>)",
         {"7", "-1", "x"},
         {}},
        {"styled empty cells keep their own (empty) value",
         R"(<row><c r="A1" s="3"/><c r="B1" s="2"></c><c r="C1"><v>c</v></c></row>)",
         {"", "", "c"},
         {}},
        {"inline and formula strings",
         R"(<row><c r="A1" t="inlineStr"><is><t>in&amp;line</t></is></c><c r="B1" t="str"><f>A1</f><v>calc</v></c></row>)",
         {"in&line", "calc"},
         {}},
        {"blank and self-closing rows vanish, wider rows stay",
         R"(<row r="1"><c r="A1"><v>h</v></c></row><row r="2"/><row r="3"></row>)"
         R"(<row r="9"><c r="A9"><v>1</v></c><c r="C9"><v>3</v></c></row>)",
         {"h"},
         {{"1", "", "3"}}},
        {"a later cell in the same column overwrites",
         R"(<row><c r="A1"><v>first</v></c><c r="A1"><v>second</v></c><c t="n"><v>no ref</v></c></row>)",
         {"no ref"},
         {}},
        {"ill-formed UTF-8 is replaced, never passed on",
         "<row><c r=\"A1\"><v>a\xFF</v></c></row>",
         {"a\uFFFD"},
         {}},
        {"cells beyond the widest sheet are dropped",
         R"(<row><c r="A1"><v>a</v></c><c r="ZZZZ1"><v>far</v></c></row>)",
         {"a"},
         {}},
    };
    for (const auto& c : cases) {
        DataTable table{{"stale"}, {{"stale"}}, ""};
        ASSERT_TRUE(readXlsxParts({shared, test::sheetXml(c.rows)}, table)) << c.what;
        EXPECT_EQ(table.headers, c.headers) << c.what;
        EXPECT_EQ(table.rows, c.rows_) << c.what;
    }
}

TEST(XlsxReader, SheetsWithoutCellsFail) {
    for (std::string rows : {"", "<row r=\"1\"/>", "<row r=\"1\"></row>", "<row><c r=\"A1\"><v>open"}) {
        DataTable table{{"stale"}, {}, ""};
        EXPECT_FALSE(readXlsxParts({"", test::sheetXml(rows)}, table)) << rows;
        EXPECT_TRUE(table.headers.empty());
    }
}

// Far references cost empty cells; a small sheet cannot make the reader fill
// billions of them.
TEST(XlsxReader, FarReferencesCannotExhaustMemory) {
    std::string rows;
    for (int i = 0; i < 20000; ++i) rows += "<row><c r=\"XFD1\"><v>1</v></c></row>";
    DataTable table;
    EXPECT_FALSE(readXlsxParts({"", test::sheetXml(rows)}, table));
    EXPECT_TRUE(table.headers.empty());
    EXPECT_TRUE(table.rows.empty());
}

TEST(XlsxReader, TakesTheFirstSheetPresentAmongTheFirstTen) {
    test::ScratchDir dir;
    const std::string row = R"(<row><c r="A1"><v>%</v></c></row>)";
    auto sheet = [&](const std::string& v) { return test::sheetXml(R"(<row><c r="A1"><v>)" + v + "</v></c></row>"); };
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> sheets;
        bool ok;
        std::string header;
    } cases[] = {
        {"sheet3 only", {{"xl/worksheets/sheet3.xml", sheet("three")}}, true, "three"},
        {"sheet1 before sheet2", {{"xl/worksheets/sheet2.xml", sheet("2")}, {"xl/worksheets/sheet1.xml", sheet("1")}},
         true, "1"},
        {"name case ignored", {{"XL/Worksheets/Sheet1.xml", sheet("upper")}}, true, "upper"},
        {"sheet11 only", {{"xl/worksheets/sheet11.xml", sheet("11")}}, false, ""},
        {"no sheet", {}, false, ""},
    };
    for (const auto& c : cases) {
        const std::string path = dir.file("book.xlsx");
        ASSERT_TRUE(writeFileBytes(path, test::buildWorkbook(c.sheets)));
        DataTable table;
        EXPECT_EQ(readXlsx(path, table), c.ok) << c.what;
        EXPECT_EQ(table.headers, c.ok ? Cells{c.header} : Cells{}) << c.what;
    }
}

TEST(XlsxReader, BrokenWorkbooksFailAndLeaveTheTable) {
    test::ScratchDir dir;
    const std::string good = test::buildWorkbook({{"xl/worksheets/sheet1.xml", test::sheetXml(
        R"(<row><c r="A1" t="s"><v>0</v></c></row>)")}}, "<sst><si><t>kept</t></si></sst>");
    std::string lying = test::buildZip({{"xl/worksheets/sheet1.xml", test::sheetXml("<row><c><v>1</v></c></row>"),
                                         true, 10}});
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"not an archive", "时间,Longitude\n1,2\n"},
        {"truncated", good.substr(0, good.size() / 2)},
        {"end record cut", good.substr(0, good.size() - 5)},
        {"lying member size", lying},
    };
    for (const auto& c : cases) {
        const std::string path = dir.file("bad.xlsx");
        ASSERT_TRUE(writeFileBytes(path, c.bytes));
        DataTable table{{"old"}, {{"row"}}, "old.csv"};
        EXPECT_FALSE(readDataTable(path, table)) << c.what;
        EXPECT_EQ(table.headers, Cells{"old"}) << c.what;
        EXPECT_EQ(table.sourcePath, "old.csv") << c.what;
    }
    const std::string path = dir.file("good.XLSX");
    ASSERT_TRUE(writeFileBytes(path, good));
    DataTable table;
    ASSERT_TRUE(readDataTable(path, table));
    EXPECT_EQ(table.headers, Cells{"kept"});
    EXPECT_EQ(table.sourcePath, path);
}

// Cells that both read as whole numbers compare by value (spreadsheet
// programs store 116.40 as 116.4, openpyxl -94.9 as -94.90000000000001);
// everything else must match exactly.
void expectSameTable(const DataTable& xlsx, const DataTable& csv) {
    auto number = [](std::string_view cell) -> std::optional<double> {
        const std::string s(cell);
        size_t used = 0;
        try {
            double v = std::stod(s, &used);
            if (used == s.size()) return v;
        } catch (...) {
        }
        return std::nullopt;
    };
    EXPECT_EQ(xlsx.headers, csv.headers);
    ASSERT_EQ(xlsx.rows.size(), csv.rows.size());
    for (size_t r = 0; r < csv.rows.size(); ++r) {
        ASSERT_EQ(xlsx.rows[r].size(), csv.rows[r].size()) << r;
        for (size_t c = 0; c < csv.rows[r].size(); ++c) {
            auto a = number(xlsx.rows[r][c]), b = number(csv.rows[r][c]);
            if (a && b) {
                EXPECT_NEAR(*a, *b, 1e-9) << r << "," << c;
            } else {
                EXPECT_EQ(xlsx.rows[r][c], csv.rows[r][c]) << r << "," << c;
            }
        }
    }
}

// Workbooks written by spreadsheet programs read to the table their CSV twin
// (or the values typed in) gives.
TEST(XlsxReader, ReadsWorkbooksWrittenBySpreadsheetPrograms) {
    const std::string dir = std::string(KIT_FIXTURES) + "/";
    for (const char* stem : {"drivetest", "lo_values"}) {
        DataTable csv, xlsx;
        ASSERT_TRUE(readDataTable(dir + stem + ".csv", csv)) << stem;
        ASSERT_TRUE(readDataTable(dir + stem + ".xlsx", xlsx)) << stem;
        expectSameTable(xlsx, csv);
    }

    DataTable styled;
    ASSERT_TRUE(readDataTable(dir + "lo_styled.xlsx", styled));
    EXPECT_EQ(styled.headers, (Cells{"名称", "", "经度", "纬度"}));
    EXPECT_EQ(styled.rows, (Rows{{"粗体站", "", "116.5", "40"}, {"", "", "", ""}, {"  两端空格  ", "", "", "39.125"}}));

    DataTable gaps;
    ASSERT_TRUE(readDataTable(dir + "points_gaps.xlsx", gaps));
    EXPECT_EQ(gaps.headers, (Cells{"名称", "经度", "纬度", "", "备注"}));
    EXPECT_EQ(gaps.rows, (Rows{{"A&B 站", "116.4", "39.9", "", "<主站>"},
                               {"C站", "116.41", "39.91"},
                               {"D站", "116.42", "39.92", "", "引号\"在内"}}));
}

}  // namespace
}  // namespace kit
