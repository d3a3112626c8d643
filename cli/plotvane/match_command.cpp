// plotvane-cli match: the layer matching tab.
#include <algorithm>

#include "analysis/layer_match.h"
#include "cli/common/args.h"
#include "cli/common/command.h"
#include "cli/common/io.h"
#include "core/columns.h"

namespace kit::cli {

namespace {

const ArgSpec kSpec{{"--lon", "--lat", "--layer", "--buffer", "--method", "--field", "-o"}, {}};

std::optional<MatchMethod> methodNamed(const std::string& name) {
    if (name == "single") return MatchMethod::Single;
    if (name == "merge") return MatchMethod::Merge;
    if (name == "expand") return MatchMethod::Expand;
    return std::nullopt;
}

int runMatch(const std::vector<std::string>& argv) {
    Args a;
    std::string err;
    if (!a.parse(argv, kSpec, err) || a.positional().size() > 1) {
        printError(err.empty() ? "match takes at most one input table" : err);
        return kExitUsage;
    }
    auto layerPath = a.value("--layer");
    if (!layerPath) {
        printError("match needs --layer FILE");
        return kExitUsage;
    }
    auto method = methodNamed(a.valueOr("--method", "single"));
    if (!method) {
        printError("--method: one of single, merge, expand");
        return kExitUsage;
    }

    int status;
    auto table = loadInputTable(a.positional().empty() ? "-" : a.positional()[0], &status);
    if (!table) return status;
    Layer layer;
    Outcome loaded = loadMatchLayer(*layerPath, layer);
    if (!loaded.ok()) {
        printError(loaded.message);
        return loaded.status == Status::Error ? kExitFile : kExitUsage;
    }

    MatchField field;
    const std::string fieldName = a.valueOr("--field", "all");
    if (fieldName != "all") {
        if (std::find(layer.fieldNames.begin(), layer.fieldNames.end(), fieldName) == layer.fieldNames.end()) {
            printError("--field: the layer has no field named '" + fieldName + "'");
            return kExitUsage;
        }
        field = fieldName;
    }
    auto lon = columnOption(*table, a.value("--lon"), "--lon", detectLongitudeColumn(table->headers));
    auto lat = columnOption(*table, a.value("--lat"), "--lat", detectLatitudeColumn(table->headers));
    if (!lon || !lat) return kExitUsage;
    const std::string out = a.valueOr("-o", "");
    return finishTextOutcome(runLayerMatch(&*table, lonLatColumnsAt(*table, *lon, *lat), &layer,
                                           a.valueOr("--buffer", "100"), *method, field, outputDestination(out)),
                             out);
}

const Registrar reg{{"match", "match points against a polygon or point layer",
                     R"(Usage: plotvane-cli match [TABLE] --layer FILE [options]
For every row, the layer features that contain its point or lie within the
buffer of it; the table comes back with their fields and the column 距离(米).
  TABLE            tab- or comma-separated table; '-' or nothing reads standard input
  --layer FILE     reference layer: GeoJSON, KML, or a Shapefile (.shp) by its extension
  --buffer M       buffer distance in metres, as typed into the tab (default 100)
  --method NAME    single (first match), merge (values joined, nearest distance)
                   or expand (one line per match); default single
  --field NAME     one layer field to add, or all (default)
  --lon COL        longitude column (header name, or 0-based index); default: detected
  --lat COL        latitude column; default: detected
  -o FILE          write the result there instead of standard output
)",
                     30, runMatch}};

}  // namespace

}  // namespace kit::cli
