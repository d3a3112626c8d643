#pragma once
// Varnick's six calculator tabs. Each creates its panel inside the main
// window and returns it; the panels read their fields, call the portable
// calculation and show the text it returns.
#include <windows.h>

namespace kit {

HWND createFreqTab(HWND mainWindow);      // "TabFreqContent": EARFCN / NR-ARFCN and frequency
HWND createDowntiltTab(HWND mainWindow);  // "TabDowntiltContent": height and tilt to distances, drawn
HWND createPowerTab(HWND mainWindow);     // "TabPowerContent": dBm, W, mW
HWND createBaseTab(HWND mainWindow);      // "TabBaseContent": bases 16, 10, 8, 2
HWND createSpeedTab(HWND mainWindow);     // "TabSpeedContent": Gbps, Mbps, Kbps, MB/s
HWND createBuildingTab(HWND mainWindow);  // "TabBuildingContent": roof-edge downtilt, drawn

// Control IDs inside the panels.
namespace calc_id {
// Channel number / frequency.
inline constexpr int kStandard = 2001, kBand = 2002, kChannel = 2003, kFrequency = 2004;
inline constexpr int kToFrequency = 2005, kToChannel = 2006, kFreqHelp = 2007, kFreqResult = 2008;
// Downtilt.
inline constexpr int kHeight = 2110, kMechanical = 2111, kElectrical = 2112, kBeam = 2113;
inline constexpr int kDowntiltCompute = 2120, kDowntiltHelp = 2121, kDowntiltResult = 2122, kDowntiltCanvas = 2123;
// Power, base and rate converters: field, list, button, result, help.
inline constexpr int kPowerField = 2200, kPowerUnit = 2201, kPowerResult = 2202, kPowerConvert = 2203,
                     kPowerHelp = 2204;
inline constexpr int kBaseField = 2300, kBaseList = 2301, kBaseResult = 2302, kBaseConvert = 2303, kBaseHelp = 2304;
inline constexpr int kRateField = 2400, kRateUnit = 2401, kRateConvert = 2402, kRateHelp = 2403, kRateResult = 2404;
// Roof edge.
inline constexpr int kRoofHeight = 2501, kRoofDistance = 2502, kRoofBeam = 2503;
inline constexpr int kRoofCompute = 2504, kRoofHelp = 2505, kRoofResult = 2506, kRoofCanvas = 2507;
}  // namespace calc_id

}  // namespace kit
