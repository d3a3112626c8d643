// An output that cannot be written whole (here: a disk that takes only a few
// kilobytes per file) fails the command and keeps the file it would replace.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_harness.h"
#include "core/file_io.h"
#include "tests/temp_folder.h"

namespace {

using kit::test::CliResult;
using kit::test::shellQuote;

// The program run with files limited to a few kilobytes: a longer write fails
// as on a full disk (the shell ignores the signal the kernel would send, and
// an ignored signal stays ignored in the program).
CliResult runOnFullDisk(const std::vector<std::string>& args) {
    std::string cmd = "(trap '' XFSZ; ulimit -f 8; exec " + shellQuote(std::string(KIT_BIN_DIR) + "/plotvane-cli");
    for (const std::string& a : args) cmd += " " + shellQuote(a);
    return kit::test::runShell(cmd + " < /dev/null)");
}

std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kit::test::pathOf(dir)))
        names.push_back(kit::test::utf8Of(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SafeSave, FailedOutputKeepsTheEarlierFile) {
    const std::string sites = kit::test::fixture("sites.tsv");
    struct Case {
        std::vector<std::string> command;  // before "-o"
        std::string output;
        std::vector<std::string> files;  // what the output consists of
    };
    const std::vector<Case> cases = {
        {{"sectors", sites}, "s.geojson", {"s.geojson"}},
        {{"sectors", sites}, "s.kml", {"s.kml"}},
        {{"sectors", sites}, "s.shp", {"s.cpg", "s.dbf", "s.prj", "s.shp", "s.shx"}},
        {{"coverage", "prediction", sites}, "c.geojson", {"c.geojson"}},
        {{"nearest", sites, "-n", "3"}, "n.tsv", {"n.tsv"}},
    };
    for (const Case& c : cases) {
        kit::test::TempFolder folder;
        for (const std::string& f : c.files) ASSERT_TRUE(kit::writeFileBytes(folder.file(f), "earlier " + f));
        std::vector<std::string> args = c.command;
        args.insert(args.end(), {"-o", folder.file(c.output)});

        CliResult full = runOnFullDisk(args);
        EXPECT_EQ(full.status, 1) << c.output << ": " << full.err;
        for (const std::string& f : c.files) EXPECT_EQ(kit::readFileBytes(folder.file(f)), "earlier " + f) << f;
        EXPECT_EQ(namesIn(folder.path()), c.files) << c.output;

        // With room the same command replaces every part.
        CliResult roomy = kit::test::runCli("plotvane-cli", args);
        EXPECT_EQ(roomy.status, 0) << c.output << ": " << roomy.err;
        for (const std::string& f : c.files) EXPECT_NE(kit::readFileBytes(folder.file(f)), "earlier " + f) << f;
        EXPECT_EQ(namesIn(folder.path()), c.files) << c.output;
    }
}

}  // namespace
