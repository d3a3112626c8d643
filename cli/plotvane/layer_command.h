#pragma once
// What the four layer-generating subcommands (wkt, points, sectors, polygons)
// share: one optional input table, the required -o PATH, and saving the run's
// GeoJSON under that name by the save routine's extension rule.
#include <optional>
#include <string>
#include <vector>

#include "analysis/centre_reader.h"
#include "cli/common/args.h"
#include "core/outcome.h"
#include "core/table.h"

namespace kit::cli {

// The closing lines of each layer command's --help, the descriptions starting
// at the given column.
std::string layerOutputHelp(size_t column);

struct LayerCommandInput {
    Args args;
    Table table;
    std::string output;
};

// Parses the arguments (the option list gets "-o" added) and loads the input table.
// On failure the reason has been printed and *status holds the exit status.
std::optional<LayerCommandInput> startLayerCommand(const std::string& command, const std::vector<std::string>& argv,
                                                   ArgSpec spec, int* status);

// --lon/--lat, else the columns detected by name (longitude and latitude
// fall back to the first two columns). nullopt after a usage error was printed.
std::optional<LonLatColumns> centreColumnsOption(const Table& table, const Args& args);

// Warning: exit 2; otherwise the layer is saved and the save's message goes to
// stderr (exit 0, or 1 when the file could not be written), with the run's
// own note. nameProperty as saveLayer takes it.
int finishLayerOutcome(const Outcome& outcome, const std::string& outputPath, size_t nameProperty = 0);

}  // namespace kit::cli
