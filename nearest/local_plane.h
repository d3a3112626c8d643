#pragma once
// The local plane the nearest-site index searches in: degrees scaled to
// metres by a flat 111320 m per degree, longitude shrunk by the cosine of a
// reference latitude. It is deliberately not the sphere's 111194.9 m per
// degree (core/geodesy.h): the plane only picks the candidates, whose
// distances are then measured on the sphere.
#include "core/geodesy.h"

namespace kit {

inline constexpr double kPlaneMetresPerDegree = 111320.0;

// x = lon * 111320 * cosRef, y = lat * 111320 (metres).
inline PlanePoint localPlaneProjection(double lon, double lat, double cosRef) {
    return {lon * kPlaneMetresPerDegree * cosRef, lat * kPlaneMetresPerDegree};
}

}  // namespace kit
