// Reads one data file (workbook or CSV) the way Quillet's tabs do and prints
// the row count and the total cell bytes, so a run can be checked against
// another reader's.
#include <cstdio>
#include <string>

#include "batchkml/table_reader.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kit_xlsx_read FILE\n");
        return 2;
    }
    kit::DataTable table;
    if (!kit::readDataTable(argv[1], table)) {
        std::fprintf(stderr, "%s\n", std::string(kit::readFailureMessage(kit::chooseReader(argv[1]))).c_str());
        return 1;
    }
    size_t bytes = 0;
    for (const auto& h : table.headers) bytes += h.size();
    for (const auto& row : table.rows)
        for (const auto& cell : row) bytes += cell.size();
    std::printf("rows %zu cells-bytes %zu\n", table.rows.size() + 1, bytes);
    return 0;
}
