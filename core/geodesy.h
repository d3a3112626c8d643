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
