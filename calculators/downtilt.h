#pragma once
// Site height and downtilt to coverage distance: where the beam's upper edge,
// its main axis and its lower edge meet the ground.
#include <string>
#include <string_view>

namespace kit {

// Stands for "beyond the horizon" in mainM and farM. The drawing treats any
// distance outside (0, kDrawableDistanceM) as absent.
inline constexpr double kBeyondHorizonM = 99999;
inline constexpr double kDrawableDistanceM = 90000;
// Angles at or below this (radians) never reach the ground.
inline constexpr double kMinDownAngleRad = 0.001;

struct DowntiltInput {
    double heightM = 30;
    double mechanicalDeg = 6;
    double electricalDeg = 0;
    double beamDeg = 7;  // vertical half-power beam width
};

// Field texts at start-up, in the order height, mechanical, electrical, beam.
inline constexpr std::string_view kDowntiltDefaultFields[] = {"30", "6", "0", "7"};

struct DowntiltResult {
    DowntiltInput input;
    double nearM = 0;  // upper beam edge; 0 when it does not reach the ground
    double mainM = kBeyondHorizonM;
    double farM = kBeyondHorizonM;  // lower beam edge
    std::string text;              // the result static's text

    double tiltDeg() const { return input.mechanicalDeg + input.electricalDeg; }
    double halfBeamDeg() const { return input.beamDeg * 0.5; }
};

DowntiltResult computeDowntilt(const DowntiltInput& input);

// The four fields as typed (read as _wtof does).
DowntiltResult runDowntilt(std::string_view height, std::string_view mechanical, std::string_view electrical,
                           std::string_view beam);

}  // namespace kit
