#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "batchkml/color_template.h"

using kit::ColorRange;
using kit::ColorTemplate;

namespace {

std::vector<ColorRange> rangesOf(std::string_view name) {
    for (const auto& t : kit::builtinTemplates())
        if (t.name == name) return t.ranges;
    ADD_FAILURE() << "no built-in " << name;
    return {};
}

void expectContiguous(const std::vector<ColorRange>& r) {
    for (size_t i = 0; i < r.size(); ++i) {
        EXPECT_LT(r[i].min, r[i].max) << "range " << i;
        if (i > 0) {
            EXPECT_EQ(r[i].min, r[i - 1].max) << "range " << i;
        }
    }
}

}  // namespace

TEST(ColorTemplates, BuiltinsInOrderAndContiguous) {
    auto list = kit::builtinTemplates();
    ASSERT_EQ(list.size(), 4u);
    const std::pair<const char*, size_t> expected[] = {{"4G城区", 7}, {"4G农村", 6}, {"5G模板", 6}, {"SINR模板", 6}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(list[i].name, expected[i].first);
        EXPECT_EQ(list[i].ranges.size(), expected[i].second);
        expectContiguous(list[i].ranges);
    }
    EXPECT_EQ(list[0].ranges[2].color, kit::rangeColor(255, 105, 180));
    EXPECT_EQ(kit::rangeColor(255, 0, 0), 0xFFu);  // red in the low byte
}

TEST(ColorTemplates, FindRangeBoundsAndFallbacks) {
    const struct {
        const char* tmpl;
        double value;
        int index;
    } cases[] = {
        {"4G城区", -105, 1},    {"4G城区", -105.5, 0}, {"4G城区", -20, 6},  // the last range keeps its max
        {"4G城区", -19, 0},     {"4G城区", -150, 0},   {"4G城区", -80, 6},
        {"4G城区", -80.0001, 5}, {"SINR模板", -25, 0}, {"SINR模板", 40, 5}, {"SINR模板", 0, 3},
    };
    for (const auto& c : cases) EXPECT_EQ(kit::findRange(rangesOf(c.tmpl), c.value), c.index) << c.tmpl << " " << c.value;
    EXPECT_EQ(kit::findRange({}, -90), -1);
    // Overlapping ranges: the first match wins; a NaN matches nothing.
    std::vector<ColorRange> overlap{{0, 10, 1}, {5, 20, 2}};
    EXPECT_EQ(kit::findRange(overlap, 7), 0);
    EXPECT_EQ(kit::findRange(overlap, std::nan("")), 0);
}

TEST(RangeEditing, AddAndDeleteLimits) {
    std::vector<ColorRange> r;
    ASSERT_TRUE(kit::addRange(r));
    EXPECT_EQ(r[0], (ColorRange{-100, -90, kit::rangeColor(128, 128, 128)}));
    while (r.size() < kit::kMaxRanges) ASSERT_TRUE(kit::addRange(r));
    EXPECT_EQ(r.back().min, -40);
    EXPECT_EQ(r.back().max, -30);
    EXPECT_FALSE(kit::addRange(r));
    EXPECT_EQ(r.size(), 7u);
    expectContiguous(r);

    EXPECT_FALSE(kit::deleteRange(r, 7));
    while (r.size() > 1) ASSERT_TRUE(kit::deleteRange(r, 0));
    EXPECT_FALSE(kit::deleteRange(r, 0));  // the last one stays
    EXPECT_EQ(r.size(), 1u);
}

TEST(RangeEditing, MinAndMaxEditsKeepNeighboursJoined) {
    const struct {
        bool editMax;
        size_t k;
        double value;
        std::vector<ColorRange> after;
        std::vector<size_t> refreshed;
    } cases[] = {
        // max below min becomes min + 1, and the next range's min follows.
        {true, 1, -120, {{-145, -105, 0}, {-105, -104, 1}, {-104, -80, 2}}, {1, 2}},
        {true, 2, -50, {{-145, -105, 0}, {-105, -100, 1}, {-100, -50, 2}}, {2}},
        // min of the first range is free; at or above its max it becomes max - 1.
        {false, 0, -200, {{-200, -105, 0}, {-105, -100, 1}, {-100, -80, 2}}, {0}},
        {false, 0, -90, {{-106, -105, 0}, {-105, -100, 1}, {-100, -80, 2}}, {0}},
        // a later min cannot drop below the previous max; raising it drags that max along.
        {false, 2, -130, {{-145, -105, 0}, {-105, -100, 1}, {-100, -80, 2}}, {1, 2}},
        {false, 2, -90, {{-145, -105, 0}, {-105, -90, 1}, {-90, -80, 2}}, {1, 2}},
        {false, 1, 0, {{-145, -101, 0}, {-101, -100, 1}, {-100, -80, 2}}, {0, 1}},
    };
    for (const auto& c : cases) {
        std::vector<ColorRange> r{{-145, -105, 0}, {-105, -100, 1}, {-100, -80, 2}};
        auto refreshed = c.editMax ? kit::setRangeMax(r, c.k, c.value) : kit::setRangeMin(r, c.k, c.value);
        EXPECT_EQ(r, c.after) << (c.editMax ? "max " : "min ") << c.k << " " << c.value;
        EXPECT_EQ(refreshed, c.refreshed);
    }
}

TEST(RangeEditing, AnySequenceOfEditsStaysContiguous) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> value(-160, 0);
    std::vector<ColorRange> r = rangesOf("4G城区");
    for (int step = 0; step < 2000; ++step) {
        size_t k = rng() % r.size();
        switch (rng() % 4) {
            case 0: kit::setRangeMax(r, k, std::round(value(rng))); break;
            case 1: kit::setRangeMin(r, k, std::round(value(rng))); break;
            case 2: kit::addRange(r); break;
            default: kit::deleteRange(r, r.size() - 1);  // a middle one leaves a gap by design
        }
        ASSERT_GE(r.size(), 1u);
        ASSERT_LE(r.size(), kit::kMaxRanges);
        for (size_t i = 1; i < r.size(); ++i) ASSERT_EQ(r[i].min, r[i - 1].max) << "step " << step;
    }
}

TEST(RangeEditing, EditTextReadsAsTheTabDoes) {
    const std::pair<const char*, double> cases[] = {{"-95", -95}, {" -95.5dBm", -95.5}, {"abc", 0}, {"", 0},
                                                    {"nan", 0},   {"inf", 0},           {"1e2", 100}};
    for (const auto& [text, v] : cases) EXPECT_EQ(kit::rangeEditValue(text), v) << text;
    // Only the first 31 characters reach the value.
    EXPECT_EQ(kit::rangeEditValue(std::string(30, ' ') + "12"), 1);
    EXPECT_EQ(kit::rangeValueText(-105.4), "-105");
}

TEST(TemplateList, StoreReplacesOrAppendsAndRemoveKeepsOne) {
    auto list = kit::builtinTemplates();
    std::vector<ColorRange> mine{{0, 1, 5}};
    EXPECT_EQ(kit::storeTemplate(list, "5G模板", mine), 2);
    EXPECT_EQ(list.size(), 4u);
    EXPECT_EQ(list[2].ranges, mine);
    EXPECT_EQ(kit::storeTemplate(list, "5g模板", mine), 4);  // names compare case-sensitively
    EXPECT_EQ(kit::storeTemplate(list, "", mine), -1);
    EXPECT_EQ(list.size(), 5u);

    EXPECT_EQ(kit::templateIndexForLastUsed(list, "SINR模板"), 3);
    EXPECT_EQ(kit::templateIndexForLastUsed(list, "gone"), 0);
    EXPECT_EQ(kit::templateIndexForLastUsed({}, "gone"), -1);

    while (list.size() > 1) ASSERT_TRUE(kit::removeTemplate(list, list.size() - 1));
    EXPECT_FALSE(kit::removeTemplate(list, 0));
}
