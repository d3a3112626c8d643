#pragma once
// Column auto-detection by header name. A header matches a candidate when its
// ASCII-lowered text contains the lowered candidate; earlier candidates beat
// later ones, and among headers matching the same candidate the left-most wins.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/header_names.h"

namespace kit {

constexpr int kNoColumn = -1;

// Index of the first header matching the first candidate that matches any, or kNoColumn.
int findColumnByName(const HeaderNames& headers, const std::vector<std::string_view>& candidates);

// Longitude: by name, else column 0 when there is one.
int detectLongitudeColumn(const HeaderNames& headers);
// Latitude: by name, else column 1 when there are two.
int detectLatitudeColumn(const HeaderNames& headers);
// ID: by name only.
int detectIdColumn(const HeaderNames& headers);

// A column choice that names an existing header (selection lists hold exactly
// the headers, so anything else is "not selected").
inline bool isSelected(int column, const HeaderNames& headers) {
    return column >= 0 && static_cast<size_t>(column) < headers.size();
}

// The header a list position names, or nothing when it names none.
inline std::optional<std::string> selectedHeader(int column, const HeaderNames& headers) {
    if (!isSelected(column, headers)) return std::nullopt;
    return std::string(headers[static_cast<size_t>(column)]);
}

}  // namespace kit
