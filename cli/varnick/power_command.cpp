// varnick-cli power: dBm, W and mW.
#include "calculators/power_units.h"
#include "cli/common/command.h"
#include "cli/common/io.h"
#include "cli/varnick/calc_args.h"

namespace kit::cli {

namespace {

const ArgSpec kSpec{{"--unit"}, {}};

int run(const std::vector<std::string>& argv) {
    Args a;
    std::vector<std::string> pos;
    if (!parseCalcArgs(argv, kSpec, a, pos)) return kExitUsage;
    if (pos.size() != 1) {
        printError("power needs one VALUE");
        return kExitUsage;
    }
    auto unit = choiceIndex("--unit", a.valueOr("--unit", "dBm"), kPowerUnits);
    if (!unit) return kExitUsage;
    return printTabText(convertPower(pos[0], *unit));
}

const Registrar reg{{"power", "power in dBm, W and mW", R"(Usage: varnick-cli power VALUE [--unit dBm|W|mW]
The value in all three power units (W or mW not above 0 read as -999 dBm).
  --unit U   unit of VALUE: dBm (default), W or mW
)",
                     30, run}};

}  // namespace

}  // namespace kit::cli
