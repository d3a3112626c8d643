#include "layers/row_properties.h"

#include <algorithm>

namespace kit {

RowProperties::RowProperties(const Table& table, const std::vector<std::string_view>& excluded) : table_(table) {
    std::vector<std::string> names;
    for (const std::string& h : table.headers)
        if (std::find(excluded.begin(), excluded.end(), h) == excluded.end()) names.push_back(h);
    std::sort(names.begin(), names.end());  // std::string compares bytes as unsigned
    names.erase(std::unique(names.begin(), names.end()), names.end());
    const auto index = table.columnIndex();
    columns_.reserve(names.size());
    for (std::string& n : names) {
        ColumnRef ref = index.at(n);
        columns_.push_back({std::move(n), std::move(ref)});
    }
}

void RowProperties::fill(size_t row, std::vector<GeoJsonProperty>& out) const {
    const size_t have = table_.cellCount(row);
    size_t n = 0;
    for (const Column& c : columns_) {
        // Positions are right-most first; the row has the key when it reaches
        // the left-most of them.
        if (c.ref.positions.back() >= have) continue;
        if (n == out.size()) out.emplace_back();
        GeoJsonProperty& p = out[n++];
        p.key = c.name;
        p.value = table_.cellOr(row, c.ref, "");
        p.quoted = true;
    }
    out.resize(n);
}

}  // namespace kit
