// The table Quillet's readers fill: cells as spans of one text, so that what
// a file asks for stays proportional to its size.
#include <gtest/gtest.h>

#include "batchkml/column_roles.h"
#include "batchkml/csv_reader.h"
#include "batchkml/data_table.h"
#include "batchkml/table_reader.h"
#include "batchkml/xlsx_reader.h"
#include "tests/batchkml/zip_builder.h"

namespace kit {
namespace {

using Cells = std::vector<std::string>;
using Rows = std::vector<Cells>;

std::string repeated(std::string_view piece, size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i) out += piece;
    return out;
}

TEST(DataTable, RowsKeepTheirLengthsAndCompareByText) {
    const Rows rows{{"a", "", "漢字"}, {}, {"x"}};
    const DataTable t{{"h1", "", "h3"}, rows, "p.csv"};
    EXPECT_EQ(t.headers, (Cells{"h1", "", "h3"}));
    EXPECT_EQ(std::vector<std::string>(t.headers), (Cells{"h1", "", "h3"}));
    EXPECT_EQ(t.rows, rows);
    EXPECT_EQ(t.rows.strings(), rows);
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_TRUE(t.rows[1].empty());
    EXPECT_EQ(cellAt(t.rows[0], 2), "漢字");
    EXPECT_EQ(cellAt(t.rows[0], 3), std::nullopt);
    EXPECT_EQ(cellAt(t.rows[0], -1), std::nullopt);
    size_t cells = 0;
    for (const CellRow& row : t.rows) cells += row.size();
    EXPECT_EQ(cells, 4u);
    EXPECT_FALSE(t.rows == (Rows{{"a", "", "漢字"}, {""}, {"x"}}));  // an empty row is not a row of one empty cell
}

// The CSV cells are the decoded file's own bytes, quotes removed in place;
// each line must come out as it does alone, whatever its neighbours' quotes did.
TEST(CsvReader, QuotedFieldsShrinkInPlaceWithoutTouchingTheirNeighbours) {
    const std::string lines[] = {"\"h,1\",\"\"\"h2\"\"\"",     "\"a\"\"b\",c,\"\"\"\",d", "\"x\ry\",,\"\"",
                                 "plain,\"un\"quo\"ted\",\"open", "e\"\"f,\"g\"\"\"\"\"",  "\"\"\"\"\"\"\"\"\"\"\""};
    std::string text;
    for (size_t i = 0; i < std::size(lines); ++i) text += lines[i] + (i % 2 ? "\r\n" : "\n");
    DataTable t;
    ASSERT_TRUE(readCsvBytes(text, t));
    EXPECT_EQ(t.headers, (Cells{"h,1", "\"h2\""}));
    ASSERT_EQ(t.rows.size(), std::size(lines) - 1);
    for (size_t r = 0; r < t.rows.size(); ++r) EXPECT_EQ(t.rows[r].strings(), splitCsvLine(lines[r + 1])) << lines[r + 1];
    EXPECT_EQ(t.rows[0].strings(), (Cells{"a\"b", "c", "\"", "d"}));
    EXPECT_EQ(t.rows[3].strings(), (Cells{"ef", "g\"\""}));
}

// One line of a million commas: a million empty header cells, each costing
// its span rather than a string (the old table held over 60 bytes a cell).
TEST(CsvReader, EmptyCellsCostTheirSpanOnly) {
    const std::string text = repeated(",", 1'000'000) + "lon,lat,rsrp\n" + repeated(",,,,,,\n", 150'000) + "1,2\n";
    DataTable t;
    ASSERT_TRUE(readCsvBytes(text, t));
    ASSERT_EQ(t.headers.size(), 1'000'003u);
    EXPECT_EQ(t.headers[1'000'002], "rsrp");
    ASSERT_EQ(t.rows.size(), 150'001u);
    EXPECT_EQ(t.rows[0].size(), 7u);
    EXPECT_EQ(t.rows.strings().back(), (Cells{"1", "2"}));
    EXPECT_LE(bytesHeld(t), 20 * text.size());
    EXPECT_EQ(findColumn(t.headers, longitudeCandidates()), 1'000'000);
    EXPECT_EQ(findColumn(t.headers, signalCandidates()), 1'000'002);
}

// The header search over a table's own cells finds what it finds over a list
// of strings.
TEST(ColumnRoles, HeaderCellsAndStringListsFindTheSameColumn) {
    const Cells headers[] = {{}, {"", "LONGITUDE", "Lat"}, {"x_Lon_y", "经度"}, {"经度(°)", "纬度", "RSRP(dBm)", "level"},
                             {"ab", "A", "b"}};
    for (const Cells& h : headers) {
        for (const auto* candidates : {&longitudeCandidates(), &latitudeCandidates(), &signalCandidates()})
            EXPECT_EQ(findColumn(CellList(h), *candidates), findColumn(h, *candidates)) << testing::PrintToString(h);
        EXPECT_EQ(findColumn(CellList(h), {"AB", "b"}), findColumn(h, {"AB", "b"}));
    }
}

// Cells showing one shared string point at its one copy: 20 000 cells of a
// 4 MB string are 20 000 spans, where copies would ask for 80 GB.
TEST(XlsxReader, CellsShareTheirSharedStringsOneCopy) {
    const std::string big = repeated("A", 4u << 20);
    const std::string shared = "<sst><si><t>lon</t></si><si><t>lat</t></si><si><t>" + big + "</t></si></sst>";
    std::string rows = R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row>)";
    std::string row = "<row>";
    for (char column = 'A'; column <= 'Y'; ++column) row += std::string(R"(<c r=")") + column + R"(2" t="s"><v>2</v></c>)";
    row += "</row>";
    for (int r = 0; r < 800; ++r) rows += row;
    const std::string sheet = test::sheetXml(rows);
    DataTable t;
    ASSERT_TRUE(readXlsxParts({shared, sheet}, t));
    EXPECT_EQ(t.headers, (Cells{"lon", "lat"}));
    ASSERT_EQ(t.rows.size(), 800u);
    const char* copy = t.rows[0][0].data();
    size_t cells = 0;
    for (const CellRow& r : t.rows) {
        for (std::string_view cell : r) {
            ASSERT_EQ(cell.size(), big.size());
            ASSERT_EQ(cell.data(), copy);
            ++cells;
        }
    }
    EXPECT_EQ(cells, 20'000u);
    EXPECT_LE(bytesHeld(t), 2 * (shared.size() + sheet.size()));

    // The workbook that showed it: 2000 cells of a 1 MB string.
    DataTable book;
    ASSERT_TRUE(readDataTable(std::string(KIT_FIXTURES) + "/fuzz-cases/xlsx_shared_string_1MB_x2000_cells.xlsx", book));
    EXPECT_EQ(book.headers, (Cells{"lon", "lat", "rsrp"}));
    EXPECT_LE(bytesHeld(book), 4u << 20);
}

// The budget counts the bytes the table holds: a sheet whose rows use the
// first and the 26th column (24 empty cells between, as a sparse export
// writes them) reads whole, where counting cells refused it; far gaps are
// still refused (FarReferencesCannotExhaustMemory).
TEST(XlsxReader, SparseButHonestSheetsFitTheBudget) {
    std::string rows;
    for (int r = 1; r <= 100'000; ++r) {
        const std::string n = std::to_string(r);
        rows += "<row><c r=\"A" + n + "\"><v>" + n + "</v></c><c r=\"Z" + n + "\"><v>z</v></c></row>";
    }
    DataTable t;
    ASSERT_TRUE(readXlsxParts({"", test::sheetXml(rows)}, t));
    ASSERT_EQ(t.rows.size(), 99'999u);
    EXPECT_EQ(t.rows[99'998].size(), 26u);
    EXPECT_EQ(t.rows[99'998][0], "100000");
    EXPECT_EQ(t.rows[99'998][25], "z");
}

}  // namespace
}  // namespace kit
