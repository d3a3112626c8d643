#include "analysis/feature_index.h"

#include <algorithm>
#include <cmath>

#include "core/geodesy.h"

namespace kit {

namespace {

// The boxes are widened a little beyond the exact reach so that rounding in
// the tests themselves never puts a match outside its box.
constexpr double kRelativeSlack = 1e-6;
constexpr double kAbsoluteSlack = 1e-9;  // degrees, about 0.1 mm
// Beyond this many degrees the trigonometry of the great-circle distance
// loses too much precision to bound; such points meet every point feature.
constexpr double kPlainDegrees = 1000;
// Near the poles a longitude bound stops meaning anything.
constexpr double kMinCosine = 1e-6;

double widen(double degrees, double nearby) {
    return degrees * (1 + kRelativeSlack) + kAbsoluteSlack + 1e-12 * std::fabs(nearby);
}

// The point with its longitude brought into [-180, 180]; false when its
// great-circle distances are too inexact to bound by position: far-off
// coordinates, and latitudes past a pole, where the distance formula cancels
// its own terms and errs by centimetres.
bool placeOnSphere(double lon, double lat, double& outLon, double& outLat) {
    if (!(std::fabs(lon) <= kPlainDegrees && std::fabs(lat) <= 90)) return false;
    outLon = std::remainder(lon, 360.0);
    outLat = lat;
    return true;
}

}  // namespace

// Polygon: its vertices' box, widened by the buffer in the plane the boundary
// distance uses (longitudes shrink by the cosine of the row's latitude, which
// is at least the cosine at the widened box's farthest latitude). A large
// ring also gets its edge index, whose edges are widened alike.
void FeatureIndex::addPolygon(const Feature& f, uint32_t id, double buffer) {
    BoxGrid& grid = polygons_;
    Box b{INFINITY, -INFINITY, INFINITY, -INFINITY};
    for (const Position& p : f.ring) {
        if (std::isnan(p.lon) || std::isnan(p.lat)) continue;
        b.x0 = std::min(b.x0, p.lon);
        b.x1 = std::max(b.x1, p.lon);
        b.y0 = std::min(b.y0, p.lat);
        b.y1 = std::max(b.y1, p.lat);
    }
    if (b.x0 > b.x1 || b.y0 > b.y1 || !std::isfinite(b.x0 + b.x1 + b.y0 + b.y1)) {
        grid.add({-INFINITY, INFINITY, -INFINITY, INFINITY}, id);
        return;
    }
    const double reach = std::isnan(buffer) ? 0 : buffer / kMetresPerDegreeArc;
    const double scale = std::max({std::fabs(b.x0), std::fabs(b.x1), std::fabs(b.y0), std::fabs(b.y1)});
    const double dLat = widen(reach, scale);
    b.y0 -= dLat;
    b.y1 += dLat;
    const double farLat = std::max(std::fabs(b.y0), std::fabs(b.y1));
    const double cosFar = farLat < 90 ? std::cos(farLat * kDegToRad) : 0;
    const double dLon = reach == 0 ? widen(0, scale) : (cosFar < kMinCosine ? INFINITY : widen(reach / cosFar, scale));
    b.x0 -= dLon;
    b.x1 += dLon;
    grid.add(b, id);

    const bool finite = std::all_of(f.ring.begin(), f.ring.end(), [](const Position& p) {
        return std::isfinite(p.lon) && std::isfinite(p.lat);
    });
    if (f.ring.size() >= kMinIndexedRing && finite) {
        if (ringSlot_.size() <= id) ringSlot_.resize(id + 1, 0);
        const bool distances = !std::isnan(buffer);
        rings_.push_back(std::make_unique<RingIndex>(f.ring, distances ? dLon : NAN, distances ? dLat : NAN));
        ringSlot_[id] = static_cast<uint32_t>(rings_.size());
    }
}

namespace {

// Point: the box of the spherical cap of the buffer's radius around it, with
// copies across the antimeridian.
void addPoint(BoxGrid& grid, const Feature& f, uint32_t id, double buffer) {
    double lon, lat;
    const double reach = buffer / kMetresPerDegreeArc;  // the cap's angular radius in degrees
    if (!placeOnSphere(f.lon, f.lat, lon, lat) || !(reach < 180)) {
        grid.add({-INFINITY, INFINITY, -INFINITY, INFINITY}, id);
        return;
    }
    const double dLat = widen(reach, 0);
    if (std::fabs(lat) + dLat >= 90) {
        grid.add({-INFINITY, INFINITY, lat - dLat, lat + dLat}, id);
        return;
    }
    const double ratio = std::sin(reach * kDegToRad) / std::cos(lat * kDegToRad);
    const double dLon = ratio >= 1 ? INFINITY : widen(std::asin(ratio) / kDegToRad, 0);
    if (dLon >= 180) {
        grid.add({-INFINITY, INFINITY, lat - dLat, lat + dLat}, id);
        return;
    }
    grid.add({lon - dLon, lon + dLon, lat - dLat, lat + dLat}, id);
    if (lon - dLon < -180) grid.add({lon - dLon + 360, 180, lat - dLat, lat + dLat}, id);
    if (lon + dLon > 180) grid.add({-180, lon + dLon - 360, lat - dLat, lat + dLat}, id);
}

}  // namespace

FeatureIndex::FeatureIndex(const Layer& layer, double buffer) {
    for (uint32_t i = 0; i < layer.features.size(); ++i) {
        const Feature& f = layer.features[i];
        if (f.type == "Polygon" && !f.ring.empty())
            addPolygon(f, i, buffer);
        else if (f.type == "Point" && !std::isnan(buffer)) {  // nothing is at a NaN distance or closer
            addPoint(points_, f, i, buffer);
            allPoints_.push_back(i);
        }
    }
    polygons_.build();
    points_.build();
}

void FeatureIndex::candidates(double lon, double lat, std::vector<uint32_t>& out) const {
    out.clear();
    polygons_.query(lon, lat, out);
    double sLon, sLat;
    if (placeOnSphere(lon, lat, sLon, sLat))
        points_.query(sLon, sLat, out);
    else if (std::isfinite(lon) && std::isfinite(lat))
        out.insert(out.end(), allPoints_.begin(), allPoints_.end());
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

}  // namespace kit
