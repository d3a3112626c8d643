// plotvane-cli nearest / nearest2: the two nearest-site tabs.
#include <optional>

#include "cli/common/args.h"
#include "cli/common/command.h"
#include "cli/common/io.h"
#include "core/columns.h"
#include "core/threads.h"
#include "nearest/nearest_runs.h"

namespace kit::cli {

namespace {

const ArgSpec kSingleSpec{{"--lon", "--lat", "--id", "-n", "-o"}, {}};
const ArgSpec kTwoSpec{{"--lon", "--lat", "--id", "--lon2", "--lat2", "--id2", "-n", "-o"}, {}};

// The table's column choices: given options, else what the tab detects after
// get-data. nullopt after a usage error was printed.
std::optional<SiteColumns> chooseColumns(const Table& t, const Args& a, const std::string& suffix, int detectedId) {
    auto lon = columnOption(t, a.value("--lon" + suffix), "--lon" + suffix, detectLongitudeColumn(t.headers));
    auto lat = columnOption(t, a.value("--lat" + suffix), "--lat" + suffix, detectLatitudeColumn(t.headers));
    auto id = columnOption(t, a.value("--id" + suffix), "--id" + suffix, detectedId);
    if (!lon || !lat || !id) return std::nullopt;
    return siteColumnsAt(t, *lon, *lat, *id);
}

int runSingle(const std::vector<std::string>& argv) {
    Args a;
    std::string err;
    if (!a.parse(argv, kSingleSpec, err) || a.positional().size() > 1) {
        printError(err.empty() ? "nearest takes at most one input table" : err);
        return kExitUsage;
    }
    int status;
    auto table = loadInputTable(a.positional().empty() ? "-" : a.positional()[0], &status);
    if (!table) return status;
    auto cols = chooseColumns(*table, a, "", detectIdColumn(table->headers));
    if (!cols) return kExitUsage;
    const std::string out = a.valueOr("-o", "");
    return finishTextOutcome(
        runNearestSingle(&*table, *cols, a.valueOr("-n", "1"), workerThreads(), outputDestination(out)), out);
}

int runTwo(const std::vector<std::string>& argv) {
    Args a;
    std::string err;
    if (!a.parse(argv, kTwoSpec, err) || a.positional().size() != 2) {
        printError(err.empty() ? "nearest2 needs two input tables" : err);
        return kExitUsage;
    }
    int status;
    auto t1 = loadInputTable(a.positional()[0], &status);
    if (!t1) return status;
    auto t2 = loadInputTable(a.positional()[1], &status);
    if (!t2) return status;
    auto c1 = chooseColumns(*t1, a, "", detectIdColumn(t1->headers));
    if (!c1) return kExitUsage;
    auto c2 = chooseColumns(*t2, a, "2", secondTableIdColumn(t2->headers));
    if (!c2) return kExitUsage;
    const std::string out = a.valueOr("-o", "");
    return finishTextOutcome(
        runNearestTwo(&*t1, &*t2, *c1, *c2, a.valueOr("-n", "1"), workerThreads(), outputDestination(out)), out);
}

const Registrar single{{"nearest", "nearest N sites within one table", R"(Usage: plotvane-cli nearest [TABLE] [options]
For every row, the N nearest other rows of the same table with great-circle distances.
  TABLE        tab- or comma-separated table; '-' or nothing reads standard input
  --lon COL    longitude column (header name, or 0-based index); default: detected
  --lat COL    latitude column; default: detected
  --id COL     ID column; default: detected by name
  -n N         neighbours per row, 1..50 (default 1)
  -o FILE      write the result there instead of standard output
)", 10, runSingle}};

const Registrar two{{"nearest2", "nearest N sites of table 2 for every row of table 1",
                     R"(Usage: plotvane-cli nearest2 TABLE1 TABLE2 [options]
For every row of TABLE1, the N nearest rows of TABLE2 with great-circle distances.
  --lon --lat --id COL      columns of table 1 (default: detected)
  --lon2 --lat2 --id2 COL   columns of table 2 (default: detected; ID: the third column)
  -n N                      neighbours per row, 1..50 (default 1)
  -o FILE                   write the result there instead of standard output
)",
                     20, runTwo}};

}  // namespace

}  // namespace kit::cli
