#pragma once
// What the three quillet-cli commands share: the input files and -o, the
// first readable file (which chooses the columns, as it fills a tab's lists),
// column options, and reporting a single or batch run as the tab would.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batchkml/data_table.h"
#include "batchkml/quillet_runs.h"
#include "cli/common/args.h"

namespace kit::cli {

struct KmlCommandInput {
    Args args;
    std::vector<std::string> files;
    std::string output;
    DataTable first;  // the first readable input
    bool batch() const { return files.size() > 1; }
};

// Parses (the option list gets "-o" added) and reads the first readable input.
// On failure the reason has been printed and *status holds the exit status.
std::optional<KmlCommandInput> startKmlCommand(const std::string& command, const std::vector<std::string>& argv,
                                               ArgSpec spec, bool csvOnly, int* status);

// The option's column when given, else the candidate lists' choice (-1: none).
std::optional<int> dataColumnOption(const DataTable& table, const Args& args, const std::string& option,
                                    const std::vector<std::string_view>& candidates);

// With one input, -o naming an existing folder means folder/stem.kml.
std::string singleOutputPath(const std::string& output, const std::string& input);

// Warning: printed, exit 2.
int reportWarning(const Outcome& check);
int finishSingle(const SingleRunResult& r);
int finishBatch(const BatchRunResult& r);

// The -o line of each command's --help.
std::string kmlOutputHelp();

}  // namespace kit::cli
