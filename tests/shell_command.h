#pragma once
// Independent tools run from a test (POSIX only): whether one is installed,
// and what a command prints on its standard output.
#ifndef _WIN32
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kit::test {

inline bool haveCommand(const std::string& probe) { return std::system((probe + " >/dev/null 2>&1").c_str()) == 0; }

// The paths handed to it hold no quotes.
inline std::string capture(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

}  // namespace kit::test
#endif
