#include "calculators/band_tables.h"

#include <cmath>

namespace kit {

namespace {

// N_Offs-DL per band from 3GPP TS 36.101 (E-UTRA channel numbers); band 34's
// downlink channels run 36200-36349 from 2010 MHz.
constexpr LteBand kLte[] = {
    {1, 2110, 2170, 1920, 1980, true, 0, 2110, "B1 (FDD 2100)"},
    {3, 1805, 1880, 1710, 1785, true, 1200, 1805, "B3 (FDD 1800)"},
    {5, 869, 894, 824, 849, true, 2400, 869, "B5 (FDD 850)"},
    {8, 925, 960, 880, 915, true, 3450, 925, "B8 (FDD 900)"},
    {34, 2010, 2025, 0, 0, false, 36200, 2010, "B34 (TDD 2000)"},
    {38, 2570, 2620, 0, 0, false, 37750, 2570, "B38 (TDD 2600)"},
    {39, 1880, 1920, 0, 0, false, 38250, 1880, "B39 (TDD 1900)"},
    {40, 2300, 2400, 0, 0, false, 38650, 2300, "B40 (TDD 2300)"},
    {41, 2496, 2690, 0, 0, false, 39650, 2496, "B41 (TDD 2600)"},
};

constexpr NrBand kNr[] = {
    {1, 1920, 2170, true, "n1 (FDD 2100)"},     {3, 1710, 1880, true, "n3 (FDD 1800)"},
    {28, 703, 803, true, "n28 (FDD 700)"},      {41, 2496, 2690, false, "n41 (TDD 2600)"},
    {78, 3300, 3800, false, "n78 (TDD 3500)"},  {79, 4400, 5000, false, "n79 (TDD 4900)"},
};

}  // namespace

std::span<const LteBand> lteBands() { return kLte; }
std::span<const NrBand> nrBands() { return kNr; }

const LteBand* findLteBand(int band) {
    for (const LteBand& b : kLte)
        if (b.band == band) return &b;
    return nullptr;
}

int lteDlChannelCount(const LteBand& b) { return static_cast<int>(std::lround((b.dlHighMhz - b.dlLowMhz) * 10)); }

int lteLastDlChannel(const LteBand& b) { return b.nOffsDl + lteDlChannelCount(b) - 1; }

int bandNumberAt(bool isNr, int index) {
    if (index < 0) return -1;
    size_t i = static_cast<size_t>(index);
    if (isNr) return i < std::size(kNr) ? kNr[i].band : -1;
    return i < std::size(kLte) ? kLte[i].band : -1;
}

}  // namespace kit
