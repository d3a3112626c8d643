#pragma once
// The text of one of the tabs' edit fields (or editable lists): the field
// holds at most 63 characters, counted in UTF-16 units as the edit control
// counts them, so a run sees the same text whether a panel or the companion
// handed it over.
#include <cstddef>
#include <string_view>

#include "core/number_parse.h"
#include "core/text.h"

namespace kit {

inline constexpr size_t kEditTextLimit = 63;

// The part of a UTF-8 text the field holds; a character the limit would
// split (a surrogate pair) is left out whole.
inline std::string_view editText(std::string_view text) { return utf16Prefix(text, kEditTextLimit); }

// The field read as a decimal number the way strtod reads it; the fallback
// when it holds none.
inline double editNumberOr(std::string_view text, double fallback) { return toNumberOr(editText(text), fallback); }

}  // namespace kit
