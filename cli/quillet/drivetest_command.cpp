// quillet-cli drivetest: the drive-test tab.
#include "batchkml/column_roles.h"
#include "batchkml/template_store.h"
#include "cli/common/command.h"
#include "cli/common/io.h"
#include "cli/quillet/kml_command.h"

namespace kit::cli {

namespace {

std::optional<std::vector<ColorRange>> chosenRanges(const Args& args) {
    std::string lastUsed(kDefaultLastUsed);
    const std::string path = args.valueOr("--templates", templatesPath(programFolder()));
    const auto list = loadTemplates(path, lastUsed);
    if (auto name = args.value("--template")) {
        int i = findTemplate(list, *name);
        if (i < 0) {
            printError("--template: no template named '" + *name + "'");
            return std::nullopt;
        }
        return list[static_cast<size_t>(i)].ranges;
    }
    return list[static_cast<size_t>(templateIndexForLastUsed(list, lastUsed))].ranges;
}

int runDriveTest(const std::vector<std::string>& argv) {
    int status;
    auto in = startKmlCommand("drivetest", argv, {{"--lon", "--lat", "--value", "--size", "--template", "--templates"}, {}},
                              false, &status);
    if (!in) return status;
    DriveTestParams p;
    auto lon = dataColumnOption(in->first, in->args, "--lon", longitudeCandidates());
    auto lat = dataColumnOption(in->first, in->args, "--lat", latitudeCandidates());
    auto value = dataColumnOption(in->first, in->args, "--value", signalCandidates());
    auto ranges = chosenRanges(in->args);
    if (!lon || !lat || !value || !ranges) return kExitUsage;
    p.lonCol = *lon;
    p.latCol = *lat;
    p.valueCol = *value;
    p.ranges = std::move(*ranges);
    p.sizeMetres = driveTestSizeFromText(in->args.valueOr("--size", "5"));
    if (auto check = checkDriveTest(true, p); !check.ok()) return reportWarning(check);
    if (in->batch()) return finishBatch(runDriveTestBatch(in->files, p, in->output, nullptr));
    return finishSingle(runDriveTestSingle(in->first, p, singleOutputPath(in->output, in->files[0])));
}

const Registrar drivetest{{"drivetest", "drive-test points as coloured circles in a KML",
                           R"(Usage: quillet-cli drivetest FILE... -o OUT [options]
One circle per row with numeric longitude, latitude and value, coloured by
the range of the chosen colour template that holds the value. FILE is a CSV,
or an XLSX workbook by its .xlsx ending.
  --lon COL          longitude column (header name, or 0-based index); default: detected
  --lat COL          latitude column; default: detected
  --value COL        signal value column; default: detected
  --size TEXT        circle radius in metres (default "5"; unreadable text draws 5)
  --template NAME    colour template (default: the last used one)
  --templates FILE   template file (default: templates.json beside the program;
                     missing, the built-in templates)
)" + kmlOutputHelp(),
                           10, runDriveTest}};

}  // namespace

}  // namespace kit::cli
