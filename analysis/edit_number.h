#pragma once
// A number typed into one of the tabs' edit fields: the field holds at most
// 63 characters, read as a decimal number the way strtod reads it.
#include <algorithm>
#include <string_view>

#include "core/number_parse.h"

namespace kit {

inline constexpr size_t kEditTextLimit = 63;

// Characters past the limit never reach the parse; any that is not ASCII
// ends a number anyway, so counting bytes here gives the same value.
inline double editNumberOr(std::string_view text, double fallback) {
    return toNumberOr(text.substr(0, std::min(text.size(), kEditTextLimit)), fallback);
}

}  // namespace kit
