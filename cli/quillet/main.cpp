// quillet-cli: Quillet's three KML tabs for scripts, one file or a batch.
#include "cli/common/command.h"
#include "cli/common/io.h"

namespace {
int runMain(const std::vector<std::string>& args) {
    kit::cli::useBinaryStdio();
    return kit::cli::dispatch("quillet-cli", KIT_VERSION,
                              "Quillet's KML generators from the command line: the same files its tabs write.", args);
}
}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return runMain(kit::cli::utf8Arguments(argc, argv)); }
#else
int main(int argc, char** argv) { return runMain(kit::cli::utf8Arguments(argc, argv)); }
#endif
