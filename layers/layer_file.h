#pragma once
// Loading a reference layer (GeoJSON, KML or Shapefile, chosen by extension)
// and saving a generated layer (GeoJSON text) by the name's extension.
#include <string>
#include <string_view>

#include "core/outcome.h"
#include "layers/feature.h"

namespace kit {

inline constexpr uint64_t kMaxLayerFileBytes = 104857600;  // 100 MiB

// Reads the file into the layer. An error ("无法打开文件", "文件过大或无效",
// "无法打开 Shapefile") leaves the layer as it was; on success the layer
// holds what the file yields (possibly nothing: the caller reports an empty
// layer).
Outcome loadLayerFile(const std::string& utf8Path, Layer& layer);

// Writes GeoJSON text under the name as the save routine does: ".shp" (any
// case) a Shapefile set, ".kml" KML, anything else GeoJSON with a byte-order
// mark (".geojson" appended unless the name ends in .geojson or .json).
// Success carries "创建完成！\n文件已保存到：%s" in message, followed by a
// line for the writer's note (values cut) and one for the run's own note
// (rows skipped) when there are any, and the path actually written in text;
// Error carries the writer's error text. nameProperty is the index of the
// property that names a KML placemark (the row's first cell).
Outcome saveLayer(const std::string& utf8Path, std::string_view geojson, size_t nameProperty = 0,
                  std::string_view runNote = {});

}  // namespace kit
