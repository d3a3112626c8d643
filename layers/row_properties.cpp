#include "layers/row_properties.h"

#include <algorithm>

namespace kit {

RowProperties::RowProperties(const Table& table, const std::vector<std::string_view>& excluded) : table_(table) {
    // Every kept header with its position, by name (bytes compared unsigned)
    // and right-most first within a name: each run of one name is then that
    // name's ColumnRef. One sort, no lookup per header.
    std::vector<std::pair<std::string_view, uint32_t>> kept;
    kept.reserve(table.headers.size());
    for (size_t i = 0; i < table.headers.size(); ++i) {
        std::string_view h = table.headers[i];
        if (std::find(excluded.begin(), excluded.end(), h) == excluded.end())
            kept.emplace_back(h, static_cast<uint32_t>(i));
    }
    std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second > b.second;
    });
    for (size_t i = 0; i < kept.size();) {
        Column c{std::string(kept[i].first), {}};
        for (; i < kept.size() && kept[i].first == c.name; ++i) c.ref.positions.push_back(kept[i].second);
        columns_.push_back(std::move(c));
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
