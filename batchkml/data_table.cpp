#include "batchkml/data_table.h"

#include <algorithm>

namespace kit {

namespace {

template <class Cells>
std::shared_ptr<const std::string> joinedText(const Cells& cells, std::vector<CellSpan>& spans) {
    auto text = std::make_shared<std::string>();
    for (const auto& cell : cells) {
        spans.push_back({text->size(), std::string_view(cell).size()});
        text->append(cell);
    }
    return text;
}

}  // namespace

CellList::CellList(std::initializer_list<std::string_view> cells) { text_ = joinedText(cells, cells_); }

CellList::CellList(const std::vector<std::string>& cells) { text_ = joinedText(cells, cells_); }

CellList::CellList(std::shared_ptr<const std::string> text, std::vector<CellSpan> cells)
    : text_(std::move(text)), cells_(std::move(cells)) {}

namespace {

template <class A, class B>
bool sameCells(const A& a, const B& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

template <class Rows>
bool sameRows(const CellRows& a, const Rows& b) {
    if (a.size() != b.size()) return false;
    for (size_t r = 0; r < b.size(); ++r)
        if (!sameCells(a[r], b[r])) return false;
    return true;
}

}  // namespace

bool operator==(const CellList& a, const CellList& b) { return sameCells(a, b); }

bool operator==(const CellList& a, const std::vector<std::string>& b) { return sameCells(a, b); }

CellRows::CellRows(std::initializer_list<std::vector<std::string>> rows)
    : CellRows(std::vector<std::vector<std::string>>(rows)) {}

CellRows::CellRows(const std::vector<std::vector<std::string>>& rows) {
    auto text = std::make_shared<std::string>();
    for (const auto& row : rows) {
        for (const auto& cell : row) {
            cells_.push_back({text->size(), cell.size()});
            text->append(cell);
        }
        rowEnds_.push_back(cells_.size());
    }
    text_ = std::move(text);
}

CellRows::CellRows(std::shared_ptr<const std::string> text, std::vector<CellSpan> cells, std::vector<uint64_t> rowEnds)
    : text_(std::move(text)), cells_(std::move(cells)), rowEnds_(std::move(rowEnds)) {}

CellRow CellRows::operator[](size_t r) const {
    const size_t first = r == 0 ? 0 : static_cast<size_t>(rowEnds_[r - 1]);
    return {text_ ? text_->data() : nullptr, cells_.data() + first, static_cast<size_t>(rowEnds_[r]) - first};
}

std::vector<std::vector<std::string>> CellRows::strings() const {
    std::vector<std::vector<std::string>> out;
    for (const CellRow& row : *this) out.push_back(row.strings());
    return out;
}

bool operator==(const CellRows& a, const CellRows& b) { return sameRows(a, b); }

bool operator==(const CellRows& a, const std::vector<std::vector<std::string>>& b) { return sameRows(a, b); }

uint64_t bytesHeld(const DataTable& table) {
    const auto& rowText = table.rows.text_;
    const auto& headerText = table.headers.text_;
    uint64_t bytes = rowText ? rowText->capacity() : 0;
    if (headerText && headerText != rowText) bytes += headerText->capacity();
    bytes += (table.headers.cells_.capacity() + table.rows.cells_.capacity()) * sizeof(CellSpan);
    return bytes + table.rows.rowEnds_.capacity() * sizeof(uint64_t);
}

CellSpan TableBuilder::append(std::string_view cell) {
    const CellSpan span{text_.size(), cell.size()};
    text_.append(cell);
    return span;
}

void TableBuilder::endRow() {
    if (haveHeaders_)
        rowEnds_.push_back(cells_.size());
    else
        haveHeaders_ = true;
}

void TableBuilder::reserve(size_t cells, size_t rows) {
    std::vector<CellSpan>& part = haveHeaders_ ? cells_ : headerCells_;
    part.reserve(part.size() + cells);
    rowEnds_.reserve(rowEnds_.size() + rows);
}

uint64_t TableBuilder::bytesHeld() const {
    return text_.size() + (headerCells_.size() + cells_.size()) * sizeof(CellSpan) + rowEnds_.size() * sizeof(uint64_t);
}

void TableBuilder::finish(DataTable& table) {
    auto text = std::make_shared<const std::string>(std::move(text_));
    table.headers = CellList(text, std::move(headerCells_));
    table.rows = CellRows(text, std::move(cells_), std::move(rowEnds_));
    *this = TableBuilder();
}

}  // namespace kit
