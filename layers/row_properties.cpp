#include "layers/row_properties.h"

#include <algorithm>

#include "core/text.h"

namespace kit {

std::string uniqueKey(std::string_view name, std::vector<std::string>& used) {
    std::string key(name);
    auto taken = [&used](const std::string& k) {
        return std::find(used.begin(), used.end(), asciiLower(k)) != used.end();
    };
    for (int n = 1; taken(key); ++n) key = std::string(name) + "_" + std::to_string(n);
    used.push_back(asciiLower(key));
    return key;
}

RowProperties::RowProperties(const Table& table, const std::vector<std::string_view>& excluded,
                             const std::vector<std::string_view>& ownKeys)
    : table_(table), ownKeys_(ownKeys.size()) {
    std::vector<std::string> used;
    for (std::string_view k : ownKeys) used.push_back(asciiLower(k));
    for (size_t i = 0; i < table.headers.size(); ++i) {
        const std::string_view h = table.headers[i];
        if (std::find(excluded.begin(), excluded.end(), h) != excluded.end()) continue;
        std::string name = h.empty() ? "field_" + std::to_string(i + 1) : std::string(h);
        columns_.push_back({uniqueKey(name, used), static_cast<uint32_t>(i)});
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
