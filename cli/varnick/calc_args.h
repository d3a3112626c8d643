#pragma once
// What the varnick-cli commands share: their arguments, where a negative
// number is an input value rather than an option, and printing a tab's text.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/common/args.h"
#include "core/outcome.h"

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

// Args for a command that takes options only; prints a usage error naming
// the command when a positional input is given.
bool parseOptionsOnly(const std::vector<std::string>& argv, const ArgSpec& spec, Args& args,
                      const std::string& command);

// The converters' shape: one input text (VALUE) and one unit list chosen by
// `option` (names in list order, defaultIndex when left out); prints the
// tab's text for convert(text, list index).
int runListConverter(const std::vector<std::string>& argv, const std::string& command, const std::string& option,
                     std::span<const std::string_view> names, int defaultIndex,
                     std::string (*convert)(std::string_view, int));

// The tab's text on standard output with its CR LF line breaks as LF and one
// LF after it. Returns the exit status.
int printTabText(const std::string& text);

// The same for a tab's result that may be a warning instead: the warning goes
// to standard error with exit status 2.
int printTabOutcome(const Outcome& outcome);

}  // namespace kit::cli
