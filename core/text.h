#pragma once
// UTF-8 inside, UTF-16 at the Windows boundary. Conversions behave like
// WideCharToMultiByte/MultiByteToWideChar with CP_UTF8: ill-formed input is
// replaced by U+FFFD rather than dropped.
#include <string>
#include <string_view>

namespace kit {

std::string utf16ToUtf8(std::u16string_view text);
std::u16string utf8ToUtf16(std::string_view text);

// Input file bytes to UTF-8 text: a UTF-8 byte-order mark is dropped, a UTF-16
// (LE or BE) byte-order mark makes the rest read as UTF-16. Anything else is
// taken as UTF-8 unchanged.
std::string decodeInputText(std::string bytes);

// Lower-case ASCII letters only (the C locale's tolower, byte by byte).
std::string asciiLower(std::string_view text);

// The start of a UTF-8 text that fits maxUnits UTF-16 units, as a window's
// text fetched into a fixed buffer; a character that would be split (a
// surrogate pair at the limit) is left out whole.
std::string_view utf16Prefix(std::string_view text, size_t maxUnits);

}  // namespace kit
