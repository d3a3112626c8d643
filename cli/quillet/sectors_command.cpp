// quillet-cli sectors: the sector KML tab.
#include <cstdlib>

#include "batchkml/column_roles.h"
#include "cli/common/command.h"
#include "cli/common/io.h"
#include "cli/quillet/kml_command.h"

namespace kit::cli {

namespace {

// An editable list's text: a header name selects that column, anything else
// is read as the typed text. Left out: the detected column, else the list's
// starting text.
ColumnOrValue columnOrValueOption(const DataTable& table, const Args& args, const std::string& option,
                                  const std::vector<std::string_view>& candidates, const std::string& startText) {
    auto given = args.value(option);
    if (!given) {
        int detected = findColumn(table.headers, candidates);
        if (detected >= 0) return {detected, 0};
        return readColumnOrValue(-1, startText);
    }
    for (size_t i = 0; i < table.headers.size(); ++i)
        if (table.headers[i] == *given) return {static_cast<int>(i), 0};
    return readColumnOrValue(-1, *given);
}

std::optional<uint32_t> colorOption(const std::string& text) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        printError("--color: expected RRGGBB in hex, got '" + text + "'");
        return std::nullopt;
    }
    unsigned long rgb = std::strtoul(text.c_str(), nullptr, 16);
    return static_cast<uint32_t>(((rgb >> 16) & 255) | (rgb & 0xFF00) | ((rgb & 255) << 16));
}

std::optional<int> opacityOption(const std::string& text) {
    bool digits = !text.empty() && text.size() <= 3 && text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::stoi(text) > 100) {
        printError("--opacity: expected a whole percentage 0 to 100, got '" + text + "'");
        return std::nullopt;
    }
    return std::stoi(text);
}

int runSectors(const std::vector<std::string>& argv) {
    int status;
    auto in = startKmlCommand("sectors", argv,
                              {{"--site", "--lon", "--lat", "--azimuth", "--beam", "--radius", "--color", "--opacity", "--lod"},
                               {"--no-lod"}},
                              true, &status);
    if (!in) return status;
    const DataTable& t = in->first;
    SectorRunParams p;
    auto site = dataColumnOption(t, in->args, "--site", siteNameCandidates());
    auto lon = dataColumnOption(t, in->args, "--lon", longitudeCandidates());
    auto lat = dataColumnOption(t, in->args, "--lat", latitudeCandidates());
    auto color = colorOption(in->args.valueOr("--color", "FF0000"));
    auto opacity = opacityOption(in->args.valueOr("--opacity", "100"));
    if (!site || !lon || !lat || !color || !opacity) return kExitUsage;
    p.kml.siteCol = *site;
    p.kml.lonCol = *lon;
    p.kml.latCol = *lat;
    p.azimuthGiven = applyColumnOrValue(columnOrValueOption(t, in->args, "--azimuth", azimuthCandidates(), ""),
                                        p.kml.azimuthCol, p.kml.azimuthFixed);
    p.beamwidthGiven = applyColumnOrValue(columnOrValueOption(t, in->args, "--beam", beamWidthCandidates(), "65"),
                                          p.kml.beamwidthCol, p.kml.beamwidthFixed);
    p.radiusGiven = applyColumnOrValue(columnOrValueOption(t, in->args, "--radius", radiusCandidates(), "500"),
                                       p.kml.radiusCol, p.kml.radiusFixed);
    p.kml.color = *color;
    p.kml.opacityPercent = *opacity;
    p.kml.lodEnabled = !in->args.flag("--no-lod");
    p.kml.lodKm = lodKmFromText(in->args.valueOr("--lod", "5"));
    if (auto check = checkSectors(true, p); !check.ok()) return reportWarning(check);
    if (in->batch()) return finishBatch(runSectorBatch(in->files, p, in->output, nullptr));
    return finishSingle(runSectorSingle(t, p, singleOutputPath(in->output, in->files[0])));
}

const Registrar sectors{{"sectors", "cell sectors as wedges and site points in a KML",
                         R"(Usage: quillet-cli sectors FILE.csv... -o OUT [options]
Per row a wedge (apex at the site, centred on the azimuth, beam width wide,
radius long) and a labelled site point. --azimuth, --beam and --radius take a
header name (that column, per row) or a number (the same for every row).
  --site COL       site name column (header name, or 0-based index); default: detected, else "Site"
  --lon COL        longitude column; default: detected
  --lat COL        latitude column; default: detected
  --azimuth TEXT   default: the detected column (none: a warning)
  --beam TEXT      beam width in degrees; default: the detected column, else "65"
  --radius TEXT    radius in metres; default: the detected column, else "500"
  --color RRGGBB   fill and line colour in hex (default FF0000)
  --opacity PCT    0 to 100 (default 100)
  --lod KM         show the sectors from about this distance (default 5)
  --no-lod         always show them
)" + kmlOutputHelp(),
                         20, runSectors}};

}  // namespace

}  // namespace kit::cli
