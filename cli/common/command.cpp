#include "cli/common/command.h"

#include <algorithm>
#include <iostream>

namespace kit::cli {

std::vector<Command>& registry() {
    static std::vector<Command> commands;
    return commands;
}

namespace {

void printProgramHelp(const std::string& program, const std::string& about) {
    auto cmds = registry();
    std::stable_sort(cmds.begin(), cmds.end(), [](const Command& a, const Command& b) { return a.order < b.order; });
    std::cout << "Usage: " << program << " COMMAND [OPTIONS] [INPUT...]\n" << about << "\n\nCommands:\n";
    for (const Command& c : cmds) {
        std::string name = c.name;
        name.resize(std::max<size_t>(name.size(), 12), ' ');
        std::cout << "  " << name << c.summary << "\n";
    }
    std::cout << "\nRun '" << program << " COMMAND --help' for a command's options.\n"
              << "Exit status: 0 success, 1 a file could not be read or written or memory ran out,\n"
              << "2 usage error or warning.\n";
}

}  // namespace

int dispatch(const std::string& program, const std::string& version, const std::string& about,
             const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0] == "--help" || argv[0] == "-h" || argv[0] == "help") {
        printProgramHelp(program, about);
        return argv.empty() ? kExitUsage : kExitOk;
    }
    if (argv[0] == "--version") {
        std::cout << program << " " << version << "\n";
        return kExitOk;
    }
    for (const Command& c : registry()) {
        if (c.name != argv[0]) continue;
        std::vector<std::string> rest(argv.begin() + 1, argv.end());
        if (std::find(rest.begin(), rest.end(), "--help") != rest.end() ||
            std::find(rest.begin(), rest.end(), "-h") != rest.end()) {
            std::cout << c.usage;
            if (c.usage.empty() || c.usage.back() != '\n') std::cout << "\n";
            return kExitOk;
        }
        return c.run(rest);
    }
    std::cerr << program << ": unknown command '" << argv[0] << "' (see --help)\n";
    return kExitUsage;
}

}  // namespace kit::cli
