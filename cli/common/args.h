#pragma once
// Command-line arguments of one subcommand: options in any order before or
// after the positional inputs, "--name VALUE" or "--name=VALUE", and flags.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kit::cli {

struct ArgSpec {
    std::set<std::string> valued;  // e.g. "--lon", "-n", "-o"
    std::set<std::string> flags;   // e.g. "--geom", "--help"
};

class Args {
public:
    // Parses; on a usage error returns false and sets error.
    bool parse(const std::vector<std::string>& argv, const ArgSpec& spec, std::string& error);

    std::optional<std::string> value(const std::string& name) const;
    std::string valueOr(const std::string& name, const std::string& fallback) const;
    bool flag(const std::string& name) const { return flags_.count(name) > 0; }
    const std::vector<std::string>& positional() const { return positional_; }

private:
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
    std::vector<std::string> positional_;
};

}  // namespace kit::cli
