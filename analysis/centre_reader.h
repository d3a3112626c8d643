#pragma once
// The centre of every shape the generating runs (points, sectors, polygons)
// draw: their shared checks and the reading of a row's longitude and latitude.
// Cells are looked up by the names the lists show, so a list still showing an
// earlier table's headers simply finds no cell and reads 0.
#include "core/lonlat_columns.h"
#include "core/outcome.h"
#include "core/table.h"

namespace kit {

// A warning for no table fetched (null) or no rows, then for a missing
// coordinate column; else success.
Outcome checkCentreSelection(const Table* table, const LonLatColumns& cols);

// A row's centre; a missing or unreadable cell is 0. The columns must be chosen.
class CentreReader {
public:
    CentreReader(const Table& table, const LonLatColumns& cols);
    double lon(size_t row) const;
    double lat(size_t row) const;

private:
    const Table& table_;
    ColumnRef lon_, lat_;
};

}  // namespace kit
