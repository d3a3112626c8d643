#pragma once
// Runs a built command-line program through the shell and captures what it
// writes and how it ends, for end-to-end tests.
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kit::testing {

struct CliRun {
    int status = -1;  // exit status, -1 when the program did not exit normally
    std::string out, err;
};

inline std::string shellQuote(const std::string& word) {
    std::string q = "'";
    for (char c : word) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    q += '\'';
    return q;
}

inline std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// program is the file name in KIT_BIN_DIR; stdin reads from /dev/null.
inline CliRun runCli(const std::string& program, const std::vector<std::string>& args) {
    static std::atomic<int> counter{0};
    namespace fs = std::filesystem;
    std::string stem = "kit_cli_" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    fs::path out = fs::temp_directory_path() / (stem + ".out"), err = fs::temp_directory_path() / (stem + ".err");
    std::string cmd = shellQuote(std::string(KIT_BIN_DIR) + "/" + program);
    for (const std::string& a : args) {
        cmd += ' ';
        cmd += shellQuote(a);
    }
    cmd += " </dev/null >";
    cmd += shellQuote(out.string());
    cmd += " 2>";
    cmd += shellQuote(err.string());
    int raw = std::system(cmd.c_str());
    CliRun run;
    if (raw != -1 && WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
    run.out = slurp(out);
    run.err = slurp(err);
    std::error_code ec;
    fs::remove(out, ec);
    fs::remove(err, ec);
    return run;
}

}  // namespace kit::testing
