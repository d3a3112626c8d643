#include "layers/feature.h"

#include <algorithm>

namespace kit {

void Layer::noteField(const std::string& name) {
    if (std::find(fieldNames.begin(), fieldNames.end(), name) == fieldNames.end()) fieldNames.push_back(name);
}

void Layer::noteFields(const std::map<std::string, std::string>& properties) {
    for (const auto& kv : properties) noteField(kv.first);
}

void Layer::noteFields(const Feature& f) { noteFields(f.properties); }

}  // namespace kit
