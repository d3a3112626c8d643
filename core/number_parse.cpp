#include "core/number_parse.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kit {

namespace {

bool isCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithNoCase(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (lower(text[i]) != word[i]) return false;
    return true;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (lower(c) >= 'a' && lower(c) <= 'f'); }

// Length of the longest prefix that forms a decimal floating-point subject
// sequence (digits, optional point and digits, optional exponent).
size_t decimalSubject(std::string_view s) {
    size_t i = 0, digits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && lower(s[i]) == 'e') {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j])) ++j;
            i = j;
        }
    }
    return i;
}

size_t hexSubject(std::string_view s) {
    size_t i = 0, digits = 0;
    while (i < s.size() && isHexDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isHexDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && lower(s[i]) == 'p') {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j])) ++j;
            i = j;
        }
    }
    return i;
}

}  // namespace

std::optional<double> parseLeadingDouble(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string_view rest = text.substr(i);

    double value;
    if (startsWithNoCase(rest, "inf")) {
        value = std::numeric_limits<double>::infinity();
    } else if (startsWithNoCase(rest, "nan")) {
        value = std::numeric_limits<double>::quiet_NaN();
    } else {
        bool hex = rest.size() >= 2 && rest[0] == '0' && lower(rest[1]) == 'x';
        std::string_view body = hex ? rest.substr(2) : rest;
        size_t n = hex ? hexSubject(body) : decimalSubject(body);
        if (n == 0) {
            if (hex) return negative ? -0.0 : 0.0;  // "0x" alone reads as the 0
            return std::nullopt;
        }
        auto res = std::from_chars(body.data(), body.data() + n, value,
                                   hex ? std::chars_format::hex : std::chars_format::general);
        if (res.ec == std::errc::result_out_of_range) return std::nullopt;
        if (res.ec != std::errc()) return std::nullopt;
        // strtod reports ERANGE for results too small to be normal.
        if (value != 0 && std::fabs(value) < std::numeric_limits<double>::min()) return std::nullopt;
    }
    return negative ? -value : value;
}

double toNumberOr(std::string_view text, double fallback) {
    auto v = parseLeadingDouble(text);
    return v ? *v : fallback;
}

std::optional<int32_t> parseLeadingInt32(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || !isDigit(text[i])) return std::nullopt;
    long long v = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > 2147483648LL) return std::nullopt;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min()) return std::nullopt;
    return static_cast<int32_t>(v);
}

}  // namespace kit
