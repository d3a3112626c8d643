#pragma once
// The entry point every companion shares: arguments as UTF-8 (wmain on
// Windows), binary standard streams, then the subcommand.
//
//   KIT_CLI_MAIN("plotvane-cli", "Plotvane's tools from the command line: ...")
#include <string>
#include <vector>

#include "cli/common/command.h"
#include "cli/common/io.h"

namespace kit::cli {

inline int runCompanion(const char* program, const char* about, const std::vector<std::string>& args) {
    useBinaryStdio();
    return dispatch(program, KIT_VERSION, about, args);
}

}  // namespace kit::cli

#ifdef _WIN32
#define KIT_CLI_MAIN(program, about)                                                   \
    int wmain(int argc, wchar_t** argv) {                                              \
        return kit::cli::runCompanion(program, about, kit::cli::utf8Arguments(argc, argv)); \
    }
#else
#define KIT_CLI_MAIN(program, about)                                                   \
    int main(int argc, char** argv) {                                                  \
        return kit::cli::runCompanion(program, about, kit::cli::utf8Arguments(argc, argv)); \
    }
#endif
