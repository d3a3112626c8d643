#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "calculators/field_number.h"

using kit::fieldPrefix;
using kit::readFieldDouble;
using kit::readFieldInt;

TEST(ReadFieldInt, ReadsLeadingIntegerAndZeroOtherwise) {
    EXPECT_EQ(readFieldInt("1300"), 1300);
    EXPECT_EQ(readFieldInt(" \t+42abc"), 42);
    EXPECT_EQ(readFieldInt("-7"), -7);
    EXPECT_EQ(readFieldInt("12.9"), 12);
    EXPECT_EQ(readFieldInt(""), 0);
    EXPECT_EQ(readFieldInt("abc"), 0);
    EXPECT_EQ(readFieldInt("- 3"), 0);
    EXPECT_EQ(readFieldInt("０１"), 0);  // full-width digits are not digits here
}

TEST(ReadFieldInt, ClampsOutOfRangeValues) {
    EXPECT_EQ(readFieldInt("2147483647"), INT_MAX);
    EXPECT_EQ(readFieldInt("2147483648"), INT_MAX);
    EXPECT_EQ(readFieldInt("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(readFieldInt("-2147483648"), INT_MIN);
    EXPECT_EQ(readFieldInt("-2147483649"), INT_MIN);
}

TEST(ReadFieldInt, OnlyTheFieldBufferTakesPart) {
    // 30 zeros and "12": the 31-character buffer holds the "1" but not the "2".
    EXPECT_EQ(readFieldInt(std::string(30, '0') + "12"), 1);
    EXPECT_EQ(readFieldInt(std::string(30, '0') + "12", 32), 12);
}

TEST(ReadFieldDouble, ReadsWhatStrtodReads) {
    EXPECT_EQ(readFieldDouble("1842.5"), 1842.5);
    EXPECT_EQ(readFieldDouble("  -3e2x"), -300);
    EXPECT_EQ(readFieldDouble(".5"), 0.5);
    EXPECT_EQ(readFieldDouble("0x10"), 16);
    EXPECT_EQ(readFieldDouble("abc"), 0);
    EXPECT_EQ(readFieldDouble(""), 0);
    EXPECT_EQ(readFieldDouble("--5"), 0);
    EXPECT_EQ(readFieldDouble("+-5"), 0);
    EXPECT_TRUE(std::isinf(readFieldDouble("inf")));
    EXPECT_TRUE(std::isnan(readFieldDouble("nan")));
}

TEST(ReadFieldDouble, OutOfRangeSaturatesInsteadOfFailing) {
    EXPECT_EQ(readFieldDouble("1e999"), INFINITY);
    EXPECT_EQ(readFieldDouble("-1e999"), -INFINITY);
    EXPECT_EQ(readFieldDouble("123456789e400"), INFINITY);
    EXPECT_EQ(readFieldDouble("0x1p99999"), INFINITY);
    EXPECT_EQ(readFieldDouble("1e-999"), 0);
    EXPECT_TRUE(std::signbit(readFieldDouble("-1e-999")));
    EXPECT_EQ(readFieldDouble("0.00001e-320"), 0);
    // 400 digits with a large negative exponent is still an overflow...
    EXPECT_EQ(readFieldDouble(std::string(400, '9') + "e-50", 500), INFINITY);
    // ...and a subnormal value is kept, as strtod keeps it.
    EXPECT_EQ(readFieldDouble("1e-310"), 1e-310);
    EXPECT_EQ(readFieldDouble("-4.9e-324"), -4.9e-324);
}

TEST(ReadFieldDouble, OnlyTheFieldBufferTakesPart) {
    EXPECT_EQ(readFieldDouble("1" + std::string(70, '0')), 1e62);
}

TEST(FieldPrefix, CountsUtf16Units) {
    const std::string text = "ab中😀c";  // 😀 takes two UTF-16 units
    EXPECT_EQ(fieldPrefix(text, 3), "ab中");
    EXPECT_EQ(fieldPrefix(text, 4), "ab中");  // the pair is not split
    EXPECT_EQ(fieldPrefix(text, 5), "ab中😀");
    EXPECT_EQ(fieldPrefix(text, 100), text);
    EXPECT_EQ(fieldPrefix(text, 0), "");
}
