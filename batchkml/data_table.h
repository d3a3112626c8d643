#pragma once
// A data file read for one of Quillet's tabs: a header row and rows of text
// cells, all UTF-8 whatever the file's encoding.
#include <string>
#include <vector>

namespace kit {

struct DataTable {
    std::vector<std::string> headers;            // the first non-empty row
    std::vector<std::vector<std::string>> rows;  // every further row, each keeping its own length
    std::string sourcePath;                      // UTF-8 path of the file that was read
};

// The cell at a column, or nullptr when the row is too short for it.
inline const std::string* cellAt(const std::vector<std::string>& row, int column) {
    if (column < 0 || static_cast<size_t>(column) >= row.size()) return nullptr;
    return &row[static_cast<size_t>(column)];
}

}  // namespace kit
