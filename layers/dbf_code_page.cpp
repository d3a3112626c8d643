#include "layers/dbf_code_page.h"

#include <algorithm>
#include <string>

#include "core/ansi_text.h"
#include "core/byte_order.h"

namespace kit {

namespace {

// Upper case without the blanks, hyphens and underscores that the spellings
// differ by: "cp-936" and "CP936", "8859_1" and "ISO 8859-1" meet.
std::string squeezed(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == ' ' || c == '-' || c == '_' || c == '\t' || c == '\r' || c == '\n' || c == '\0') continue;
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

std::optional<unsigned> digitsValue(std::string_view s) {
    if (s.empty() || s.size() > 6) return std::nullopt;
    unsigned v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    return v;
}

// ISO 8859 part n as its Windows code page.
std::optional<unsigned> iso8859(std::string_view part) {
    auto n = digitsValue(part);
    if (!n || *n < 1 || *n > 16 || *n == 12) return std::nullopt;
    return 28590 + *n;
}

}  // namespace

std::optional<unsigned> codePageFromCpg(std::string_view cpg) {
    const std::string s = squeezed(cpg);
    struct Named {
        std::string_view name;
        unsigned codePage;
    };
    static constexpr Named kNames[] = {
        {"UTF8", kUtf8CodePage}, {"GBK", 936},         {"GB2312", 936},     {"EUCCN", 936},
        {"GB18030", 54936},      {"BIG5", 950},        {"BIG5HKSCS", 950},  {"SYSTEM", kAnsiCodePage},
        {"ANSI", kAnsiCodePage}, {"OEM", 437},         {"LATIN1", 28591},   {"SHIFTJIS", 932},
        {"SJIS", 932},           {"EUCKR", 949},       {"KOI8R", 20866},    {"MACINTOSH", 10000},
    };
    for (const Named& n : kNames)
        if (s == n.name) return n.codePage;
    for (std::string_view prefix : {"ISO8859", "8859"})
        if (s.starts_with(prefix)) return iso8859(std::string_view(s).substr(prefix.size()));
    if (s.starts_with("LDID/")) {
        auto id = digitsValue(std::string_view(s).substr(5));
        if (id && *id < 256) return codePageFromLanguageByte(static_cast<uint8_t>(*id));
        return std::nullopt;
    }
    // "936", "CP936", "MS936", "WINDOWS1252", "ANSI1252", "IBM437".
    for (std::string_view prefix : {"", "CP", "MS", "WINDOWS", "ANSI", "IBM"}) {
        if (!s.starts_with(prefix)) continue;
        auto n = digitsValue(std::string_view(s).substr(prefix.size()));
        if (n && *n > 0) return *n;
    }
    return std::nullopt;
}

std::optional<unsigned> codePageFromLanguageByte(uint8_t id) {
    // The dBASE / ESRI language driver table.
    switch (id) {
        case 0x01: case 0x09: case 0x0B: case 0x0D: case 0x0F: case 0x11: case 0x15: case 0x18: case 0x19:
        case 0x1B:
            return 437;
        case 0x02: case 0x0A: case 0x0E: case 0x10: case 0x12: case 0x14: case 0x16: case 0x1A: case 0x1D:
        case 0x25: case 0x37:
            return 850;
        case 0x03: case 0x57:
            return kAnsiCodePage;
        case 0x04:
            return 10000;
        case 0x08: case 0x17: case 0x66:
            return 865;
        case 0x13: case 0x7B:
            return 932;
        case 0x1C: case 0x6C:
            return 863;
        case 0x1F: case 0x22: case 0x23: case 0x40: case 0x64: case 0x87:
            return 852;
        case 0x24:
            return 860;
        case 0x26: case 0x65:
            return 866;
        case 0x4D: case 0x7A:
            return 936;
        case 0x4E: case 0x79:
            return 949;
        case 0x4F: case 0x78:
            return 950;
        case 0x50: case 0x7C:
            return 874;
        case 0x58: case 0x59:
            return 1252;
        case 0x67:
            return 861;
        case 0x6A: case 0x86:
            return 737;
        case 0x6B: case 0x88:
            return 857;
        case 0xC8:
            return 1250;
        case 0xC9:
            return 1251;
        case 0xCA:
            return 1254;
        case 0xCB:
            return 1253;
        case 0xCC:
            return 1257;
        default:
            return std::nullopt;
    }
}

unsigned dbfCodePage(std::string_view dbf, std::string_view cpg) {
    if (!cpg.empty())
        if (auto page = codePageFromCpg(cpg)) return *page;
    if (dbf.size() > 29) {
        auto page = codePageFromLanguageByte(byteAt(dbf, 29));
        // "Windows ANSI" is what many writers put whatever they wrote, so
        // UTF-8 text under it is still read as UTF-8.
        if (page && *page != kAnsiCodePage) return *page;
    }
    // The header's field names and the records: the only text the table holds.
    if (dbf.size() >= 32) {
        const size_t headerLen = readLE16(dbf, 8);
        bool utf8 = isValidUtf8(dbf.substr(std::min(dbf.size(), headerLen)));
        for (size_t d = 32; utf8 && d + 32 <= std::min(dbf.size(), headerLen) && byteAt(dbf, d) != 0x0D; d += 32) {
            std::string_view name = dbf.substr(d, 11);
            utf8 = isValidUtf8(name.substr(0, name.find('\0')));
        }
        if (utf8) return kUtf8CodePage;
    }
    return kAnsiCodePage;
}

}  // namespace kit
