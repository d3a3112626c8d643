// Text in a code page to UTF-8, through the system's converter.
#include <gtest/gtest.h>

#include "core/ansi_text.h"

namespace {

TEST(CodePageText, ConvertsEachPageItsOwnWay) {
    struct Case {
        unsigned codePage;
        const char* bytes;
        const char* utf8;
    } cases[] = {
        {936, "\xBA\xA3\xB5\xED\xC7\xF8", "海淀区"},                   // GBK
        {54936, "\xBA\xA3\xB5\xED", "海淀"},                          // GB18030
        {950, "\xA5\x78\xA5\x5F", "台北"},                            // Big5
        {1252, "caf\xE9 \x80", "café €"},                             // Windows Western
        {28595, "\xBC\xDE\xE1\xDA\xD2\xD0", "Москва"},                // ISO 8859-5
        {437, "\x82t\x82", "été"},                                    // the DOS page
        {kit::kUtf8CodePage, "\xE6\xB5\xB7 \xFF", "海 \xEF\xBF\xBD"},  // made well-formed
        {936, "plain ASCII", "plain ASCII"},
        {936, "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(kit::CodePageText(c.codePage).toUtf8(c.bytes), c.utf8) << c.codePage;
}

TEST(CodePageText, OneConverterServesManyTextsAndBadBytes) {
    const kit::CodePageText gbk(936);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(gbk.toUtf8("\xC3\xFB\xB3\xC6"), "名称");
    // A lead byte without its trail byte is replaced, and the next text is
    // read afresh.
    const std::string cut = gbk.toUtf8("a\xC3");
    EXPECT_EQ(cut.substr(0, 1), "a");
    EXPECT_TRUE(kit::isValidUtf8(cut));
    EXPECT_EQ(gbk.toUtf8("\xC3\xFB"), "名");
}

TEST(CodePageText, AsciiCheck) {
    EXPECT_TRUE(kit::isAscii("abc 123"));
    EXPECT_TRUE(kit::isAscii(""));
    EXPECT_FALSE(kit::isAscii("a\x80"));
}

}  // namespace
