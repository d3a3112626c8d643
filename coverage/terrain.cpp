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

LosResult analyseLos(double lat0, double lon0, double ground0, double lat1, double lon1, double ground1,
                     double height0, double height1, double frequencyMhz, const std::vector<double>& terrain) {
    LosResult r;
    const size_t m = terrain.size();
    if (m <= 1) return r;
    const double total = haversineDistance(lat0, lon0, lat1, lon1);
    const double top0 = ground0 + height0, top1 = ground1 + height1;
    r.samples.resize(m);
    for (size_t i = 0; i < m; ++i) {
        const double v = static_cast<double>(i) / static_cast<double>(m - 1);
        TerrainSample& s = r.samples[i];
        s.distanceM = v * total;
        s.elevationM = terrain[i];
        s.fresnelRadiusM = fresnelRadiusM(s.distanceM, total - s.distanceM, total, frequencyMhz);
        s.losHeightM = (1 - v) * top0 + v * top1;
        s.lat = lat0 + v * (lat1 - lat0);
        s.lon = lon0 + v * (lon1 - lon0);
        r.clearanceRatio = std::min(r.clearanceRatio, clearanceRatio(s.losHeightM, s.elevationM, s.fresnelRadiusM));
        s.obstructed = s.elevationM > s.losHeightM - 0.6 * s.fresnelRadiusM;
        if (s.obstructed) r.los = false;
        if (s.elevationM > r.maxTerrainM) {
            r.maxTerrainM = s.elevationM;
            r.maxTerrainDistanceM = s.distanceM;
        }
    }
    if (!r.los) r.knifeEdgeLossDb = knifeEdgeLossDb(r.samples, frequencyMhz);
    return r;
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

double knifeEdgeLossDb(const std::vector<TerrainSample>& samples, double frequencyMhz) {
    const size_t n = samples.size();
    if (n < 3) return 0;
    size_t main = 0;
    double mainExcess = 0;
    for (size_t i = 1; i + 1 < n; ++i) {
        double e = samples[i].elevationM - samples[i].losHeightM;
        if (e > mainExcess) {
            mainExcess = e;
            main = i;
        }
    }
    if (main == 0) return 0;
    const double total = samples[n - 1].distanceM;
    double loss = diffractionLossDb(mainExcess, samples[main].distanceM, total - samples[main].distanceM, frequencyMhz);
    for (size_t i = 1; i + 1 < n; ++i) {
        if (i == main) continue;
        double e = samples[i].elevationM - samples[i].losHeightM;
        if (e > 0)
            loss += std::max(0.0, diffractionLossDb(e, samples[i].distanceM, total - samples[i].distanceM, frequencyMhz) - 6);
    }
    return loss;
}

std::string writeTerrainReport(const LosResult& r) {
    std::string out = "# LOS Analysis Result\n";
    out += r.los ? "# Status: LOS\n" : "# Status: NLOS\n";
    out += format("# Fresnel Clearance: %.1f%%\n", r.clearanceRatio * 100);
    out += format("# Knife-edge Loss: %.1f dB\n", r.knifeEdgeLossDb);
    out += format("# Max Terrain: %.0f m at %.0f m\n", r.maxTerrainM, r.maxTerrainDistanceM);
    out += "#\n";
    out += "Distance_m,Latitude,Longitude,Elevation_m,LOS_Height_m,Fresnel_Radius_m,Obstructed\n";
    for (const TerrainSample& s : r.samples) {
        for (double v : {s.distanceM, s.lat, s.lon, s.elevationM, s.losHeightM, s.fresnelRadiusM}) {
            appendFixed(out, v, 2);
            out += ',';
        }
        out += s.obstructed ? "1\n" : "0\n";
    }
    return out;
}

}  // namespace kit
