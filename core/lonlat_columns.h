#pragma once
// The longitude and latitude choices of a tab, as its drop-down lists show
// them: header names, or nothing when a list has no selection.
#include <optional>
#include <string>

#include "core/columns.h"
#include "core/table.h"

namespace kit {

struct LonLatColumns {
    std::optional<std::string> lon, lat;
};

// The choices for header positions (a position outside the headers is no selection).
inline LonLatColumns lonLatColumnsAt(const Table& table, int lon, int lat) {
    return {selectedHeader(lon, table.headers), selectedHeader(lat, table.headers)};
}

}  // namespace kit
