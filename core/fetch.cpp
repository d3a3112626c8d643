#include "core/fetch.h"

#include "core/format.h"

namespace kit {

Outcome fetchTableText(std::string text, Table& table) {
    if (text.empty()) return Outcome::warning(kClipboardEmpty);
    if (text.size() > kMaxTableTextBytes) return Outcome::error(kOutOfMemory);
    if (!parseTable(std::move(text), table)) return Outcome::warning(kNothingParsed);
    return Outcome::success();
}

std::string fetchedStatusText(const Table& table) {
    return format("已获取：%zu行×%zu列", table.rowCount(), table.columnCount());
}

std::string fetchedRowsStatusText(const Table& table) { return format("已获取：%zu行", table.rowCount()); }

}  // namespace kit
