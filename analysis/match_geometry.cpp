#include "analysis/match_geometry.h"

#include <limits>

#include "core/geodesy.h"

namespace kit {

bool pointInRing(const std::vector<Position>& ring, double x, double y) {
    if (ring.size() < 3) return false;
    bool inside = false;
    forEachEdge(ring, [&](size_t j, size_t i) {
        if (crossesRay(ring[j], ring[i], x, y)) inside = !inside;
    });
    return inside;
}

double boundaryDistance(const std::vector<Position>& ring, double x, double y) {
    if (ring.size() < 2) return kNoBoundaryDistance;
    if (!std::isfinite(x) || !std::isfinite(y)) return std::numeric_limits<double>::quiet_NaN();
    // Scaling only the longitude keeps north-south and east-west metres equal;
    // scaling both would shrink every north-south distance by cos(latitude).
    const double c = std::cos(y * kDegToRad);
    double best = std::numeric_limits<double>::infinity();
    forEachEdge(ring, [&](size_t a, size_t b) {
        const double d2 = edgeDistance2(ring[a], ring[b], x, y, c);
        if (d2 < best) best = d2;
    });
    return std::sqrt(best) * kMetresPerDegreeArc;
}

}  // namespace kit
