#include "calculators/downtilt_canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/format.h"

namespace kit {

namespace {

using namespace downtilt_colours;

constexpr double kRad = std::numbers::pi / 180.0;
constexpr int kLabelPx = 10;

bool drawable(double metres) { return metres > 0 && metres < kDrawableDistanceM; }

double clampTo(double v, double lo, double hi) { return v < lo ? lo : v > hi ? hi : v; }

struct Frame {
    int width, groundY, mastTopY;
    double displayHeightM;  // the mast's height as drawn, 5-100 m
    double pixelsPerMetre;
};

// Where a ray from just below the antenna ends: on the ground when it points
// down steeply enough to land inside the canvas, else on the right edge, or on
// the top edge when it climbs out before reaching it.
Point rayEnd(const Frame& f, double angle) {
    const int x0 = kDowntiltMastX, y0 = f.mastTopY - 5, right = f.width - 5;
    if (angle > kMinDownAngleRad) {
        Point end{x0 + toPixel(f.displayHeightM / std::tan(angle) * f.pixelsPerMetre), f.groundY};
        if (end.x > right) end = {right, toPixel((right - x0) * std::tan(angle)) + y0};
        return end;
    }
    Point end{right, y0 - toPixel((right - x0) * std::tan(-angle))};
    if (end.y < 0) end = {x0 + toPixel(y0 / std::tan(-angle)), 0};
    return end;
}

}  // namespace

Drawing drawDowntiltCanvas(const DowntiltResult& r, int width, int height) {
    Drawing d{width, height, rgb(255, 255, 255), {}};
    Frame f{};
    f.width = width;
    f.groundY = height - 22;
    d.items.push_back(Polyline{{{0, f.groundY}, {width, f.groundY}}, 2, kGround});

    f.displayHeightM = clampTo(r.input.heightM, 5, 100);
    int mastPx = toPixel(toPixel((f.groundY - 10) * 0.65) * f.displayHeightM / 100);
    mastPx = std::min(std::max(mastPx, 25), f.groundY - 15);
    f.mastTopY = f.groundY - mastPx;

    double reference = drawable(r.farM) ? r.farM * 1.15 : drawable(r.mainM) ? r.mainM * 1.5 : 500;
    f.pixelsPerMetre = (width - 40) / std::max(50.0, reference);

    const int x = kDowntiltMastX, yg = f.groundY, yt = f.mastTopY;
    d.items.push_back(Polygon{{{x - 10, yg}, {x + 10, yg}, {x + 3, yt}, {x - 3, yt}}, 2, kMastOutline, kMastFill});
    d.items.push_back(Box{x - 5, yt - 10, x + 5, yt, kAntenna});

    double theta = r.tiltDeg() * kRad, half = r.halfBeamDeg() * kRad;
    struct Ray {
        double angle;
        Colour colour;
        int width;
        Stroke stroke;
    };
    const Ray rays[] = {{theta + half, kUpperEdge, 1, Stroke::Dashed},
                        {theta - half, kLowerEdge, 1, Stroke::Dashed},
                        {theta, kMainBeam, 2, Stroke::Solid}};
    Point ends[3];
    const Point origin{x, yt - 5};
    for (int i = 0; i < 3; ++i) {
        ends[i] = rayEnd(f, rays[i].angle);
        d.items.push_back(Polyline{{origin, ends[i]}, rays[i].width, rays[i].colour, rays[i].stroke});
    }
    for (int i = 0; i < 3; ++i) {
        if (ends[i].x < x || ends[i].x >= width - 3) continue;
        d.items.push_back(Polyline{{{ends[i].x, yg - 4}, {ends[i].x, yg + 4}}, 1, rays[i].colour});
    }

    const int labelY = yg + 5;
    d.items.push_back(Label{{2, (yt + yg) / 2 - 6}, format("%.0fm", r.input.heightM), kMastOutline, kLabelPx});
    if (drawable(r.nearM))
        d.items.push_back(Label{{std::max(ends[0].x - 5, 35), labelY}, format("%.0fm", r.nearM), kUpperEdge, kLabelPx});
    if (drawable(r.mainM))
        d.items.push_back(Label{{std::max(ends[2].x - 5, 35), labelY}, format("%.0fm", r.mainM), kMainLabel, kLabelPx});
    if (drawable(r.farM)) {
        int lx = std::max(std::min(width - 35, ends[1].x - 5), 35);
        d.items.push_back(Label{{lx, labelY}, format("%.0fm", r.farM), kLowerEdge, kLabelPx});
    } else if (r.farM >= kDrawableDistanceM) {
        d.items.push_back(Label{{width - 35, labelY}, "∞", kLowerEdge, kLabelPx});
    }
    return d;
}

}  // namespace kit
