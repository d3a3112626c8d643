// plotvane-cli coverage: the coverage tab's four modes.
#include <array>
#include <optional>
#include <string_view>

#include "cli/common/args.h"
#include "cli/common/command.h"
#include "cli/common/io.h"
#include "core/columns.h"
#include "core/number_parse.h"
#include "coverage/coverage_run.h"

namespace kit::cli {

namespace {

const ArgSpec kSpec{
    {"--lon", "--lat", "--freq", "--power", "--height", "--model", "--env", "--level", "--dem", "-o"}, {}};

constexpr std::array<std::string_view, 4> kModeNames{"density", "prediction", "budget", "terrain"};
constexpr std::array<std::string_view, 4> kModelNames{"auto", "fspl", "hata", "cost231"};
constexpr std::array<std::string_view, 4> kEnvNames{"urban", "suburban", "rural", "open"};

// The list index a name stands for, or -1.
template <size_t N>
int indexOf(const std::array<std::string_view, N>& names, std::string_view name) {
    for (size_t i = 0; i < N; ++i)
        if (names[i] == name) return static_cast<int>(i);
    return -1;
}

// An option naming a list item: its index, the default when left out, or -1
// after a usage error was printed.
template <size_t N>
int listOption(const Args& a, const std::string& option, const std::array<std::string_view, N>& names) {
    auto given = a.value(option);
    if (!given) return 0;
    int i = indexOf(names, *given);
    if (i < 0) printError(option + ": unknown value '" + *given + "'");
    return i;
}

int runCoverageCommand(const std::vector<std::string>& argv) {
    Args a;
    std::string err;
    if (!a.parse(argv, kSpec, err) || a.positional().empty() || a.positional().size() > 2) {
        printError(err.empty() ? "coverage needs a mode (density, prediction, budget, terrain) and at most one table"
                               : err);
        return kExitUsage;
    }
    CoverageRequest req;
    req.mode = indexOf(kModeNames, a.positional()[0]);
    if (req.mode < 0) {
        printError("coverage: unknown mode '" + a.positional()[0] + "'");
        return kExitUsage;
    }
    auto output = a.value("-o");
    if (!output || output->empty()) {
        printError("coverage needs -o PATH");
        return kExitUsage;
    }
    req.modelItem = listOption(a, "--model", kModelNames);
    req.environmentItem = listOption(a, "--env", kEnvNames);
    if (req.modelItem < 0 || req.environmentItem < 0) return kExitUsage;
    req.frequencyText = a.valueOr("--freq", "1800");
    req.powerText = a.valueOr("--power", "43");
    req.heightText = a.valueOr("--height", "30");
    req.demFolder = a.valueOr("--dem", demFolderBeside(programFolder()));
    if (auto level = a.value("--level")) {
        auto n = parseLeadingInt32(*level);
        if (!n) {
            printError("--level: not a whole number: '" + *level + "'");
            return kExitUsage;
        }
        req.resolution = *n;
    }

    int status;
    auto table = loadInputTable(a.positional().size() > 1 ? a.positional()[1] : "-", &status);
    if (!table) return status;
    auto lon = columnOption(*table, a.value("--lon"), "--lon", detectLongitudeColumn(table->headers));
    auto lat = columnOption(*table, a.value("--lat"), "--lat", detectLatitudeColumn(table->headers));
    if (!lon || !lat) return kExitUsage;

    Outcome outcome = runCoverage(&*table, lonLatColumnsAt(*table, *lon, *lat), req);
    if (!outcome.ok()) {
        printError(outcome.message);
        return outcome.status == Status::Warning ? kExitUsage : kExitFile;
    }
    if (!writeOutput(*output, outcome.text)) {
        printError(std::string(kCannotWrite) + ": " + *output);
        return kExitFile;
    }
    printError(outcome.message + *output);
    return kExitOk;
}

const Registrar coverage{{"coverage", "the coverage tab: density map, prediction, link budget, terrain profile",
                          R"(Usage: plotvane-cli coverage MODE [TABLE] -o PATH [options]
Runs one of the coverage tab's modes on a station table and writes its file to PATH.
  MODE           density     hexagon density map (GeoJSON)
                 prediction  coverage circle of every station (GeoJSON)
                 budget      per-station link budget (CSV)
                 terrain     LOS and terrain profile of the first two stations (CSV)
  TABLE          tab- or comma-separated table; '-' or nothing reads standard input
  -o PATH        the file to write ('-' writes to standard output)
  --lon COL      longitude column (header name, or 0-based index); default: detected
  --lat COL      latitude column; default: detected
  --freq TEXT    frequency in MHz, read as the tab's box reads it (default 1800)
  --power TEXT   transmit power in dBm (default 43)
  --height TEXT  base-station antenna height in m (default 30)
  --model auto|fspl|hata|cost231   path-loss model; auto chooses by frequency and distance (default auto)
  --env urban|suburban|rural|open  environment (default urban)
  --level N      hexagon resolution 0..12 for density (default 7)
  --dem DIR      terrain: folder of SRTM elevation tiles (N39E116.hgt, 1" or 3",
                 plain or zipped as N39E116.hgt.zip or N39E116.SRTMGL1.hgt.zip);
                 default: the folder 'dem' beside plotvane-cli. Without tiles
                 covering the whole path the profile uses a synthetic hill, and
                 the report's "# Terrain:" line says which terrain was used.
)",
                          90, runCoverageCommand}};

}  // namespace

}  // namespace kit::cli
