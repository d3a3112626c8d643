// plotvane-cli: Plotvane's tools for scripts, one subcommand per tab.
#include "cli/common/command.h"
#include "cli/common/io.h"

namespace {
int runMain(const std::vector<std::string>& args) {
    kit::cli::useBinaryStdio();
    return kit::cli::dispatch("plotvane-cli", KIT_VERSION,
                              "Plotvane's tools from the command line: tables in, tables or layer files out.", args);
}
}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return runMain(kit::cli::utf8Arguments(argc, argv)); }
#else
int main(int argc, char** argv) { return runMain(kit::cli::utf8Arguments(argc, argv)); }
#endif
