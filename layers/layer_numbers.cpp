#include "layers/layer_numbers.h"

#include <cmath>

#include "core/number_parse.h"

namespace kit {

std::optional<double> parseLayerNumber(std::string_view text) {
    std::optional<double> v = parseLeadingDouble(text);
    if (v && !std::isfinite(*v)) return std::nullopt;
    return v;
}

double layerNumberOr(std::string_view text, double fallback) { return parseLayerNumber(text).value_or(fallback); }

}  // namespace kit
