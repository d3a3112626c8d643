#pragma once
// The downtilt tab's drawing: the mast at its scaled height, the three rays
// of the beam to the ground, ticks where they land and the distances below.
#include "calculators/downtilt.h"
#include "calculators/drawing.h"

namespace kit {

namespace downtilt_colours {
inline constexpr Colour kGround = rgb(139, 119, 101);
inline constexpr Colour kMastOutline = rgb(70, 130, 180);
inline constexpr Colour kMastFill = rgb(200, 220, 240);
inline constexpr Colour kAntenna = rgb(255, 50, 50);
inline constexpr Colour kUpperEdge = rgb(220, 80, 80);
inline constexpr Colour kLowerEdge = rgb(80, 80, 220);
inline constexpr Colour kMainBeam = rgb(0, 150, 0);
inline constexpr Colour kMainLabel = rgb(0, 140, 0);
}  // namespace downtilt_colours

inline constexpr int kDowntiltMastX = 30;

// The picture for a client area of width x height pixels.
Drawing drawDowntiltCanvas(const DowntiltResult& result, int width, int height);

}  // namespace kit
