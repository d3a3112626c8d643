#include "core/fetch.h"

#include "core/format.h"

namespace kit {

std::optional<std::string> fetchTableText(std::string text, Table& table) {
    if (text.empty()) return std::string(kClipboardEmpty);
    if (!parseTable(std::move(text), table)) return std::string(kNothingParsed);
    return std::nullopt;
}

std::string fetchedStatusText(const Table& table) {
    return format("已获取：%zu行×%zu列", table.rowCount(), table.columnCount());
}

std::string fetchedRowsStatusText(const Table& table) { return format("已获取：%zu行", table.rowCount()); }

}  // namespace kit
