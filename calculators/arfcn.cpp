#include "calculators/arfcn.h"

#include <algorithm>
#include <cmath>

#include "calculators/band_tables.h"
#include "calculators/field_number.h"
#include "core/format.h"

namespace kit {

double earfcnToDlMhz(int earfcn, int band) {
    const LteBand* b = findLteBand(band);
    if (!b || earfcn < b->nOffsDl || earfcn > lteLastDlChannel(*b)) return -1.0;
    return (earfcn - b->nOffsDl) * 0.1 + b->fDlLowMhz;
}

int dlMhzToEarfcn(double mhz, int band) {
    const LteBand* b = findLteBand(band);
    if (!b) return -1;
    // Typed edges such as 2169.9 MHz are not exact in binary: a millionth of
    // a channel of slack keeps them inside. NaN fails both comparisons.
    constexpr double kSlack = 1e-6;
    double steps = (mhz - b->fDlLowMhz) / 0.1;
    if (!(steps >= -kSlack && steps <= lteDlChannelCount(*b) - 1 + kSlack)) return -1;
    return b->nOffsDl + static_cast<int>(std::round(steps));
}

// The global frequency raster: three ranges, each F = F_ref + step * (N - N_ref).
namespace {
struct NrRaster {
    double fRefMhz, stepMhz;
    int nRef, nLast;
};
constexpr NrRaster kNrLow{0, 0.005, 0, 599999};
constexpr NrRaster kNrMid{3000, 0.015, 600000, 2016666};
constexpr NrRaster kNrHigh{24250.08, 0.06, 2016667, 3279167};

int nearestOnRaster(const NrRaster& r, double mhz) {
    return r.nRef + static_cast<int>(std::round((mhz - r.fRefMhz) / r.stepMhz));
}
}  // namespace

double nrArfcnToMhz(int arfcn) {
    for (const NrRaster& r : {kNrLow, kNrMid, kNrHigh})
        if (arfcn >= r.nRef && arfcn <= r.nLast) return r.fRefMhz + r.stepMhz * (arfcn - r.nRef);
    return -1.0;
}

int mhzToNrArfcn(double mhz) {
    if (mhz >= 0 && mhz < 3000) return nearestOnRaster(kNrLow, mhz);
    // Just below 24250 MHz the rounding may reach the next range's first
    // number, which is farther away than this range's last.
    if (mhz >= 3000 && mhz < 24250) return std::min(nearestOnRaster(kNrMid, mhz), kNrMid.nLast);
    if (mhz >= 24250 && mhz <= 52600) return nearestOnRaster(kNrHigh, mhz);
    return -1;
}

Outcome lteChannelToFrequency(std::string_view channelField, int band) {
    double dl = earfcnToDlMhz(readFieldInt(channelField, kChannelFieldChars), band);
    if (dl < 0) return Outcome::warning(format("频点超出 Band %d 范围", band));
    std::string text = format("下行: %.1f MHz", dl);
    const LteBand* b = findLteBand(band);
    if (b->fdd) text += format("\r\n上行: %.1f MHz", dl - (b->dlLowMhz - b->ulLowMhz));
    return Outcome::success("", text);
}

Outcome lteFrequencyToChannel(std::string_view frequencyField, int band) {
    int n = dlMhzToEarfcn(readFieldDouble(frequencyField, kEditTextLimit), band);
    if (n < 0) return Outcome::warning(format("频率超出 Band %d 范围", band));
    return Outcome::success("", format("EARFCN: %d", n));
}

Outcome nrChannelToFrequency(std::string_view channelField) {
    double mhz = nrArfcnToMhz(readFieldInt(channelField, kChannelFieldChars));
    if (!(mhz > 0)) return Outcome::warning("ARFCN 超出有效范围");
    return Outcome::success("", format("频率: %.4f MHz", mhz));
}

Outcome nrFrequencyToChannel(std::string_view frequencyField) {
    int n = mhzToNrArfcn(readFieldDouble(frequencyField, kEditTextLimit));
    if (n < 0) return Outcome::warning("频率超出 NR 有效范围");
    return Outcome::success("", format("NR-ARFCN: %d", n));
}

namespace {
std::string shown(const Outcome& o) { return o.ok() ? o.text : o.message; }
}  // namespace

std::string lteChannelToFrequencyText(std::string_view channelField, int band) {
    return shown(lteChannelToFrequency(channelField, band));
}
std::string lteFrequencyToChannelText(std::string_view frequencyField, int band) {
    return shown(lteFrequencyToChannel(frequencyField, band));
}
std::string nrChannelToFrequencyText(std::string_view channelField) {
    return shown(nrChannelToFrequency(channelField));
}
std::string nrFrequencyToChannelText(std::string_view frequencyField) {
    return shown(nrFrequencyToChannel(frequencyField));
}

}  // namespace kit
