#pragma once
// The roof-edge tab's drawing: the building to scale with the antenna on its
// roof, the dimensions H and L, and the beam's upper edge at the largest
// downtilt when there is one.
#include "calculators/drawing.h"
#include "calculators/roof_edge.h"

namespace kit {

namespace roof_edge_colours {
inline constexpr Colour kGround = rgb(139, 119, 101);
inline constexpr Colour kWall = rgb(120, 120, 120);
inline constexpr Colour kBuildingFill = rgb(220, 220, 230);
inline constexpr Colour kRoof = rgb(80, 80, 80);
inline constexpr Colour kMast = rgb(60, 60, 60);
inline constexpr Colour kAntenna = rgb(220, 50, 50);
inline constexpr Colour kHeight = rgb(0, 100, 200);
inline constexpr Colour kDistance = rgb(0, 140, 0);
inline constexpr Colour kBeam = rgb(220, 80, 80);
inline constexpr Colour kBeamWidth = rgb(180, 100, 0);
}  // namespace roof_edge_colours

// The left wall and the mast stand at this x.
inline constexpr int kBuildingLeftX = 40;

// The picture for a client area of width x height pixels.
Drawing drawRoofEdgeCanvas(const RoofEdgeResult& result, int width, int height);

}  // namespace kit
