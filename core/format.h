#pragma once
// Number formatting that gives the bytes of C's printf in the "C" locale, on
// every platform: built on std::to_chars, never on the C runtime's printf
// (msvcrt rounds differently) and never on the current locale.
//
//   kit::format("完成！%d行数据已导出到剪贴板", rows)
//   kit::appendFixed(out, lon, 6)        // same as "%.6f"
//
// format() understands %d %i %u %ld %lld %lu %llu %zu %x %X %o %c %s %f %e %g
// (with precision, width, and the flags - 0 + space #) and %%. Arguments must
// match their conversions the way printf's would; a mismatch throws
// std::invalid_argument (a programming error, caught by the tests).
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace kit {

// "%.{precision}f"
void appendFixed(std::string& out, double value, int precision);
// The same written at p, which has room for kFixedMaxChars (precision at most
// 20); returns the end. For writers that make room once for many numbers.
inline constexpr size_t kFixedMaxChars = 400;
char* writeFixed(char* p, double value, int precision);
// How many characters writeFixed writes for the value.
size_t fixedLength(double value, int precision);
std::string formatFixed(double value, int precision);
// "%d" / "%lld" / "%zu"
void appendInt(std::string& out, long long value);
void appendUnsigned(std::string& out, unsigned long long value);

namespace detail {

struct FormatArg {
    enum Kind { Signed, Unsigned, Double, String } kind;
    long long i = 0;
    unsigned long long u = 0;
    double d = 0;
    std::string_view s;
};

inline FormatArg makeArg(double v) { return {FormatArg::Double, 0, 0, v, {}}; }
inline FormatArg makeArg(float v) { return {FormatArg::Double, 0, 0, v, {}}; }
inline FormatArg makeArg(const char* v) { return {FormatArg::String, 0, 0, 0, v}; }
inline FormatArg makeArg(std::string_view v) { return {FormatArg::String, 0, 0, 0, v}; }
inline FormatArg makeArg(const std::string& v) { return {FormatArg::String, 0, 0, 0, v}; }
template <typename T>
    requires std::is_integral_v<T>
FormatArg makeArg(T v) {
    if constexpr (std::is_signed_v<T>)
        return {FormatArg::Signed, static_cast<long long>(v), 0, 0, {}};
    else
        return {FormatArg::Unsigned, 0, static_cast<unsigned long long>(v), 0, {}};
}

std::string formatImpl(std::string_view fmt, const FormatArg* args, size_t count);

}  // namespace detail

template <typename... Args>
std::string format(std::string_view fmt, const Args&... args) {
    const detail::FormatArg list[] = {detail::makeArg(args)..., detail::FormatArg{}};
    return detail::formatImpl(fmt, list, sizeof...(Args));
}

}  // namespace kit
