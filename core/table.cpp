#include "core/table.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>

#include "core/text.h"

namespace kit {

ColumnRef Table::column(std::string_view name) const {
    ColumnRef ref;
    for (size_t i = headers.size(); i-- > 0;)
        if (headers[i] == name) ref.positions.push_back(static_cast<uint32_t>(i));
    return ref;
}

std::unordered_map<std::string_view, ColumnRef> Table::columnIndex() const {
    std::unordered_map<std::string_view, ColumnRef> index;
    index.reserve(headers.size());
    for (size_t i = headers.size(); i-- > 0;) index[headers[i]].positions.push_back(static_cast<uint32_t>(i));
    return index;
}

std::string_view Table::cellOr(size_t row, const ColumnRef& column, std::string_view fallback) const {
    // Positions are right-most first: the first one the row reaches is found
    // by bisection, so a name repeated across thousands of columns costs a
    // short row no more than a few steps.
    const size_t have = cellCount(row);
    if (column.positions.empty() || column.positions.back() >= have) return fallback;
    if (column.positions.front() < have) return cell(row, column.positions.front());
    auto it = std::lower_bound(column.positions.begin(), column.positions.end(), static_cast<uint32_t>(have - 1),
                               std::greater<uint32_t>());
    return it == column.positions.end() ? fallback : cell(row, *it);
}

void Table::clear() {
    headers.clear();
    text_.clear();
    cellEnd_.clear();
    rowStart_.clear();
    rowBegin_.clear();
}

void Table::addRow(const std::vector<std::string>& cells) {
    if (rowBegin_.empty()) rowBegin_.push_back(cellEnd_.size());
    size_t n = std::min(cells.size(), headers.size());
    rowStart_.push_back(static_cast<uint32_t>(text_.size()));
    for (size_t i = 0; i < n; ++i) {
        text_ += cells[i];
        cellEnd_.push_back(static_cast<uint32_t>(text_.size()));
        text_ += '\t';  // what cell() steps over to the next cell
    }
    rowBegin_.push_back(cellEnd_.size());
}

namespace {

// Separator of the whole text: the comma only when the first line has strictly
// more commas than tabs.
char chooseSeparator(std::string_view firstLine) {
    size_t tabs = 0, commas = 0;
    for (char c : firstLine) {
        tabs += c == '\t';
        commas += c == ',';
    }
    return commas > tabs ? ',' : '\t';
}

// Calls fn(begin, end) for every line with one trailing CR removed, skipping
// lines that are then empty.
template <typename Fn>
void forEachLine(const std::string& text, Fn fn) {
    size_t pos = 0, n = text.size();
    while (pos < n) {
        const char* nl = static_cast<const char*>(std::memchr(text.data() + pos, '\n', n - pos));
        size_t end = nl ? static_cast<size_t>(nl - text.data()) : n;
        size_t stop = end;
        if (stop > pos && text[stop - 1] == '\r') --stop;
        if (stop > pos && !fn(pos, stop)) return;
        pos = end + 1;
    }
}

}  // namespace

namespace {

// The header line's names, with room for exactly as many as it has: a line
// of a million separators is a million names, and growing by doubling would
// hold half as many again while it copies.
void readHeaders(std::string_view line, char sep, HeaderNames& headers) {
    const size_t separators = static_cast<size_t>(std::count(line.begin(), line.end(), sep));
    headers.reserve(separators + 1, line.size() - separators);
    size_t start = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == sep) {
            headers.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    headers.push_back(line.substr(start));
}

}  // namespace

bool parseTable(std::string text, Table& table) {
    table.clear();
    if (text.empty() || text.size() > kMaxTableTextBytes) return false;
    table.text_ = std::move(text);
    const std::string& t = table.text_;

    bool first = true;
    char sep = '\t';
    size_t columns = 0;
    forEachLine(t, [&](size_t b, size_t e) {
        if (first) {
            first = false;
            const std::string_view line = std::string_view(t).substr(b, e - b);
            sep = chooseSeparator(line);
            readHeaders(line, sep, table.headers);
            columns = table.headers.size();
            // Room for every row and cell at once: growing by doubling would
            // copy the cells several times over on a large table. A cell
            // ends at a separator or a line end, and no row keeps more cells
            // than there are headers.
            const auto rest = t.begin() + static_cast<std::ptrdiff_t>(e);
            const size_t lines = static_cast<size_t>(std::count(rest, t.end(), '\n')) + 1;
            const size_t separators = static_cast<size_t>(std::count(rest, t.end(), sep));
            table.rowBegin_.reserve(lines + 1);
            table.rowStart_.reserve(lines);
            table.cellEnd_.reserve(std::min(separators + lines, lines * columns));
            table.rowBegin_.push_back(0);
            return true;
        }
        table.rowStart_.push_back(static_cast<uint32_t>(b));
        size_t taken = 0;
        for (size_t i = b; i < e && taken < columns; ++i) {
            if (t[i] == sep) {
                table.cellEnd_.push_back(static_cast<uint32_t>(i));
                ++taken;
            }
        }
        if (taken < columns) table.cellEnd_.push_back(static_cast<uint32_t>(e));
        table.rowBegin_.push_back(table.cellEnd_.size());
        return true;
    });
    if (table.rowBegin_.size() <= 1) table.rowBegin_.clear();
    return table.rowCount() > 0;
}

bool parseTable(std::u16string_view text, Table& table) {
    if (text.empty()) {
        table.clear();
        return false;
    }
    return parseTable(utf16ToUtf8(text), table);
}

}  // namespace kit
