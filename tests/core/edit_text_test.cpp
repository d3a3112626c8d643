#include "core/edit_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string times(const std::string& piece, size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += piece;
    return s;
}

// The field keeps 63 UTF-16 units, as the edit control does: ASCII and CJK
// count one each, a character outside the BMP two, and it is never split.
TEST(EditText, KeepsSixtyThreeUtf16Units) {
    const std::string emoji = "\xF0\x9F\x93\xA1";
    const struct {
        std::string text, kept;
    } cases[] = {
        {times("7", 70), times("7", 63)},
        {times("方", 70), times("方", 63)},
        {times("1", 61) + emoji + "9", times("1", 61) + emoji},
        {times("1", 62) + emoji, times("1", 62)},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(kit::editText(c.text), c.kept) << c.text;
}

TEST(EditText, NumbersReadFromWhatTheFieldHolds) {
    EXPECT_EQ(kit::editNumberOr("12.5abc", 7), 12.5);
    EXPECT_EQ(kit::editNumberOr("米", 7), 7);
    // A digit past the limit never reaches the number.
    EXPECT_EQ(kit::editNumberOr(times("0", 62) + "15", 7), 1);
    EXPECT_EQ(kit::editNumberOr(times(" ", 63) + "5", 7), 7);
}

}  // namespace
