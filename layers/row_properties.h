#pragma once
// A row's cells as the properties of its feature: every cell the row has,
// except the columns the geometry came from, keyed by column name in
// ascending byte order. With duplicate header names the right-most cell wins,
// and cells a short line lacks are left out, just as the row's map holds them.
#include <string_view>
#include <vector>

#include "core/table.h"
#include "layers/geojson_writer.h"

namespace kit {

class RowProperties {
public:
    RowProperties(const Table& table, const std::vector<std::string_view>& excluded);

    // Replaces out with the row's properties (quoted strings); out's storage
    // is reused from row to row.
    void fill(size_t row, std::vector<GeoJsonProperty>& out) const;

private:
    struct Column {
        std::string name;
        ColumnRef ref;
    };
    const Table& table_;
    std::vector<Column> columns_;
};

}  // namespace kit
