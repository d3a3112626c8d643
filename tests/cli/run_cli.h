#pragma once
// Runs a built command-line program through the shell and captures its
// standard output, standard error and exit status through temporary files.
#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace kit::test {

struct CliResult {
    int status = -1;
    std::string out, err;
};

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("kit_cli_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// program is a file name in KIT_BIN_DIR; stdinPath, when given, feeds
// standard input.
inline CliResult runCli(const std::string& program, const std::vector<std::string>& args,
                        const std::string& stdinPath = "") {
    TempDir tmp;
    std::string cmd = shellQuote(std::string(KIT_BIN_DIR) + "/" + program);
    auto add = [&cmd](const char* op, const std::string& word) {
        cmd += op;
        cmd += shellQuote(word);
    };
    for (const std::string& a : args) add(" ", a);
    add(" <", stdinPath.empty() ? "/dev/null" : stdinPath);
    add(" >", tmp.file("out"));
    add(" 2>", tmp.file("err"));
    CliResult r;
    int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readAll(tmp.file("out"));
    r.err = readAll(tmp.file("err"));
    return r;
}

inline bool haveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace kit::test
