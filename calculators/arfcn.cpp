#include "calculators/arfcn.h"

#include <climits>
#include <cmath>
#include <cstdint>

#include "calculators/band_tables.h"
#include "calculators/field_number.h"
#include "core/format.h"

namespace kit {

double earfcnToDlMhz(int earfcn, int band) {
    const LteBand* b = findLteBand(band);
    if (!b || earfcn < 0) return -1.0;
    return (static_cast<double>(earfcn) - b->nOffsDl) * 0.1 + b->fDlLowMhz;
}

int dlMhzToEarfcn(double mhz, int band) {
    const LteBand* b = findLteBand(band);
    if (!b || !(mhz > 0)) return -1;
    double n = b->nOffsDl + std::round((mhz - b->fDlLowMhz) / 0.1);
    // A frequency far beyond any band would not fit the channel number.
    if (!(n >= INT_MIN && n <= INT_MAX)) return -1;
    return static_cast<int>(n);
}

double nrArfcnToMhz(int arfcn) {
    uint32_t n = static_cast<uint32_t>(arfcn);
    if (n <= 599999) return 0.005 * n;
    if (n >= 2016667 && n <= 3279167) return 24250.08 + 0.06 * (n - 2016667);
    return -1.0;
}

int mhzToNrArfcn(double mhz) {
    if (mhz >= 0 && mhz <= 7125) return static_cast<int>(std::round(mhz / 0.005));
    if (mhz >= 24250 && mhz <= 52600) return 2016667 + static_cast<int>(std::round((mhz - 24250.08) / 0.06));
    return -1;
}

std::string lteChannelToFrequencyText(std::string_view channelField, int band) {
    double dl = earfcnToDlMhz(readFieldInt(channelField, kChannelFieldChars), band);
    if (!(dl > 0)) return format("频点超出 Band %d 范围", band);
    std::string text = format("下行: %.1f MHz", dl);
    const LteBand* b = findLteBand(band);
    if (b->fdd) text += format("\r\n上行: %.1f MHz", dl - (b->dlLowMhz - b->ulLowMhz));
    return text;
}

std::string lteFrequencyToChannelText(std::string_view frequencyField, int band) {
    int n = dlMhzToEarfcn(readFieldDouble(frequencyField, kEditTextLimit), band);
    if (n < 0) return format("频率超出 Band %d 范围", band);
    return format("EARFCN: %d", n);
}

std::string nrChannelToFrequencyText(std::string_view channelField) {
    double mhz = nrArfcnToMhz(readFieldInt(channelField, kChannelFieldChars));
    if (!(mhz > 0)) return "ARFCN 超出有效范围";
    return format("频率: %.4f MHz", mhz);
}

std::string nrFrequencyToChannelText(std::string_view frequencyField) {
    int n = mhzToNrArfcn(readFieldDouble(frequencyField, kEditTextLimit));
    if (n < 0) return "频率超出 NR 有效范围";
    return format("NR-ARFCN: %d", n);
}

}  // namespace kit
