#include "calculators/rate_units.h"

#include "calculators/field_number.h"
#include "core/format.h"

namespace kit {

double rateToMbps(double value, int unitIndex) {
    switch (unitIndex) {
        case 0: return value * 1000;
        case 2: return value / 1000;
        case 3: return value * 8;
        default: return value;
    }
}

std::string formatRate(double value) {
    if (value >= 1e9) return formatFixed(value, 1);
    if (value >= 1e6) return formatFixed(value, 3);
    if (value >= 1) return formatFixed(value, 4);
    return formatFixed(value, 6);
}

std::string convertRate(std::string_view field, int unitIndex) {
    double mbps = rateToMbps(readFieldDouble(field, kEditTextLimit), unitIndex);
    return format("Gbps:  %s\r\nMbps:  %s\r\nKbps:  %s\r\nMB/s:  %s", formatRate(mbps / 1000), formatRate(mbps),
                  formatRate(mbps * 1000), formatRate(mbps * 0.125));
}

}  // namespace kit
