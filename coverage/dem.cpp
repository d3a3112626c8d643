#include "coverage/dem.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "core/file_io.h"
#include "core/zip_reader.h"

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

// A zipped tile: the archive is kept and its member inflated in one pass when
// a cell is first asked for, keeping only the rows marked wanted by then (a
// whole 1" tile is 26 MB). A row not kept inflates the member again, whole.
struct ZippedRows {
    std::string zipBytes, member;
    int side = 0;
    std::vector<bool> wanted;
    std::vector<std::string> kept;  // by row
    bool inflated = false;
    std::string whole;  // only after a miss

    size_t rowBytes() const { return 2 * static_cast<size_t>(side); }

    void inflateWanted() {
        inflated = true;
        kept.assign(static_cast<size_t>(side), {});
        uint64_t offset = 0;
        // Rows come north first: nothing south of the last wanted row is needed.
        size_t last = 0;
        for (size_t r = 0; r < wanted.size(); ++r)
            if (wanted[r]) last = r;
        const ZipArchive zip(zipBytes);
        const ZipStatus status = zip.extractTo(member, kLargestTileBytes + 1, [&](std::string_view piece) {
            while (!piece.empty()) {
                const size_t row = static_cast<size_t>(offset / rowBytes());
                const size_t take = std::min(piece.size(), rowBytes() - static_cast<size_t>(offset % rowBytes()));
                if (row < kept.size() && wanted[row]) kept[row].append(piece.substr(0, take));
                piece.remove_prefix(take);
                offset += take;
            }
        }, (last + 1) * rowBytes());
        if (status != ZipStatus::Ok) kept.clear();  // every row reads void
    }

    std::string row(int r) {
        if (!inflated) {
            wanted[static_cast<size_t>(r)] = true;
            inflateWanted();
        }
        if (static_cast<size_t>(r) < kept.size() && kept[static_cast<size_t>(r)].size() == rowBytes())
            return std::move(kept[static_cast<size_t>(r)]);
        if (whole.empty()) ZipArchive(zipBytes).extract(member, kLargestTileBytes + 1, whole);
        if (whole.size() != rowBytes() * static_cast<size_t>(side)) return {};
        return whole.substr(static_cast<size_t>(r) * rowBytes(), rowBytes());
    }
};

namespace {

std::optional<HeightGrid> openZippedTile(const std::string& path, std::shared_ptr<ZippedRows>& rows,
                                         std::string& error) {
    std::error_code ec;
    if (std::filesystem::file_size(pathOf(path), ec) > kLargestFileBytes && !ec) {
        error = "too large for a tile";
        return std::nullopt;
    }
    auto bytes = readFileBytes(path);  // sized once, unlike a read in pieces
    if (!bytes || bytes->size() > kLargestFileBytes) {
        error = "cannot be read";
        return std::nullopt;
    }
    auto z = std::make_shared<ZippedRows>();
    z->zipBytes = std::move(*bytes);
    const ZipArchive zip(z->zipBytes);
    auto member = hgtMemberName(zip, error);
    if (!member) return std::nullopt;
    for (const ZipEntry& e : zip.entries())
        if (e.name == *member) z->side = tileSideForBytes(e.uncompressedSize);
    if (z->side == 0) {
        error = *member + " is not a 1\" or 3\" tile";
        return std::nullopt;
    }
    z->member = *member;
    z->wanted.assign(static_cast<size_t>(z->side), false);
    HeightGrid g;
    g.side = z->side;
    g.readRow = [z](int row) { return z->row(row); };
    rows = std::move(z);
    return g;
}

// A plain tile is read a row at a time as the path needs it.
std::optional<HeightGrid> openPlainTile(const std::string& path, std::string& error) {
    std::error_code ec;
    const uint64_t size = std::filesystem::file_size(pathOf(path), ec);
    auto in = std::make_shared<std::ifstream>(pathOf(path), std::ios::binary);
    if (ec || !*in) {
        error = "cannot be read";
        return std::nullopt;
    }
    HeightGrid g;
    g.side = tileSideForBytes(size);
    if (g.side == 0) {
        error = std::to_string(size) + " bytes, not a 1\" or 3\" tile";
        return std::nullopt;
    }
    g.readRow = [in, side = g.side](int row) {
        std::string bytes(2 * static_cast<size_t>(side), '\0');
        in->clear();
        in->seekg(static_cast<std::streamoff>(row) * static_cast<std::streamoff>(bytes.size()));
        if (!in->read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) bytes.clear();
        return bytes;
    };
    return g;
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
    const std::string path = joinPath(folder_, name);
    std::string error;
    if (isZip(name)) {
        tile = openZippedTile(path, zipped_[key], error);
    } else {
        tile = openPlainTile(path, error);
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
    if (weight > 0) return sum / weight;
    // Exactly on a void cell the valid ones weigh nothing: one stands in.
    for (int16_t h : cells)
        if (h != kSrtmVoid) return h;
    return std::nullopt;
}

void ElevationModel::expectPoints(const std::vector<double>& lat, const std::vector<double>& lon) {
    for (size_t i = 0; i < lat.size() && i < lon.size(); ++i) {
        TileCorner c;
        const HeightGrid* g = tileFor(lat[i], lon[i], c);
        auto z = zipped_.find({c.lat, c.lon});
        if (!g || z == zipped_.end() || !z->second || z->second->inflated) continue;
        // The bilinear pair of rows, and their neighbours for filling voids.
        const int row = static_cast<int>((c.lat + 1 - lat[i]) * (g->side - 1));
        for (int r = std::max(row - 1, 0); r <= std::min(row + 2, g->side - 1); ++r)
            z->second->wanted[static_cast<size_t>(r)] = true;
    }
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
