#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>

#include "core/format.h"

namespace {

std::string reference(double v, int precision) {
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
    return std::string(buf, r.ptr);
}

}  // namespace

// appendFixed's integer shortcut must give exactly the bytes of the general
// conversion (printf's), whatever the magnitude and precision.
TEST(FixedFormat, ShortcutMatchesTheGeneralConversion) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> coord(-180, 180), exponent(-12, 17);
    std::uniform_int_distribution<int> prec(0, 10);
    for (int i = 0; i < 300000; ++i) {
        double v = i % 2 ? coord(rng) : std::pow(10.0, exponent(rng)) * (i % 4 == 0 ? -1 : 1);
        int p = prec(rng);
        ASSERT_EQ(kit::formatFixed(v, p), reference(v, p)) << v << " %." << p << "f";
        ASSERT_EQ(kit::fixedLength(v, p), reference(v, p).size()) << v << " %." << p << "f";
    }
    // Decimal ties round to even on the exact binary value, signs survive zero.
    for (double v : {0.125, 0.375, 2.5, 3.5, 2.675, 1.005, -0.0, -1e-9, 0.5, 999999.9999995, 9.9999996, 1e15, 4.5e15,
                     99.995, 9.995, 1e300, -std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity()})
        for (int p = 0; p <= 9; ++p) {
            EXPECT_EQ(kit::formatFixed(v, p), std::isnan(v) ? "-nan" : reference(v, p)) << v << " %." << p << "f";
            EXPECT_EQ(kit::fixedLength(v, p), kit::formatFixed(v, p).size()) << v << " %." << p << "f";
        }
    EXPECT_EQ(kit::formatFixed(-0.0, 6), "-0.000000");
    EXPECT_EQ(kit::formatFixed(0.125, 2), "0.12");
    EXPECT_EQ(kit::formatFixed(116.4, 8), "116.40000000");
}
