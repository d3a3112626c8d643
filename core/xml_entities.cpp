#include "core/xml_entities.h"

#include <cstdint>
#include <utility>

#include "core/text.h"

namespace kit {

namespace {

constexpr size_t npos = std::string_view::npos;

// "#21517" / "#x5409" (without '&' and ';') as UTF-8; invalid ones add nothing.
void appendCharacterReference(std::string_view digits, std::string& out) {
    bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
    if (hex) digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 8) return;
    uint32_t cp = 0;
    for (char c : digits) {
        uint32_t d;
        if (c >= '0' && c <= '9') {
            d = static_cast<uint32_t>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            d = static_cast<uint32_t>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            d = static_cast<uint32_t>(c - 'A' + 10);
        } else {
            return;
        }
        cp = cp * (hex ? 16 : 10) + d;
    }
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return;
    char16_t units[2];
    size_t n = 1;
    if (cp < 0x10000) {
        units[0] = static_cast<char16_t>(cp);
    } else {
        units[0] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        units[1] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        n = 2;
    }
    out += utf16ToUtf8(std::u16string_view(units, n));
}

}  // namespace

std::string decodeXmlEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        size_t amp = text.find('&', pos);
        if (amp == npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, amp - pos));
        std::string_view rest = text.substr(amp);
        static constexpr std::pair<std::string_view, char> kNamed[] = {
            {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}};
        bool named = false;
        for (const auto& [entity, ch] : kNamed) {
            if (rest.substr(0, entity.size()) == entity) {
                out.push_back(ch);
                pos = amp + entity.size();
                named = true;
                break;
            }
        }
        if (named) continue;
        size_t semi = text.find(';', amp);
        if (semi == npos) {
            // A bare '&' with no reference after it: keep the text.
            out.append(rest);
            break;
        }
        // Character references carry real text (spreadsheet writers encode
        // every non-ASCII character this way); other references are dropped.
        if (rest.size() > 2 && rest[1] == '#') appendCharacterReference(text.substr(amp + 2, semi - amp - 2), out);
        pos = semi + 1;
    }
    return out;
}

}  // namespace kit
