#include "core/text.h"

#include <algorithm>

namespace kit {

namespace {

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

constexpr char32_t kReplacement = 0xFFFD;

template <typename ReadUnit>
std::string utf16UnitsToUtf8(size_t count, ReadUnit unit) {
    std::string out;
    out.reserve(count + count / 2);
    for (size_t i = 0; i < count; ++i) {
        char32_t u = unit(i);
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u >= 0xD800 && u <= 0xDBFF) {
            char32_t lo = i + 1 < count ? unit(i + 1) : 0;
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
            } else {
                appendUtf8(out, kReplacement);
            }
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            appendUtf8(out, kReplacement);
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

// Decodes one UTF-8 sequence at text[i]; advances i. Ill-formed sequences
// (overlong, surrogates, beyond U+10FFFF, truncated) give U+FFFD for the
// maximal bad prefix.
char32_t decodeUtf8(std::string_view text, size_t& i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    int len;
    char32_t cp;
    char32_t min;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4, cp = b & 0x07, min = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    size_t j = i + 1;
    for (int k = 1; k < len; ++k, ++j) {
        if (j >= text.size()) {
            i = j;
            return kReplacement;
        }
        unsigned char c = static_cast<unsigned char>(text[j]);
        if ((c & 0xC0) != 0x80) {
            i = j;
            return kReplacement;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    i = j;
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
    return cp;
}

}  // namespace

std::string utf16ToUtf8(std::u16string_view text) {
    return utf16UnitsToUtf8(text.size(), [&](size_t i) { return static_cast<char32_t>(text[i]); });
}

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        char32_t cp = decodeUtf8(text, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string decodeInputText(std::string bytes) {
    auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
        bytes.erase(0, 3);
        return bytes;
    }
    if (bytes.size() >= 2 && ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF))) {
        bool little = at(0) == 0xFF;
        size_t units = (bytes.size() - 2) / 2;
        // A trailing odd byte cannot form a unit: it becomes U+FFFD, not silence.
        std::string out = utf16UnitsToUtf8(units, [&](size_t i) {
            unsigned char a = at(2 + 2 * i), b = at(3 + 2 * i);
            return static_cast<char32_t>(little ? (a | (b << 8)) : ((a << 8) | b));
        });
        if ((bytes.size() - 2) % 2) appendUtf8(out, kReplacement);
        return out;
    }
    return bytes;
}

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view utf16Prefix(std::string_view text, size_t maxUnits) {
    size_t units = 0, i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        size_t need = len == 4 ? 2 : 1;
        if (units + need > maxUnits) break;
        units += need;
        i += len;
    }
    return text.substr(0, std::min(i, text.size()));
}

}  // namespace kit
