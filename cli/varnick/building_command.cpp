// varnick-cli building: the largest downtilt that clears the roof edge.
#include "calculators/roof_edge.h"
#include "cli/common/command.h"
#include "cli/common/io.h"
#include "cli/varnick/calc_args.h"

namespace kit::cli {

namespace {

const ArgSpec kSpec{{"--height", "--distance", "--angle"}, {}};

int run(const std::vector<std::string>& argv) {
    Args a;
    if (!parseOptionsOnly(argv, kSpec, a, "building")) return kExitUsage;
    const auto& d = kRoofEdgeDefaultFields;
    return printTabText(runRoofEdge(a.valueOr("--height", std::string(d[0])),
                                    a.valueOr("--distance", std::string(d[1])),
                                    a.valueOr("--angle", std::string(d[2])))
                            .text);
}

const Registrar reg{{"building", "largest downtilt that clears the roof edge",
                     R"(Usage: varnick-cli building [options]
The largest downtilt at which the beam's upper edge still clears the roof:
arctan(H/L) - angle/2.
  --height M     antenna height above the roof in metres (default 4)
  --distance M   distance to the farthest roof edge in metres (default 5)
  --angle DEG    vertical 10 dB beam width (default 24)
)",
                     60, run}};

}  // namespace

}  // namespace kit::cli
