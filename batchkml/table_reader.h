#pragma once
// Picking the reader for a data file by its name, and the messages the tabs
// show when a read fails.
#include <string>
#include <string_view>

#include "batchkml/data_table.h"

namespace kit {

enum class TableFormat { Csv, Xlsx };

// ".xlsx" at the end (any case) is a workbook; everything else is read as CSV.
TableFormat chooseReader(std::string_view path);

// Reads the file with the chosen reader. On failure the table is left as it
// was (a CSV that decodes to no line leaves it empty); on success sourcePath
// is the path.
bool readDataTable(const std::string& utf8Path, DataTable& table);

// "无法读取CSV文件" / "无法读取Excel文件".
std::string_view readFailureMessage(TableFormat format);

}  // namespace kit
