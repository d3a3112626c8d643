#pragma once
// The longitude and latitude columns of the generating runs (points, sectors,
// polygons): header names as the lists show them, or nothing when a list has
// no selection. Cells are looked up by name, so a list still showing an
// earlier table's headers simply finds no cell and reads 0.
#include <optional>
#include <string>

#include "core/table.h"

namespace kit {

struct CentreColumns {
    std::optional<std::string> lon, lat;
    bool complete() const { return lon && lat; }
};

// The choices for header positions (a position outside the headers is no
// selection).
CentreColumns centreColumnsAt(const Table& table, int lon, int lat);

// The checks every generating run makes first: no table fetched (null) or no
// rows, then a missing coordinate column.
std::optional<std::string> checkCentreSelection(const Table* table, const CentreColumns& cols);

// Reads a row's centre; a missing or unreadable cell is 0.
class CentreReader {
public:
    CentreReader(const Table& table, const CentreColumns& cols);
    double lon(size_t row) const;
    double lat(size_t row) const;

private:
    const Table& table_;
    ColumnRef lon_, lat_;
};

}  // namespace kit
