#pragma once
// A row's cells as the properties of its feature: the tool's own keys first
// (sector parameters, the polygon's kind), then every cell the row has, in
// table order and keyed by its header, except the columns the geometry came
// from. Keys are unique without regard to ASCII case (GDAL's readers fold
// case when they match field names): a header already taken, by a tool's key
// or an earlier header, becomes "<name>_1" (or _2, ...), and an empty header
// "field_<n>" for its 1-based column number, as GDAL names unnamed columns.
// Cells a short line lacks are left out.
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/table.h"
#include "layers/geojson_writer.h"

namespace kit {

class RowProperties {
public:
    RowProperties(const Table& table, const std::vector<std::string_view>& excluded,
                  const std::vector<std::string_view>& ownKeys = {});

    // Replaces out's entries after the tool's own keys (which the caller
    // fills) with the row's cells as quoted strings; out's storage is reused
    // from row to row.
    void fill(size_t row, std::vector<GeoJsonProperty>& out) const;

    // The key each kept column is written under, in table order.
    std::vector<std::string> cellKeys() const;

private:
    struct Column {
        std::string key;
        uint32_t position;
    };
    const Table& table_;
    size_t ownKeys_;
    std::vector<Column> columns_;
};

// Keys handed out so far, ASCII case ignored. A name takes itself, else
// itself with "_1", "_2", ... appended, the first that is free. Each name
// remembers where its search ended (keys are only ever added, so the first
// free suffix never moves back): a header of a hundred thousand equal names
// costs what as many distinct ones do.
class UsedKeys {
public:
    void reserve(std::string_view key);  // taken without being handed out
    std::string unique(std::string_view name);

private:
    std::unordered_set<std::string> taken_;
    std::unordered_map<std::string, size_t> nextSuffix_;
};

}  // namespace kit
