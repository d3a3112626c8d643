#pragma once
// Attribute columns for a written .dbf: field names that fit dBASE's 10 bytes
// and come out as GDAL's Shapefile driver makes them, and the type and width
// each column's values need.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "layers/shapefile.h"

namespace kit {

inline constexpr size_t kDbfNameBytes = 10;
inline constexpr size_t kDbfTextWidth = 254;

// The longest start of the text that fits maxBytes without splitting a UTF-8
// character.
std::string_view utf8Prefix(std::string_view text, size_t maxBytes);

// The field name for a key among the names taken so far (which it joins):
// the key cut to 10 bytes; when that is taken (ASCII case ignored), its first
// 8 bytes with "_1" to "_9", then with "10" to "99", then shorter starts with
// longer numbers: GDAL's renaming, each cut at a character boundary.
std::string dbfFieldName(std::string_view key, std::vector<std::string>& taken);

// The column for a key's values: 'N' with the decimals needed when every
// non-empty value is a plain decimal number GDAL reads back as the same
// number (no leading zeros, at most 15 digits), else 'C'; width the longest
// value (C at most 254 bytes, at least 1).
FieldDef dbfColumn(std::string name, const std::vector<const std::string*>& values);

// The value as stored in a C field: cut to 254 bytes at a character boundary.
std::string_view dbfText(std::string_view value);

}  // namespace kit
