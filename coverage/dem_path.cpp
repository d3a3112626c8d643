#include "coverage/dem_path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/geodesy.h"

namespace kit {

namespace {

constexpr double kRad = std::numbers::pi / 180;
constexpr double kMetresPerDegree = kEarthRadiusM * kRad;
// A path longer than this many samples (over 10 000 km at 1") is no link.
constexpr size_t kMostSamples = 400000;

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : separator) + p;
    return out;
}

std::string missingTile(ElevationModel& dem, double lat, double lon) {
    if (!dem.hasTiles() && dem.problems().empty()) return "no elevation tiles";
    const TileCorner corner{static_cast<int>(std::floor(lat)), static_cast<int>(std::floor(lon))};
    std::string why = "no usable tile " + tileBaseName(corner);
    if (!dem.problems().empty()) why += "; skipped " + joined(dem.problems(), "; ");
    return why;
}

// The highest bilinear height on the straight stretch a-b, a cell or so
// long (NaN where all of it is void). Within one cell the bilinear height
// along a line is quadratic in the way along it, so the top of each piece
// between grid lines is at its ends or at the quadratic's vertex.
double highestAlong(ElevationModel& dem, double latA, double lonA, double latB, double lonB) {
    // A 1" grid holds every line of a 3" one.
    const double cell = std::min(dem.cellDegrees(latA, lonA), dem.cellDegrees(latB, lonB));
    std::vector<double> cuts{0, 1};
    auto crossings = [&](double a, double b) {
        if (cell <= 0 || a == b) return;
        const double lo = std::min(a, b), hi = std::max(a, b);
        for (double k = std::floor(lo / cell) + 1; k * cell < hi; ++k) cuts.push_back((k * cell - a) / (b - a));
    };
    crossings(latA, latB);
    crossings(lonA, lonB);
    std::sort(cuts.begin(), cuts.end());
    auto at = [&](double t) {
        return dem.heightAt(latA + t * (latB - latA), lonA + t * (lonB - lonA)).value_or(NAN);
    };
    double best = NAN;
    auto keep = [&](double h) {
        if (!std::isnan(h) && !(h <= best)) best = h;
    };
    for (size_t j = 0; j + 1 < cuts.size(); ++j) {
        const double f0 = at(cuts[j]), fm = at(0.5 * (cuts[j] + cuts[j + 1])), f1 = at(cuts[j + 1]);
        keep(f0);
        keep(fm);
        keep(f1);
        // f(u) = f0 + b·u + a·u² through u = 0, 1/2, 1.
        const double a = 2 * (f0 - 2 * fm + f1), b = -3 * f0 + 4 * fm - f1;
        if (a < 0 && -b / (2 * a) > 0 && -b / (2 * a) < 1) keep(f0 - b * b / (4 * a));
    }
    return best;
}

// One a sample: the highest terrain between the midpoints to its neighbours.
// At the stations their own ground: the half cell behind a mast's foot is
// its site, not the path's.
std::vector<double> crests(ElevationModel& dem, const PathProfile& p) {
    const size_t n = p.elevationM.size();
    std::vector<double> out(p.elevationM);
    auto raise = [&](size_t i, double h) {
        if (!std::isnan(h) && !(h <= out[i])) out[i] = h;
    };
    for (size_t i = 0; i + 1 < n; ++i) {
        const double midLat = 0.5 * (p.lat[i] + p.lat[i + 1]), midLon = 0.5 * (p.lon[i] + p.lon[i + 1]);
        if (i > 0) raise(i, highestAlong(dem, p.lat[i], p.lon[i], midLat, midLon));
        if (i + 2 < n) raise(i + 1, highestAlong(dem, midLat, midLon, p.lat[i + 1], p.lon[i + 1]));
    }
    return out;
}

}  // namespace

void greatCirclePoint(double lat0, double lon0, double lat1, double lon1, double f, double& lat, double& lon) {
    const double p0 = lat0 * kRad, l0 = lon0 * kRad, p1 = lat1 * kRad, l1 = lon1 * kRad;
    const double x0 = std::cos(p0) * std::cos(l0), y0 = std::cos(p0) * std::sin(l0), z0 = std::sin(p0);
    const double x1 = std::cos(p1) * std::cos(l1), y1 = std::cos(p1) * std::sin(l1), z1 = std::sin(p1);
    const double cx = y0 * z1 - z0 * y1, cy = z0 * x1 - x0 * z1, cz = x0 * y1 - y0 * x1;
    const double cross = std::sqrt(cx * cx + cy * cy + cz * cz);
    const double delta = std::atan2(cross, x0 * x1 + y0 * y1 + z0 * z1);
    if (delta < 1e-12) {
        lat = lat0 + f * (lat1 - lat0);
        lon = lon0 + f * (lon1 - lon0);
        return;
    }
    const double a = std::sin((1 - f) * delta) / std::sin(delta), b = std::sin(f * delta) / std::sin(delta);
    const double x = a * x0 + b * x1, y = a * y0 + b * y1, z = a * z0 + b * z1;
    lat = std::atan2(z, std::sqrt(x * x + y * y)) / kRad;
    lon = std::atan2(y, x) / kRad;
}

std::optional<DemPath> demPath(ElevationModel& dem, double lat0, double lon0, double lat1, double lon1,
                               std::string& why) {
    for (auto [lat, lon] : {std::pair{lat0, lon0}, std::pair{lat1, lon1}}) {
        if (!dem.covers(lat, lon)) {
            why = missingTile(dem, lat, lon);
            return std::nullopt;
        }
    }
    DemPath out;
    PathProfile& p = out.profile;
    p.earthFactor = kStandardEarthFactor;
    p.totalM = haversineDistance(lat0, lon0, lat1, lon1);
    // A cell is narrowest east-west, by the cosine of the latitude.
    const double cellDeg = std::min(dem.cellDegrees(lat0, lon0), dem.cellDegrees(lat1, lon1));
    const double narrowing = std::cos(std::max(std::abs(lat0), std::abs(lat1)) * kRad);
    const double cellM = cellDeg * kMetresPerDegree * std::max(narrowing, 0.01);
    const double wanted = std::ceil(p.totalM / cellM) + 1;
    const size_t n = std::clamp(static_cast<size_t>(std::min(wanted, 1e9)), size_t{kTerrainSamples}, kMostSamples);
    p.lat.resize(n);
    p.lon.resize(n);
    p.elevationM.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const double f = static_cast<double>(i) / static_cast<double>(n - 1);
        greatCirclePoint(lat0, lon0, lat1, lon1, f, p.lat[i], p.lon[i]);
        if (!dem.covers(p.lat[i], p.lon[i])) {
            why = missingTile(dem, p.lat[i], p.lon[i]);
            return std::nullopt;
        }
    }
    dem.expectPoints(p.lat, p.lon);
    size_t voids = 0;
    for (size_t i = 0; i < n; ++i) {
        auto h = dem.heightAt(p.lat[i], p.lon[i]);
        p.elevationM[i] = h ? *h : NAN;
        voids += !h;
    }
    if (std::isnan(p.elevationM.front()) || std::isnan(p.elevationM.back())) {
        why = "a station stands on a void of the elevation tiles";
        return std::nullopt;
    }
    p.crestM = crests(dem, p);
    out.ground0 = p.elevationM.front();
    out.ground1 = p.elevationM.back();
    const bool fine = cellDeg < 1.0 / 2000;
    out.source = std::string("SRTM ") + (fine ? "1\"" : "3\"") + " tiles " + joined(dem.tilesRead(), ", ");
    if (voids) out.source += " (" + std::to_string(voids) + " void samples)";
    return out;
}

}  // namespace kit
