#pragma once
// The two geometric tests of layer matching: even-odd containment in a ring
// and the distance from a point to a ring's boundary.
//
// A polygon with holes (or several polygons) is stored as its rings one after
// another, each closed by repeating its first vertex. The edges are those of
// each ring; the step from one ring's closing vertex to the next ring's first
// vertex is no edge. The last ring needs no closing vertex: its closing edge
// is implied, as for a plain ring.
#include <cmath>
#include <cstddef>
#include <vector>

#include "layers/feature.h"

namespace kit {

// What the boundary distance gives for a ring that has no edge.
inline constexpr double kNoBoundaryDistance = 1e18;

// Calls edge(from, to) with the vertex indices of every edge, in ring order.
template <class EdgeFn>
void forEachEdge(const std::vector<Position>& ring, EdgeFn&& edge) {
    const size_t n = ring.size();
    size_t start = 0;  // first vertex of the ring being walked
    for (size_t i = 0; i + 1 < n; ++i) {
        if (i > start && ring[i] == ring[start]) {  // this ring closed here: the next one starts
            start = i + 1;
            continue;
        }
        edge(i, i + 1);
    }
    if (n > 0) edge(n - 1, start);
}

// Whether the edge from vertex j to vertex i crosses the horizontal ray going
// east from (x, y): the even-odd step.
inline bool crossesRay(const Position& j, const Position& i, double x, double y) {
    return ((i.lat > y) != (j.lat > y)) && (x < (y - i.lat) * (j.lon - i.lon) / (j.lat - i.lat) + i.lon);
}

// Squared distance in degrees from (x, y) to the edge a-b, longitudes scaled
// by c (the cosine of the point's latitude).
inline double edgeDistance2(const Position& a, const Position& b, double x, double y, double c) {
    const double ex = (b.lon - a.lon) * c, ey = b.lat - a.lat;
    const double px = (x - a.lon) * c, py = y - a.lat;
    const double len2 = ex * ex + ey * ey;
    double t = 0;
    if (len2 > 0) {
        t = (px * ex + py * ey) / len2;
        t = t < 0 ? 0 : (t > 1 ? 1 : t);
    }
    const double dx = px - t * ex, dy = py - t * ey;
    return dx * dx + dy * dy;
}

// Even-odd rule over the ring's edges, longitude as x and latitude as y in
// degrees. A ring of fewer than 3 vertices holds nothing.
bool pointInRing(const std::vector<Position>& ring, double lon, double lat);

// Metres from the point to the nearest edge of the ring (closing edge
// included), measured in a local equirectangular plane at the point's
// latitude: longitude differences shrink by cos(latitude), latitude
// differences don't, and a degree is 111194.92664455873 m. A ring of fewer
// than 2 vertices gives kNoBoundaryDistance; a point that is not finite gives
// NaN (it lies at no distance from anything).
double boundaryDistance(const std::vector<Position>& ring, double lon, double lat);

}  // namespace kit
