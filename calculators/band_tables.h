#pragma once
// The LTE and NR bands the channel-number tab offers, compiled in. The LTE
// rows carry the downlink channel-number formula of 3GPP TS 36.101
// (F_DL = F_DL_low + 0.1 x (N_DL - N_Offs-DL)); the NR rows only label the
// band list, since NR-ARFCN does not depend on the band.
#include <span>
#include <string_view>

namespace kit {

struct LteBand {
    int band;
    double dlLowMhz, dlHighMhz;
    double ulLowMhz, ulHighMhz;  // 0 for TDD
    bool fdd;
    int nOffsDl;
    double fDlLowMhz;
    std::string_view name;  // list label
};

struct NrBand {
    int band;
    double lowMhz, highMhz;  // uplink low to downlink high for FDD
    bool fdd;
    std::string_view name;
};

std::span<const LteBand> lteBands();
std::span<const NrBand> nrBands();

// The first LTE row with that band number, or null.
const LteBand* findLteBand(int band);

// A band's downlink channel numbers: one per 100 kHz from its lower edge, so
// nOffsDl to nOffsDl + count - 1, the last at fDlLowMhz + 0.1 x (count - 1).
int lteDlChannelCount(const LteBand& b);
int lteLastDlChannel(const LteBand& b);

// Rows the band list selects when the standard list switches to LTE or NR.
inline constexpr int kDefaultLteBandIndex = 1;  // "B3 (FDD 1800)"
inline constexpr int kDefaultNrBandIndex = 4;   // "n78 (TDD 3500)"

// The band number of a row of the LTE (isNr false) or NR table; -1 when the
// index is outside the table (no selection in the list).
int bandNumberAt(bool isNr, int index);

}  // namespace kit
