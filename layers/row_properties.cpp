#include "layers/row_properties.h"

#include <algorithm>

#include "core/text.h"

namespace kit {

void UsedKeys::reserve(std::string_view key) { taken_.insert(asciiLower(key)); }

std::string UsedKeys::unique(std::string_view name) {
    const std::string lowered = asciiLower(name);
    std::string key(name);
    if (taken_.count(lowered)) {
        size_t& n = nextSuffix_[lowered];
        do key = std::string(name) + "_" + std::to_string(++n);
        while (taken_.count(asciiLower(key)));
    }
    taken_.insert(asciiLower(key));
    return key;
}

RowProperties::RowProperties(const Table& table, const std::vector<std::string_view>& excluded,
                             const std::vector<std::string_view>& ownKeys)
    : table_(table), ownKeys_(ownKeys.size()) {
    UsedKeys used;
    for (std::string_view k : ownKeys) used.reserve(k);
    for (size_t i = 0; i < table.headers.size(); ++i) {
        const std::string_view h = table.headers[i];
        if (std::find(excluded.begin(), excluded.end(), h) != excluded.end()) continue;
        std::string name = h.empty() ? "field_" + std::to_string(i + 1) : std::string(h);
        columns_.push_back({used.unique(name), static_cast<uint32_t>(i)});
    }
}

void RowProperties::fill(size_t row, std::vector<GeoJsonProperty>& out) const {
    const size_t have = table_.cellCount(row);
    size_t n = ownKeys_;
    if (out.size() < n) out.resize(n);
    for (const Column& c : columns_) {
        if (c.position >= have) continue;
        if (n == out.size()) out.emplace_back();
        GeoJsonProperty& p = out[n++];
        p.key = c.key;
        p.value = table_.cell(row, c.position);
        p.quoted = true;
    }
    out.resize(n);
}

std::vector<std::string> RowProperties::cellKeys() const {
    std::vector<std::string> keys;
    for (const Column& c : columns_) keys.push_back(c.key);
    return keys;
}

}  // namespace kit
