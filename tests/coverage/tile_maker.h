#pragma once
// Elevation tiles made in a test: any height function sampled on a tile's
// grid and written as SRTM's big-endian .hgt bytes.
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

namespace kit::test {

// height(lat, lon) at the centre of every cell of the tile whose south-west
// corner is (lat0, lon0), side cells a side (1201 at 3", 3601 at 1").
inline std::string hgtTile(int lat0, int lon0, int side, const std::function<double(double, double)>& height) {
    std::string bytes(static_cast<size_t>(side) * side * 2, '\0');
    const double last = side - 1;
    for (int row = 0; row < side; ++row)
        for (int col = 0; col < side; ++col) {
            const double h = height(lat0 + 1 - row / last, lon0 + col / last);
            const auto v = static_cast<uint16_t>(static_cast<int16_t>(std::lround(h)));
            const size_t at = (static_cast<size_t>(row) * side + col) * 2;
            bytes[at] = static_cast<char>(v >> 8);
            bytes[at + 1] = static_cast<char>(v & 0xff);
        }
    return bytes;
}

// A smooth round hill of peakM over a plain at baseM, spread sigmaM metres.
inline std::function<double(double, double)> hill(double lat, double lon, double baseM, double peakM, double sigmaM) {
    return [=](double la, double lo) {
        const double dy = (la - lat) * 111195.0, dx = (lo - lon) * 111195.0 * std::cos(lat * 3.14159265358979 / 180);
        return baseM + peakM * std::exp(-(dx * dx + dy * dy) / (2 * sigmaM * sigmaM));
    };
}

}  // namespace kit::test
