// plotvane-cli sectors: the sector polygons tab.
#include "analysis/sector_layer.h"
#include "cli/common/command.h"
#include "cli/plotvane/layer_command.h"

namespace kit::cli {

namespace {

int runSectors(const std::vector<std::string>& argv) {
    int status;
    auto in = startLayerCommand("sectors", argv, {{"--lon", "--lat", "--azimuth", "--distance", "--angle", "--inner"}, {}},
                                &status);
    if (!in) return status;
    auto cols = centreColumnsOption(in->table, in->args);
    if (!cols) return kExitUsage;
    SectorFields f;
    f.azimuth = in->args.valueOr("--azimuth", f.azimuth);
    f.distance = in->args.valueOr("--distance", f.distance);
    f.angle = in->args.valueOr("--angle", f.angle);
    f.inner = in->args.valueOr("--inner", f.inner);
    return finishLayerOutcome(runSectorLayer(&in->table, *cols, f), in->output, kSectorOwnKeys);
}

const Registrar sectors{{"sectors", "one sector polygon per row to a layer file",
                         R"(Usage: plotvane-cli sectors [TABLE] -o PATH [options]
One wedge per row around its point. The azimuth is a compass bearing: 0 north,
90 east, clockwise. Every feature carries row, azimuth, distance and angle,
then every cell of its row by header name (a KML placemark is named by the
row's first cell). Each of --azimuth, --distance, --angle and --inner is a
number used for every row or a column name read per row; unreadable values
take the default.
  TABLE            tab- or comma-separated table; '-' or nothing reads standard input
  --lon COL        longitude column (header name, or 0-based index); default: detected
  --lat COL        latitude column; default: detected
  --azimuth TEXT   compass bearing in degrees (default "": 0, north, for every row)
  --distance TEXT  radius in metres (default "100")
  --angle TEXT     opening in degrees (default "90"; outside 0..360 draws 90)
  --inner TEXT     inner radius in metres (default "0")
)" + layerOutputHelp(19),
                         70, runSectors}};

}  // namespace

}  // namespace kit::cli
