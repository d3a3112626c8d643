#include "calculators/number_base.h"

#include <algorithm>
#include <limits>

#include "calculators/field_number.h"
#include "core/format.h"

namespace kit {

int baseAt(int listIndex) {
    static constexpr int kBases[] = {16, 10, 8, 2};
    return listIndex >= 0 && listIndex < 4 ? kBases[listIndex] : 10;
}

std::optional<int64_t> parseInBase(std::string_view text, int base) {
    if (text.empty()) return std::nullopt;
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    for (char c : text) {
        if (c == ' ') continue;
        int digit = c >= '0' && c <= '9' ? c - '0'
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                           : base;
        if (digit >= base) return std::nullopt;
        // Refuse rather than wrap: a wrapped value would be shown as if typed.
        if (value > (kMax - digit) / base) return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

std::string formatInBase(uint64_t value, int base) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out += kDigits[value % static_cast<unsigned>(base)];
        value /= static_cast<unsigned>(base);
    } while (value != 0);
    std::reverse(out.begin(), out.end());
    return out;
}

std::string groupBinary(std::string_view digits) {
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 4 == 0) out += ' ';
        out += digits[i];
    }
    return out;
}

std::string convertBase(std::string_view field, int listIndex) {
    auto value = parseInBase(fieldPrefix(field, kBaseFieldChars), baseAt(listIndex));
    if (!value) return "输入格式错误";
    uint64_t v = static_cast<uint64_t>(*value);
    return format("十六进制:  %s\r\n十进制:  %s\r\n八进制:  %s\r\n二进制:  %s", formatInBase(v, 16),
                  formatInBase(v, 10), formatInBase(v, 8), groupBinary(formatInBase(v, 2)));
}

}  // namespace kit
