#pragma once
// Numbers read from cells and fields for a generated layer. A value strtod
// reads as infinite or NaN (a "NaN" cell from a spreadsheet export, say)
// counts as unreadable here: GeoJSON cannot carry it, and one "nan" in the
// text would make the whole file unreadable to every GIS.
#include <optional>
#include <string_view>

namespace kit {

std::optional<double> parseLayerNumber(std::string_view text);
double layerNumberOr(std::string_view text, double fallback);

}  // namespace kit
