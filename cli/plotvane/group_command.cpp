// plotvane-cli group: the buffer grouping tab.
#include "analysis/buffer_group.h"
#include "cli/common/args.h"
#include "cli/common/command.h"
#include "cli/common/io.h"
#include "core/columns.h"

namespace kit::cli {

namespace {

const ArgSpec kSpec{{"--lon", "--lat", "--distance", "-o"}, {"--geom"}};

int runGroup(const std::vector<std::string>& argv) {
    Args a;
    std::string err;
    if (!a.parse(argv, kSpec, err) || a.positional().size() > 1) {
        printError(err.empty() ? "group takes at most one input table" : err);
        return kExitUsage;
    }
    int status;
    auto table = loadInputTable(a.positional().empty() ? "-" : a.positional()[0], &status);
    if (!table) return status;
    auto lon = columnOption(*table, a.value("--lon"), "--lon", detectLongitudeColumn(table->headers));
    auto lat = columnOption(*table, a.value("--lat"), "--lat", detectLatitudeColumn(table->headers));
    if (!lon || !lat) return kExitUsage;
    const std::string out = a.valueOr("-o", "");
    return finishTextOutcome(runBufferGroup(&*table, lonLatColumnsAt(*table, *lon, *lat), a.valueOr("--distance", "100"),
                                            a.flag("--geom"), outputDestination(out)),
                             out);
}

const Registrar reg{{"group", "group points that lie within a distance of each other",
                     R"(Usage: plotvane-cli group [TABLE] [options]
Numbers groups of points linked by chains of steps no longer than the distance
(great-circle metres); adds the column clusterid, numbered from 0 by first row.
  TABLE          tab- or comma-separated table; '-' or nothing reads standard input
  --distance M   buffer distance in metres, as typed into the tab (default 100)
  --geom         add the column geom with POINT(lon lat)
  --lon COL      longitude column (header name, or 0-based index); default: detected
  --lat COL      latitude column; default: detected
  -o FILE        write the result there instead of standard output
)",
                     40, runGroup}};

}  // namespace

}  // namespace kit::cli
