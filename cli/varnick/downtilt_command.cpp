// varnick-cli downtilt: site height and downtilt to coverage distance.
#include "calculators/downtilt.h"
#include "cli/common/command.h"
#include "cli/common/io.h"
#include "cli/varnick/calc_args.h"

namespace kit::cli {

namespace {

const ArgSpec kSpec{{"--height", "--mech", "--elec", "--beam"}, {}};

int run(const std::vector<std::string>& argv) {
    Args a;
    if (!parseOptionsOnly(argv, kSpec, a, "downtilt")) return kExitUsage;
    const auto& d = kDowntiltDefaultFields;
    return printTabText(runDowntilt(a.valueOr("--height", std::string(d[0])), a.valueOr("--mech", std::string(d[1])),
                                    a.valueOr("--elec", std::string(d[2])), a.valueOr("--beam", std::string(d[3])))
                            .text);
}

const Registrar reg{{"downtilt", "coverage distances from antenna height and downtilt",
                     R"(Usage: varnick-cli downtilt [options]
Where the beam's upper edge, main axis and lower edge meet the ground.
  --height M   antenna height in metres (default 30)
  --mech DEG   mechanical downtilt (default 6)
  --elec DEG   electrical downtilt (default 0)
  --beam DEG   vertical half-power beam width (default 7)
)",
                     20, run}};

}  // namespace

}  // namespace kit::cli
