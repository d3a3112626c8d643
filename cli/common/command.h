#pragma once
// A CLI program is a list of subcommands; each source file registers its own
// with a static Registrar, so adding a command touches no other file.
#include <functional>
#include <string>
#include <vector>

namespace kit::cli {

struct Command {
    std::string name;
    std::string summary;  // one line for the program's --help
    std::string usage;    // the command's --help text
    int order = 0;        // position in the program's --help listing
    std::function<int(const std::vector<std::string>& args)> run;
};

std::vector<Command>& registry();

struct Registrar {
    explicit Registrar(Command c) { registry().push_back(std::move(c)); }
};

// Dispatches argv (without the program name) to a command; handles --help and
// --version. Returns the exit status.
int dispatch(const std::string& program, const std::string& version, const std::string& about,
             const std::vector<std::string>& argv);

// Exit statuses of every companion.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFile = 1;
inline constexpr int kExitUsage = 2;

}  // namespace kit::cli
