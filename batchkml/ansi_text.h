#pragma once
// Text in the system's ANSI code page to UTF-8: on Windows the system code
// page (batchkml/win/system/ansi_text_win.cpp), elsewhere GB18030.
#include <string>
#include <string_view>

namespace kit {

std::string ansiToUtf8(std::string_view bytes);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates
// or values above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// The text unchanged when it is well-formed UTF-8; otherwise every ill-formed
// sequence replaced by U+FFFD, so cells never carry bytes that would make
// the XML written from them malformed.
std::string wellFormedUtf8(std::string text);

}  // namespace kit
