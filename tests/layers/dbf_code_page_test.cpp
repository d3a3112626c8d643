// The code page of a dBASE table, and its names and values read in it.
#include <gtest/gtest.h>

#include "core/ansi_text.h"
#include "layers/dbf_code_page.h"
#include "layers/shapefile.h"

namespace {

using kit::kAnsiCodePage;
using kit::kUtf8CodePage;

TEST(DbfCodePage, CpgSpellings) {
    struct Case {
        const char* cpg;
        std::optional<unsigned> page;
    } cases[] = {
        {"UTF-8", kUtf8CodePage}, {"utf8\r\n", kUtf8CodePage}, {"65001", kUtf8CodePage},
        {"936", 936u},            {"CP936", 936u},             {"cp-936", 936u},
        {"GBK", 936u},            {"gb2312", 936u},            {"GB18030", 54936u},
        {"950", 950u},            {"BIG5", 950u},              {"Big5-HKSCS", 950u},
        {"1252", 1252u},          {"ANSI 1252", 1252u},        {"windows-1252", 1252u},
        {"8859_1", 28591u},       {"88591", 28591u},           {"ISO-8859-5", 28595u},
        {"ISO 8859-15", 28605u},  {"8859_12", std::nullopt},   {"LDID/77", 936u},
        {"LDID/120", 950u},       {"System", kAnsiCodePage},   {"OEM", 437u},
        {"", std::nullopt},       {"klingon", std::nullopt},   {"CP", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(kit::codePageFromCpg(c.cpg), c.page) << c.cpg;
}

TEST(DbfCodePage, LanguageBytes) {
    struct Case {
        uint8_t id;
        std::optional<unsigned> page;
    } cases[] = {
        {0x4D, 936u},   {0x7A, 936u},           {0x78, 950u},           {0x4F, 950u},
        {0x01, 437u},   {0x02, 850u},           {0x57, kAnsiCodePage},  {0x03, kAnsiCodePage},
        {0x58, 1252u},  {0xC9, 1251u},          {0x7B, 932u},           {0x79, 949u},
        {0x00, std::nullopt}, {0xFF, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(kit::codePageFromLanguageByte(c.id), c.page) << int(c.id);
}

// A table of one text field "名称" (in the given bytes) and one number field,
// as the writer lays it out, with the language byte set.
std::string table(std::string_view name, std::string_view value, uint8_t language) {
    kit::ShapeLayer l;
    l.addField(name, 'C', 12, 0);
    l.addField("N", 'N', 9, 0);
    l.addPoint(116, 40, {std::string(value), "      -12"});
    std::string dbf = l.encode().dbf;
    dbf[29] = static_cast<char>(language);
    return dbf;
}

const std::string kGbkName = "\xC3\xFB\xB3\xC6", kGbkValue = "\xBA\xA3\xB5\xED\xC7\xF8";

TEST(DbfCodePage, ChoiceOrder) {
    const std::string gbk = table(kGbkName, kGbkValue, 0), utf8 = table("名称", "海淀区", 0);
    struct Case {
        std::string dbf;
        const char* cpg;
        unsigned page;
    } cases[] = {
        {gbk, "CP936", 936},                              // the .cpg first
        {utf8, "1252", 1252},                             // even against the text
        {table(kGbkName, kGbkValue, 0x4D), "", 936},      // else the language byte
        {table(kGbkName, kGbkValue, 0x4D), "??", 936},    // an unknown .cpg counts as none
        {utf8, "", kUtf8CodePage},                        // else UTF-8 when it is
        {table("名称", "海淀区", 0x57), "", kUtf8CodePage},  // "Windows ANSI" is no evidence against it
        {gbk, "", kAnsiCodePage},                         // else the ANSI code page
        {table(kGbkName, kGbkValue, 0x03), "", kAnsiCodePage},
        {"", "", kAnsiCodePage},  // no table, no text to tell by
    };
    for (const Case& c : cases) EXPECT_EQ(kit::dbfCodePage(c.dbf, c.cpg), c.page) << c.cpg;
}

std::string point() {
    kit::ShapeLayer l;
    l.addPoint(116, 40, {});
    return l.encode().shp;
}

TEST(DbfCodePage, NamesAndValuesComeBackInUtf8) {
    std::vector<std::pair<uint8_t, const char*>> ways{{0, "CP936"}, {0x4D, ""}, {0x7A, ""}};
#ifndef _WIN32
    ways.push_back({0, ""});  // the ANSI code page, GB18030 off Windows
#endif
    for (auto [language, cpg] : ways) {
        auto decoded = kit::decodeShapefile(point(), table(kGbkName, kGbkValue, language), cpg);
        ASSERT_TRUE(decoded);
        ASSERT_EQ(decoded->fields.size(), 2u);
        EXPECT_EQ(decoded->fields[0].name, "名称");
        ASSERT_EQ(decoded->records.size(), 1u);
        EXPECT_EQ(decoded->records[0].values, (std::vector<std::string>{"海淀区", "-12"}));  // numbers unpadded
    }
    // Big5 by its language byte.
    auto big5 = kit::decodeShapefile(point(), table("\xA6\x57\xBA\xD9", "\xA5\x78\xA5\x5F", 0x78));
    ASSERT_TRUE(big5);
    EXPECT_EQ(big5->fields[0].name, "名稱");
    EXPECT_EQ(big5->records[0].values[0], "台北");
}

}  // namespace
