#include "calculators/field_number.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <limits>

#include "core/number_parse.h"
#include "core/text.h"

namespace kit {

namespace {

bool isCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int digitValue(char c, int base) {
    int d = isDigit(c) ? c - '0' : (lower(c) >= 'a' && lower(c) <= 'f') ? lower(c) - 'a' + 10 : 99;
    return d < base ? d : -1;
}

// A number that parseLeadingDouble refused although it has digits is out of
// the double's range; its size decides between overflow and underflow. The
// exponent of the leading non-zero digit plus the written exponent is far
// from 0 for every such number, so its sign is enough.
bool overflows(std::string_view body, int base, char exponentMark) {
    size_t i = 0;
    long long intDigits = 0, fracZeros = 0;
    bool nonZero = false;
    while (i < body.size() && digitValue(body[i], base) >= 0) {
        if (nonZero || body[i] != '0') nonZero = true, ++intDigits;
        ++i;
    }
    if (i < body.size() && body[i] == '.') {
        ++i;
        while (!nonZero && i < body.size() && body[i] == '0') ++fracZeros, ++i;
        while (i < body.size() && digitValue(body[i], base) >= 0) ++i;
    }
    long long lead = intDigits > 0 ? intDigits - 1 : -(fracZeros + 1);
    long long exponent = 0;
    if (i < body.size() && lower(body[i]) == exponentMark) {
        size_t j = i + 1;
        bool negative = false;
        if (j < body.size() && (body[j] == '+' || body[j] == '-')) negative = body[j++] == '-';
        for (; j < body.size() && isDigit(body[j]); ++j)
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (body[j] - '0');
        if (negative) exponent = -exponent;
    }
    // Hexadecimal digits are worth four binary places each.
    return (base == 16 ? lead * 4 : lead) + exponent > 0;
}

}  // namespace

std::string_view fieldPrefix(std::string_view text, size_t maxChars) { return utf16Prefix(text, maxChars); }

int readFieldInt(std::string_view text, size_t maxChars) {
    text = fieldPrefix(text, maxChars);
    size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        if (v <= INT_MAX) v = v * 10 + (text[i] - '0');  // past INT_MAX it is clamped anyway
    if (negative) v = -v;
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

double readFieldDouble(std::string_view text, size_t maxChars) {
    text = fieldPrefix(text, maxChars);
    if (auto v = parseLeadingDouble(text)) return *v;

    size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string_view rest = text.substr(i);
    bool hex = rest.size() >= 2 && rest[0] == '0' && lower(rest[1]) == 'x';
    std::string_view body = hex ? rest.substr(2) : rest;
    int base = hex ? 16 : 10;
    // from_chars would take a second sign; strtod does not.
    if (body.empty() || (body[0] != '.' && digitValue(body[0], base) < 0)) return 0.0;
    double value = 0;
    auto res = std::from_chars(body.data(), body.data() + body.size(), value,
                               hex ? std::chars_format::hex : std::chars_format::general);
    // parseLeadingDouble refuses subnormal results; strtod returns them.
    if (res.ec == std::errc()) return negative ? -value : value;
    if (res.ec != std::errc::result_out_of_range) return 0.0;
    double magnitude = overflows(body, base, hex ? 'p' : 'e') ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

}  // namespace kit
