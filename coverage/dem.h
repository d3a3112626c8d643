#pragma once
// Terrain heights from a folder of SRTM tiles: the folder's names are listed
// once, a tile is read only when a point inside it is asked for, and kept for
// the model's life. A tile that cannot be used is skipped, with its file name
// and the reason kept for the report.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "coverage/srtm_tile.h"

namespace kit {

struct ZippedRows;

class ElevationModel {
public:
    // An empty or missing folder gives a model with no tiles.
    explicit ElevationModel(const std::string& utf8Folder);

    // Height above sea level at a point: bilinear between the four cells
    // around it, voids left out; nothing where no tile is at hand or all four
    // are void.
    std::optional<double> heightAt(double lat, double lon);
    // Whether a usable tile covers the point (reading it if need be).
    bool covers(double lat, double lon);
    // Cell size in degrees of the tile holding the point (1/3600 or 1/1200);
    // 0 without a usable tile.
    double cellDegrees(double lat, double lon);

    // The points about to be asked for: zipped tiles keep the rows around
    // them when they inflate, and nothing else.
    void expectPoints(const std::vector<double>& lat, const std::vector<double>& lon);

    // Whether the folder holds any file named as a tile.
    bool hasTiles() const { return !files_.empty(); }
    // "N39E116.hgt: 10 bytes, not a 1" or 3" tile", one per skipped file.
    const std::vector<std::string>& problems() const { return problems_; }
    // Base names of the tiles read so far, in corner order.
    std::vector<std::string> tilesRead() const;

private:
    const HeightGrid* tileFor(double lat, double lon, TileCorner& corner);

    std::string folder_;
    std::map<std::pair<int, int>, std::string> files_;              // corner -> file name
    std::map<std::pair<int, int>, std::optional<HeightGrid>> tiles_;  // read (or refused) so far
    std::map<std::pair<int, int>, std::shared_ptr<ZippedRows>> zipped_;
    std::vector<std::string> problems_;
};

}  // namespace kit
