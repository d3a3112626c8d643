#include "core/columns.h"

#include "core/text.h"

namespace kit {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether the header, ASCII-lowered, contains the lowered candidate; compared
// in place, since a header line may hold millions of names.
bool containsLowered(std::string_view header, std::string_view lowered) {
    if (lowered.size() > header.size()) return false;
    for (size_t at = 0; at + lowered.size() <= header.size(); ++at) {
        size_t i = 0;
        while (i < lowered.size() && lowerAscii(header[at + i]) == lowered[i]) ++i;
        if (i == lowered.size()) return true;
    }
    return false;
}

}  // namespace

int findColumnByName(const HeaderNames& headers, const std::vector<std::string_view>& candidates) {
    for (std::string_view c : candidates) {
        const std::string lc = asciiLower(c);
        for (size_t i = 0; i < headers.size(); ++i)
            if (containsLowered(headers[i], lc)) return static_cast<int>(i);
    }
    return kNoColumn;
}

int detectLongitudeColumn(const HeaderNames& headers) {
    int c = findColumnByName(headers, {"经度", "lng", "lon", "long", "longitude", "经"});
    if (c == kNoColumn && !headers.empty()) c = 0;
    return c;
}

int detectLatitudeColumn(const HeaderNames& headers) {
    int c = findColumnByName(headers, {"纬度", "lat", "latitude", "纬"});
    if (c == kNoColumn && headers.size() >= 2) c = 1;
    return c;
}

int detectIdColumn(const HeaderNames& headers) {
    return findColumnByName(headers, {"id", "名称", "名字", "cgi", "号", "站", "点", "索引", "index", "name"});
}

}  // namespace kit
