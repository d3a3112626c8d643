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

#include "core/header_names.h"

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
    HeaderNames headers;

    size_t rowCount() const { return rowBegin_.empty() ? 0 : rowBegin_.size() - 1; }
    size_t columnCount() const { return headers.size(); }
    bool empty() const { return rowCount() == 0; }

    // Cells this row actually had (at most columnCount()).
    size_t cellCount(size_t row) const { return rowBegin_[row + 1] - rowBegin_[row]; }
    std::string_view cell(size_t row, size_t position) const {
        const size_t k = rowBegin_[row] + position;
        // A cell starts one past the end of the cell before it (the
        // separator between them), the row's first at the row's start.
        const size_t begin = position == 0 ? rowStart_[row] : size_t{cellEnd_[k - 1]} + 1;
        return std::string_view(text_.data() + begin, cellEnd_[k] - begin);
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

    // Bytes held to find the cells, beyond the text and the names: what a
    // table of empty cells costs (tests hold it to a few times the text).
    size_t cellIndexBytes() const {
        return cellEnd_.capacity() * sizeof(uint32_t) + rowStart_.capacity() * sizeof(uint32_t) +
               rowBegin_.capacity() * sizeof(size_t);
    }

    void clear();
    // Appends a row of cells (extra cells beyond the headers are dropped).
    void addRow(const std::vector<std::string>& cells);

private:
    friend bool parseTable(std::string text, Table& table);
    // Four bytes a cell, so that a table of empty cells (a line of nothing
    // but separators) costs a few times its text, not tens of bytes a cell.
    std::string text_;
    std::vector<uint32_t> cellEnd_;   // where each cell's text ends, row after row
    std::vector<uint32_t> rowStart_;  // where each row's text starts
    std::vector<size_t> rowBegin_;    // each row's first cell; rowCount()+1 entries once a row exists
};

// The most text a table holds (its cells are found by 32-bit offsets); a
// table file is refused above kMaxTableFileBytes, which any decoding to
// UTF-8 keeps below this.
inline constexpr size_t kMaxTableTextBytes = 0xFFFFFFFFu;
inline constexpr uint64_t kMaxTableFileBytes = uint64_t{2} << 30;  // 2 GiB

// Parses clipboard text (UTF-8) into the table; true when at least one data
// row was read. The table keeps whatever was parsed even on false; a text
// longer than kMaxTableTextBytes gives an empty table.
bool parseTable(std::string text, Table& table);
bool parseTable(std::u16string_view text, Table& table);

}  // namespace kit
