// varnick-cli arfcn: the channel-number / frequency tab.
#include <charconv>

#include "calculators/arfcn.h"
#include "calculators/band_tables.h"
#include "cli/common/command.h"
#include "cli/common/io.h"
#include "cli/varnick/calc_args.h"

namespace kit::cli {

namespace {

const ArgSpec kSpec{{"--band", "--earfcn", "--arfcn", "--mhz"}, {}};

std::string lteBandList() {
    std::string list;
    for (const LteBand& b : lteBands()) {
        if (!list.empty()) list += ", ";
        list += std::to_string(b.band);
    }
    return list;
}

// The band option names a row of the LTE table by its number, as the band list
// would select it.
std::optional<int> lteBandOption(const std::optional<std::string>& text) {
    if (!text) {
        printError("arfcn lte needs --band B (one of " + lteBandList() + ")");
        return std::nullopt;
    }
    int band = 0;
    auto res = std::from_chars(text->data(), text->data() + text->size(), band);
    if (res.ec != std::errc() || res.ptr != text->data() + text->size() || !findLteBand(band)) {
        printError("--band: '" + *text + "' is not one of " + lteBandList());
        return std::nullopt;
    }
    return band;
}

int run(const std::vector<std::string>& argv) {
    Args a;
    std::vector<std::string> pos;
    if (!parseCalcArgs(argv, kSpec, a, pos)) return kExitUsage;
    if (pos.size() != 1 || (pos[0] != "lte" && pos[0] != "nr")) {
        printError("arfcn needs the standard: lte or nr");
        return kExitUsage;
    }
    const bool nr = pos[0] == "nr";
    const char* channelOption = nr ? "--arfcn" : "--earfcn";
    const char* otherOption = nr ? "--earfcn" : "--arfcn";
    auto channel = a.value(channelOption);
    auto mhz = a.value("--mhz");
    if (a.value(otherOption) || (nr && a.value("--band"))) {
        printError(std::string("arfcn ") + pos[0] + " takes " + (nr ? "--arfcn N or --mhz F" : "--band B with --earfcn N or --mhz F"));
        return kExitUsage;
    }
    if (channel.has_value() == mhz.has_value()) {
        printError(std::string("arfcn ") + pos[0] + " needs exactly one of " + channelOption + " N and --mhz F");
        return kExitUsage;
    }
    if (nr) return printTabOutcome(channel ? nrChannelToFrequency(*channel) : nrFrequencyToChannel(*mhz));
    auto band = lteBandOption(a.value("--band"));
    if (!band) return kExitUsage;
    return printTabOutcome(channel ? lteChannelToFrequency(*channel, *band) : lteFrequencyToChannel(*mhz, *band));
}

const Registrar reg{{"arfcn", "LTE EARFCN / NR-ARFCN to frequency and back",
                     R"(Usage: varnick-cli arfcn lte --band B (--earfcn N | --mhz F)
       varnick-cli arfcn nr (--arfcn N | --mhz F)
Converts a channel number to its downlink frequency (and the uplink of an LTE
FDD band) or a downlink frequency to its channel number, as the tab does. A
number outside the LTE band's downlink channels or the NR raster is refused
with the tab's warning and exit status 2.
  --band B     LTE band number: 1, 3, 5, 8, 34, 38, 39, 40 or 41
  --earfcn N   LTE channel number (read as the tab reads it: bad text is 0)
  --arfcn N    NR-ARFCN
  --mhz F      frequency in MHz
)",
                     10, run}};

}  // namespace

}  // namespace kit::cli
