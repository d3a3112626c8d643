// varnick-cli: Varnick's calculators for scripts, one subcommand per tab.
#include "cli/common/command.h"
#include "cli/common/io.h"

namespace {
int runMain(const std::vector<std::string>& args) {
    kit::cli::useBinaryStdio();
    return kit::cli::dispatch("varnick-cli", KIT_VERSION,
                              "Varnick's calculators from the command line: each prints the text its tab shows.",
                              args);
}
}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return runMain(kit::cli::utf8Arguments(argc, argv)); }
#else
int main(int argc, char** argv) { return runMain(kit::cli::utf8Arguments(argc, argv)); }
#endif
