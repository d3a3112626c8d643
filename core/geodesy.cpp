#include "core/geodesy.h"

#include <cmath>

namespace kit {

double haversineDistance(double lat1, double lon1, double lat2, double lon2) {
    return haversineWithCosines(lat1, lon1, std::cos(lat1 * kDegToRad), lat2, lon2, std::cos(lat2 * kDegToRad));
}

double haversineWithCosines(double lat1, double lon1, double cosLat1, double lat2, double lon2, double cosLat2) {
    double dphi = (lat2 - lat1) * kDegToRad, dlambda = (lon2 - lon1) * kDegToRad;
    double s1 = std::sin(dphi / 2), s2 = std::sin(dlambda / 2);
    double h = s1 * s1 + cosLat1 * cosLat2 * s2 * s2;
    if (h > 1) h = 1;
    return 2 * std::atan2(std::sqrt(h), std::sqrt(1 - h)) * kEarthRadiusM;
}

LonLat offsetByMetres(double lon, double lat, double d, double theta) {
    double a = d / kEarthRadiusM * 180.0 / kPi;
    double c = std::cos(lat * kDegToRad);
    if (c < 1e-10) c = 1e-10;
    return {lon + a / c * std::cos(theta), lat + a * std::sin(theta)};
}

}  // namespace kit
