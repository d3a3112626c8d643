#include "layers/feature.h"

namespace kit {

void Layer::noteField(const std::string& name) {
    // fieldNames is public: rebuild the index when it was changed directly.
    if (known_.size() != fieldNames.size()) known_ = {fieldNames.begin(), fieldNames.end()};
    if (known_.insert(name).second) fieldNames.push_back(name);
}

void Layer::noteFields(const PropertyMap& properties) {
    for (const auto& kv : properties) noteField(kv.first);
}

void Layer::noteFields(const Feature& f) { noteFields(f.properties.map()); }

}  // namespace kit
