// plotvane-cli wkt: the WKT table to layer tab.
#include "cli/common/command.h"
#include "cli/common/io.h"
#include "cli/plotvane/layer_command.h"
#include "core/columns.h"
#include "layers/wkt_layer.h"

namespace kit::cli {

namespace {

int runWkt(const std::vector<std::string>& argv) {
    int status;
    auto in = startLayerCommand("wkt", argv, {{"--geo"}, {}}, &status);
    if (!in) return status;
    auto geo = columnOption(in->table, in->args.value("--geo"), "--geo", detectGeometryColumn(in->table));
    if (!geo) return kExitUsage;
    return finishLayerOutcome(runWktLayer(&in->table, selectedHeader(*geo, in->table.headers)), in->output);
}

const Registrar wkt{{"wkt", "table with a WKT geometry column to a layer file",
                     R"(Usage: plotvane-cli wkt [TABLE] -o PATH [options]
Every row whose geometry cell is WKT becomes a feature carrying the row's other
cells in table order: POINT, LINESTRING, POLYGON, their MULTI types and a
GEOMETRYCOLLECTION of one kind, any case, Z/M ordinates dropped. Rows that
cannot be read (EMPTY among them) are left out and counted in the message.
  TABLE      tab- or comma-separated table; '-' or nothing reads standard input
  --geo COL  geometry column (header name, or 0-based index); default: the
             first header holding geom, wkt, geometry, shape, polygon, point or
             linestring, else the first column with WKT in its first 5 rows
)" + layerOutputHelp(13),
                     50, runWkt}};

}  // namespace

}  // namespace kit::cli
