// plotvane-cli polygons: the regular polygons and stars tab.
#include "analysis/polygon_layer.h"
#include "cli/common/command.h"
#include "cli/plotvane/layer_command.h"

namespace kit::cli {

namespace {

int runPolygons(const std::vector<std::string>& argv) {
    int status;
    auto in = startLayerCommand("polygons", argv,
                                {{"--lon", "--lat", "--count", "--angle", "--size", "--rotation"}, {"--star"}}, &status);
    if (!in) return status;
    auto cols = centreColumnsOption(in->table, in->args);
    if (!cols) return kExitUsage;
    PolygonFields f;
    f.mode = in->args.flag("--star") ? PolygonMode::Star : PolygonMode::Polygon;
    f.count = in->args.valueOr("--count", f.count);
    f.innerAngle = in->args.valueOr("--angle", f.innerAngle);
    f.size = in->args.valueOr("--size", f.size);
    f.rotation = in->args.valueOr("--rotation", f.rotation);
    return finishLayerOutcome(runPolygonLayer(&in->table, *cols, f), in->output, polygonOwnKeys(f.mode));
}

const Registrar polygons{{"polygons", "a regular polygon or star per row to a layer file",
                          R"(Usage: plotvane-cli polygons [TABLE] -o PATH [options]
A regular polygon (by side length) or, with --star, a star (by outer radius)
around every row's point. With rotation 0 the first vertex lies due east, and
rotation turns counter-clockwise (these are not compass bearings). Every shape
carries row, type and sides (stars: row, type, points, angle), then every cell
of its row (a KML placemark is named by the row's first cell).
  TABLE            tab- or comma-separated table; '-' or nothing reads standard input
  --lon COL        longitude column (header name, or 0-based index); default: detected
  --lat COL        latitude column; default: detected
  --star           draw stars instead of polygons
  --count TEXT     sides or points, an integer 3..100000 (default "4")
  --angle TEXT     the star's inner angle in degrees (default "30")
  --size TEXT      side length, or the star's outer radius, in metres (default "100")
  --rotation TEXT  rotation in degrees, counter-clockwise (default "0")
)" + layerOutputHelp(19),
                          80, runPolygons}};

}  // namespace

}  // namespace kit::cli
