#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "calculators/band_tables.h"
#include "calculators/help_texts.h"
#include "core/format.h"

using namespace kit;

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t pos; (pos = text.find("\r\n", start)) != std::string::npos; start = pos + 2)
        lines.push_back(text.substr(start, pos - start));
    lines.push_back(text.substr(start));
    return lines;
}

// The line that starts with the prefix, or "".
std::string lineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& l : lines)
        if (l.rfind(prefix, 0) == 0) return l;
    return "";
}

}  // namespace

TEST(HelpTexts, EveryTabHasItsTitleAndCrLfLines) {
    const std::vector<std::pair<HelpText, std::string>> all = {
        {arfcnHelp(), "频点频率互换"}, {downtiltHelp(), "站高倾角距离"}, {roofEdgeHelp(), "楼面效应下倾角"},
        {powerHelp(), "功率单位互换"}, {baseHelp(), "进制转换"},       {rateHelp(), "速率单位互转"}};
    for (const auto& [help, title] : all) {
        EXPECT_EQ(help.title, title);
        // Every LF belongs to a CR LF pair, and no line is doubled up.
        for (size_t i = 0; i < help.text.size(); ++i) {
            if (help.text[i] == '\n') {
                EXPECT_TRUE(i > 0 && help.text[i - 1] == '\r') << title;
            }
        }
        EXPECT_EQ(help.text.find("\r\n\r\n\r\n"), std::string::npos) << title;
        EXPECT_NE(help.text.substr(help.text.size() - 2), "\r\n") << title;
    }
}

TEST(HelpTexts, BandRowsAgreeWithTheBandTables) {
    auto lines = linesOf(arfcnHelp().text);
    for (const LteBand& b : lteBands()) {
        std::string row = lineStarting(lines, format(" B%d ", b.band));
        ASSERT_FALSE(row.empty()) << b.band;
        EXPECT_NE(row.find(format("%.0f-%.0f", b.dlLowMhz, b.dlHighMhz)), std::string::npos) << row;
        if (b.fdd)
            EXPECT_NE(row.find(format("%.0f-%.0f", b.ulLowMhz, b.ulHighMhz)), std::string::npos) << row;
        else
            EXPECT_NE(row.find("(同)"), std::string::npos) << row;
        EXPECT_NE(row.find(b.fdd ? "FDD" : "TDD"), std::string::npos) << row;
    }
    for (const NrBand& b : nrBands()) {
        std::string row = lineStarting(lines, format(" n%d ", b.band));
        ASSERT_FALSE(row.empty()) << b.band;
        EXPECT_NE(row.find(format("%.0f-%.0f", b.lowMhz, b.highMhz)), std::string::npos) << row;
        EXPECT_NE(row.find(b.fdd ? "FDD" : "TDD"), std::string::npos) << row;
    }
}

TEST(HelpTexts, RulesHaveTheirLengths) {
    auto ruleOf = [](int n) {
        std::string r;
        for (int i = 0; i < n; ++i) r += "─";
        return r;
    };
    auto has = [](const std::string& text, const std::string& line) {
        return ("\r\n" + text + "\r\n").find("\r\n" + line + "\r\n") != std::string::npos;
    };
    EXPECT_TRUE(has(arfcnHelp().text, ruleOf(41)));
    EXPECT_TRUE(has(arfcnHelp().text, ruleOf(35)));
    EXPECT_TRUE(has(powerHelp().text, ruleOf(38)));
    EXPECT_TRUE(has(baseHelp().text, ruleOf(30)));
    EXPECT_TRUE(has(rateHelp().text, ruleOf(32)));
}
