#include "coverage/hex_grid.h"

#include <cmath>

namespace kit {

namespace {

constexpr double kSqrt3 = 1.7320508075688772;
constexpr uint64_t kAxialOffset = 0x8000000;  // 2^27
constexpr uint64_t kAxialMask = 0xFFFFFFF;     // 28 bits

// Fractional coordinates far outside the Earth (bad cells: NaN, latitudes at
// the poles, absurd longitudes) are pinned to a finite range, so rounding and
// the conversion to integers stay defined. No real station comes near it.
double tame(double v) {
    constexpr double kLimit = 4503599627370496.0;  // 2^52
    if (std::isnan(v)) return 0;
    return v > kLimit ? kLimit : (v < -kLimit ? -kLimit : v);
}

}  // namespace

PlanePoint mercatorKm(double lon, double lat) {
    double x = lon * kDegToRad * kEarthRadiusKm;
    double y = std::log(std::tan(lat * kDegToRad / 2 + kPi / 4)) * kEarthRadiusKm;
    return {x, y};
}

LonLat fromMercatorKm(double x, double y) {
    return {x / kEarthRadiusKm * kRadToDeg, (2 * std::atan(std::exp(y / kEarthRadiusKm)) - kPi / 2) * kRadToDeg};
}

Axial latLonToAxial(double lat, double lon, int res) {
    const double s = kHexSizeKm[clampResolution(res)];
    PlanePoint p = mercatorKm(lon, lat);
    const double qf = tame((2.0 / 3.0) * p.x / s);
    const double rf = tame(((kSqrt3 / 3.0) * p.y - p.x / 3.0) / s);
    const double sf = -qf - rf;

    double q = std::round(qf), r = std::round(rf), t = std::round(sf);
    const double dq = std::fabs(q - qf), dr = std::fabs(r - rf), dt = std::fabs(t - sf);
    // Strict comparisons: on ties the earlier coordinate keeps its rounding.
    if (dq > dr && dq > dt)
        q = -r - t;
    else if (dr > dt)
        r = -q - t;
    return {static_cast<int64_t>(q), static_cast<int64_t>(r)};
}

CellId packCellId(int64_t q, int64_t r, int res) {
    const uint64_t qb = (static_cast<uint64_t>(q) - kAxialOffset) & kAxialMask;
    const uint64_t rb = (static_cast<uint64_t>(r) - kAxialOffset) & kAxialMask;
    return (((qb | (static_cast<uint64_t>(clampResolution(res)) << 28)) << 28) | rb) << 4;
}

CellId makeCellId(double lat, double lon, int res) {
    res = clampResolution(res);
    Axial a = latLonToAxial(lat, lon, res);
    return packCellId(a.q, a.r, res);
}

CellParts splitCellId(CellId id) {
    return {static_cast<int64_t>((id >> 32) & kAxialMask) - static_cast<int64_t>(kAxialOffset),
            static_cast<int64_t>((id >> 4) & kAxialMask) - static_cast<int64_t>(kAxialOffset),
            static_cast<int>(id >> 60)};
}

LonLat cellCentre(int64_t q, int64_t r, int res) {
    const double s = kHexSizeKm[clampResolution(res)];
    const double qd = static_cast<double>(q), rd = static_cast<double>(r);
    return fromMercatorKm(1.5 * s * qd, s * ((kSqrt3 / 2) * qd + kSqrt3 * rd));
}

std::vector<LonLat> cellOutline(CellId id) {
    const CellParts c = splitCellId(id);
    const double s = kHexSizeKm[clampResolution(c.res)];
    // Corner i sits at centre + s·(cos 60i°, sin 60i°) on the binning plane.
    // Written as whole multiples of s/2 across and s·√3/2 up, a corner shared
    // by neighbouring cells comes out bit for bit the same from each of them,
    // so the outlines tile without slivers.
    static constexpr int kAcross[6] = {2, 1, -1, -2, -1, 1};
    static constexpr int kUp[6] = {0, 1, 1, 0, -1, -1};
    const double halfS = s / 2, riseS = s * (kSqrt3 / 2);
    const int64_t x0 = 3 * c.q, y0 = c.q + 2 * c.r;
    // Only three corner rows: one inverse Mercator each.
    double rowLat[3];
    for (int m = -1; m <= 1; ++m) rowLat[m + 1] = fromMercatorKm(0, static_cast<double>(y0 + m) * riseS).lat;
    std::vector<LonLat> corners(6);
    for (int i = 0; i < 6; ++i)
        corners[i] = {fromMercatorKm(static_cast<double>(x0 + kAcross[i]) * halfS, 0).lon, rowLat[kUp[i] + 1]};
    return corners;
}

}  // namespace kit
