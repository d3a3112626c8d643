#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "core/format.h"
#include "core/number_parse.h"

TEST(ToNumberOr, ReadsLeadingNumberLikeStrtod) {
    EXPECT_DOUBLE_EQ(kit::toNumberOr("  12.5abc", 0), 12.5);
    EXPECT_DOUBLE_EQ(kit::toNumberOr("\t-3e2x", 0), -300);
    EXPECT_DOUBLE_EQ(kit::toNumberOr("+.5", 0), 0.5);
    EXPECT_DOUBLE_EQ(kit::toNumberOr("5.", 0), 5);
    EXPECT_DOUBLE_EQ(kit::toNumberOr("1e", 7), 1);  // dangling exponent is not part of it
    EXPECT_DOUBLE_EQ(kit::toNumberOr("0x10", 0), 16);
    EXPECT_TRUE(std::isinf(kit::toNumberOr("-Infinity", 0)));
    EXPECT_TRUE(std::isnan(kit::toNumberOr("nan", 0)));
}

TEST(ToNumberOr, FallbackWhenNothingOrOutOfRange) {
    EXPECT_EQ(kit::toNumberOr("", -1), -1);
    EXPECT_EQ(kit::toNumberOr("abc", -1), -1);
    EXPECT_EQ(kit::toNumberOr(".", -1), -1);
    EXPECT_EQ(kit::toNumberOr("-", -1), -1);
    EXPECT_EQ(kit::toNumberOr("1e999", -1), -1);
    EXPECT_EQ(kit::toNumberOr("1e-999", -1), -1);
    EXPECT_EQ(kit::toNumberOr("，12", -1), -1);  // full-width comma is not white space
}

TEST(ParseLeadingInt32, StrtolWithWindowsLong) {
    EXPECT_EQ(kit::parseLeadingInt32(" -3x"), -3);
    EXPECT_EQ(kit::parseLeadingInt32("+80"), 80);
    EXPECT_EQ(kit::parseLeadingInt32("2147483647"), 2147483647);
    EXPECT_EQ(kit::parseLeadingInt32("-2147483648"), INT32_MIN);
    EXPECT_EQ(kit::parseLeadingInt32("2147483648"), std::nullopt);
    EXPECT_EQ(kit::parseLeadingInt32("99999999999999999999"), std::nullopt);
    EXPECT_EQ(kit::parseLeadingInt32("abc"), std::nullopt);
    EXPECT_EQ(kit::parseLeadingInt32(""), std::nullopt);
    EXPECT_EQ(kit::parseLeadingInt32("- 3"), std::nullopt);
}

TEST(Format, MatchesPrintfConversions) {
    EXPECT_EQ(kit::format("完成！%d行数据已导出到剪贴板", 42), "完成！42行数据已导出到剪贴板");
    EXPECT_EQ(kit::format("%zu/%d %s %%", size_t{7}, -3, "x"), "7/-3 x %");
    EXPECT_EQ(kit::format("%02X%02x", 10, 255u), "0Aff");
    EXPECT_EQ(kit::format("%5.1f|%-5d|%+d", 2.25, 3, 4), "  2.2|3    |+4");
    EXPECT_EQ(kit::format("%f %.0f %.8f", 1.0, 0.5, 1e-9), "1.000000 0 0.00000000");
    EXPECT_EQ(kit::format("%g %e", 0.0001, 12345.678), "0.0001 1.234568e+04");
    EXPECT_THROW(kit::format("%d", 1.0), std::invalid_argument);
    EXPECT_THROW(kit::format("%d %d", 1), std::invalid_argument);
}

#ifndef _WIN32
// Against the C library on random values: the bytes must be printf's own.
// (Under Windows the C runtime is the thing we do not trust, so this runs natively.)
TEST(Format, FixedAgreesWithGlibcPrintf) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mag(-12, 12);
    char buf[512];
    for (int i = 0; i < 20000; ++i) {
        double v = std::pow(10.0, mag(rng)) * (rng() % 2 ? 1 : -1);
        if (i % 5 == 0) v = std::round(v * 1000) / 1000 + 0.0005;  // near-ties
        for (int p : {0, 2, 6, 8}) {
            std::snprintf(buf, sizeof buf, "%.*f", p, v);
            ASSERT_EQ(kit::formatFixed(v, p), buf) << v << " p=" << p;
        }
    }
    EXPECT_EQ(kit::formatFixed(-0.0, 2), "-0.00");
    EXPECT_EQ(kit::formatFixed(-0.001, 2), "-0.00");
}
#endif

TEST(Format, KnownTiesRoundOnExactBinaryValue) {
    // 0.125 is exact: ties go to even. 2.675 is really 2.67499999...
    EXPECT_EQ(kit::formatFixed(0.125, 2), "0.12");
    EXPECT_EQ(kit::formatFixed(0.375, 2), "0.38");
    EXPECT_EQ(kit::formatFixed(2.675, 2), "2.67");
    EXPECT_EQ(kit::formatFixed(116.3974845, 6), "116.397485");  // binary value is above the tie
    EXPECT_EQ(kit::formatFixed(1e21, 2), "1000000000000000000000.00");
}
