#include "layers/feature.h"

#include <algorithm>
#include <stdexcept>

namespace kit {

PropertySet::PropertySet(const PropertyMap& map) {
    if (map.empty()) return;
    auto keys = std::make_shared<PropertyKeys>();
    auto data = std::make_shared<Data>();
    keys->reserve(map.size());
    data->ends.reserve(map.size());
    for (const auto& [key, value] : map) {
        keys->push_back(key);
        data->values += value;
        data->ends.push_back(static_cast<uint32_t>(data->values.size()));
    }
    data->keys = std::move(keys);
    data_ = std::move(data);
}

PropertySet::PropertySet(std::shared_ptr<const PropertyKeys> keys, const std::vector<std::string_view>& values) {
    if (!keys || keys->empty()) return;
    auto data = std::make_shared<Data>();
    size_t bytes = 0;
    for (std::string_view v : values) bytes += v.size();
    data->values.reserve(bytes);
    data->ends.reserve(keys->size());
    for (size_t k = 0; k < keys->size(); ++k) {
        if (k < values.size()) data->values += values[k];
        data->ends.push_back(static_cast<uint32_t>(data->values.size()));
    }
    data->keys = std::move(keys);
    data_ = std::move(data);
}

std::optional<std::string_view> PropertySet::find(std::string_view key) const {
    if (!data_) return std::nullopt;
    const PropertyKeys& keys = *data_->keys;
    auto it = std::lower_bound(keys.begin(), keys.end(), key,
                               [](const std::string& a, std::string_view b) { return std::string_view(a) < b; });
    if (it == keys.end() || *it != key) return std::nullopt;
    return value(static_cast<size_t>(it - keys.begin()));
}

std::string PropertySet::at(std::string_view key) const {
    auto v = find(key);
    if (!v) throw std::out_of_range("PropertySet::at");
    return std::string(*v);
}

PropertyMap PropertySet::toMap() const {
    PropertyMap map;
    for (size_t k = 0; k < size(); ++k) map.emplace_hint(map.end(), key(k), std::string(value(k)));
    return map;
}

bool operator==(const PropertySet& a, const PropertySet& b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k)
        if (a.key(k) != b.key(k) || a.value(k) != b.value(k)) return false;
    return true;
}

void Layer::noteField(const std::string& name) {
    // fieldNames is public: rebuild the index when it was changed directly.
    if (known_.size() != fieldNames.size()) known_ = {fieldNames.begin(), fieldNames.end()};
    if (known_.insert(name).second) fieldNames.push_back(name);
}

void Layer::noteFields(const PropertyMap& properties) {
    for (const auto& kv : properties) noteField(kv.first);
}

void Layer::noteFields(const PropertySet& properties) {
    for (size_t k = 0; k < properties.size(); ++k) noteField(properties.key(k));
}

void Layer::noteFields(const Feature& f) { noteFields(f.properties); }

}  // namespace kit
