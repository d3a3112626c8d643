#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/file_io.h"
#include "core/geodesy.h"
#include "core/text.h"
#include "tests/temp_folder.h"

TEST(Utf, RoundTripAndReplacement) {
    std::string s = "经度 ABC \xF0\x9F\x93\x8B";  // includes a 4-byte character (📋)
    std::u16string w = kit::utf8ToUtf16(s);
    EXPECT_EQ(w.size(), 2u + 5u + 2u);
    EXPECT_EQ(kit::utf16ToUtf8(w), s);
    EXPECT_EQ(kit::utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(kit::utf8ToUtf16("\xC0\xAF"), std::u16string(u"\uFFFD\uFFFD"));
    EXPECT_EQ(kit::utf8ToUtf16("a\xE4\xB8"), std::u16string(u"a\uFFFD"));
    EXPECT_TRUE(kit::utf8ToUtf16("").empty());
}

TEST(Utf, DecodeInputByteOrderMarks) {
    EXPECT_EQ(kit::decodeInputText("\xEF\xBB\xBFid\n"), "id\n");
    EXPECT_EQ(kit::decodeInputText(std::string("\xFF\xFEi\0d\0", 6)), "id");
    EXPECT_EQ(kit::decodeInputText(std::string("\xFE\xFF\0i\0d", 6)), "id");
    EXPECT_EQ(kit::decodeInputText(std::string("\xFF\xFE\x2D\x4E", 4)), "中");
    EXPECT_EQ(kit::decodeInputText("plain"), "plain");
}

TEST(Geodesy, HaversineKnownValues) {
    EXPECT_EQ(kit::haversineDistance(30, 120, 30, 120), 0);
    EXPECT_NEAR(kit::haversineDistance(0, 10, 1, 10), 111194.92664455873, 1e-6);
    EXPECT_NEAR(kit::haversineDistance(60, 0, 60, 1), 111194.92664455873 / 2, 30);
    double far = kit::haversineDistance(0, 0, 1e-9, 180);
    EXPECT_FALSE(std::isnan(far));
    EXPECT_NEAR(far, kit::kPi * 6371000, 1);
}

// The bound decides which candidates are never measured, so it must never
// exceed the distance: checked on pairs from metres to antipodes, near the
// poles, across the antimeridian and at impossible latitudes; and it must be
// tight for nearby points, or it would save nothing.
TEST(Geodesy, HaversineLowerBoundNeverExceedsTheDistance) {
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> lon(-400, 400), lat(-100, 100), step(-0.05, 0.05);
    for (int i = 0; i < 200000; ++i) {
        const double lat1 = lat(rng), lon1 = lon(rng);
        const bool near = i % 2 == 0;
        const double lat2 = near ? lat1 + step(rng) : lat(rng), lon2 = near ? lon1 + step(rng) : lon(rng);
        const double c1 = kit::cosLatitude(lat1), c2 = kit::cosLatitude(lat2);
        const double d = kit::haversineWithCosines(lat1, lon1, c1, lat2, lon2, c2);
        const double bound = kit::haversineAtLeast(lat1, lon1, c1, lat2, lon2, c2);
        ASSERT_FALSE(bound > d) << lat1 << " " << lon1 << " " << lat2 << " " << lon2;
        if (near && std::fabs(lat1) < 89 && std::fabs(lat2) < 89) {
            ASSERT_GE(bound, d * (1 - 1e-6));
        }
    }
    EXPECT_EQ(kit::haversineAtLeast(0, 0, 1, 0, 180, 1), 0);  // too far apart to bound
    EXPECT_EQ(kit::haversineAtLeast(NAN, 0, 1, 0, 0, 1), 0);
}

TEST(Geodesy, Offsets) {
    kit::LonLat north = kit::offsetByMetres(116, 40, 1000, kit::kPi / 2);
    EXPECT_NEAR(north.lon, 116, 1e-12);
    EXPECT_NEAR((north.lat - 40) * kit::kMetresPerDegreeArc, 1000, 1e-6);
    kit::LonLat pole = kit::offsetByMetres(0, 90, 100, 0);
    EXPECT_TRUE(std::isfinite(pole.lon));
}

TEST(FileIo, NonAsciiPathsAndNames) {
    kit::test::TempFolder folder;
    const std::string& dir = folder.path();
    std::string path = kit::joinPath(dir, "站点 表格 ü.txt");
    ASSERT_TRUE(kit::writeFileBytes(path, std::string("a\0b", 3)));
    auto back = kit::readFileBytes(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, std::string("a\0b", 3));
    bool tooLarge = false;
    EXPECT_FALSE(kit::readFileBytesLimited(path, 2, &tooLarge));
    EXPECT_TRUE(tooLarge);
    EXPECT_TRUE(kit::readFileBytesLimited(path, 3, &tooLarge));
    EXPECT_FALSE(kit::readFileBytes(kit::joinPath(dir, "没有.txt")));
    EXPECT_EQ(kit::stemOf("a/b\\站点.tar.GZ"), "站点.tar");
    EXPECT_EQ(kit::extensionOf("a/b\\站点.tar.GZ"), ".GZ");
    EXPECT_EQ(kit::extensionOf("a.d/b"), "");
    EXPECT_EQ(kit::directoryOf("a/b/c.txt"), "a/b");
}

TEST(Text, Utf16PrefixCountsUnitsAndKeepsCharactersWhole) {
    EXPECT_EQ(kit::utf16Prefix("abcdef", 4), "abcd");
    EXPECT_EQ(kit::utf16Prefix("方位角", 2), "方位");            // one unit each
    EXPECT_EQ(kit::utf16Prefix("ab\xF0\x9F\x93\xA1", 3), "ab");  // a surrogate pair is not split
    EXPECT_EQ(kit::utf16Prefix("ab\xF0\x9F\x93\xA1", 4), "ab\xF0\x9F\x93\xA1");
    EXPECT_EQ(kit::utf16Prefix("a\xE6", 5), "a\xE6");  // a truncated sequence stays in bounds
}
