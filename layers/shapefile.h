#pragma once
// ESRI Shapefile sets (.shp, .shx, .dbf): the reader for reference layers and
// the writer for generated layers.
#include <string>
#include <string_view>

#include "core/outcome.h"
#include "layers/feature.h"

namespace kit {

// False when the .shp file cannot be read (the caller shows "无法打开 Shapefile").
bool readShapefile(const std::string& utf8ShpPath, Layer& layer);

// Converts the GeoJSON text and writes the set at the path ending in ".shp";
// Success (path in text) or Error with the message to show.
Outcome writeShapefile(std::string_view geojson, const std::string& utf8ShpPath);

}  // namespace kit
