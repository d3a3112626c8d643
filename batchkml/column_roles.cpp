#include "batchkml/column_roles.h"

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

int findColumn(const std::vector<std::string>& headers, const std::vector<std::string_view>& candidates) {
    return findColumnByName(headers, candidates);
}

ColumnOrValue readColumnOrValue(int selectedIndex, std::string_view editText) {
    if (selectedIndex >= 0) return {selectedIndex, 0};
    std::string_view text = utf16Prefix(editText, 256);
    if (text.empty()) return {};
    if (auto number = parseLeadingDouble(text)) return {kFixedValue, *number};
    return {};
}

}  // namespace kit
