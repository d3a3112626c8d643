#include "coverage/srtm_tile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>


namespace kit {

namespace {

constexpr int kSide1 = 3601, kSide3 = 1201;

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

int16_t HeightGrid::raw(int row, int col) const {
    const char* cells;
    if (!bytes.empty()) {
        cells = bytes.data() + 2 * static_cast<size_t>(row) * side;
    } else {
        if (rows.empty()) rows.resize(static_cast<size_t>(side));
        std::string& r = rows[static_cast<size_t>(row)];
        const size_t rowBytes = 2 * static_cast<size_t>(side);
        if (r.empty()) {
            if (readRow) r = readRow(row);
            if (r.size() != rowBytes) {  // unreadable: the row reads void
                r.assign(rowBytes, '\0');
                for (size_t i = 0; i < rowBytes; i += 2) r[i] = static_cast<char>(0x80);
            }
        }
        cells = r.data();
    }
    const auto hi = static_cast<uint8_t>(cells[2 * col]), lo = static_cast<uint8_t>(cells[2 * col + 1]);
    return static_cast<int16_t>(static_cast<uint16_t>(hi << 8 | lo));
}

int16_t HeightGrid::at(int row, int col) const {
    const int16_t h = raw(row, col);
    if (h != kSrtmVoid) return h;
    int sum = 0, n = 0;
    for (int r = std::max(row - 1, 0); r <= std::min(row + 1, side - 1); ++r)
        for (int c = std::max(col - 1, 0); c <= std::min(col + 1, side - 1); ++c) {
            const int16_t v = raw(r, c);
            if (v == kSrtmVoid) continue;
            sum += v;
            ++n;
        }
    if (n == 0) return kSrtmVoid;
    return static_cast<int16_t>(sum >= 0 ? (sum + n / 2) / n : -((-sum + n / 2) / n));
}

std::optional<HeightGrid> decodeHeightGrid(std::string bytes, int side) {
    if (side <= 0 || bytes.size() != uint64_t{2} * side * side) return std::nullopt;
    HeightGrid g;
    g.side = side;
    g.bytes = std::move(bytes);
    return g;
}

int tileSideForBytes(uint64_t size) {
    for (int side : {kSide1, kSide3})
        if (size == uint64_t{2} * side * side) return side;
    return 0;
}

std::optional<HeightGrid> decodeSrtmTile(std::string bytes, std::string& error) {
    if (int side = tileSideForBytes(bytes.size())) return decodeHeightGrid(std::move(bytes), side);
    error = std::to_string(bytes.size()) + " bytes, not a 1\" or 3\" tile";
    return std::nullopt;
}

std::optional<std::string> hgtMemberName(const ZipArchive& zip, std::string& error) {
    if (!zip.ok()) {
        error = "not a readable zip archive";
        return std::nullopt;
    }
    for (const ZipEntry& e : zip.entries())
        if (endsWithNoCase(e.name, ".hgt")) return e.name;
    error = "no .hgt file in the archive";
    return std::nullopt;
}

std::optional<std::string> hgtFromZip(std::string_view zipBytes, std::string& error) {
    ZipArchive zip(zipBytes);
    auto name = hgtMemberName(zip, error);
    if (!name) return std::nullopt;
    std::string out;
    if (zip.extract(*name, kLargestTileBytes + 1, out) == ZipStatus::Ok) return out;
    error = *name + " cannot be unpacked";
    return std::nullopt;
}

}  // namespace kit
