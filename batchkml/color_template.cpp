#include "batchkml/color_template.h"

#include <algorithm>
#include <cmath>

#include "core/format.h"
#include "core/number_parse.h"
#include "core/text.h"

namespace kit {

namespace {

struct Row {
    double min, max;
    int r, g, b;
};

ColorTemplate makeTemplate(std::string name, std::initializer_list<Row> rows) {
    ColorTemplate t{std::move(name), {}};
    for (const Row& row : rows) t.ranges.push_back({row.min, row.max, rangeColor(row.r, row.g, row.b)});
    return t;
}

}  // namespace

std::vector<ColorTemplate> builtinTemplates() {
    return {
        makeTemplate("4G城区", {{-145, -105, 0, 0, 0},
                                {-105, -100, 255, 0, 0},
                                {-100, -98, 255, 105, 180},
                                {-98, -96, 255, 255, 0},
                                {-96, -90, 0, 0, 255},
                                {-90, -80, 0, 255, 0},
                                {-80, -20, 0, 100, 0}}),
        makeTemplate("4G农村", {{-145, -110, 0, 0, 0},
                                {-110, -105, 255, 0, 0},
                                {-105, -100, 255, 255, 0},
                                {-100, -95, 0, 0, 255},
                                {-95, -80, 0, 255, 0},
                                {-80, -20, 0, 100, 0}}),
        makeTemplate("5G模板", {{-145, -105, 0, 0, 0},
                                {-105, -98, 255, 0, 0},
                                {-98, -96, 255, 255, 0},
                                {-96, -93, 0, 0, 255},
                                {-93, -80, 0, 255, 0},
                                {-80, -20, 0, 100, 0}}),
        makeTemplate("SINR模板", {{-145, -20, 0, 0, 0},
                                  {-20, -3, 255, 0, 0},
                                  {-3, 0, 255, 255, 0},
                                  {0, 10, 0, 0, 255},
                                  {10, 20, 0, 255, 0},
                                  {20, 40, 0, 100, 0}}),
    };
}

int findRange(const std::vector<ColorRange>& ranges, double value) {
    if (ranges.empty()) return -1;
    const size_t last = ranges.size() - 1;
    for (size_t i = 0; i < ranges.size(); ++i) {
        const ColorRange& r = ranges[i];
        if (value >= r.min && (value < r.max || (i == last && value <= r.max))) return static_cast<int>(i);
    }
    return 0;
}

int findTemplate(const std::vector<ColorTemplate>& list, std::string_view name) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].name == name) return static_cast<int>(i);
    return -1;
}

int templateIndexForLastUsed(const std::vector<ColorTemplate>& list, std::string_view lastUsed) {
    if (list.empty()) return -1;
    return std::max(findTemplate(list, lastUsed), 0);
}

bool addRange(std::vector<ColorRange>& ranges) {
    if (ranges.size() >= kMaxRanges) return false;
    const RangeColor grey = rangeColor(128, 128, 128);
    if (ranges.empty())
        ranges.push_back({-100, -90, grey});
    else
        ranges.push_back({ranges.back().max, ranges.back().max + 10, grey});
    return true;
}

bool deleteRange(std::vector<ColorRange>& ranges, size_t k) {
    if (ranges.size() <= 1 || k >= ranges.size()) return false;
    ranges.erase(ranges.begin() + static_cast<std::ptrdiff_t>(k));
    return true;
}

double rangeEditValue(std::string_view text) {
    double v = toNumberOr(utf16Prefix(text, 31), 0);
    return std::isfinite(v) ? v : 0;  // the file format has no room for inf or nan
}

std::vector<size_t> setRangeMax(std::vector<ColorRange>& ranges, size_t k, double value) {
    if (k >= ranges.size()) return {};
    if (value <= ranges[k].min) value = ranges[k].min + 1;
    ranges[k].max = value;
    if (k + 1 < ranges.size()) {
        ranges[k + 1].min = value;
        return {k, k + 1};
    }
    return {k};
}

std::vector<size_t> setRangeMin(std::vector<ColorRange>& ranges, size_t k, double value) {
    if (k >= ranges.size()) return {};
    if (value >= ranges[k].max) value = ranges[k].max - 1;
    if (k == 0) {
        ranges[0].min = value;
        return {0};
    }
    // A min cannot move below the previous range's max; the previous max
    // follows upward moves so the ranges stay contiguous.
    value = std::max(value, ranges[k - 1].max);
    ranges[k].min = value;
    ranges[k - 1].max = value;
    return {k - 1, k};
}

int storeTemplate(std::vector<ColorTemplate>& list, std::string_view name, const std::vector<ColorRange>& ranges) {
    if (name.empty()) return -1;
    int i = findTemplate(list, name);
    if (i >= 0) {
        list[static_cast<size_t>(i)].ranges = ranges;
        return i;
    }
    list.push_back({std::string(name), ranges});
    return static_cast<int>(list.size() - 1);
}

bool removeTemplate(std::vector<ColorTemplate>& list, size_t k) {
    if (list.size() < 2 || k >= list.size()) return false;
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(k));
    return true;
}

std::string rangeValueText(double value) { return formatFixed(value, 0); }

}  // namespace kit
