#pragma once
// Spherical geodesy shared by the tools. Coordinates are WGS-84 degrees,
// longitude first everywhere except haversineDistance's argument order.
#include <cmath>

namespace kit {

inline constexpr double kPi = 3.141592653589793;
inline constexpr double kDegToRad = kPi / 180.0;
inline constexpr double kRadToDeg = 180.0 / kPi;
// The sphere every distance is measured on.
inline constexpr double kEarthRadiusM = 6371000.0;
inline constexpr double kEarthRadiusKm = kEarthRadiusM / 1000;
// Metres per degree of arc on that sphere.
inline constexpr double kMetresPerDegreeArc = 111194.92664455873;

// Great-circle distance in metres; latitude first for each point.
double haversineDistance(double lat1, double lon1, double lat2, double lon2);
// The same distance, bit for bit, given the cosines of both latitudes (in
// radians) already computed: for loops that meet the same point many times.
double haversineWithCosines(double lat1, double lon1, double cosLat1, double lat2, double lon2, double cosLat2);
inline double cosLatitude(double lat) { return std::cos(lat * kDegToRad); }
// A cheap lower bound of haversineWithCosines with the same arguments (a few
// multiplications, no trigonometry): never above the distance it computes,
// and within a millionth of it for points less than 10 km apart. 0 when the
// points are too far apart for the bound to hold.
// With y half the angle, sin y >= y (1 - y^2 / 6) >= 0 for 0 <= y <= 1.5, and
// asin t >= t: so the distance is at least 2R times the root of the bounded
// h. The last factor covers the rounding of both computations.
inline double haversineAtLeast(double lat1, double lon1, double cosLat1, double lat2, double lon2, double cosLat2) {
    const double a = std::fabs(lat2 - lat1) * (kDegToRad / 2), b = std::fabs(lon2 - lon1) * (kDegToRad / 2);
    const double cosines = cosLat1 * cosLat2;
    if (!(a <= 1.5 && b <= 1.5 && cosines >= 0)) return 0;
    const double sa = a * (1 - a * a * (1.0 / 6)), sb = b * (1 - b * b * (1.0 / 6));
    return 2 * kEarthRadiusM * (1 - 1e-9) * std::sqrt(sa * sa + cosines * sb * sb);
}

// A point on a flat projection (the units are the projection's).
struct PlanePoint {
    double x, y;
};

struct LonLat {
    double lon, lat;
};

// The point d metres away in direction theta (radians, counter-clockwise from
// east) by the flat small-offset rule; the cosine is floored at 1e-10.
LonLat offsetByMetres(double lon, double lat, double d, double theta);

}  // namespace kit
