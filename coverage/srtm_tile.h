#pragma once
// SRTM elevation tiles (.hgt): a square grid of big-endian 16-bit heights in
// metres, north row first, 3601 cells a side at 1" or 1201 at 3", named after
// the south-west corner (N39E116.hgt). Tiles are often distributed zipped.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kit {

inline constexpr int16_t kSrtmVoid = -32768;

// A tile's south-west corner in whole degrees.
struct TileCorner {
    int lat = 0, lon = 0;
    bool operator==(const TileCorner&) const = default;
};

// "N39E116" from its corner.
std::string tileBaseName(TileCorner corner);
// The corner a file name stands for: N39E116.hgt, s08w035.hgt,
// N39E116.hgt.zip, N39E116.SRTMGL1.hgt.zip; nothing for any other name.
std::optional<TileCorner> tileCornerFromName(std::string_view fileName);

struct HeightGrid {
    int side = 0;                  // cells per row and per column
    std::vector<int16_t> heights;  // row-major, row 0 the northern edge
    int16_t at(int row, int col) const { return heights[static_cast<size_t>(row) * side + col]; }
};

// Any square grid of big-endian heights; nothing when the bytes are not
// side² heights. Void cells take the mean of their valid neighbours (of the
// eight around them, as read); a void without one stays kSrtmVoid.
std::optional<HeightGrid> decodeHeightGrid(std::string_view bytes, int side);

// A tile's bytes: 1" or 3" by their size, anything else refused with the
// reason in error.
std::optional<HeightGrid> decodeSrtmTile(std::string_view bytes, std::string& error);

// The .hgt member of a zipped tile; nothing, with the reason, when the
// archive is unreadable or holds no tile-sized .hgt member.
std::optional<std::string> hgtFromZip(std::string_view zipBytes, std::string& error);

}  // namespace kit
