#include "layers/dbf_fields.h"

#include <algorithm>

#include "core/text.h"

namespace kit {

namespace {

constexpr size_t kMaxNumberDigits = 15;  // a double holds 15 significant digits
constexpr int kMaxNumberWidth = 20;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A plain decimal number: its integer part's length (sign included) and its
// decimals; false for anything else.
bool plainNumber(std::string_view v, int& integerWidth, int& decimals) {
    size_t i = v.size() > 0 && v[0] == '-' ? 1 : 0;
    size_t digits = 0, start = i;
    while (i < v.size() && isDigit(v[i])) ++i, ++digits;
    if (digits == 0 || (digits > 1 && v[start] == '0')) return false;
    integerWidth = static_cast<int>(i);
    decimals = 0;
    if (i < v.size()) {
        if (v[i] != '.') return false;
        size_t d = ++i;
        while (i < v.size() && isDigit(v[i])) ++i;
        if (i == d || i != v.size()) return false;
        decimals = static_cast<int>(i - d);
        digits += i - d;
    }
    // "-0" reads back as 0.
    if (start == 1 && decimals == 0 && v[1] == '0') return false;
    return digits <= kMaxNumberDigits;
}

bool takenName(const std::vector<std::string>& taken, const std::string& name) {
    const std::string lower = asciiLower(name);
    return std::any_of(taken.begin(), taken.end(), [&](const std::string& t) { return asciiLower(t) == lower; });
}

}  // namespace

std::string_view utf8Prefix(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t n = maxBytes;
    // Back off continuation bytes to the start of the character that would be split.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return text.substr(0, n);
}

std::string dbfFieldName(std::string_view key, std::vector<std::string>& taken) {
    std::string name(utf8Prefix(key, kDbfNameBytes));
    for (int n = 1; takenName(taken, name); ++n) {
        const std::string suffix = n < 10 ? "_" + std::to_string(n) : std::to_string(n);
        const size_t keep = std::min<size_t>(8, kDbfNameBytes - suffix.size());
        name = std::string(utf8Prefix(key, keep)) + suffix;
    }
    taken.push_back(name);
    return name;
}

std::string_view dbfText(std::string_view value) { return utf8Prefix(value, kDbfTextWidth); }

FieldDef dbfColumn(std::string name, const std::vector<const std::string*>& values) {
    bool numeric = false, text = false;
    int integerWidth = 0, decimals = 0;
    size_t longest = 0;
    for (const std::string* v : values) {
        if (!v || v->empty()) continue;
        longest = std::max(longest, v->size());
        int w = 0, d = 0;
        if (!text && plainNumber(*v, w, d)) {
            numeric = true;
            integerWidth = std::max(integerWidth, w);
            decimals = std::max(decimals, d);
        } else {
            text = true;
        }
    }
    const int numberWidth = integerWidth + (decimals > 0 ? decimals + 1 : 0);
    if (numeric && !text && numberWidth <= kMaxNumberWidth)
        return {std::move(name), 'N', std::max(numberWidth, 1), decimals};
    return {std::move(name), 'C', static_cast<int>(std::clamp<size_t>(longest, 1, kDbfTextWidth)), 0};
}

}  // namespace kit
