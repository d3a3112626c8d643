#include "analysis/match_geometry.h"

#include <cmath>
#include <limits>

#include "core/geodesy.h"

namespace kit {

bool pointInRing(const std::vector<Position>& ring, double x, double y) {
    const size_t n = ring.size();
    if (n < 3) return false;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const double xi = ring[i].lon, yi = ring[i].lat;
        const double xj = ring[j].lon, yj = ring[j].lat;
        if (((yi > y) != (yj > y)) && (x < (y - yi) * (xj - xi) / (yj - yi) + xi)) inside = !inside;
    }
    return inside;
}

double boundaryDistance(const std::vector<Position>& ring, double x, double y) {
    const size_t n = ring.size();
    if (n < 2) return kNoBoundaryDistance;
    if (!std::isfinite(x) || !std::isfinite(y)) return std::numeric_limits<double>::quiet_NaN();
    // Scaling only the longitude keeps north-south and east-west metres equal;
    // scaling both would shrink every north-south distance by cos(latitude).
    const double c = std::cos(y * kDegToRad);
    double best = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < n; ++i) {
        const Position& a = ring[i];
        const Position& b = ring[i + 1 == n ? 0 : i + 1];
        const double ex = (b.lon - a.lon) * c, ey = b.lat - a.lat;
        const double px = (x - a.lon) * c, py = y - a.lat;
        const double len2 = ex * ex + ey * ey;
        double t = 0;
        if (len2 > 0) {
            t = (px * ex + py * ey) / len2;
            t = t < 0 ? 0 : (t > 1 ? 1 : t);
        }
        const double dx = px - t * ex, dy = py - t * ey;
        const double d2 = dx * dx + dy * dy;
        if (d2 < best) best = d2;
    }
    return std::sqrt(best) * kMetresPerDegreeArc;
}

}  // namespace kit
