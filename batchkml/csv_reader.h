#pragma once
// Comma-separated data files: byte-order marks (UTF-8, UTF-16 LE/BE), plain
// UTF-8, or the system's ANSI code page; quoted fields.
#include <string>
#include <string_view>
#include <vector>

#include "batchkml/data_table.h"

namespace kit {

// Reads the whole file into the table. A file that cannot be read, or is
// empty, leaves the table as it was; otherwise headers and rows are replaced
// and sourcePath is set. True when the header row is non-empty.
bool readCsv(const std::string& utf8Path, DataTable& table);

// The same on bytes already in memory (sourcePath untouched).
bool readCsvBytes(std::string_view bytes, DataTable& table);

// File bytes to UTF-8: by byte-order mark; without one, bytes that are valid
// UTF-8 and hold a non-ASCII byte are UTF-8, anything else is ANSI.
std::string decodeCsvBytes(std::string_view bytes);

// One line into fields: comma separated, double quotes switch quoting on and
// off anywhere, "" inside quotes is a quote, CR or LF outside quotes ends it.
std::vector<std::string> splitCsvLine(std::string_view line);

}  // namespace kit
