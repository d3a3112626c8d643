// Code pages through the Windows converter. Built into the portable library
// on Windows (see core/CMakeLists.txt), so every reader of CSV files and
// dBASE tables gets it without a separate front-end library.
#include <windows.h>

#include <climits>

#include "core/ansi_text.h"
#include "core/text.h"

namespace kit {

// A code page the system lacks reads as its nearest kin (GB18030 as GBK, the
// two sharing every character of GBK), else as the ANSI code page, so its
// text is never lost.
CodePageText::CodePageText(unsigned codePage) : codePage_(codePage) {
    if (codePage == kAnsiCodePage || IsValidCodePage(codePage)) return;
    codePage_ = codePage == 54936 && IsValidCodePage(936) ? 936 : kAnsiCodePage;
}

CodePageText::~CodePageText() = default;

std::string CodePageText::convert(std::string_view bytes) const {
    if (bytes.empty()) return {};
    // CP_ACP is 0, so kAnsiCodePage passes straight through.
    const UINT page = static_cast<UINT>(codePage_);
    // One call per chunk below INT_MAX bytes; chunks end on ASCII bytes so a
    // double-byte character is never split.
    std::u16string wide;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t len = bytes.size() - pos;
        constexpr size_t kChunk = 1u << 30;
        if (len > kChunk) {
            len = kChunk;
            while (len > 1 && static_cast<unsigned char>(bytes[pos + len - 1]) >= 0x80) --len;
        }
        const char* src = bytes.data() + pos;
        int units = MultiByteToWideChar(page, 0, src, static_cast<int>(len), nullptr, 0);
        if (units > 0) {
            size_t at = wide.size();
            wide.resize(at + static_cast<size_t>(units));
            MultiByteToWideChar(page, 0, src, static_cast<int>(len),
                                reinterpret_cast<wchar_t*>(wide.data() + at), units);
        }
        pos += len;
    }
    return utf16ToUtf8(wide);
}

}  // namespace kit
