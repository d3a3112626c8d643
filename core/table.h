#pragma once
// The table a tab takes from the clipboard (or the CLI from a file).
//
// A row behaves as an ordered map from column name to cell: with duplicate
// header names the right-most column wins, and a short line simply lacks its
// later cells. It is stored as cells by position inside one text buffer, with
// one name lookup per table, which keeps a million rows cheap.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kit {

// The positions a column name may take its cell from, right-most first
// (strictly descending). A row takes the first position it actually has a
// cell for.
struct ColumnRef {
    std::vector<uint32_t> positions;
    bool empty() const { return positions.empty(); }
};

class Table {
public:
    std::vector<std::string> headers;

    size_t rowCount() const { return rowBegin_.empty() ? 0 : rowBegin_.size() - 1; }
    size_t columnCount() const { return headers.size(); }
    bool empty() const { return rowCount() == 0; }

    // Cells this row actually had (at most columnCount()).
    size_t cellCount(size_t row) const { return rowBegin_[row + 1] - rowBegin_[row]; }
    std::string_view cell(size_t row, size_t position) const {
        const Span& s = spans_[rowBegin_[row] + position];
        return std::string_view(text_.data() + s.offset, s.length);
    }

    ColumnRef column(std::string_view name) const;
    // column() for every distinct header name at once, in one pass over the
    // headers (column() walks them all on each call). The keys view the
    // headers, so the index lasts as long as they stay unchanged.
    std::unordered_map<std::string_view, ColumnRef> columnIndex() const;
    // The cell under a column name, or the default when the row has none.
    std::string_view cellOr(size_t row, const ColumnRef& column, std::string_view fallback) const;
    std::string_view cellOr(size_t row, std::string_view name, std::string_view fallback) const {
        return cellOr(row, column(name), fallback);
    }

    void clear();
    // Appends a row of cells (extra cells beyond the headers are dropped).
    void addRow(const std::vector<std::string>& cells);

private:
    friend bool parseTable(std::string text, Table& table);
    struct Span {
        uint64_t offset;
        uint32_t length;
    };
    std::string text_;
    std::vector<Span> spans_;
    std::vector<uint64_t> rowBegin_;  // rowCount()+1 entries once a row exists
};

// Parses clipboard text (UTF-8) into the table; true when at least one data
// row was read. The table keeps whatever was parsed even on false.
bool parseTable(std::string text, Table& table);
bool parseTable(std::u16string_view text, Table& table);

}  // namespace kit
