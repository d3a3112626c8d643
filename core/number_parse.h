#pragma once
// Reading numbers out of cell and field texts the way the C runtime does,
// identically on every platform and independent of the current locale.
#include <cstdint>
#include <optional>
#include <string_view>

namespace kit {

// The number at the start of the text as strtod reads it in the "C" locale:
// leading white space skipped, optional sign, decimal or hexadecimal digits
// with an optional exponent, "inf"/"infinity"/"nan"; trailing characters are
// ignored. Empty when no number can be read or the value overflows or
// underflows (strtod's ERANGE).
std::optional<double> parseLeadingDouble(std::string_view text);

// parseLeadingDouble, or the fallback. Never fails.
double toNumberOr(std::string_view text, double fallback);

// The integer at the start of the text as strtol reads it in base 10 with a
// 32-bit long (as on Windows): leading white space, optional sign, digits,
// trailing characters ignored. Empty when there are no digits or the value is
// outside the 32-bit range.
std::optional<int32_t> parseLeadingInt32(std::string_view text);

}  // namespace kit
