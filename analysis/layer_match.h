#pragma once
// Layer matching: every row's point against a reference layer of polygons and
// points, the table written back with the matched attributes and a distance.
// Also the small rules the matching panel shows around the run.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/export_destination.h"
#include "core/lonlat_columns.h"
#include "core/outcome.h"
#include "core/table.h"
#include "layers/feature.h"

namespace kit {

inline constexpr const char* kAllFields = "全部";
inline constexpr const char* kDistanceColumn = "距离(米)";
inline constexpr const char* kNoGeometryFound = "未在文件中找到有效几何要素";
inline constexpr double kDefaultBuffer = 100;

// The method list's items, in list order.
enum class MatchMethod { Single = 0, Merge = 1, Expand = 2 };
inline constexpr const char* kMatchMethodNames[] = {"单个", "多值合并", "多行展开"};

using MatchColumns = LonLatColumns;

// The field choice: nothing for "全部" (every field), else one field's name.
using MatchField = std::optional<std::string>;

// The field list: "全部" followed by the layer's field names.
std::vector<std::string> matchFieldItems(const Layer& layer);
// The choice at a position of that list (0, or a position past it, is "全部").
MatchField matchFieldAt(const Layer& layer, int index);

// The file label after browsing: the name without its folder, cut to its
// first 15 characters and "..." when longer than 18 characters.
std::string layerFileLabel(std::string_view path);
// The file label after a layer with features has loaded: "已加载 %zu 个要素".
std::string layerLoadedLabel(const Layer& layer);
// The match button is enabled once a table is fetched and the layer holds a feature.
bool matchButtonEnabled(const Table* table, const Layer* layer);

// Loads a layer file for matching. Error: the reader's text, layer unchanged.
// Warning "未在文件中找到有效几何要素": the file held no feature (the layer is
// now that empty one). Warning "图层 %s 不是经纬度坐标…": the file holds
// projected coordinates (the layer is left empty). Success: the layer is replaced, message is the label
// text "已加载 %zu 个要素".
Outcome loadMatchLayer(const std::string& utf8Path, Layer& layer);

// The buffer field: a decimal number from its first 63 characters; 100 when
// that fails or gives 0 or less.
double matchBuffer(std::string_view text);

// One matching feature of a point: its position in the layer and its distance
// in metres (0 inside a polygon).
struct Match {
    uint32_t feature;
    double distance;
};

// Whether the feature matches the point at the buffer, and at what distance.
std::optional<double> matchFeature(const Feature& feature, double lon, double lat, double buffer);
class RingIndex;
// The same through the feature's edge index when it has one (null: none).
std::optional<double> matchFeature(const Feature& feature, const RingIndex* edges, double lon, double lat,
                                   double buffer);

// The run. table is null until a fetch succeeded, layer until one loaded;
// destination names where the text goes in the success message.
Outcome runLayerMatch(const Table* table, const MatchColumns& cols, const Layer* layer, std::string_view bufferText,
                      MatchMethod method, const MatchField& field, std::string_view destination = kToClipboard);

namespace detail {
// The run with the matches of each point found by the given function (which
// must list them in layer order); the run above finds them through an index.
using MatchFinder = std::function<void(double lon, double lat, std::vector<Match>& out)>;
Outcome runLayerMatchWith(const Table* table, const MatchColumns& cols, const Layer* layer, MatchMethod method,
                          const MatchField& field, const MatchFinder& find,
                          std::string_view destination = kToClipboard);
}  // namespace detail

}  // namespace kit
