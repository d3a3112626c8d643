#include "batchkml/table_reader.h"

#include "batchkml/csv_reader.h"
#include "batchkml/xlsx_reader.h"
#include "core/text.h"

namespace kit {

TableFormat chooseReader(std::string_view path) {
    if (path.size() >= 5 && asciiLower(path.substr(path.size() - 5)) == ".xlsx") return TableFormat::Xlsx;
    return TableFormat::Csv;
}

bool readDataTable(const std::string& utf8Path, DataTable& table) {
    if (chooseReader(utf8Path) == TableFormat::Csv) return readCsv(utf8Path, table);
    DataTable read;
    if (!readXlsx(utf8Path, read)) return false;
    table = std::move(read);
    table.sourcePath = utf8Path;
    return true;
}

std::string_view readFailureMessage(TableFormat format) {
    return format == TableFormat::Xlsx ? "无法读取Excel文件" : "无法读取CSV文件";
}

}  // namespace kit
