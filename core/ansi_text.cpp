#include "core/ansi_text.h"

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

bool isAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::string CodePageText::toUtf8(std::string_view bytes) const {
    if (isAscii(bytes)) return std::string(bytes);
    if (codePage_ == kUtf8CodePage) return wellFormedUtf8(std::string(bytes));
    return convert(bytes);
}

std::string ansiToUtf8(std::string_view bytes) { return CodePageText(kAnsiCodePage).toUtf8(bytes); }

#ifndef _WIN32

namespace {

// iconv's name for a Windows code page. The ANSI code page is taken to be
// GB18030 (a superset of GBK, the code page of the Chinese Windows systems
// these files come from), and so is GBK itself.
std::string iconvName(unsigned codePage) {
    switch (codePage) {
        case kAnsiCodePage:
        case 936:
        case 54936:
            return "GB18030";
        case 20936:
            return "GB2312";
        case 10000:
            return "MACINTOSH";
        case 20866:
            return "KOI8-R";
        case 28603:
            return "ISO-8859-13";
        case 28605:
            return "ISO-8859-15";
        default:
            break;
    }
    if (codePage >= 28591 && codePage <= 28599) return "ISO-8859-" + std::to_string(codePage - 28590);
    return "CP" + std::to_string(codePage);
}

iconv_t descriptor(void* handle) { return static_cast<iconv_t>(handle); }

}  // namespace

CodePageText::CodePageText(unsigned codePage) : codePage_(codePage) {
    if (codePage == kUtf8CodePage) return;
    iconv_t cd = iconv_open("UTF-8", iconvName(codePage).c_str());
    if (cd != reinterpret_cast<iconv_t>(-1)) handle_ = cd;
}

CodePageText::~CodePageText() {
    if (handle_) iconv_close(descriptor(handle_));
}

std::string CodePageText::convert(std::string_view bytes) const {
    // A code page this system cannot convert keeps what UTF-8 it holds.
    if (!handle_) return wellFormedUtf8(std::string(bytes));
    iconv_t cd = descriptor(handle_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state per text
    std::string out;
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
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

#endif

}  // namespace kit
