#include <gtest/gtest.h>

#include <string>

#include "calculators/number_base.h"
#include "calculators/power_units.h"
#include "calculators/rate_units.h"

using namespace kit;

TEST(Power, StartUpValue) {
    EXPECT_EQ(convertPower(kPowerDefaultField, 0), "dBm:  43.00 dBm\r\nW:    19.952623 W\r\nmW:   19952.62 mW");
}

TEST(Power, FromWattsAndMilliwatts) {
    EXPECT_EQ(convertPower("1", 1), "dBm:  30.00 dBm\r\nW:    1.000000 W\r\nmW:   1000.00 mW");
    EXPECT_EQ(convertPower("0.5", 2), "dBm:  -3.01 dBm\r\nW:    0.000500 W\r\nmW:   0.50 mW");
    EXPECT_EQ(convertPower("20", 1), "dBm:  43.01 dBm\r\nW:    20.000000 W\r\nmW:   20000.00 mW");
}

TEST(Power, NoPowerIsMinus999Dbm) {
    const std::string none = "dBm:  -999.00 dBm\r\nW:    0.000000 W\r\nmW:   0.00 mW";
    EXPECT_EQ(convertPower("0", 1), none);
    EXPECT_EQ(convertPower("-3", 2), none);
    EXPECT_EQ(convertPower("abc", 1), none);
    // In dBm, negative values are ordinary.
    EXPECT_EQ(convertPower("-30", 0), "dBm:  -30.00 dBm\r\nW:    0.000001 W\r\nmW:   0.00 mW");
}

TEST(Power, AnyOtherListRowIsDbm) {
    EXPECT_EQ(convertPower("10", -1), convertPower("10", 0));
    EXPECT_EQ(convertPower("10", 3), convertPower("10", 0));
}

TEST(Base, StartUpValue) {
    EXPECT_EQ(convertBase(kBaseDefaultField, 0), "十六进制:  1A2F\r\n十进制:  6703\r\n八进制:  15057\r\n二进制:  1 1010 0010 1111");
}

TEST(Base, BlanksAndCase) {
    const std::string ff = "十六进制:  FF\r\n十进制:  255\r\n八进制:  377\r\n二进制:  1111 1111";
    EXPECT_EQ(convertBase("ff", 0), ff);
    EXPECT_EQ(convertBase("F F", 0), ff);
    EXPECT_EQ(convertBase(" 2 55 ", 1), ff);
    EXPECT_EQ(convertBase("377", 2), ff);
    EXPECT_EQ(convertBase("1111 1111", 3), ff);
    EXPECT_EQ(convertBase("   ", 0), "十六进制:  0\r\n十进制:  0\r\n八进制:  0\r\n二进制:  0");
}

TEST(Base, FormatErrors) {
    for (auto [text, row] : {std::pair{"1A2F", 1}, {"2", 3}, {"8", 2}, {"", 0}, {"-5", 1}, {"+5", 1}, {"0x1F", 0},
                             {"1\t2", 1}, {"１", 1}, {"G", 0}}) {
        EXPECT_EQ(convertBase(text, row), "输入格式错误") << text;
    }
}

TEST(Base, LargestShowableValue) {
    EXPECT_EQ(convertBase("7FFFFFFFFFFFFFFF", 0),
              "十六进制:  7FFFFFFFFFFFFFFF\r\n十进制:  9223372036854775807\r\n八进制:  777777777777777777777\r\n"
              "二进制:  111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111");
    EXPECT_EQ(parseInBase("9223372036854775807", 10), INT64_MAX);
    EXPECT_EQ(parseInBase(std::string(63, '1'), 2), INT64_MAX);
    // One more, in every base, and values that would wrap to small numbers.
    for (auto [text, base] : {std::pair{"8000000000000000", 16}, {"9223372036854775808", 10},
                              {"1000000000000000000000", 8}, {"FFFFFFFFFFFFFFFF", 16},
                              {"10000000000000001", 16}, {"18446744073709551617", 10}}) {
        EXPECT_EQ(parseInBase(text, base), std::nullopt) << text;
    }
    EXPECT_EQ(parseInBase("1" + std::string(64, '0'), 2), std::nullopt);
    // Leading zeros do not count towards the size.
    EXPECT_EQ(parseInBase("0000" + std::string("7FFFFFFFFFFFFFFF"), 16), INT64_MAX);
}

TEST(Base, OnlyTheFieldBufferTakesPart) {
    // 126 blanks and "12": the 127-character buffer ends after the "1".
    std::string text = std::string(126, ' ') + "12";
    EXPECT_EQ(convertBase(text, 1), convertBase("1", 1));
}

TEST(Base, AnyOtherListRowIsDecimal) {
    EXPECT_EQ(baseAt(-1), 10);
    EXPECT_EQ(baseAt(4), 10);
    EXPECT_EQ(convertBase("19", 9), "十六进制:  13\r\n十进制:  19\r\n八进制:  23\r\n二进制:  1 0011");
}

TEST(Base, BinaryGroupsOfFourFromTheRight) {
    EXPECT_EQ(groupBinary("0"), "0");
    EXPECT_EQ(groupBinary("1111"), "1111");
    EXPECT_EQ(groupBinary("11111"), "1 1111");
    EXPECT_EQ(groupBinary("11110000"), "1111 0000");
    EXPECT_EQ(formatInBase(0, 2), "0");
    EXPECT_EQ(formatInBase(UINT64_C(9223372036854775807), 8), "777777777777777777777");
}

TEST(Rate, StartUpValue) {
    EXPECT_EQ(convertRate(kRateDefaultField, kDefaultRateUnit),
              "Gbps:  0.100000\r\nMbps:  100.0000\r\nKbps:  100000.0000\r\nMB/s:  12.5000");
}

TEST(Rate, FromEachUnit) {
    EXPECT_EQ(convertRate("2", 0), "Gbps:  2.0000\r\nMbps:  2000.0000\r\nKbps:  2000000.000\r\nMB/s:  250.0000");
    EXPECT_EQ(convertRate("1500", 2), "Gbps:  0.001500\r\nMbps:  1.5000\r\nKbps:  1500.0000\r\nMB/s:  0.187500");
    EXPECT_EQ(convertRate("1", 3), "Gbps:  0.008000\r\nMbps:  8.0000\r\nKbps:  8000.0000\r\nMB/s:  1.0000");
    EXPECT_EQ(convertRate("100", 7), convertRate("100", 1));
    EXPECT_EQ(convertRate("100", -1), convertRate("100", 1));
}

TEST(Rate, SizeClasses) {
    EXPECT_EQ(formatRate(1e9), "1000000000.0");
    EXPECT_EQ(formatRate(999999999.5), "999999999.500");
    EXPECT_EQ(formatRate(1e6), "1000000.000");
    EXPECT_EQ(formatRate(999999.5), "999999.5000");
    EXPECT_EQ(formatRate(1), "1.0000");
    EXPECT_EQ(formatRate(0.9999999), "1.000000");  // still the small class
    EXPECT_EQ(formatRate(0), "0.000000");
    EXPECT_EQ(formatRate(-5e9), "-5000000000.000000");
    // Beyond the tab's 64-character buffer the text is still whole.
    EXPECT_EQ(formatRate(1e70).size(), 73u);
}
