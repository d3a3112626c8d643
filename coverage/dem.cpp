#include "coverage/dem.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/file_io.h"

namespace kit {

namespace {

// Zipped tiles are small; anything far larger than a 1" tile is not one.
constexpr uint64_t kLargestFileBytes = uint64_t{64} << 20;

std::filesystem::path pathOf(const std::string& utf8) { return std::u8string(utf8.begin(), utf8.end()); }

std::string utf8Of(const std::filesystem::path& p) {
    auto u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

bool looksLikeTile(const std::string& name) {
    const std::string ext = extensionOf(name);
    return ext.size() == 4 && (ext[1] | 0x20) == 'h' && (ext[2] | 0x20) == 'g' && (ext[3] | 0x20) == 't';
}

bool isZip(const std::string& name) {
    const std::string ext = extensionOf(name);
    return ext.size() == 4 && (ext[1] | 0x20) == 'z' && (ext[2] | 0x20) == 'i' && (ext[3] | 0x20) == 'p';
}

}  // namespace

ElevationModel::ElevationModel(const std::string& folder) : folder_(folder) {
    if (folder.empty()) return;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(pathOf(folder), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = utf8Of(it->path().filename());
        if (!looksLikeTile(name) && !isZip(name)) continue;
        auto corner = tileCornerFromName(name);
        if (!corner) {
            problems_.push_back(name + ": not a tile name such as N39E116.hgt");
            continue;
        }
        // A plain tile wins over a zipped one of the same corner.
        auto [at, added] = files_.try_emplace({corner->lat, corner->lon}, name);
        if (!added && looksLikeTile(name)) at->second = name;
    }
}

const HeightGrid* ElevationModel::tileFor(double lat, double lon, TileCorner& corner) {
    if (!std::isfinite(lat) || !std::isfinite(lon)) return nullptr;
    corner = {static_cast<int>(std::floor(lat)), static_cast<int>(std::floor(lon))};
    const std::pair<int, int> key{corner.lat, corner.lon};
    auto cached = tiles_.find(key);
    if (cached != tiles_.end()) return cached->second ? &*cached->second : nullptr;
    std::optional<HeightGrid>& tile = tiles_[key];
    auto file = files_.find(key);
    if (file == files_.end()) return nullptr;
    const std::string& name = file->second;
    bool tooLarge = false;
    auto bytes = readFileBytesLimited(joinPath(folder_, name), kLargestFileBytes, &tooLarge);
    std::string error;
    if (!bytes) {
        error = tooLarge ? "too large for a tile" : "cannot be read";
    } else if (isZip(name)) {
        if (auto inner = hgtFromZip(*bytes, error)) tile = decodeSrtmTile(*inner, error);
    } else {
        tile = decodeSrtmTile(*bytes, error);
    }
    if (!tile) problems_.push_back(name + ": " + error);
    return tile ? &*tile : nullptr;
}

std::optional<double> ElevationModel::heightAt(double lat, double lon) {
    TileCorner c;
    const HeightGrid* g = tileFor(lat, lon, c);
    if (!g) return std::nullopt;
    const int last = g->side - 1;
    // Tiles share their edge rows and columns, so the four cells around any
    // point lie in the tile holding it.
    const double x = (lon - c.lon) * last, y = (c.lat + 1 - lat) * last;
    const int col = std::min(static_cast<int>(x), last - 1), row = std::min(static_cast<int>(y), last - 1);
    const double fx = x - col, fy = y - row;
    const double weights[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
    const int16_t cells[4] = {g->at(row, col), g->at(row, col + 1), g->at(row + 1, col), g->at(row + 1, col + 1)};
    double sum = 0, weight = 0;
    for (int i = 0; i < 4; ++i) {
        if (cells[i] == kSrtmVoid) continue;
        sum += weights[i] * cells[i];
        weight += weights[i];
    }
    // A point on a void cell's corner weighs its valid neighbours at 0.
    bool anyValid = false;
    for (int16_t h : cells) anyValid |= h != kSrtmVoid;
    if (!anyValid) return std::nullopt;
    if (weight <= 0) {
        for (int16_t h : cells)
            if (h != kSrtmVoid) return h;
    }
    return sum / weight;
}

bool ElevationModel::covers(double lat, double lon) {
    TileCorner c;
    return tileFor(lat, lon, c) != nullptr;
}

double ElevationModel::cellDegrees(double lat, double lon) {
    TileCorner c;
    const HeightGrid* g = tileFor(lat, lon, c);
    return g ? 1.0 / (g->side - 1) : 0;
}

std::vector<std::string> ElevationModel::tilesRead() const {
    std::vector<std::string> names;
    for (const auto& [key, tile] : tiles_)
        if (tile) names.push_back(tileBaseName({key.first, key.second}));
    return names;
}

}  // namespace kit
