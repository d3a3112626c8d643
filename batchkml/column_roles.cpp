#include "batchkml/column_roles.h"

#include <algorithm>

#include "core/columns.h"
#include "core/number_parse.h"
#include "core/text.h"

namespace kit {

const std::vector<std::string_view>& longitudeCandidates() {
    static const std::vector<std::string_view> c{"经度", "lng", "lon", "long", "longitude"};
    return c;
}
const std::vector<std::string_view>& latitudeCandidates() {
    static const std::vector<std::string_view> c{"纬度", "lat", "latitude"};
    return c;
}
const std::vector<std::string_view>& signalCandidates() {
    static const std::vector<std::string_view> c{"rssi", "rsrp", "rscp", "signal", "rxlev",
                                                 "dbm",  "电平", "信号", "level"};
    return c;
}
const std::vector<std::string_view>& siteNameCandidates() {
    static const std::vector<std::string_view> c{"站名", "站点", "site", "name", "基站", "cgi", "cell"};
    return c;
}
const std::vector<std::string_view>& azimuthCandidates() {
    static const std::vector<std::string_view> c{"方位角", "azimuth", "azi", "方向角", "az"};
    return c;
}
const std::vector<std::string_view>& beamWidthCandidates() {
    static const std::vector<std::string_view> c{"波宽", "beamwidth", "beam", "波瓣", "水平波", "hbw"};
    return c;
}
const std::vector<std::string_view>& radiusCandidates() {
    static const std::vector<std::string_view> c{"半径", "radius", "dist", "distance", "range"};
    return c;
}
const std::vector<std::string_view>& pointIdCandidates() {
    static const std::vector<std::string_view> c{"id", "名称", "名字", "站", "cgi", "cell", "name", "标识"};
    return c;
}

namespace {

bool containsIgnoringAsciiCase(std::string_view text, std::string_view part) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

}  // namespace

int findColumn(const std::vector<std::string>& headers, const std::vector<std::string_view>& candidates) {
    return findColumnByName(headers, candidates);
}

int findColumn(const CellList& headers, const std::vector<std::string_view>& candidates) {
    // The same rule as for a list of strings, without a lowered copy of each
    // header: a header row may hold millions of (mostly empty) names.
    for (std::string_view c : candidates) {
        for (size_t i = 0; i < headers.size(); ++i)
            if (containsIgnoringAsciiCase(headers[i], c)) return static_cast<int>(i);
    }
    return kNoColumn;
}

ColumnOrValue readColumnOrValue(int selectedIndex, std::string_view editText) {
    if (selectedIndex >= 0) return {selectedIndex, 0};
    std::string_view text = utf16Prefix(editText, 256);
    if (text.empty()) return {};
    if (auto number = parseLeadingDouble(text)) return {kFixedValue, *number};
    return {};
}

}  // namespace kit
