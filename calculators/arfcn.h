#pragma once
// Channel numbers and carrier frequencies: LTE EARFCN (downlink, with the
// uplink of FDD bands) and NR-ARFCN, both ways, and the texts the
// channel-number tab shows for each button.
#include <string>
#include <string_view>

#include "core/outcome.h"

namespace kit {

// Downlink MHz of an EARFCN in a band of the LTE table; -1.0 for a band that
// is not in the table or a channel number outside the band's downlink
// channels (EARFCN 1300 belongs to band 3, not band 1).
double earfcnToDlMhz(int earfcn, int band);

// The EARFCN nearest to a downlink frequency (halves away from zero); -1 for a
// band not in the table or a frequency outside the band's downlink channels,
// from F_DL_low to the last channel's frequency (2110.0-2169.9 MHz in band 1).
int dlMhzToEarfcn(double mhz, int band);

// NR-ARFCN to MHz on the global raster: 5 kHz steps from 0 MHz (0-599999),
// 15 kHz steps from 3000 MHz (600000-2016666) and 60 kHz steps from
// 24250.08 MHz (2016667-3279167); -1.0 for every other number.
double nrArfcnToMhz(int arfcn);

// MHz to the nearest NR-ARFCN of the range the frequency lies in (halves away
// from zero): below 3000 MHz the 5 kHz steps, 3000 to below 24250 MHz the
// 15 kHz steps, 24250-52600 MHz the 60 kHz steps; -1 otherwise.
int mhzToNrArfcn(double mhz);

// The tab's standard list, and its two fields at start-up.
inline constexpr std::string_view kStandardNames[] = {"LTE", "NR"};
inline constexpr std::string_view kChannelDefaultField = "1300";
inline constexpr std::string_view kFrequencyDefaultField = "1842.5";

// "→ 算频率" and "→ 算频点" with the channel and frequency fields as typed and
// the band number of the band list (-1 with no selection; NR ignores it): the
// result text, or a warning for a number the band or the raster does not hold.
Outcome lteChannelToFrequency(std::string_view channelField, int band);
Outcome lteFrequencyToChannel(std::string_view frequencyField, int band);
Outcome nrChannelToFrequency(std::string_view channelField);
Outcome nrFrequencyToChannel(std::string_view frequencyField);

// What the tab shows for each: the result text, or the warning in its place.
std::string lteChannelToFrequencyText(std::string_view channelField, int band);
std::string lteFrequencyToChannelText(std::string_view frequencyField, int band);
std::string nrChannelToFrequencyText(std::string_view channelField);
std::string nrFrequencyToChannelText(std::string_view frequencyField);

}  // namespace kit
