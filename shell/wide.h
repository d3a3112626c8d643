#pragma once
// UTF-8 <-> wchar_t text at the Win32 boundary (wchar_t is UTF-16 on Windows).
#include <string>
#include <string_view>

#include "core/text.h"

namespace kit {

inline std::wstring toWide(std::string_view utf8) {
    std::u16string s = utf8ToUtf16(utf8);
    return std::wstring(s.begin(), s.end());
}

inline std::string toUtf8(std::wstring_view wide) {
    return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace kit
