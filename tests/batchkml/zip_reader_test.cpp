#include <gtest/gtest.h>

#include <chrono>
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
#include <sys/resource.h>
#endif

#include "batchkml/xlsx_unpack.h"
#include "core/zip_reader.h"
#include "tests/batchkml/zip_builder.h"
#include "tests/layers/layer_test_util.h"

namespace kit {
namespace {

using test::buildZip;
using test::ZipMember;

const std::string kText = "<sheetData>" + std::string(3000, 'x') + "</sheetData>";

TEST(ZipReader, ExtractsStoredAndDeflatedMembers) {
    for (bool zip64 : {false, true}) {  // classic and ZIP64 directories
        const std::string zip =
            buildZip({{"a.xml", kText, true}, {"dir/b.txt", "plain", false}, {"empty", "", true}}, zip64);
        ZipArchive archive(zip);
        ASSERT_TRUE(archive.ok()) << zip64;
        ASSERT_EQ(archive.entries().size(), 3u);
        struct Case {
            std::string name;
            ZipStatus status;
            std::string data;
        } cases[] = {
            {"a.xml", ZipStatus::Ok, kText},
            {"dir/b.txt", ZipStatus::Ok, "plain"},
            {"empty", ZipStatus::Ok, ""},
            {"A.XML", ZipStatus::Missing, ""},
            {"b.txt", ZipStatus::Missing, ""},
        };
        for (const auto& c : cases) {
            std::string out = "stale";
            EXPECT_EQ(archive.extract(c.name, kXlsxPartLimit, out), c.status) << c.name << zip64;
            EXPECT_EQ(out, c.data) << c.name;
        }
    }
}

TEST(ZipReader, RefusesMembersThatLieOrExceedTheLimit) {
    struct Case {
        const char* what;
        ZipMember member;
        uint64_t limit;
        ZipStatus status;
    } cases[] = {
        {"declares less than it holds", {"m", kText, true, 100}, kXlsxPartLimit, ZipStatus::Corrupt},
        {"declares more than it holds", {"m", kText, true, 5000}, kXlsxPartLimit, ZipStatus::Corrupt},
        {"stored, declares less", {"m", kText, false, 100}, kXlsxPartLimit, ZipStatus::Corrupt},
        {"at the limit", {"m", kText, true}, kText.size(), ZipStatus::TooLarge},
        {"just below the limit", {"m", kText, true}, kText.size() + 1, ZipStatus::Ok},
    };
    for (const auto& c : cases) {
        const std::string zip = buildZip({c.member});
        ZipArchive archive(zip);
        ASSERT_TRUE(archive.ok()) << c.what;
        std::string out;
        EXPECT_EQ(archive.extract("m", c.limit, out), c.status) << c.what;
        if (c.status != ZipStatus::Ok) {
            EXPECT_TRUE(out.empty()) << c.what;
        }
    }
}

// Every truncation and every single-byte change either fails or, when the
// damage misses what matters, still yields the original bytes: never other
// data.
TEST(ZipReader, DamagedArchivesNeverGiveWrongData) {
    auto check = [](std::string_view bytes, const char* what, size_t at) {
        ZipArchive archive(bytes);
        if (!archive.ok()) return;
        std::string out;
        if (archive.extract("xl/a.xml", kXlsxPartLimit, out) == ZipStatus::Ok) {
            EXPECT_EQ(out, kText) << what << at;
        }
        if (archive.extract("xl/b.xml", kXlsxPartLimit, out) == ZipStatus::Ok) {
            EXPECT_EQ(out, "stored text") << what << at;
        }
    };
    for (bool zip64 : {false, true}) {
        const std::string zip = buildZip({{"xl/a.xml", kText, true}, {"xl/b.xml", "stored text", false}}, zip64);
        for (size_t n = 0; n < zip.size(); ++n) check(std::string_view(zip).substr(0, n), "cut at ", n);
        for (size_t i = 0; i < zip.size(); ++i) {
            for (unsigned char flip : {0x01, 0x80, 0xFF}) {
                std::string damaged = zip;
                damaged[i] = static_cast<char>(damaged[i] ^ flip);
                check(damaged, "flipped at ", i);
            }
        }
    }
    EXPECT_FALSE(ZipArchive("").ok());
    EXPECT_FALSE(ZipArchive("PK\x05\x06").ok());
}

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}
#endif

// A workbook whose sheet inflates to 300 MB from a few hundred KB, once with
// its true size declared and once claiming to be small.
TEST(ZipReader, RefusesAZipBombQuicklyInLittleMemory) {
    constexpr uint32_t kInflated = 300u << 20;
    z_stream zs{};
    deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_RLE);
    const std::string zeros(1 << 20, '\0');
    std::string packed;
    char buffer[1 << 16];
    uLong crc = crc32(0, Z_NULL, 0);
    for (uint32_t done = 0; done < kInflated; done += zeros.size()) {
        crc = crc32(crc, reinterpret_cast<const Bytef*>(zeros.data()), static_cast<uInt>(zeros.size()));
        zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
        zs.avail_in = static_cast<uInt>(zeros.size());
        int flush = done + zeros.size() >= kInflated ? Z_FINISH : Z_NO_FLUSH;
        do {
            zs.next_out = reinterpret_cast<Bytef*>(buffer);
            zs.avail_out = sizeof buffer;
            deflate(&zs, flush);
            packed.append(buffer, sizeof buffer - zs.avail_out);
        } while (zs.avail_out == 0);
    }
    deflateEnd(&zs);
    ASSERT_LT(packed.size(), 1u << 20);

    test::ScratchDir dir;
    const auto started = std::chrono::steady_clock::now();
    for (uint32_t declared : {kInflated, 1000u}) {
        const std::string zip = test::buildZipRaw(
            {{"xl/worksheets/sheet1.xml", packed, 8, static_cast<uint32_t>(crc), declared}});
        const std::string path = dir.file("bomb.xlsx");
        ASSERT_TRUE(writeFileBytes(path, zip));
        XlsxParts parts;
        EXPECT_FALSE(unpackXlsxBuiltIn(path, parts)) << declared;
        EXPECT_TRUE(parts.sheet.empty());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(peakMegabytes(), 400);
#endif
}

}  // namespace
}  // namespace kit
