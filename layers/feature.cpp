#include "layers/feature.h"

#include <algorithm>

namespace kit {

void Layer::noteFields(const Feature& f) {
    for (const auto& kv : f.properties)
        if (std::find(fieldNames.begin(), fieldNames.end(), kv.first) == fieldNames.end())
            fieldNames.push_back(kv.first);
}

}  // namespace kit
