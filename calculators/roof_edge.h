#pragma once
// The largest downtilt at which an antenna on a roof still clears the far roof
// edge with the upper edge of its 10 dB beam: arctan(H / L) - alpha / 2.
#include <string>
#include <string_view>

namespace kit {

struct RoofEdgeInput {
    double heightM = 4;     // antenna above the roof
    double distanceM = 5;   // antenna to the farthest roof edge
    double beamDeg = 24;    // vertical 10 dB beam width
};

// Field texts at start-up: height, distance, beam.
inline constexpr std::string_view kRoofEdgeDefaultFields[] = {"4", "5", "24"};

struct RoofEdgeResult {
    RoofEdgeInput input;
    double edgeAngleDeg = 0;  // arctan(H / L)
    double maxTiltDeg = 0;    // 0 when the inputs are not positive
    std::string text;
};

RoofEdgeResult computeRoofEdge(const RoofEdgeInput& input);

// The three fields as typed (read as _wtof does).
RoofEdgeResult runRoofEdge(std::string_view height, std::string_view distance, std::string_view beam);

}  // namespace kit
