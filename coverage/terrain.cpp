#include "coverage/terrain.h"

#include <algorithm>
#include <cmath>

#include "core/format.h"
#include "core/geodesy.h"

namespace kit {

namespace {

constexpr double kSpeedOfLight = 299792458.0;
constexpr double kEarthDiameterM = 12742000.0;

double wavelengthM(double frequencyMhz) { return kSpeedOfLight / (frequencyMhz * 1000000.0); }

}  // namespace

std::vector<double> hillProfile(double pathKm, int count) {
    std::vector<double> elevation(count > 0 ? count : 0);
    const double n = count, total = pathKm * 1000;
    for (int i = 0; i < count; ++i) {
        double c = (i - 0.5 * n) / (0.25 * n);
        double d = count > 1 ? i * total / (n - 1) : 0;
        elevation[i] = 100 + 80 * std::exp(-c * c / 2) - (total - d) * d / kEarthDiameterM;
    }
    return elevation;
}

double fresnelRadiusM(double d1M, double d2M, double totalM, double frequencyMhz) {
    if (totalM <= 0 || frequencyMhz <= 0) return 0;
    return std::sqrt(wavelengthM(frequencyMhz) * d1M * d2M / totalM);
}

double clearanceRatio(double losHeightM, double elevationM, double fresnelRadiusM) {
    if (fresnelRadiusM <= 0) return 1;
    return std::clamp((losHeightM - elevationM) / fresnelRadiusM, 0.0, 1.0);
}

LosResult analysePath(const PathProfile& p, const PathEnds& ends, double frequencyMhz) {
    LosResult r;
    r.earthFactor = p.earthFactor > 0 ? p.earthFactor : 1;
    const size_t m = p.elevationM.size();
    if (m <= 1 || p.lat.size() != m || p.lon.size() != m) return r;
    const double total = p.totalM;
    const double top0 = ends.ground0 + ends.height0, top1 = ends.ground1 + ends.height1;
    r.samples.resize(m);
    for (size_t i = 0; i < m; ++i) {
        const double v = static_cast<double>(i) / static_cast<double>(m - 1);
        TerrainSample& s = r.samples[i];
        s.distanceM = v * total;
        s.elevationM = p.elevationM[i];
        s.fresnelRadiusM = fresnelRadiusM(s.distanceM, total - s.distanceM, total, frequencyMhz);
        const double bulge =
            p.earthFactor > 0 ? s.distanceM * (total - s.distanceM) / (p.earthFactor * kEarthDiameterM) : 0;
        s.losHeightM = (1 - v) * top0 + v * top1 - bulge;
        s.lat = p.lat[i];
        s.lon = p.lon[i];
        if (p.crestM.size() == m) s.crestM = p.crestM[i];
        const double top = obstacleM(s);
        if (std::isnan(top)) continue;  // a void hides nothing
        r.clearanceRatio = std::min(r.clearanceRatio, clearanceRatio(s.losHeightM, top, s.fresnelRadiusM));
        s.obstructed = top > s.losHeightM - 0.6 * s.fresnelRadiusM;
        if (s.obstructed) r.los = false;
        if (std::isnan(s.elevationM)) continue;
        if (s.elevationM > r.maxTerrainM) {
            r.maxTerrainM = s.elevationM;
            r.maxTerrainDistanceM = s.distanceM;
        }
    }
    // Raising the far antenna by x lifts the line at sample i by v·x.
    double needTerrain = -INFINITY, needFresnel = -INFINITY;
    for (size_t i = 1; i + 1 < m; ++i) {
        const TerrainSample& s = r.samples[i];
        const double top = obstacleM(s);
        if (std::isnan(top)) continue;
        const double v = static_cast<double>(i) / static_cast<double>(m - 1);
        needTerrain = std::max(needTerrain, top1 + (top - s.losHeightM) / v);
        needFresnel = std::max(needFresnel, top1 + (top + 0.6 * s.fresnelRadiusM - s.losHeightM) / v);
    }
    r.clearTerrainHeightM = std::max(0.0, needTerrain - ends.ground1);
    r.clearFresnelHeightM = std::max(0.0, needFresnel - ends.ground1);
    if (!r.los) r.knifeEdgeLossDb = knifeEdgeLossDb(r.samples, frequencyMhz);
    return r;
}

LosResult analyseLos(double lat0, double lon0, double ground0, double lat1, double lon1, double ground1,
                     double height0, double height1, double frequencyMhz, const std::vector<double>& terrain) {
    PathProfile p;
    const size_t m = terrain.size();
    p.elevationM = terrain;
    p.totalM = haversineDistance(lat0, lon0, lat1, lon1);
    p.lat.resize(m);
    p.lon.resize(m);
    for (size_t i = 0; i < m; ++i) {
        const double v = m > 1 ? static_cast<double>(i) / static_cast<double>(m - 1) : 0;
        p.lat[i] = lat0 + v * (lat1 - lat0);
        p.lon[i] = lon0 + v * (lon1 - lon0);
    }
    return analysePath(p, {ground0, ground1, height0, height1}, frequencyMhz);
}

double diffractionLossDb(double obstacleM, double d1M, double d2M, double frequencyMhz) {
    // An edge at either end of the path, or a path without a wavelength,
    // diffracts nothing.
    if (obstacleM <= 0 || d1M <= 0 || d2M <= 0 || frequencyMhz <= 0) return 0;
    const double lambda = wavelengthM(frequencyMhz);
    const double nu = obstacleM * std::sqrt(2 * (d1M + d2M) / (lambda * d1M * d2M));
    double f;
    if (nu <= 1) {
        f = 0.5 * std::exp(-0.95 * nu);
    } else if (nu <= 2.4) {
        const double t = 0.38 - 0.1 * nu;
        f = 0.4 - std::sqrt(0.1184 - t * t);
    } else {
        f = 0.225 / nu;
    }
    return std::max(0.0, -20 * std::log10(f));
}

double knifeEdgeJ(double nu) {
    if (nu <= -0.78) return 0;
    const double t = nu - 0.1;
    return 6.9 + 20 * std::log10(std::sqrt(t * t + 1) + t);
}

double knifeEdgeLossDb(const std::vector<TerrainSample>& samples, double frequencyMhz) {
    const size_t n = samples.size();
    if (n < 3 || frequencyMhz <= 0) return 0;
    const double total = samples[n - 1].distanceM;
    if (total <= 0) return 0;
    const double lambda = wavelengthM(frequencyMhz);
    auto nuAt = [&](double excess, double d) { return excess * std::sqrt(2 * total / (lambda * d * (total - d))); };
    // Heights are taken above the line of sight, which already bends with
    // the Earth: the two ends stand at 0 and the line is level.
    double fromStart = -INFINITY, fromEnd = -INFINITY, nuMax = -INFINITY;
    for (size_t i = 1; i + 1 < n; ++i) {
        const TerrainSample& s = samples[i];
        const double d = s.distanceM, e = obstacleM(s) - s.losHeightM;
        if (std::isnan(e) || d <= 0 || d >= total) continue;
        fromStart = std::max(fromStart, e / d);
        fromEnd = std::max(fromEnd, e / (total - d));
        nuMax = std::max(nuMax, nuAt(e, d));
    }
    if (fromStart == -INFINITY) return 0;
    // The ends see each other: the sample reaching furthest into the zone.
    if (fromStart <= 0) return knifeEdgeJ(nuMax);
    // Otherwise the steepest rays from both ends meet above the terrain.
    const double d = fromEnd * total / (fromStart + fromEnd);
    return knifeEdgeJ(nuAt(fromStart * d, d));
}

std::string writeTerrainReport(const LosResult& r) {
    std::string out = "# LOS Analysis Result\n";
    out += r.los ? "# Status: LOS\n" : "# Status: NLOS\n";
    out += format("# Fresnel Clearance: %.1f%%\n", r.clearanceRatio * 100);
    out += format("# Knife-edge Loss: %.1f dB\n", r.knifeEdgeLossDb);
    out += format("# Max Terrain: %.0f m at %.0f m\n", r.maxTerrainM, r.maxTerrainDistanceM);
    out += "# Terrain: " + r.terrainSource + "\n";
    out += format("# Earth Radius Factor k: %.2f\n", r.earthFactor);
    out += format("# Antenna 2 Height Clearing Terrain: %.1f m\n", r.clearTerrainHeightM);
    out += format("# Antenna 2 Height Clearing 60%% Fresnel: %.1f m\n", r.clearFresnelHeightM);
    out += "#\n";
    out += "Distance_m,Latitude,Longitude,Elevation_m,LOS_Height_m,Fresnel_Radius_m,Obstructed\n";
    for (const TerrainSample& s : r.samples) {
        appendFixed(out, s.distanceM, 2);
        out += ',';
        // Six decimals place a sample within 0.1 m.
        appendFixed(out, s.lat, 6);
        out += ',';
        appendFixed(out, s.lon, 6);
        out += ',';
        if (!std::isnan(s.elevationM)) appendFixed(out, s.elevationM, 2);  // void: left empty
        out += ',';
        appendFixed(out, s.losHeightM, 2);
        out += ',';
        appendFixed(out, s.fresnelRadiusM, 2);
        out += ',';
        out += s.obstructed ? "1\n" : "0\n";
    }
    return out;
}

}  // namespace kit
