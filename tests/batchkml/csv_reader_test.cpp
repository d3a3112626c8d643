#include <gtest/gtest.h>

#include "core/ansi_text.h"
#include "batchkml/column_roles.h"
#include "batchkml/csv_reader.h"
#include "core/file_io.h"
#include "core/text.h"
#include "tests/layers/layer_test_util.h"

namespace kit {
namespace {

// Bytes in the ANSI code page read as that code page: GB18030 off Windows,
// and on Windows only a Chinese system reads 经度 from these bytes.
const std::string kGbkLongitude = "\xBE\xAD\xB6\xC8";
bool ansiIsChinese() {
#ifdef _WIN32
    return ansiToUtf8(kGbkLongitude) == "经度";
#else
    return true;
#endif
}

using Fields = std::vector<std::string>;

TEST(CsvReader, SplitsFieldsWithQuotes) {
    struct Case {
        std::string line;
        Fields fields;
    } cases[] = {
        {R"(a,"b,c","d""e")", {"a", "b,c", "d\"e"}},
        {"a,b,", {"a", "b", ""}},
        {",,", {"", "", ""}},
        {"", {""}},
        {" a , b ", {" a ", " b "}},         // no trimming
        {R"(x"y,z"w,v)", {"xy,zw", "v"}},    // a quote switches quoting on mid-field
        {R"("open,to end)", {"open,to end"}},
        {"a,b\rc,d", {"a", "b"}},           // CR outside quotes ends the line
        {"\"a\rb\",c", {"a\rb", "c"}},      // ...but not inside quotes
        {R"("""")", {"\""}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitCsvLine(c.line), c.fields) << c.line;
}

TEST(CsvReader, SkipsBlankLinesAndKeepsShortRows) {
    DataTable t;
    ASSERT_TRUE(readCsvBytes("\r\n\na,b,c\r\n1,2,3\n\n\r\n4\r\n5,6,7,8\n", t));
    EXPECT_EQ(t.headers, (Fields{"a", "b", "c"}));
    EXPECT_EQ(t.rows, (std::vector<Fields>{{"1", "2", "3"}, {"4"}, {"5", "6", "7", "8"}}));

    DataTable lf, crlf;
    ASSERT_TRUE(readCsvBytes("x,y\n1,2\n", lf));
    ASSERT_TRUE(readCsvBytes("x,y\r\n1,2\r\n", crlf));
    EXPECT_EQ(lf.headers, crlf.headers);
    EXPECT_EQ(lf.rows, crlf.rows);
}

TEST(CsvReader, DecodesEveryEncodingToTheSameText) {
    const std::string utf8 = "经度,名\n116.1,\xF0\x9F\x93\xA1\n";  // includes a character outside the BMP
    const std::u16string u16 = utf8ToUtf16(utf8);
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (char16_t u : u16) {
        le += static_cast<char>(u & 0xFF), le += static_cast<char>(u >> 8);
        be += static_cast<char>(u >> 8), be += static_cast<char>(u & 0xFF);
    }
    // 经度 in GB18030/GBK: the bytes a Chinese Windows system writes without a mark.
    const std::string gbk = kGbkLongitude + ",x\n";
    struct Case {
        const char* what;
        std::string bytes;
        std::string text;
    } cases[] = {
        {"UTF-8 with mark", "\xEF\xBB\xBF" + utf8, utf8},
        {"UTF-8 without mark", utf8, utf8},
        {"UTF-16 LE", le, utf8},
        {"UTF-16 BE", be, utf8},
        {"ANSI", gbk, ansiIsChinese() ? "经度,x\n" : ansiToUtf8(gbk)},
        {"ASCII", "a,b\n", "a,b\n"},
        {"a lone mark", "\xEF\xBB\xBF", ""},
        {"UTF-8 mark before stray bytes", "\xEF\xBB\xBF" "a\xB6\xC8", "a\uFFFD\uFFFD"},
    };
    for (const auto& c : cases) EXPECT_EQ(decodeCsvBytes(c.bytes), c.text) << c.what;
}

TEST(CsvReader, TellsValidUtf8FromOtherBytes) {
    struct Case {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"plain", true},          {"经度", true},      {"\xF4\x8F\xBF\xBF", true},
        {"\xC0\xAF", false},      // overlong
        {"\xED\xA0\x80", false},  // surrogate
        {"\xF4\x90\x80\x80", false},  // above U+10FFFF
        {"\xE7\xBB", false},      // cut short
        {"\xBE\xAD\xB6\xC8", false},  // GBK
        {"\x80", false},
    };
    for (const auto& c : cases) EXPECT_EQ(isValidUtf8(c.bytes), c.valid);
}

// The same sites table written by Python's codecs in four encodings.
TEST(CsvReader, SitesFixtureReadsAlikeInFourEncodings) {
    DataTable reference;
    const std::string dir = std::string(KIT_FIXTURES) + "/";
    ASSERT_TRUE(readCsv(dir + "sites_utf8bom.csv", reference));
    ASSERT_EQ(reference.headers.size(), 7u);
    EXPECT_EQ(reference.headers[0], "站名");
    EXPECT_EQ(reference.rows.size(), 120u);
    EXPECT_EQ(findColumn(reference.headers, longitudeCandidates()), 1);
    EXPECT_EQ(findColumn(reference.headers, latitudeCandidates()), 2);
    std::vector<const char*> others{"sites_utf16le.csv", "sites_utf16be.csv"};
    if (ansiIsChinese()) others.push_back("sites_gbk.csv");
    for (const char* name : others) {
        DataTable t;
        ASSERT_TRUE(readCsv(dir + name, t)) << name;
        EXPECT_EQ(t.headers, reference.headers) << name;
        EXPECT_EQ(t.rows, reference.rows) << name;
        EXPECT_EQ(t.sourcePath, dir + name);
    }
    // Without its mark the UTF-8 file still reads as UTF-8.
    auto bytes = readFileBytes(dir + "sites_utf8bom.csv");
    ASSERT_TRUE(bytes);
    DataTable bare;
    ASSERT_TRUE(readCsvBytes(bytes->substr(3), bare));
    EXPECT_EQ(bare.headers, reference.headers);
    EXPECT_EQ(bare.rows, reference.rows);
}

TEST(CsvReader, UnreadableOrEmptyFilesLeaveTheTable) {
    test::ScratchDir dir;
    DataTable t{{"kept"}, {{"1"}}, "before"};
    EXPECT_FALSE(readCsv(dir.file("missing.csv"), t));
    ASSERT_TRUE(writeFileBytes(dir.file("empty.csv"), ""));
    EXPECT_FALSE(readCsv(dir.file("empty.csv"), t));
    EXPECT_EQ(t.headers, Fields{"kept"});
    EXPECT_EQ(t.sourcePath, "before");

    // A file of blank lines is read: the table is emptied, but nothing was found.
    ASSERT_TRUE(writeFileBytes(dir.file("blank.csv"), "\r\n\n\r\n"));
    EXPECT_FALSE(readCsv(dir.file("blank.csv"), t));
    EXPECT_TRUE(t.headers.empty());
    EXPECT_TRUE(t.rows.empty());
    EXPECT_EQ(t.sourcePath, dir.file("blank.csv"));
}

}  // namespace
}  // namespace kit
