#pragma once
// Power in dBm, W and mW.
#include <string>
#include <string_view>

namespace kit {

// The unit list, in list order; dBm is selected at start-up.
inline constexpr std::string_view kPowerUnits[] = {"dBm", "W", "mW"};
inline constexpr std::string_view kPowerDefaultField = "43";

// A value in the unit of list row unitIndex as dBm; any row other than W and mW
// (no selection too) is dBm. A W or mW value not above 0 gives -999 dBm.
double powerToDbm(double value, int unitIndex);

// The result text for the field as typed (read as _wtof does).
std::string convertPower(std::string_view field, int unitIndex);

}  // namespace kit
