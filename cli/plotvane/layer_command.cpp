#include "cli/plotvane/layer_command.h"

#include "cli/common/command.h"
#include "cli/common/io.h"
#include "core/columns.h"
#include "layers/layer_file.h"

namespace kit::cli {

std::string layerOutputHelp(size_t column) {
    std::string option = "  -o PATH", indent(column, ' ');
    option.resize(column, ' ');
    return option + "the layer to write: a name ending in .shp (any case) writes a\n" + indent +
           "Shapefile set, .kml KML, anything else GeoJSON (.geojson is appended\n" + indent +
           "unless the name ends in .geojson or .json)\n";
}

std::optional<LayerCommandInput> startLayerCommand(const std::string& command, const std::vector<std::string>& argv,
                                                   ArgSpec spec, int* status) {
    spec.valued.insert("-o");
    LayerCommandInput in;
    std::string err;
    if (!in.args.parse(argv, spec, err) || in.args.positional().size() > 1) {
        printError(err.empty() ? command + " takes at most one input table" : err);
        *status = kExitUsage;
        return std::nullopt;
    }
    auto output = in.args.value("-o");
    if (!output || output->empty()) {
        printError(command + " needs -o PATH (the layer file to write)");
        *status = kExitUsage;
        return std::nullopt;
    }
    in.output = *output;
    auto table = loadInputTable(in.args.positional().empty() ? "-" : in.args.positional()[0], status);
    if (!table) return std::nullopt;
    in.table = std::move(*table);
    return in;
}

std::optional<LonLatColumns> centreColumnsOption(const Table& table, const Args& args) {
    auto lon = columnOption(table, args.value("--lon"), "--lon", detectLongitudeColumn(table.headers));
    auto lat = columnOption(table, args.value("--lat"), "--lat", detectLatitudeColumn(table.headers));
    if (!lon || !lat) return std::nullopt;
    return lonLatColumnsAt(table, *lon, *lat);
}

int finishLayerOutcome(const Outcome& outcome, const std::string& outputPath, size_t nameProperty) {
    if (!outcome.ok()) {
        printError(outcome.message);
        return outcome.status == Status::Warning ? kExitUsage : kExitFile;
    }
    Outcome saved = saveLayer(outputPath, outcome.text, nameProperty, outcome.message);
    printError(saved.message);
    return saved.ok() ? kExitOk : kExitFile;
}

}  // namespace kit::cli
