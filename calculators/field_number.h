#pragma once
// Numbers typed into the calculator tabs' edit fields, read the way the
// Windows C runtime's _wtoi and _wtof read them, so that a tab and varnick-cli
// agree on every text. The tabs fetch a field into a fixed buffer, so only the
// first maxChars UTF-16 units of the text take part.
//
// Both readers skip the C locale's white space only (space, \t \n \v \f \r)
// and read ASCII digits only.
#include <cstddef>
#include <string_view>

#include "core/edit_text.h"

namespace kit {

// Buffer limits of the tabs' fields (characters before the terminator); the
// decimal fields hold kEditTextLimit, as every tab's fields do.
inline constexpr size_t kChannelFieldChars = 31;  // the ARFCN tab's channel number
inline constexpr size_t kBaseFieldChars = 127;    // the base converter's input

// The start of a UTF-8 text that fits maxChars UTF-16 units; a character that
// would be split (a surrogate pair at the limit) is left out whole.
std::string_view fieldPrefix(std::string_view text, size_t maxChars);

// _wtoi: leading white space, an optional sign, decimal digits; anything after
// them is ignored and a text without digits reads as 0. A value beyond the
// 32-bit range reads as INT_MAX (positive) or INT_MIN (negative), as the
// Universal C runtime clamps it.
int readFieldInt(std::string_view text, size_t maxChars = kChannelFieldChars);

// _wtof: the number strtod would read (decimal or hexadecimal digits with an
// exponent, "inf", "infinity", "nan"), trailing text ignored, 0 when there is
// none. Out of range it does not fail: an overflow reads as +/-infinity and an
// underflow as the subnormal value or a zero of the text's sign.
double readFieldDouble(std::string_view text, size_t maxChars = kEditTextLimit);

}  // namespace kit
