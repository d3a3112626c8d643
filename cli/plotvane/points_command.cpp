// plotvane-cli points: the point layer tab.
#include "analysis/point_layer.h"
#include "cli/common/command.h"
#include "cli/plotvane/layer_command.h"

namespace kit::cli {

namespace {

int runPoints(const std::vector<std::string>& argv) {
    int status;
    auto in = startLayerCommand("points", argv, {{"--lon", "--lat"}, {}}, &status);
    if (!in) return status;
    auto cols = centreColumnsOption(in->table, in->args);
    if (!cols) return kExitUsage;
    return finishLayerOutcome(runPointLayer(&in->table, *cols), in->output);
}

const Registrar points{{"points", "one point per row to a layer file",
                        R"(Usage: plotvane-cli points [TABLE] -o PATH [options]
One point per row at its longitude and latitude, carrying the row's other cells
in table order (a KML placemark is named by the first of them).
  TABLE      tab- or comma-separated table; '-' or nothing reads standard input
  --lon COL  longitude column (header name, or 0-based index); default: detected
  --lat COL  latitude column; default: detected
)" + layerOutputHelp(13),
                        60, runPoints}};

}  // namespace

}  // namespace kit::cli
