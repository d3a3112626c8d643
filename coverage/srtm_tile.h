#pragma once
// SRTM elevation tiles (.hgt): a square grid of big-endian 16-bit heights in
// metres, north row first, 3601 cells a side at 1" or 1201 at 3", named after
// the south-west corner (N39E116.hgt). Tiles are often distributed zipped.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/zip_reader.h"

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

// The grid decodes only the cells asked for (a path touches a few thousand
// of a tile's 13 million), from the whole grid's bytes or from rows read on
// demand.
struct HeightGrid {
    int side = 0;       // cells per row and per column
    std::string bytes;  // big-endian, row-major, row 0 the northern edge; or empty and:
    // One row's 2·side bytes from the file; a row it cannot give reads void.
    std::function<std::string(int row)> readRow;

    int16_t raw(int row, int col) const;
    // The height, a void cell taking the mean of its valid neighbours (of
    // the eight around it, as read); a void without one stays kSrtmVoid.
    int16_t at(int row, int col) const;


    mutable std::vector<std::string> rows;  // rows read so far, by row
};

// Any square grid of big-endian heights; nothing when the bytes are not
// side² heights.
std::optional<HeightGrid> decodeHeightGrid(std::string bytes, int side);
// The side of a tile of that many bytes (3601 or 1201), or 0.
int tileSideForBytes(uint64_t size);

// A tile's bytes: 1" or 3" by their size, anything else refused with the
// reason in error.
std::optional<HeightGrid> decodeSrtmTile(std::string bytes, std::string& error);

// The name of a zipped tile's .hgt member; nothing, with the reason, when
// the archive is unreadable or holds no .hgt member.
std::optional<std::string> hgtMemberName(const ZipArchive& zip, std::string& error);
// That member's bytes, or nothing with the reason.
std::optional<std::string> hgtFromZip(std::string_view zipBytes, std::string& error);

// Zipped tiles inflate in one pass; the rows a path needs are kept.
inline constexpr uint64_t kLargestTileBytes = uint64_t{2} * 3601 * 3601;

}  // namespace kit
