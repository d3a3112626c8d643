#pragma once
// Spherical geodesy shared by the tools. Coordinates are WGS-84 degrees,
// longitude first everywhere except haversineDistance's argument order.
#include <cmath>

namespace kit {

inline constexpr double kPi = 3.141592653589793;
inline constexpr double kDegToRad = kPi / 180.0;
inline constexpr double EARTH_RADIUS_M = 6371000.0;
// Metres per degree of arc on the 6371000 m sphere.
inline constexpr double kMetresPerDegreeArc = 111194.92664455873;
inline constexpr double kKmPerDegreeArc = 111.19492664455873;
// Only the nearest-site index's local plane uses this one; it is deliberately
// not the sphere's value above, and the two must stay apart.
inline constexpr double METRES_PER_DEGREE = 111320.0;

// Great-circle distance in metres; latitude first for each point.
double haversineDistance(double lat1, double lon1, double lat2, double lon2);
// The same distance, bit for bit, given the cosines of both latitudes (in
// radians) already computed: for loops that meet the same point many times.
double haversineWithCosines(double lat1, double lon1, double cosLat1, double lat2, double lon2, double cosLat2);
inline double cosLatitude(double lat) { return std::cos(lat * kDegToRad); }

struct PlanePoint {
    double x, y;
};

// x = lon * 111320 * cosRef, y = lat * 111320 (metres).
inline PlanePoint localPlaneProjection(double lon, double lat, double cosRef) {
    return {lon * METRES_PER_DEGREE * cosRef, lat * METRES_PER_DEGREE};
}

struct LonLat {
    double lon, lat;
};

// The point d metres away in direction theta (radians, counter-clockwise from
// east) by the flat small-offset rule; the cosine is floored at 1e-10.
LonLat offsetByMetres(double lon, double lat, double d, double theta);

}  // namespace kit
