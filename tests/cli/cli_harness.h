#pragma once
// Runs a built command-line program as a child process and captures its
// standard output, standard error and exit status (through files in the test
// program's own temporary folder).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "tests/temp_folder.h"

namespace kit::test {

struct CliResult {
    int status = -1;
    std::string out, err;
};

inline std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

// Any shell command line (its own redirections of standard input included),
// with standard output, standard error and exit status captured.
inline CliResult runShell(std::string cmd) {
    static int counter = 0;
    std::string base = tempPath("sh_" + std::to_string(++counter));
    cmd += " > " + shellQuote(base + ".out") + " 2> " + shellQuote(base + ".err");
    int raw = std::system(cmd.c_str());
    CliResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = kit::readFileBytes(base + ".out").value_or("");
    r.err = kit::readFileBytes(base + ".err").value_or("");
    return r;
}

// program is a file name in KIT_BIN_DIR; stdinText (when not null) is fed to it.
inline CliResult runCli(const std::string& program, const std::vector<std::string>& args,
                        const std::string* stdinText = nullptr) {
    static int counter = 0;
    std::string cmd = shellQuote(std::string(KIT_BIN_DIR) + "/" + program);
    for (const auto& a : args) cmd += " " + shellQuote(a);
    if (stdinText) {
        std::string in = tempPath("cli_" + std::to_string(++counter) + ".in");
        kit::writeFileBytes(in, *stdinText);
        cmd += " < " + shellQuote(in);
    } else {
        cmd += " < /dev/null";
    }
    return runShell(cmd);
}

inline std::string fixture(const std::string& name) { return std::string(KIT_FIXTURES) + "/" + name; }

}  // namespace kit::test
