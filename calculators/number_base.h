#pragma once
// Whole numbers between hexadecimal, decimal, octal and binary.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kit {

// The base list, in list order (16, 10, 8, 2); hexadecimal at start-up.
inline constexpr std::string_view kBaseNames[] = {"十六进制", "十进制", "八进制", "二进制"};
inline constexpr std::string_view kBaseDefaultField = "1A2F";

// The base of list row listIndex; 10 for any other row.
int baseAt(int listIndex);

// Digits 0-9, A-F or a-f below the base, blanks (U+0020) skipped anywhere, no
// sign. Empty when the text is empty, holds anything else, or exceeds
// 2^63 - 1 (the largest value the tab can show). A text of blanks is 0.
std::optional<int64_t> parseInBase(std::string_view text, int base);

// Upper-case digits, most significant first, "0" for zero.
std::string formatInBase(uint64_t value, int base);

// Binary digits in groups of four from the right: "1101" "1 1010 0010 1111".
std::string groupBinary(std::string_view digits);

// The result text for the field as typed (its first 127 characters) and the
// list row; "输入格式错误" for text that does not parse.
std::string convertBase(std::string_view field, int listIndex);

}  // namespace kit
