#pragma once
// A data file read for one of Quillet's tabs: a header row and rows of text
// cells, all UTF-8 whatever the file's encoding.
//
// The cells are spans of one text that the header and the rows share: an
// empty or short cell costs its span, not a string of its own, and the cells
// of a workbook that show the same shared string point at its one copy.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/position_iterator.h"

namespace kit {

struct DataTable;

struct CellSpan {
    uint64_t start = 0;
    uint64_t size = 0;
};

// Consecutive cells of a table (a header or one row), read-only; valid while
// the table it came from lives.
class CellRow {
    struct Cells {
        const char* text;
        const CellSpan* cells;
        std::string_view operator()(size_t k) const {
            return {text + cells[k].start, static_cast<size_t>(cells[k].size)};
        }
    };

public:
    using iterator = PositionIterator<Cells, std::string_view>;
    using const_iterator = iterator;
    using value_type = std::string_view;

    CellRow() = default;
    CellRow(const char* text, const CellSpan* cells, size_t count) : text_(text), cells_(cells), count_(count) {}

    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    std::string_view operator[](size_t k) const { return Cells{text_, cells_}(k); }
    iterator begin() const { return {Cells{text_, cells_}, 0}; }
    iterator end() const { return {Cells{text_, cells_}, count_}; }
    std::vector<std::string> strings() const { return {begin(), end()}; }

private:
    const char* text_ = nullptr;
    const CellSpan* cells_ = nullptr;
    size_t count_ = 0;
};

// A header row: the cells and the text they point into.
class CellList {
public:
    using iterator = CellRow::iterator;
    using const_iterator = iterator;
    using value_type = std::string_view;

    CellList() = default;
    CellList(std::initializer_list<std::string_view> cells);
    CellList(const std::vector<std::string>& cells);
    CellList(std::shared_ptr<const std::string> text, std::vector<CellSpan> cells);

    CellRow row() const { return {text_ ? text_->data() : nullptr, cells_.data(), cells_.size()}; }
    size_t size() const { return cells_.size(); }
    bool empty() const { return cells_.empty(); }
    std::string_view operator[](size_t k) const { return row()[k]; }
    iterator begin() const { return row().begin(); }
    iterator end() const { return row().end(); }
    void clear() { *this = CellList(); }
    // The list controls take the names as strings.
    operator std::vector<std::string>() const { return row().strings(); }

    // Equal when the cells' texts are.
    friend bool operator==(const CellList& a, const CellList& b);
    friend bool operator==(const CellList& a, const std::vector<std::string>& b);
    friend uint64_t bytesHeld(const DataTable& table);

private:
    std::shared_ptr<const std::string> text_;
    std::vector<CellSpan> cells_;
};

// The rows after the header, each keeping its own length.
class CellRows {
    struct Rows {
        const CellRows* rows;
        CellRow operator()(size_t r) const { return (*rows)[r]; }
    };

public:
    using iterator = PositionIterator<Rows, CellRow>;
    using const_iterator = iterator;
    using value_type = CellRow;

    CellRows() = default;
    CellRows(std::initializer_list<std::vector<std::string>> rows);
    CellRows(const std::vector<std::vector<std::string>>& rows);
    // rowEnds[r] is the index after row r's last cell.
    CellRows(std::shared_ptr<const std::string> text, std::vector<CellSpan> cells, std::vector<uint64_t> rowEnds);

    size_t size() const { return rowEnds_.size(); }
    bool empty() const { return rowEnds_.empty(); }
    CellRow operator[](size_t r) const;
    iterator begin() const { return {Rows{this}, 0}; }
    iterator end() const { return {Rows{this}, rowEnds_.size()}; }
    void clear() { *this = CellRows(); }
    std::vector<std::vector<std::string>> strings() const;

    // Equal when the rows' cells' texts are.
    friend bool operator==(const CellRows& a, const CellRows& b);
    friend bool operator==(const CellRows& a, const std::vector<std::vector<std::string>>& b);
    friend uint64_t bytesHeld(const DataTable& table);

private:
    std::shared_ptr<const std::string> text_;
    std::vector<CellSpan> cells_;
    std::vector<uint64_t> rowEnds_;
};

struct DataTable {
    CellList headers;       // the first non-empty row
    CellRows rows;          // every further row
    std::string sourcePath; // UTF-8 path of the file that was read
};

// The memory the table's cells take (text, spans and row ends, as allocated).
uint64_t bytesHeld(const DataTable& table);

// The cell at a column, or nothing when the row is too short for it.
inline std::optional<std::string_view> cellAt(const CellRow& row, int column) {
    if (column < 0 || static_cast<size_t>(column) >= row.size()) return std::nullopt;
    return row[static_cast<size_t>(column)];
}

// How the readers fill a table: the cells are spans of one text, adopted
// whole (a decoded file) or grown by appending; the first row ended becomes
// the header.
class TableBuilder {
public:
    explicit TableBuilder(std::string text = {}) : text_(std::move(text)) {}

    // Cells may point anywhere into it; it may be rewritten in place before
    // finish().
    std::string& text() { return text_; }
    // Appends the cell's text and returns its span.
    CellSpan append(std::string_view cell);
    // Adds a cell to the current row.
    void addCell(CellSpan cell) { (haveHeaders_ ? cells_ : headerCells_).push_back(cell); }
    void endRow();
    bool haveHeaders() const { return haveHeaders_; }
    // Room for this many more cells in the current part (header or rows) and rows.
    void reserve(size_t cells, size_t rows);
    // What the cells and text hold so far, for a reader's budget.
    uint64_t bytesHeld() const;
    // Replaces the table's headers and rows (sourcePath untouched).
    void finish(DataTable& table);

private:
    std::string text_;
    std::vector<CellSpan> headerCells_, cells_;
    std::vector<uint64_t> rowEnds_;
    bool haveHeaders_ = false;
};

}  // namespace kit
