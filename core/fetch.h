#pragma once
// The get-data step every tab shares, without the clipboard: text in, table
// and status out. The panel feeds it clipboard text, the CLI a file's text.
#include <string>

#include "core/outcome.h"
#include "core/table.h"

namespace kit {

inline constexpr const char* kClipboardEmpty = "剪贴板无数据";
inline constexpr const char* kNothingParsed = "未解析到有效数据";

// Parses the text into the table. A warning when the fetch fails
// ("剪贴板无数据" for empty text, "未解析到有效数据" when no data row was
// read); the error "内存不足" for a text larger than a table can hold;
// success, with nothing to show, otherwise.
Outcome fetchTableText(std::string text, Table& table);

// "已获取：%zu行×%zu列" and the two-table tab's "已获取：%zu行".
std::string fetchedStatusText(const Table& table);
std::string fetchedRowsStatusText(const Table& table);

}  // namespace kit
