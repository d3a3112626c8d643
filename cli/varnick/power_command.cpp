// varnick-cli power: dBm, W and mW.
#include "calculators/power_units.h"
#include "cli/common/command.h"
#include "cli/varnick/calc_args.h"

namespace kit::cli {

namespace {

int run(const std::vector<std::string>& argv) {
    return runListConverter(argv, "power", "--unit", kPowerUnits, 0, convertPower);
}

const Registrar reg{{"power", "power in dBm, W and mW", R"(Usage: varnick-cli power VALUE [--unit dBm|W|mW]
The value in all three power units (W or mW not above 0 read as -999 dBm).
  --unit U   unit of VALUE: dBm (default), W or mW
)",
                     30, run}};

}  // namespace

}  // namespace kit::cli
