#include "calculators/roof_edge_canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "calculators/downtilt.h"
#include "core/format.h"

namespace kit {

namespace {

using namespace roof_edge_colours;

constexpr int kLabelPx = 11;
constexpr int kArcRadius = 30;
constexpr int kArcSegments = 15;

double clampTo(double v, double lo, double hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

Drawing drawRoofEdgeCanvas(const RoofEdgeResult& r, int width, int height) {
    Drawing d{width, height, rgb(255, 255, 255), {}};
    const int yg = height - 18;
    d.items.push_back(Polyline{{{0, yg}, {width, yg}}, 2, kGround});

    // Scale so that the building fits both ways, within sensible limits.
    double hd = clampTo(r.input.heightM, 1, 100), ld = clampTo(r.input.distanceM, 1, 200);
    const int available = height - 48;
    double s = clampTo(std::min((width - 60) / ld, available / hd), 0.5, 15);

    int e = std::min(std::max(toPixel(s * ld), 30), width - 60);
    int buildingPx = std::min(std::max(toPixel(s * hd), 20), available);
    const int yr = yg - buildingPx;
    const int xr = std::min(width - 10, e + 40);
    const int x = kBuildingLeftX;

    d.items.push_back(Box{x, yr, xr, yg, kBuildingFill, 2, kWall});
    d.items.push_back(Polyline{{{35, yr}, {xr + 5, yr}}, 3, kRoof});
    d.items.push_back(Polyline{{{x, yr}, {x, yr - 20}}, 2, kMast});
    d.items.push_back(Box{36, yr - 28, 44, yr - 20, kAntenna});

    d.items.push_back(Polyline{{{22, yr}, {22, yr - 24}}, 1, kHeight});
    d.items.push_back(Polyline{{{19, yr - 20}, {22, yr - 24}, {25, yr - 20}}, 1, kHeight});
    d.items.push_back(Polyline{{{19, yr - 4}, {22, yr}, {25, yr - 4}}, 1, kHeight});

    const int yd = yr + 15;
    d.items.push_back(Polyline{{{x, yd}, {xr, yd}}, 1, kDistance});
    d.items.push_back(Polyline{{{44, yr + 12}, {x, yd}, {44, yr + 18}}, 1, kDistance});
    d.items.push_back(Polyline{{{xr - 4, yr + 12}, {xr, yd}, {xr - 4, yr + 18}}, 1, kDistance});

    const double tilt = r.maxTiltDeg * std::numbers::pi / 180.0;
    if (tilt > kMinDownAngleRad) {
        const Point antenna{x, yr - 24};
        int dx = toPixel(1.1 * e);
        Point end{x + dx, antenna.y + toPixel(dx * std::tan(tilt))};
        if (end.y > yg) end = {toPixel((yg - yr + 24) / std::tan(tilt)) + x, yg};
        d.items.push_back(Polyline{{antenna, end}, 2, kBeam, Stroke::Dashed});
        Polyline arc{{}, 1, kBeam};
        for (int i = 0; i <= kArcSegments; ++i) {
            double a = tilt * i / kArcSegments;
            arc.points.push_back({antenna.x + toPixel(kArcRadius * std::cos(a)),
                                  antenna.y + toPixel(kArcRadius * std::sin(a))});
        }
        d.items.push_back(std::move(arc));
        d.items.push_back(Label{{75, antenna.y + toPixel(kArcRadius * std::sin(tilt / 2))},
                                format("θ=%.1f°", r.maxTiltDeg), kBeam, kLabelPx});
    }

    const int mid = (xr + x) / 2;
    d.items.push_back(Label{{-13, yr - 16}, format("H=%.0fm", r.input.heightM), kHeight, kLabelPx});
    d.items.push_back(Label{{mid - 15, yd + 4}, format("L=%.0fm", r.input.distanceM), kDistance, kLabelPx});
    d.items.push_back(Label{{mid - 12, yg - 20}, "楼体", kRoof, kLabelPx});
    d.items.push_back(Label{{45, yr - 40}, format("α=%.0f°", r.input.beamDeg), kBeamWidth, kLabelPx});
    return d;
}

}  // namespace kit
