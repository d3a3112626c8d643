// quillet-cli iconmap: the icon map tab.
#include "batchkml/column_roles.h"
#include "batchkml/icon_catalog.h"
#include "cli/common/command.h"
#include "cli/common/io.h"
#include "cli/quillet/kml_command.h"

namespace kit::cli {

namespace {

int runIconMap(const std::vector<std::string>& argv) {
    int status;
    auto in = startKmlCommand("iconmap", argv, {{"--lon", "--lat", "--id", "--icon"}, {}}, false, &status);
    if (!in) return status;
    IconMapParams p;
    auto lon = dataColumnOption(in->first, in->args, "--lon", longitudeCandidates());
    auto lat = dataColumnOption(in->first, in->args, "--lat", latitudeCandidates());
    auto id = dataColumnOption(in->first, in->args, "--id", pointIdCandidates());
    const std::string iconText = in->args.valueOr("--icon", "ylw-pushpin");
    auto icon = findIcon(iconText);
    if (!icon) printError("--icon: no catalogue icon '" + iconText + "' (an index 0 to 66 or a name such as E)");
    if (!lon || !lat || !id || !icon) return kExitUsage;
    p.lonCol = *lon;
    p.latCol = *lat;
    p.idCol = *id;
    p.iconUrl = iconUrl(iconCatalog()[*icon]);
    if (auto check = checkIconMap(true, p); !check.ok()) return reportWarning(check);
    if (in->batch()) return finishBatch(runIconMapBatch(in->files, p, in->output, nullptr));
    return finishSingle(runIconMapSingle(in->first, p, singleOutputPath(in->output, in->files[0])));
}

const Registrar iconmap{{"iconmap", "points with one icon and their cells as extended data in a KML",
                         R"(Usage: quillet-cli iconmap FILE... -o OUT [options]
One placemark per row with readable coordinates (both 0 counts as none), all
of the row's cells attached as extended data. FILE is a CSV, or an XLSX
workbook by its .xlsx ending.
  --lon COL        longitude column (header name, or 0-based index); default: detected
  --lat COL        latitude column; default: detected
  --id COL         placemark name column; default: detected, else Point1, Point2, ...
  --icon ICON      catalogue index 0 to 66 or an icon name such as ylw-pushpin or E
                   (default ylw-pushpin; 1 to 9 are indices, not the digit icons)
)" + kmlOutputHelp(),
                         30, runIconMap}};

}  // namespace

}  // namespace kit::cli
