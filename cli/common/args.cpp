#include "cli/common/args.h"

namespace kit::cli {

bool Args::parse(const std::vector<std::string>& argv, const ArgSpec& spec, std::string& error) {
    bool onlyPositional = false;
    for (size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (onlyPositional || a == "-" || a.size() < 2 || a[0] != '-') {
            positional_.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyPositional = true;
            continue;
        }
        std::string name = a, inlineValue;
        bool hasInline = false;
        if (size_t eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            inlineValue = a.substr(eq + 1);
            hasInline = true;
        }
        if (spec.flags.count(name)) {
            if (hasInline) {
                error = "option " + name + " takes no value";
                return false;
            }
            flags_.insert(name);
        } else if (spec.valued.count(name)) {
            if (hasInline) {
                values_[name] = inlineValue;
            } else if (i + 1 < argv.size()) {
                values_[name] = argv[++i];
            } else {
                error = "option " + name + " needs a value";
                return false;
            }
        } else {
            // A negative number where a value is expected is taken above; here
            // a lone "-3" is most likely a positional typo, so say so.
            error = "unknown option " + name;
            return false;
        }
    }
    return true;
}

std::optional<std::string> Args::value(const std::string& name) const {
    auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

std::string Args::valueOr(const std::string& name, const std::string& fallback) const {
    return value(name).value_or(fallback);
}

}  // namespace kit::cli
