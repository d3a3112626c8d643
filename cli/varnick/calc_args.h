#pragma once
// What the varnick-cli commands share: their arguments, where a negative
// number is an input value rather than an option, and printing a tab's text.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/common/args.h"

namespace kit::cli {

// Args::parse, except that a word such as "-10" or "-.5" that is not an
// option's value is taken as a positional input (power and rate values may be
// negative). On a usage error prints it and returns false.
bool parseCalcArgs(const std::vector<std::string>& argv, const ArgSpec& spec, Args& args,
                   std::vector<std::string>& positional);

// The position of value among names (exact match); nullopt after printing a
// usage error that lists them.
std::optional<int> choiceIndex(const std::string& option, const std::string& value,
                               std::span<const std::string_view> names);

// The tab's text on standard output with its CR LF line breaks as LF and one
// LF after it. Returns the exit status.
int printTabText(const std::string& text);

}  // namespace kit::cli
