#include "cli/varnick/calc_args.h"

#include "cli/common/command.h"
#include "cli/common/io.h"
#include "core/outcome.h"

namespace kit::cli {

namespace {

bool looksNegativeNumber(const std::string& word) {
    return word.size() >= 2 && word[0] == '-' && ((word[1] >= '0' && word[1] <= '9') || word[1] == '.');
}

}  // namespace

bool parseCalcArgs(const std::vector<std::string>& argv, const ArgSpec& spec, Args& args,
                   std::vector<std::string>& positional) {
    std::vector<std::string> rest, negatives;
    bool onlyPositional = false;
    for (size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (!onlyPositional && spec.valued.count(a) && i + 1 < argv.size()) {
            rest.push_back(a);
            rest.push_back(argv[++i]);
            continue;
        }
        if (a == "--") onlyPositional = true;
        if (!onlyPositional && looksNegativeNumber(a) && !spec.valued.count(a) && !spec.flags.count(a)) {
            negatives.push_back(a);
            continue;
        }
        rest.push_back(a);
    }
    std::string error;
    if (!args.parse(rest, spec, error)) {
        printError(error);
        return false;
    }
    positional = args.positional();
    positional.insert(positional.end(), negatives.begin(), negatives.end());
    return true;
}

std::optional<int> choiceIndex(const std::string& option, const std::string& value,
                               std::span<const std::string_view> names) {
    std::string list;
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == value) return static_cast<int>(i);
        if (i) list += '|';
        list += names[i];
    }
    printError(option + ": '" + value + "' is not one of " + list);
    return std::nullopt;
}

bool parseOptionsOnly(const std::vector<std::string>& argv, const ArgSpec& spec, Args& args,
                      const std::string& command) {
    std::vector<std::string> positional;
    if (!parseCalcArgs(argv, spec, args, positional)) return false;
    if (!positional.empty()) {
        printError(command + " takes no inputs besides its options");
        return false;
    }
    return true;
}

int runListConverter(const std::vector<std::string>& argv, const std::string& command, const std::string& option,
                     std::span<const std::string_view> names, int defaultIndex,
                     std::string (*convert)(std::string_view, int)) {
    Args a;
    std::vector<std::string> positional;
    if (!parseCalcArgs(argv, ArgSpec{{option}, {}}, a, positional)) return kExitUsage;
    if (positional.size() != 1) {
        printError(command + " needs one input (quote it when it holds blanks)");
        return kExitUsage;
    }
    auto index = a.value(option) ? choiceIndex(option, *a.value(option), names) : std::optional<int>(defaultIndex);
    if (!index) return kExitUsage;
    return printTabText(convert(positional[0], *index));
}

int printTabText(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    out += '\n';
    return finishTextOutcome(Outcome::success("", out), "");
}

int printTabOutcome(const Outcome& outcome) {
    return outcome.ok() ? printTabText(outcome.text) : finishTextOutcome(outcome, "");
}

}  // namespace kit::cli
