#include <gtest/gtest.h>

#include "batchkml/column_roles.h"
#include "batchkml/table_reader.h"

namespace kit {
namespace {

TEST(ColumnRoles, CandidateOrderDecidesBeforeColumnOrder) {
    using H = std::vector<std::string>;
    struct Case {
        H headers;
        const std::vector<std::string_view>& (*role)();
        int column;
    } cases[] = {
        {{"Longitude", "lon_x"}, longitudeCandidates, 0},
        {{"level", "RSRP"}, signalCandidates, 1},
        {{"platform", "纬度"}, latitudeCandidates, 1},
        {{"platform", "y"}, latitudeCandidates, 0},  // a short candidate matches inside a name
        {{"时间", "经度(°)", "纬度"}, longitudeCandidates, 1},
        {{"Name", "ID"}, pointIdCandidates, 1},
        {{"x", "y"}, signalCandidates, -1},
        {{}, longitudeCandidates, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(findColumn(c.headers, c.role()), c.column) << c.headers.size();
}

TEST(ColumnRoles, EditableComboGivesColumnValueOrNothing) {
    struct Case {
        int selected;
        std::string text;
        int kind;
        double value;
    } cases[] = {
        {2, "ignored", 2, 0},
        {-1, "", kNothingGiven, 0},
        {-1, "65", kFixedValue, 65},
        {-1, " -1.5e1m", kFixedValue, -15},
        {-1, "半径", kNothingGiven, 0},
        {-1, std::string(256, ' ') + "5", kNothingGiven, 0},  // past the 256 characters read
    };
    for (const auto& c : cases) {
        ColumnOrValue r = readColumnOrValue(c.selected, c.text);
        EXPECT_EQ(r.kind, c.kind) << c.text;
        EXPECT_EQ(r.value, c.value) << c.text;
    }
}

TEST(ColumnRoles, ReaderIsChosenByTheLastFiveCharacters) {
    struct Case {
        std::string path;
        TableFormat format;
    } cases[] = {{"a.xlsx", TableFormat::Xlsx}, {"数据.XLSX", TableFormat::Xlsx}, {".xlsx", TableFormat::Xlsx},
                 {"xlsx", TableFormat::Csv},    {"a.xls", TableFormat::Csv},     {"a.xlsx.csv", TableFormat::Csv},
                 {"a.txt", TableFormat::Csv}};
    for (const auto& c : cases) EXPECT_EQ(chooseReader(c.path), c.format) << c.path;
    EXPECT_EQ(readFailureMessage(TableFormat::Csv), "无法读取CSV文件");
    EXPECT_EQ(readFailureMessage(TableFormat::Xlsx), "无法读取Excel文件");
}

}  // namespace
}  // namespace kit
