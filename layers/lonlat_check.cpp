#include "layers/lonlat_check.h"

#include <cmath>

#include "core/file_io.h"
#include "core/format.h"
#include "core/text.h"
#include "layers/shapefile.h"

namespace kit {

namespace {

bool withinLonLat(double lon, double lat) {
    if (std::isnan(lon) || std::isnan(lat)) return true;
    return std::fabs(lon) <= 180 && std::fabs(lat) <= 90;
}

}  // namespace

bool isProjectedPrj(std::string_view wkt) {
    // The keyword that opens the text names the kind of system; a projected
    // one holds its geographic base inside, so only the head counts.
    const std::string head = asciiLower(std::string(wkt.substr(0, 64)));
    const size_t at = head.find_first_not_of(" \t\r\n\xef\xbb\xbf");
    if (at == std::string::npos) return false;
    for (std::string_view word : {"projcs", "projcrs", "projectedcrs"})
        if (head.compare(at, word.size(), word) == 0) return true;
    return false;
}

bool extentIsLonLat(const Layer& layer) {
    for (const Feature& f : layer.features) {
        if (f.type == "Point" && !withinLonLat(f.lon, f.lat)) return false;
        for (const Position& p : f.ring)
            if (!withinLonLat(p.lon, p.lat)) return false;
    }
    return true;
}

std::optional<std::string> notLonLatWarning(const std::string& utf8Path, const Layer& layer) {
    const std::string name = fileNameOf(utf8Path);
    if (asciiLower(extensionOf(utf8Path)) == ".shp") {
        auto prj = readFileBytesLimited(siblingPath(utf8Path, "prj"), 1 << 20, nullptr);
        if (prj && isProjectedPrj(*prj)) return format("图层 %s 不是经纬度坐标（投影坐标系），无法匹配", name);
    }
    if (!extentIsLonLat(layer)) return format("图层 %s 不是经纬度坐标（坐标超出 ±180/±90），无法匹配", name);
    return std::nullopt;
}

}  // namespace kit
