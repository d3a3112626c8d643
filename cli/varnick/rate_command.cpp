// varnick-cli rate: Gbps, Mbps, Kbps and MB/s.
#include "calculators/rate_units.h"
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
        printError("rate needs one VALUE");
        return kExitUsage;
    }
    auto unit = choiceIndex("--unit", a.valueOr("--unit", std::string(kRateUnits[kDefaultRateUnit])), kRateUnits);
    if (!unit) return kExitUsage;
    return printTabText(convertRate(pos[0], *unit));
}

const Registrar reg{{"rate", "data rate in Gbps, Mbps, Kbps and MB/s",
                     R"(Usage: varnick-cli rate VALUE [--unit Gbps|Mbps|Kbps|MB/s]
The value in all four rate units.
  --unit U   unit of VALUE: Gbps, Mbps (default), Kbps or MB/s
)",
                     50, run}};

}  // namespace

}  // namespace kit::cli
