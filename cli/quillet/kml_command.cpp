#include "cli/quillet/kml_command.h"

#include <filesystem>
#include <system_error>

#include "batchkml/column_roles.h"
#include "batchkml/kml_text.h"
#include "batchkml/table_reader.h"
#include "cli/common/command.h"
#include "cli/common/io.h"
#include "core/file_io.h"
#include "core/text.h"

namespace kit::cli {

std::optional<KmlCommandInput> startKmlCommand(const std::string& command, const std::vector<std::string>& argv,
                                               ArgSpec spec, bool csvOnly, int* status) {
    spec.valued.insert("-o");
    KmlCommandInput in;
    std::string err;
    if (!in.args.parse(argv, spec, err) || in.args.positional().empty()) {
        printError(err.empty() ? command + " needs at least one input file" : err);
        *status = kExitUsage;
        return std::nullopt;
    }
    auto output = in.args.value("-o");
    if (!output || output->empty()) {
        printError(command + " needs -o OUT (the KML file, or the folder of a batch)");
        *status = kExitUsage;
        return std::nullopt;
    }
    in.output = *output;
    in.files = in.args.positional();
    for (const auto& f : in.files) {
        if (readDataFile(f, in.first, csvOnly)) return in;
        if (!in.batch()) break;
    }
    const std::string& f = in.files.front();
    printError(std::string(readFailureMessage(csvOnly ? TableFormat::Csv : chooseReader(f))) + ": " +
               (in.batch() ? "no input could be read" : f));
    *status = kExitFile;
    return std::nullopt;
}

std::optional<int> dataColumnOption(const DataTable& table, const Args& args, const std::string& option,
                                    const std::vector<std::string_view>& candidates) {
    if (auto given = args.value(option)) return resolveColumn(table.headers, option, *given);
    return findColumn(table.headers, candidates);
}

std::string singleOutputPath(const std::string& output, const std::string& input) {
    return isDirectory(output) ? batchOutputPath(output, input) : output;
}

int reportWarning(const Outcome& check) {
    printError(check.message);
    return kExitUsage;
}

int finishSingle(const SingleRunResult& r) {
    printError(r.outcome.message);
    return r.outcome.ok() ? kExitOk : kExitFile;
}

int finishBatch(const BatchRunResult& r) {
    for (const auto& f : r.unreadable) printError("skipped (unreadable): " + f);
    for (const auto& f : r.unwritable) printError(std::string(kCannotWrite) + ": " + f);
    printError(r.statusText);
    return r.unwritable.empty() ? kExitOk : kExitFile;
}

std::string kmlOutputHelp() {
    return "  -o OUT           one input: the KML file to write (an existing folder takes\n"
           "                   stem.kml); several inputs: the folder, created if missing,\n"
           "                   that receives one stem.kml per readable input\n";
}

}  // namespace kit::cli
