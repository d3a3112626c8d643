#pragma once
// The Windows clipboard as UTF-16 text (CF_UNICODETEXT).
#include <string>
#include <string_view>

namespace kit {

// The clipboard's text up to its NUL; empty when the clipboard is busy, holds
// no text or cannot be read.
std::wstring readClipboardText();
// Replaces the clipboard's contents with the text; false when it was refused.
bool writeClipboardText(std::wstring_view text);

}  // namespace kit
