#include "batchkml/ansi_text.h"

#include "core/text.h"

#ifndef _WIN32
#include <iconv.h>

#include <cerrno>
#endif

namespace kit {

bool isValidUtf8(std::string_view bytes) {
    size_t i = 0;
    const size_t n = bytes.size();
    auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    while (i < n) {
        unsigned char b = at(i);
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0) lo = 0xA0;       // overlong
            if (b == 0xED) hi = 0x9F;       // surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0) lo = 0x90;       // overlong
            if (b == 0xF4) hi = 0x8F;       // above U+10FFFF
        } else {
            return false;
        }
        if (n - i < len) return false;
        if (at(i + 1) < lo || at(i + 1) > hi) return false;
        for (size_t k = 2; k < len; ++k)
            if ((at(i + k) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

std::string wellFormedUtf8(std::string text) {
    if (isValidUtf8(text)) return text;
    return utf16ToUtf8(utf8ToUtf16(text));
}

#ifndef _WIN32
// Off Windows the ANSI code page is taken to be GB18030 (a superset of GBK,
// the code page of the Chinese Windows systems these files come from).
std::string ansiToUtf8(std::string_view bytes) {
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
    out.reserve(bytes.size() + bytes.size() / 2);
    char buffer[4096];
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // An invalid or truncated sequence: one replacement character per
        // bad byte, as the system's converter does, and carry on.
        out += "\xEF\xBF\xBD";
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    return out;
}
#endif

}  // namespace kit
