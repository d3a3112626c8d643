#pragma once
// Runs a built command-line program through the shell and captures its
// standard output, standard error and exit status (via files in a scratch
// folder that lives as long as the object).
#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace test {

struct CliResult {
    int status = -1;
    std::string out, err;
};

// Single-quotes an argument for /bin/sh.
inline std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Scratch {
public:
    Scratch() {
        static std::atomic<int> counter{0};
        dir_ = std::filesystem::temp_directory_path() /
               ("kit_cli_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(dir_);
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // program is a file name in KIT_BIN_DIR; args are quoted one by one.
    // stdinPath, when given, is redirected to standard input.
    CliResult run(const std::string& program, const std::vector<std::string>& args,
                  const std::string& stdinPath = "") const {
        std::string cmd = shellQuote(std::string(KIT_BIN_DIR) + "/" + program);
        // Appended piece by piece: GCC 12 warns (-Wrestrict) about " " + temporary.
        for (const std::string& a : args) {
            cmd += ' ';
            cmd += shellQuote(a);
        }
        cmd += " <";
        cmd += stdinPath.empty() ? std::string("/dev/null") : shellQuote(stdinPath);
        return shell(cmd);
    }

    // Any shell command line, its output captured the same way.
    CliResult shell(std::string cmd) const {
        cmd += " >" + shellQuote(path("stdout")) + " 2>" + shellQuote(path("stderr"));
        CliResult r;
        int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readAll(path("stdout"));
        r.err = readAll(path("stderr"));
        return r;
    }

private:
    std::filesystem::path dir_;
};

}  // namespace test
