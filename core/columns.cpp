#include "core/columns.h"

#include "core/text.h"

namespace kit {

int findColumnByName(const std::vector<std::string>& headers, const std::vector<std::string_view>& candidates) {
    std::vector<std::string> lowered;
    lowered.reserve(headers.size());
    for (const auto& h : headers) lowered.push_back(asciiLower(h));
    for (std::string_view c : candidates) {
        std::string lc = asciiLower(c);
        for (size_t i = 0; i < lowered.size(); ++i)
            if (lowered[i].find(lc) != std::string::npos) return static_cast<int>(i);
    }
    return kNoColumn;
}

int detectLongitudeColumn(const std::vector<std::string>& headers) {
    int c = findColumnByName(headers, {"经度", "lng", "lon", "long", "longitude", "经"});
    if (c == kNoColumn && !headers.empty()) c = 0;
    return c;
}

int detectLatitudeColumn(const std::vector<std::string>& headers) {
    int c = findColumnByName(headers, {"纬度", "lat", "latitude", "纬"});
    if (c == kNoColumn && headers.size() >= 2) c = 1;
    return c;
}

int detectIdColumn(const std::vector<std::string>& headers) {
    return findColumnByName(headers, {"id", "名称", "名字", "cgi", "号", "站", "点", "索引", "index", "name"});
}

}  // namespace kit
