#include "core/format.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <optional>
#include <stdexcept>

namespace kit {

namespace {

// to_chars is specified as printf with the same precision in the C locale,
// except that it prints no sign for NaN in some libraries; printf prints
// "-nan" for a negative NaN, so the sign is handled here. p has room for
// kFixedMaxChars (fixed notation of 1e308 with 20 decimals needs about 330).
char* writeFloat(char* p, double value, std::chars_format fmt, int precision) {
    auto put = [p](std::string_view s) { return std::copy(s.begin(), s.end(), p); };
    if (std::isnan(value)) return put(std::signbit(value) ? "-nan" : "nan");
    if (std::isinf(value)) return put(value < 0 ? "-inf" : "inf");
    return std::to_chars(p, p + kFixedMaxChars, value, fmt, precision).ptr;
}

void appendFloat(std::string& out, double value, std::chars_format fmt, int precision) {
    char buf[kFixedMaxChars];
    out.append(buf, writeFloat(buf, value, fmt, precision));
}

// Two digits at a time, most significant first.
char* writeDigits(char* p, uint64_t n) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char buf[20];
    char* end = buf + sizeof buf;
    char* q = end;
    while (n >= 100) {
        const unsigned pair = static_cast<unsigned>(n % 100);
        n /= 100;
        q -= 2;
        q[0] = kPairs[2 * pair];
        q[1] = kPairs[2 * pair + 1];
    }
    if (n >= 10) {
        q -= 2;
        q[0] = kPairs[2 * n];
        q[1] = kPairs[2 * n + 1];
    } else {
        *--q = static_cast<char>('0' + n);
    }
    return std::copy(q, end, p);
}

constexpr uint64_t kIntPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

// Fixed notation by scaling to an integer, for the common case where that is
// provably what printf prints: the scaled value fits a double's integers and
// its fraction is clear of one half by more than the product's rounding error
// (so an exact tie, which printf rounds to even, never takes this path).
// Coordinates and counts written by the millions almost always qualify.
// The digits as one integer (value * 10^precision rounded), or nothing when
// the case is not that simple.
std::optional<uint64_t> scaledDigits(double value, int precision) {
    static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (precision < 0 || precision > 9 || !std::isfinite(value)) return std::nullopt;
    const double scaled = std::fabs(value) * kPow10[precision];
    if (!(scaled < 1e15)) return std::nullopt;
    const double whole = std::floor(scaled);
    const double frac = scaled - whole;  // exact below 2^52
    if (std::fabs(frac - 0.5) <= scaled * 4.5e-16 + 1e-300) return std::nullopt;
    return static_cast<uint64_t>(whole) + (frac > 0.5 ? 1 : 0);
}

char* writeScaled(char* p, bool negative, uint64_t n, int precision) {
    if (negative) *p++ = '-';
    p = writeDigits(p, n / kIntPow10[precision]);
    if (precision == 0) return p;
    uint64_t rest = n % kIntPow10[precision];
    *p = '.';
    for (int i = precision; i >= 1; --i, rest /= 10) p[i] = static_cast<char>('0' + rest % 10);
    return p + precision + 1;
}

size_t decimalDigits(uint64_t n) {
    size_t d = 1;
    for (; n >= 10; n /= 10) ++d;
    return d;
}

}  // namespace

char* writeFixed(char* p, double value, int precision) {
    if (auto n = scaledDigits(value, precision)) return writeScaled(p, std::signbit(value), *n, precision);
    return writeFloat(p, value, std::chars_format::fixed, precision);
}

size_t fixedLength(double value, int precision) {
    if (auto n = scaledDigits(value, precision))
        return (std::signbit(value) ? 1 : 0) + decimalDigits(*n / kIntPow10[precision]) +
               (precision > 0 ? static_cast<size_t>(precision) + 1 : 0);
    char buf[kFixedMaxChars];
    return static_cast<size_t>(writeFloat(buf, value, std::chars_format::fixed, precision) - buf);
}

void appendFixed(std::string& out, double value, int precision) {
    char buf[kFixedMaxChars];
    out.append(buf, writeFixed(buf, value, precision));
}

std::string formatFixed(double value, int precision) {
    std::string s;
    appendFixed(s, value, precision);
    return s;
}

void appendInt(std::string& out, long long value) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, res.ptr);
}

void appendUnsigned(std::string& out, unsigned long long value) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, res.ptr);
}

namespace detail {

namespace {

struct Spec {
    bool left = false, zero = false, plus = false, space = false, alt = false;
    int width = 0;
    int precision = -1;
    char conv = 0;
};

[[noreturn]] void mismatch(std::string_view fmt) {
    throw std::invalid_argument("kit::format: argument does not match format \"" + std::string(fmt) + "\"");
}

void pad(std::string& out, std::string body, const Spec& spec) {
    if (static_cast<int>(body.size()) >= spec.width) {
        out += body;
        return;
    }
    size_t fill = spec.width - body.size();
    if (spec.left) {
        out += body;
        out.append(fill, ' ');
    } else if (spec.zero && spec.conv != 's' && spec.conv != 'c') {
        // Zeros go after the sign (and after 0x).
        size_t at = 0;
        if (!body.empty() && (body[0] == '-' || body[0] == '+' || body[0] == ' ')) at = 1;
        if (body.size() >= at + 2 && body[at] == '0' && (body[at + 1] == 'x' || body[at + 1] == 'X')) at += 2;
        body.insert(at, fill, '0');
        out += body;
    } else {
        out.append(fill, ' ');
        out += body;
    }
}

std::string integerBody(const Spec& spec, bool negative, unsigned long long magnitude) {
    int base = 10;
    if (spec.conv == 'x' || spec.conv == 'X') base = 16;
    if (spec.conv == 'o') base = 8;
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude, base);
    std::string digits(buf, res.ptr);
    if (spec.conv == 'X')
        for (char& c : digits) c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
    if (spec.precision >= 0) {
        if (spec.precision == 0 && magnitude == 0) digits.clear();
        if (static_cast<int>(digits.size()) < spec.precision)
            digits = std::string(spec.precision - digits.size(), '0') + digits;
    }
    std::string prefix;
    if (negative)
        prefix = "-";
    else if (spec.plus && (spec.conv == 'd' || spec.conv == 'i'))
        prefix = "+";
    else if (spec.space && (spec.conv == 'd' || spec.conv == 'i'))
        prefix = " ";
    if (spec.alt && magnitude != 0) {
        if (spec.conv == 'x') prefix += "0x";
        if (spec.conv == 'X') prefix += "0X";
        if (spec.conv == 'o' && (digits.empty() || digits[0] != '0')) digits = "0" + digits;
    }
    return prefix + digits;
}

std::string floatBody(const Spec& spec, double v) {
    std::string body;
    if (!std::signbit(v) || std::isnan(v)) {
        if (spec.plus && !std::isnan(v)) body = "+";
        else if (spec.space && !std::isnan(v)) body = " ";
    }
    int precision = spec.precision < 0 ? 6 : spec.precision;
    std::chars_format f = std::chars_format::fixed;
    char c = spec.conv;
    if (c == 'e' || c == 'E') f = std::chars_format::scientific;
    if (c == 'g' || c == 'G') {
        f = std::chars_format::general;
        if (precision == 0) precision = 1;
    }
    appendFloat(body, v, f, precision);
    if (c == 'E' || c == 'G' || c == 'F')
        for (char& ch : body) ch = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch);
    return body;
}

}  // namespace

std::string formatImpl(std::string_view fmt, const FormatArg* args, size_t count) {
    std::string out;
    out.reserve(fmt.size() + 16 * count);
    size_t next = 0;
    for (size_t i = 0; i < fmt.size(); ++i) {
        char ch = fmt[i];
        if (ch != '%') {
            out.push_back(ch);
            continue;
        }
        if (++i >= fmt.size()) mismatch(fmt);
        if (fmt[i] == '%') {
            out.push_back('%');
            continue;
        }
        Spec spec;
        for (; i < fmt.size(); ++i) {
            char f = fmt[i];
            if (f == '-') spec.left = true;
            else if (f == '0') spec.zero = true;
            else if (f == '+') spec.plus = true;
            else if (f == ' ') spec.space = true;
            else if (f == '#') spec.alt = true;
            else break;
        }
        while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') spec.width = spec.width * 10 + (fmt[i++] - '0');
        if (i < fmt.size() && fmt[i] == '.') {
            spec.precision = 0;
            ++i;
            while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') spec.precision = spec.precision * 10 + (fmt[i++] - '0');
        }
        // Length modifiers carry no meaning here: the argument's own type decides.
        while (i < fmt.size() && (fmt[i] == 'l' || fmt[i] == 'z' || fmt[i] == 'h' || fmt[i] == 'j' || fmt[i] == 't'))
            ++i;
        if (i >= fmt.size() || next >= count) mismatch(fmt);
        spec.conv = fmt[i];
        const FormatArg& a = args[next++];
        switch (spec.conv) {
            case 'd':
            case 'i':
            case 'u':
            case 'x':
            case 'X':
            case 'o': {
                if (a.kind == FormatArg::Signed) {
                    bool neg = a.i < 0;
                    unsigned long long mag = neg ? 0ULL - static_cast<unsigned long long>(a.i) : a.i;
                    if (spec.conv != 'd' && spec.conv != 'i') {
                        // printf reinterprets the bits of a negative value as unsigned.
                        mag = static_cast<unsigned long long>(a.i);
                        if (neg) mag &= 0xFFFFFFFFULL;  // int-sized, as %u/%x of an int
                        neg = false;
                    }
                    pad(out, integerBody(spec, neg, mag), spec);
                } else if (a.kind == FormatArg::Unsigned) {
                    pad(out, integerBody(spec, false, a.u), spec);
                } else {
                    mismatch(fmt);
                }
                break;
            }
            case 'f':
            case 'F':
            case 'e':
            case 'E':
            case 'g':
            case 'G':
                if (a.kind != FormatArg::Double) mismatch(fmt);
                pad(out, floatBody(spec, a.d), spec);
                break;
            case 's': {
                if (a.kind != FormatArg::String) mismatch(fmt);
                std::string_view s = a.s;
                if (spec.precision >= 0 && static_cast<size_t>(spec.precision) < s.size()) s = s.substr(0, spec.precision);
                pad(out, std::string(s), spec);
                break;
            }
            case 'c':
                if (a.kind == FormatArg::Signed) pad(out, std::string(1, static_cast<char>(a.i)), spec);
                else if (a.kind == FormatArg::Unsigned) pad(out, std::string(1, static_cast<char>(a.u)), spec);
                else mismatch(fmt);
                break;
            default:
                mismatch(fmt);
        }
    }
    if (next != count) mismatch(fmt);
    return out;
}

}  // namespace detail

}  // namespace kit
