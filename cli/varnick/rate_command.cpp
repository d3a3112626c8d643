// varnick-cli rate: Gbps, Mbps, Kbps and MB/s.
#include "calculators/rate_units.h"
#include "cli/common/command.h"
#include "cli/varnick/calc_args.h"

namespace kit::cli {

namespace {

int run(const std::vector<std::string>& argv) {
    return runListConverter(argv, "rate", "--unit", kRateUnits, kDefaultRateUnit, convertRate);
}

const Registrar reg{{"rate", "data rate in Gbps, Mbps, Kbps and MB/s",
                     R"(Usage: varnick-cli rate VALUE [--unit Gbps|Mbps|Kbps|MB/s]
The value in all four rate units.
  --unit U   unit of VALUE: Gbps, Mbps (default), Kbps or MB/s
)",
                     50, run}};

}  // namespace

}  // namespace kit::cli
