// varnick-cli base: hexadecimal, decimal, octal and binary.
#include "calculators/number_base.h"
#include "cli/common/command.h"
#include "cli/varnick/calc_args.h"

namespace kit::cli {

namespace {

constexpr std::string_view kFromNames[] = {"hex", "dec", "oct", "bin"};  // the base list's order

int run(const std::vector<std::string>& argv) {
    return runListConverter(argv, "base", "--from", kFromNames, 0, convertBase);
}

const Registrar reg{{"base", "a whole number in bases 16, 10, 8 and 2",
                     R"(Usage: varnick-cli base TEXT [--from hex|dec|oct|bin]
TEXT (blanks ignored, no sign, at most 2^63 - 1) in all four bases.
  --from B   base of TEXT: hex (default), dec, oct or bin
)",
                     40, run}};

}  // namespace

}  // namespace kit::cli
