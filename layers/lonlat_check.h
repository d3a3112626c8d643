#pragma once
// Whether a loaded layer's coordinates are longitudes and latitudes: a
// Shapefile whose .prj holds a projected system, or any layer with a
// coordinate outside ±180 / ±90, holds metres or feet that no longitude /
// latitude test can match against.
#include <optional>
#include <string>
#include <string_view>

#include "layers/feature.h"

namespace kit {

// True when the WKT text of a .prj file describes a projected system
// (PROJCS, or PROJCRS / PROJECTEDCRS of WKT2). Geographic systems (WGS 84,
// CGCS2000, Beijing 1954, Xian 1980) are not.
bool isProjectedPrj(std::string_view wkt);

// True when every finite coordinate lies within ±180 longitude and ±90
// latitude (NaN coordinates are left to the tests, which never match them).
bool extentIsLonLat(const Layer& layer);

// Nothing when the layer read from the file is in longitude / latitude;
// otherwise the warning to show, naming the file:
// "图层 %s 不是经纬度坐标（投影坐标系），无法匹配" for a projected .prj, or
// "图层 %s 不是经纬度坐标（坐标超出 ±180/±90），无法匹配".
std::optional<std::string> notLonLatWarning(const std::string& utf8Path, const Layer& layer);

}  // namespace kit
