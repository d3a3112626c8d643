#include "calculators/power_units.h"

#include <cmath>

#include "calculators/field_number.h"
#include "core/format.h"

namespace kit {

namespace {
constexpr double kNoPowerDbm = -999;
}

double powerToDbm(double value, int unitIndex) {
    switch (unitIndex) {
        case 1: return value <= 0 ? kNoPowerDbm : 10 * std::log10(value) + 30;
        case 2: return value <= 0 ? kNoPowerDbm : 10 * std::log10(value);
        default: return value;
    }
}

std::string convertPower(std::string_view field, int unitIndex) {
    double dbm = powerToDbm(readFieldDouble(field, kEditTextLimit), unitIndex);
    double watts = std::pow(10.0, (dbm - 30) / 10);
    double milliwatts = std::pow(10.0, dbm / 10);
    return format("dBm:  %.2f dBm\r\nW:    %.6f W\r\nmW:   %.2f mW", dbm, watts, milliwatts);
}

}  // namespace kit
