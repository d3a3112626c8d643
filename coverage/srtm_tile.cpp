#include "coverage/srtm_tile.h"

#include <cctype>
#include <cstdio>

#include "core/zip_reader.h"

namespace kit {

namespace {

constexpr int kSide1 = 3601, kSide3 = 1201;
constexpr uint64_t kLargestTileBytes = uint64_t{2} * kSide1 * kSide1;

bool endsWithNoCase(std::string_view s, std::string_view tail) {
    if (s.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - tail.size() + i])) != tail[i]) return false;
    return true;
}

// Reads [+-]digits of exactly `digits` length at s[at], the hemisphere letter
// giving the sign.
std::optional<int> degrees(std::string_view s, size_t at, char positive, char negative, int digits, int limit) {
    if (s.size() < at + 1 + digits) return std::nullopt;
    const char h = static_cast<char>(std::toupper(static_cast<unsigned char>(s[at])));
    if (h != positive && h != negative) return std::nullopt;
    int v = 0;
    for (int i = 0; i < digits; ++i) {
        const char c = s[at + 1 + i];
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > limit) return std::nullopt;
    return h == positive ? v : -v;
}

}  // namespace

std::string tileBaseName(TileCorner c) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%c%02d%c%03d", c.lat < 0 ? 'S' : 'N', c.lat < 0 ? -c.lat : c.lat,
                  c.lon < 0 ? 'W' : 'E', c.lon < 0 ? -c.lon : c.lon);
    return buf;
}

std::optional<TileCorner> tileCornerFromName(std::string_view name) {
    auto lat = degrees(name, 0, 'N', 'S', 2, 89);
    auto lon = degrees(name, 3, 'E', 'W', 3, 180);
    if (!lat || !lon || *lon == 180) return std::nullopt;
    const std::string_view rest = name.substr(7);
    for (std::string_view tail : {".hgt", ".hgt.zip", ".srtmgl1.hgt.zip", ".srtmgl3.hgt.zip"})
        if (rest.size() == tail.size() && endsWithNoCase(rest, tail)) return TileCorner{*lat, *lon};
    return std::nullopt;
}

std::optional<HeightGrid> decodeHeightGrid(std::string_view bytes, int side) {
    if (side <= 0 || bytes.size() != uint64_t{2} * side * side) return std::nullopt;
    HeightGrid g;
    g.side = side;
    g.heights.resize(static_cast<size_t>(side) * side);
    std::vector<size_t> voids;
    for (size_t i = 0; i < g.heights.size(); ++i) {
        const auto hi = static_cast<uint8_t>(bytes[2 * i]), lo = static_cast<uint8_t>(bytes[2 * i + 1]);
        g.heights[i] = static_cast<int16_t>(static_cast<uint16_t>(hi << 8 | lo));
        if (g.heights[i] == kSrtmVoid) voids.push_back(i);
    }
    // Fills come from the heights as read, so the result does not depend on
    // the order voids are visited in and no fill spreads further than one cell.
    std::vector<int16_t> fills(voids.size(), kSrtmVoid);
    for (size_t k = 0; k < voids.size(); ++k) {
        const int row = static_cast<int>(voids[k] / side), col = static_cast<int>(voids[k] % side);
        int sum = 0, n = 0;
        for (int r = row - 1; r <= row + 1; ++r)
            for (int c = col - 1; c <= col + 1; ++c) {
                if (r < 0 || c < 0 || r >= side || c >= side) continue;
                const int16_t h = g.at(r, c);
                if (h == kSrtmVoid) continue;
                sum += h;
                ++n;
            }
        if (n > 0) fills[k] = static_cast<int16_t>(sum >= 0 ? (sum + n / 2) / n : -((-sum + n / 2) / n));
    }
    for (size_t k = 0; k < voids.size(); ++k) g.heights[voids[k]] = fills[k];
    return g;
}

std::optional<HeightGrid> decodeSrtmTile(std::string_view bytes, std::string& error) {
    for (int side : {kSide1, kSide3})
        if (bytes.size() == uint64_t{2} * side * side) return decodeHeightGrid(bytes, side);
    error = std::to_string(bytes.size()) + " bytes, not a 1\" or 3\" tile";
    return std::nullopt;
}

std::optional<std::string> hgtFromZip(std::string_view zipBytes, std::string& error) {
    ZipArchive zip(zipBytes);
    if (!zip.ok()) {
        error = "not a readable zip archive";
        return std::nullopt;
    }
    for (const ZipEntry& e : zip.entries()) {
        if (!endsWithNoCase(e.name, ".hgt")) continue;
        std::string out;
        if (zip.extract(e.name, kLargestTileBytes + 1, out) == ZipStatus::Ok) return out;
        error = e.name + " cannot be unpacked";
        return std::nullopt;
    }
    error = "no .hgt file in the archive";
    return std::nullopt;
}

}  // namespace kit
