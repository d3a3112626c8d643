#pragma once
// Data rates in Gbps, Mbps, Kbps and MB/s.
#include <string>
#include <string_view>

namespace kit {

// The unit list, in list order; Mbps is selected at start-up.
inline constexpr std::string_view kRateUnits[] = {"Gbps", "Mbps", "Kbps", "MB/s"};
inline constexpr int kDefaultRateUnit = 1;
inline constexpr std::string_view kRateDefaultField = "100";

// A value in the unit of list row unitIndex as Mbps; any other row is Mbps.
double rateToMbps(double value, int unitIndex);

// One value with as many decimals as its size deserves: "%.1f" from 1e9,
// "%.3f" from 1e6, "%.4f" from 1, "%.6f" below (zero and negatives too).
std::string formatRate(double value);

// The result text for the field as typed (read as _wtof does).
std::string convertRate(std::string_view field, int unitIndex);

}  // namespace kit
