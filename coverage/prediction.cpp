#include "coverage/prediction.h"

#include <cmath>

#include "core/format.h"

namespace kit {

namespace {

// Sines and cosines of the bearings, shared by every circle of a run.
struct Bearings {
    std::vector<double> sin, cos;
    explicit Bearings(int n) : sin(n), cos(n) {
        for (int i = 0; i < n; ++i) {
            double theta = (i * 360.0 / n) * kDegToRad;
            sin[i] = std::sin(theta);
            cos[i] = std::cos(theta);
        }
    }
};

void circleAround(double lon, double lat, double radiusKm, const Bearings& b, std::vector<LonLat>& ring) {
    const double delta = radiusKm / kEarthRadiusKm;
    const double phi1 = lat * kDegToRad, lambda1 = lon * kDegToRad;
    const double sinPhi1 = std::sin(phi1), cosPhi1 = std::cos(phi1);
    const double sinDelta = std::sin(delta), cosDelta = std::cos(delta);
    const size_t n = b.sin.size();
    ring.resize(n == 0 ? 0 : n + 1);
    for (size_t i = 0; i < n; ++i) {
        double phi2 = std::asin(sinPhi1 * cosDelta + cosPhi1 * sinDelta * b.cos[i]);
        double lambda2 = lambda1 + std::atan2(b.sin[i] * sinDelta * cosPhi1, cosDelta - sinPhi1 * std::sin(phi2));
        ring[i] = {lambda2 * kRadToDeg, phi2 * kRadToDeg};
    }
    if (n > 0) ring[n] = ring[0];
}

}  // namespace

std::vector<LonLat> coverageCircle(double lon, double lat, double thresholdDbm, int vertexCount,
                                   const LinkParams& params) {
    std::vector<LonLat> ring;
    if (vertexCount <= 0) return ring;
    circleAround(lon, lat, solveCellRadiusKm(thresholdDbm, params, kRadiusToleranceKm), Bearings(vertexCount), ring);
    return ring;
}

std::string writeCoverageGeoJson(const std::vector<LonLat>& stations, const LinkParams& params) {
    const double radius = solveCellRadiusKm(kCoverageThresholdDbm, params, kRadiusToleranceKm);
    const Bearings bearings(kCircleVertices);
    std::string radiusText = formatFixed(radius, 6);
    std::string out;
    out.reserve(64 + stations.size() * (180 + (kCircleVertices + 1) * 26));
    out += "{\n  \"type\": \"FeatureCollection\",\n  \"features\": [\n";
    std::vector<LonLat> ring;
    for (size_t i = 0; i < stations.size(); ++i) {
        if (i > 0) out += ",\n";
        out += "    {\"type\":\"Feature\",\n     \"properties\":{\"station\":";
        appendUnsigned(out, i);
        out += ",\"radius_km\":";
        out += radiusText;
        out += "},\n     \"geometry\":{\"type\":\"Polygon\",\"coordinates\":[[";
        circleAround(stations[i].lon, stations[i].lat, radius, bearings, ring);
        for (size_t v = 0; v < ring.size(); ++v) {
            if (v > 0) out += ',';
            out += '[';
            appendFixed(out, ring[v].lon, 6);
            out += ',';
            appendFixed(out, ring[v].lat, 6);
            out += ']';
        }
        out += "]]}}";
    }
    out += "\n  ]\n}";
    return out;
}

std::string writeStationBudgetCsv(const std::vector<LonLat>& stations, const LinkParams& params) {
    const double radius = solveCellRadiusKm(kCoverageThresholdDbm, params, kRadiusToleranceKm);
    const double loss = pathLoss(radius, params);
    // Everything after the coordinates is the same on every line.
    std::string tail(1, ',');
    appendFixed(tail, radius, 3);
    tail += ',';
    appendFixed(tail, loss, 1);
    tail += ',';
    appendFixed(tail, receivedPowerDbm(loss, params), 1);
    tail += '\n';
    std::string out = "Station,Lat,Lon,CellRadius_km,PathLoss_dB,RxPower_dBm\n";
    out.reserve(out.size() + stations.size() * (40 + tail.size()));
    for (size_t i = 0; i < stations.size(); ++i) {
        appendUnsigned(out, i);
        out += ',';
        appendFixed(out, stations[i].lat, 6);
        out += ',';
        appendFixed(out, stations[i].lon, 6);
        out += tail;
    }
    return out;
}

}  // namespace kit
