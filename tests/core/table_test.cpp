#include <gtest/gtest.h>

#include "core/columns.h"
#include "core/fetch.h"
#include "core/table.h"

using kit::Table;

namespace {

Table parsed(const std::string& text, bool expectRows = true) {
    Table t;
    EXPECT_EQ(kit::parseTable(text, t), expectRows) << text;
    return t;
}

std::vector<std::string> rowCells(const Table& t, size_t r) {
    std::vector<std::string> out;
    for (size_t i = 0; i < t.cellCount(r); ++i) out.emplace_back(t.cell(r, i));
    return out;
}

}  // namespace

TEST(ParseTable, LinesCrLfAndBlankLinesVanish) {
    Table t = parsed("a,b,c\r\n1,2,3\r\n\r\n4,5,6\r\n\n");
    EXPECT_EQ(t.headers, (std::vector<std::string>{"a", "b", "c"}));
    ASSERT_EQ(t.rowCount(), 2u);
    EXPECT_EQ(rowCells(t, 0), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(rowCells(t, 1), (std::vector<std::string>{"4", "5", "6"}));
}

TEST(ParseTable, SeparatorComesFromFirstLineOnly) {
    // One comma and one tab: a tie gives the tab, the comma stays in the name.
    Table t = parsed("a,b\tc\n1,2\t3\n");
    EXPECT_EQ(t.headers, (std::vector<std::string>{"a,b", "c"}));
    // More commas than tabs: comma, even when later lines hold tabs.
    t = parsed("x,y,z\n1\t2,3,4\n");
    EXPECT_EQ(rowCells(t, 0), (std::vector<std::string>{"1\t2", "3", "4"}));
    // Neither: tab, one header.
    t = parsed("name\nA B\n");
    EXPECT_EQ(t.headers, (std::vector<std::string>{"name"}));
    EXPECT_EQ(rowCells(t, 0), (std::vector<std::string>{"A B"}));
}

TEST(ParseTable, EmptyNamesAndQuotesAreNotSpecial) {
    Table t = parsed("a,,b,\n\"x,y\",2\n");
    EXPECT_EQ(t.headers, (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(rowCells(t, 0), (std::vector<std::string>{"\"x", "y\"", "2"}));
}

TEST(ParseTable, LongAndShortLines) {
    Table t = parsed("a\tb\n1\t2\t3\t4\n5\n\t\n");
    ASSERT_EQ(t.rowCount(), 3u);
    EXPECT_EQ(rowCells(t, 0), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(t.cellOr(1, "a", "?"), "5");
    EXPECT_EQ(t.cellOr(1, "b", "dflt"), "dflt");
    // A line of one separator is a row of two empty cells, not a blank line.
    EXPECT_EQ(rowCells(t, 2), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(t.cellOr(2, "nope", "d"), "d");
}

TEST(ParseTable, DuplicateHeaderRightMostWinsUnlessAbsent) {
    Table t = parsed("id\tx\tid\nA\t1\tB\nC\t2\n");
    EXPECT_EQ(t.cellOr(0, "id", ""), "B");
    // The second "id" cell is absent on the short line: the first one is its value.
    EXPECT_EQ(t.cellOr(1, "id", ""), "C");
}

TEST(ParseTable, RepeatedNameLookupsMatchTheOnePassIndex) {
    // Every row length against every position of a name repeated in places.
    Table t = parsed("a\tb\ta\tc\ta\ta\n1\n1\t2\n1\t2\t3\n1\t2\t3\t4\t5\n1\t2\t3\t4\t5\t6\n");
    const auto index = t.columnIndex();
    ASSERT_EQ(index.size(), 3u);
    const char* want[] = {"1", "1", "3", "5", "6"};
    for (size_t r = 0; r < t.rowCount(); ++r) {
        EXPECT_EQ(t.cellOr(r, "a", "-"), want[r]) << r;
        EXPECT_EQ(t.cellOr(r, index.at("a"), "-"), want[r]) << r;
    }
    EXPECT_EQ(t.cellOr(0, "c", "-"), "-");
    EXPECT_EQ(index.at("c").positions, t.column("c").positions);

    // One name over 100 000 columns and as many one-cell rows: looking the
    // cell up position by position would take minutes.
    const size_t n = 100000;
    std::string text;
    for (size_t i = 0; i < n; ++i) text += i ? "\ta" : "a";
    for (size_t i = 0; i < n; ++i) text += "\nx";
    Table wide = parsed(text);
    const kit::ColumnRef a = wide.column("a");
    size_t found = 0;
    for (size_t r = 0; r < wide.rowCount(); ++r) found += wide.cellOr(r, a, "") == "x";
    EXPECT_EQ(found, n);
}

// Lines of nothing but separators: every cell empty. Cells are found by
// four-byte ends, so two million such lines (eight million cells) hold a few
// times their text, where sixteen bytes a cell held eighteen times it.
TEST(ParseTable, EmptyCellsCostAFewTimesTheirText) {
    std::string text = "a\tb\tc\td\n";
    for (int i = 0; i < 2000000; ++i) text += "\t\t\t\n";
    text += ",,,\n\t\t";  // a last line without its end, and one with commas
    const size_t size = text.size();
    Table t = parsed(text);
    ASSERT_EQ(t.rowCount(), 2000002u);
    EXPECT_EQ(rowCells(t, 0), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(rowCells(t, 2000000), (std::vector<std::string>{",,,"}));
    EXPECT_EQ(rowCells(t, 2000001), (std::vector<std::string>{"", "", ""}));
    EXPECT_LE(t.cellIndexBytes(), 8 * size);

    // Rows added one by one read back the same way.
    Table built;
    built.headers = {"x", "y", "z"};
    built.addRow({"1", "", "333"});
    built.addRow({});
    built.addRow({"", "22", "3", "dropped"});
    EXPECT_EQ(rowCells(built, 0), (std::vector<std::string>{"1", "", "333"}));
    EXPECT_EQ(built.cellCount(1), 0u);
    EXPECT_EQ(rowCells(built, 2), (std::vector<std::string>{"", "22", "3"}));
}

// A header line of nothing but separators: a million empty names cost four
// bytes each (a string each cost 32), and the names read back one by one
// and as a list the way they were written.
TEST(ParseTable, EmptyHeaderNamesCostFourBytesEach) {
    for (const char sep : {'\t', ','}) {
        const size_t n = 1000000;
        std::string text(n - 1, sep);
        text = "id" + text + "last\n1";
        text += sep;
        text += "2\n";
        Table t = parsed(text);
        ASSERT_EQ(t.columnCount(), n) << sep;
        EXPECT_LE(t.headers.bytesHeld(), 5 * text.size()) << sep;
        EXPECT_EQ(t.headers[0], "id");
        EXPECT_EQ(t.headers[1], "");
        EXPECT_EQ(t.headers[n - 1], "last");
        EXPECT_EQ(rowCells(t, 0), (std::vector<std::string>{"1", "2"}));
    }
    kit::HeaderNames names = {"a", "", "站名"};
    const std::vector<std::string> list = names;
    EXPECT_EQ(list, (std::vector<std::string>{"a", "", "站名"}));
    EXPECT_EQ(kit::HeaderNames(list), names);
    names.clear();
    EXPECT_TRUE(names.empty());
}

TEST(ParseTable, NoDataRows) {
    Table t = parsed("", false);
    EXPECT_TRUE(t.headers.empty());
    t = parsed("a\tb\n", false);
    EXPECT_EQ(t.headers.size(), 2u);
    EXPECT_EQ(t.rowCount(), 0u);
    t = parsed("\n\r\n\n", false);
    EXPECT_TRUE(t.headers.empty());
}

TEST(ParseTable, Utf16InputAndLoneCarriageReturns) {
    Table t;
    ASSERT_TRUE(kit::parseTable(std::u16string(u"站名\t经度\r\n基站\t116.3\r\n\r\n"), t));
    EXPECT_EQ(t.headers[0], "站名");
    EXPECT_EQ(t.cellOr(0, "经度", ""), "116.3");
    // Only one CR is removed; a CR inside the line stays.
    ASSERT_TRUE(kit::parseTable(std::string("a\r\r\n1\r\r\n"), t));
    EXPECT_EQ(t.headers[0], "a\r");
}

TEST(FetchTable, WarningsAndStatus) {
    Table t;
    EXPECT_EQ(kit::fetchTableText("", t).message, "剪贴板无数据");
    EXPECT_EQ(kit::fetchTableText("only\theader\n", t).message, "未解析到有效数据");
    EXPECT_EQ(kit::fetchTableText("only\theader\n", t).status, kit::Status::Warning);
    EXPECT_TRUE(kit::fetchTableText("a\tb\tc\n1\t2\t3\n4\t5\t6\n", t).ok());
    EXPECT_EQ(kit::fetchedStatusText(t), "已获取：2行×3列");
    EXPECT_EQ(kit::fetchedRowsStatusText(t), "已获取：2行");
}

TEST(DetectColumns, CandidatesBeatPositions) {
    using H = std::vector<std::string>;
    EXPECT_EQ(kit::detectLongitudeColumn(H{"name", "Longitude(WGS84)", "Latitude"}), 1);
    EXPECT_EQ(kit::detectLatitudeColumn(H{"LAT", "纬度"}), 1);  // "纬度" is the first candidate
    EXPECT_EQ(kit::detectLatitudeColumn(H{"x", "LAT", "lat2"}), 1);
    // Fallbacks by position.
    EXPECT_EQ(kit::detectLongitudeColumn(H{"a"}), 0);
    EXPECT_EQ(kit::detectLatitudeColumn(H{"a"}), kit::kNoColumn);
    EXPECT_EQ(kit::detectLatitudeColumn(H{"a", "b"}), 1);
    EXPECT_EQ(kit::detectLongitudeColumn(H{}), kit::kNoColumn);
    // "name" only when nothing earlier matches anywhere; "id" anywhere wins.
    EXPECT_EQ(kit::detectIdColumn(H{"name", "Cell_ID"}), 1);
    EXPECT_EQ(kit::detectIdColumn(H{"name", "lon"}), 0);
    EXPECT_EQ(kit::detectIdColumn(H{"lon", "lat"}), kit::kNoColumn);
    // Chinese bytes are compared as they are.
    EXPECT_EQ(kit::detectIdColumn(H{"经度", "站名"}), 1);
}
