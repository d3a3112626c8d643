// Elevation tiles on arbitrary bytes: the first byte picks the path (a
// square height grid with its void filling, or a zipped tile), the rest is
// the input; the bytes are also tried as a tile's file name.
#include <algorithm>
#include <cmath>
#include <string>

#include "coverage/srtm_tile.h"
#include "fuzz_support.h"

namespace {

void checkGrid(std::string_view bytes, int side) {
    auto g = kit::decodeHeightGrid(std::string(bytes), side);
    FUZZ_CHECK(g.has_value() == (side > 0 && bytes.size() == size_t{2} * side * side));
    if (!g) return;
    // A cell with a height keeps it; a void is filled whenever a neighbour
    // holds a height.
    for (int row = 0; row < side; ++row)
        for (int col = 0; col < side; ++col) {
            const size_t at = 2 * (static_cast<size_t>(row) * side + col);
            const auto read = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) << 8 |
                                                                         static_cast<uint8_t>(bytes[at + 1])));
            if (read != kit::kSrtmVoid) {
                FUZZ_CHECK(g->at(row, col) == read);
                continue;
            }
            // Still void only when no neighbour holds a height.
            bool valid = false;
            for (int r = std::max(row - 1, 0); r <= std::min(row + 1, side - 1); ++r)
                for (int c = std::max(col - 1, 0); c <= std::min(col + 1, side - 1); ++c)
                    valid |= g->raw(r, c) != kit::kSrtmVoid;
            FUZZ_CHECK((g->at(row, col) == kit::kSrtmVoid) == !valid);
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view in = kit::fuzz::asText(data, size);
    if (auto corner = kit::tileCornerFromName(in)) {
        FUZZ_CHECK(corner->lat >= -89 && corner->lat <= 89 && corner->lon >= -180 && corner->lon < 180);
        FUZZ_CHECK(kit::tileCornerFromName(kit::tileBaseName(*corner) + ".hgt") == corner);
    }
    if (in.empty()) return 0;
    const char path = in[0];
    in.remove_prefix(1);
    std::string error;
    if (path & 1) {
        auto hgt = kit::hgtFromZip(in, error);
        FUZZ_CHECK(hgt.has_value() == error.empty());
        if (!hgt) return 0;
        FUZZ_CHECK(hgt->size() <= size_t{2} * 3601 * 3601 + 1);
        auto tile = kit::decodeSrtmTile(std::move(*hgt), error);
        FUZZ_CHECK(!tile || tile->side == 3601 || tile->side == 1201);
        return 0;
    }
    const int side = static_cast<int>(std::sqrt(static_cast<double>(in.size() / 2)));
    checkGrid(in.substr(0, size_t{2} * side * side), side);
    checkGrid(in, side + 1);
    FUZZ_CHECK(!kit::decodeSrtmTile(std::string(in), error) || in.size() == size_t{2} * 1201 * 1201 ||
               in.size() == size_t{2} * 3601 * 3601);
    return 0;
}
