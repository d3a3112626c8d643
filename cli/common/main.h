#pragma once
// The entry point every companion shares: arguments as UTF-8 (wmain on
// Windows), binary standard streams, then the subcommand.
//
//   KIT_CLI_MAIN("plotvane-cli", "Plotvane's tools from the command line: ...")
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/common/command.h"
#include "cli/common/io.h"

namespace kit::cli {

// A run that asks for more memory than there is ends with the message, not
// a signal: files it was writing are abandoned by their writers on the way
// out, and files it had finished stay.
inline int runCompanion(const char* program, const char* about, const std::vector<std::string>& args) {
    useBinaryStdio();
    try {
        return dispatch(program, KIT_VERSION, about, args);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {  // a size no container can hold
    }
    printError(kOutOfMemory);
    return kExitFile;
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
