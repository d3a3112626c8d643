#pragma once
// Workbooks (.xlsx): the first worksheet among sheet1 ... sheet10, with shared
// strings, read by plain string search over the sheet's XML.
#include <string>
#include <string_view>
#include <vector>

#include "batchkml/xlsx_unpack.h"
#include "core/xml_entities.h"  // decodeXmlEntities, which the workbook reader uses

namespace kit {

struct DataTable;

// Clears the headers and rows, unpacks and reads the workbook. The first row
// holding a cell becomes the headers, every later one a row. True when a row
// was found; a sheet that would make the table hold far more than its own
// size (gaps before far columns) is refused. sourcePath is untouched.
bool readXlsx(const std::string& utf8Path, DataTable& table);

// The same on parts already unpacked.
bool readXlsxParts(const XlsxParts& parts, DataTable& table);

// The text of every <t> element in document order.
std::vector<std::string> parseSharedStrings(std::string_view xml);

// "B" -> 1, "AA" -> 26: the column letters of a cell reference, A = 0.
int columnOfReference(std::string_view reference);

}  // namespace kit
