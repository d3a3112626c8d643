#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "coverage/density.h"
#include "coverage/hex_grid.h"

using namespace kit;

namespace {

// Inside the convex ring (counter-clockwise) on the Mercator plane, by more
// than margin km from every edge (a negative margin tolerates that much).
bool insideOnPlane(const std::vector<LonLat>& ring, PlanePoint p, double margin) {
    for (size_t i = 0; i < ring.size(); ++i) {
        PlanePoint a = mercatorKm(ring[i].lon, ring[i].lat);
        PlanePoint b = mercatorKm(ring[(i + 1) % ring.size()].lon, ring[(i + 1) % ring.size()].lat);
        double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
        if (cross / std::hypot(b.x - a.x, b.y - a.y) <= margin) return false;
    }
    return true;
}

}  // namespace

TEST(HexGrid, KnownCellsAndIds) {
    for (int res = 0; res <= 12; ++res) {
        Axial a = latLonToAxial(0, 0, res);
        EXPECT_EQ(a.q, 0);
        EXPECT_EQ(a.r, 0);
    }
    EXPECT_EQ(makeCellId(0, 0, 7), 8646911286698835968ULL);
    Axial sydney = latLonToAxial(-33.9, 151.2, 5);
    EXPECT_EQ(sydney.q, 1312);
    EXPECT_EQ(sydney.r, -927);
    CellId beijing = makeCellId(39.9, 116.4, 7);
    EXPECT_EQ(beijing >> 60, 7u);
}

TEST(HexGrid, ResolutionIsClamped) {
    EXPECT_EQ(makeCellId(39.9, 116.4, -1), makeCellId(39.9, 116.4, 0));
    EXPECT_EQ(makeCellId(39.9, 116.4, 13), makeCellId(39.9, 116.4, 12));
    EXPECT_EQ(makeCellId(39.9, 116.4, 1000) >> 60, 12u);
    EXPECT_EQ(latLonToAxial(10, 20, 99).q, latLonToAxial(10, 20, 12).q);
}

TEST(HexGrid, PackingRoundTripsAcrossTheWholeRange) {
    const int64_t edge = int64_t{1} << 27;
    for (int64_t q : {int64_t{0}, int64_t{-1}, int64_t{1312}, -edge, edge - 1, int64_t{-98765}})
        for (int64_t r : {int64_t{0}, int64_t{-927}, int64_t{7}, -edge, edge - 1})
            for (int res : {0, 5, 12}) {
                CellParts p = splitCellId(packCellId(q, r, res));
                EXPECT_EQ(p.q, q);
                EXPECT_EQ(p.r, r);
                EXPECT_EQ(p.res, res);
                EXPECT_EQ(packCellId(q, r, res) & 0xF, 0u);
            }
}

TEST(HexGrid, BadCoordinatesStillGiveACell) {
    // NaN, the poles and absurd longitudes must not reach an undefined
    // float-to-integer conversion.
    for (double lat : {std::nan(""), 90.0, -90.0, 1e300})
        for (double lon : {std::nan(""), 0.0, 1e300, -1e300}) {
            CellId id = makeCellId(lat, lon, 12);
            EXPECT_EQ(id >> 60, 12u);
        }
    EXPECT_EQ(makeCellId(std::nan(""), std::nan(""), 7), makeCellId(0, 0, 7));
}

TEST(HexGrid, CentreRoundTripsThroughTheGrid) {
    for (int res = 0; res <= 12; ++res) {
        Axial cell = latLonToAxial(-33.9, 151.2, res);
        LonLat c = cellCentre(cell.q, cell.r, res);
        Axial a = latLonToAxial(c.lat, c.lon, res);
        EXPECT_EQ(a.q, cell.q) << res;
        EXPECT_EQ(a.r, cell.r) << res;
    }
}

// The outline written for a cell is exactly the hexagon its stations were
// counted in: every point lies inside its own cell's outline and inside no
// neighbour's, at every resolution and up to 85 degrees of latitude.
TEST(HexGrid, OutlinesAreTheCountedCells) {
    std::mt19937_64 rng(20240607);
    std::uniform_real_distribution<double> lonDist(-179.0, 179.0), latDist(-85.0, 85.0), unit(-1.0, 1.0);
    int checked = 0;
    for (int res = 0; res <= 12; ++res) {
        const double s = kHexSizeKm[res];
        for (int cluster = 0; cluster < 25; ++cluster) {
            PlanePoint centre = mercatorKm(lonDist(rng), latDist(rng));
            std::vector<LonLat> points;
            for (int i = 0; i < 40; ++i) {
                // Scatter over a few cells on the plane, so neighbours are met.
                LonLat p = fromMercatorKm(centre.x + 2.5 * s * unit(rng), centre.y + 2.5 * s * unit(rng));
                if (std::fabs(p.lat) <= 85) points.push_back(p);
            }
            std::vector<CellCount> cells = aggregateDensity(points, res);
            std::vector<std::vector<LonLat>> outlines;
            for (const CellCount& c : cells) outlines.push_back(cellOutline(c.id));
            for (const LonLat& p : points) {
                const CellId own = makeCellId(p.lat, p.lon, res);
                const PlanePoint xy = mercatorKm(p.lon, p.lat);
                const double tol = s * 1e-9;
                for (size_t c = 0; c < cells.size(); ++c) {
                    if (cells[c].id == own)
                        EXPECT_TRUE(insideOnPlane(outlines[c], xy, -tol)) << res << " " << p.lon << " " << p.lat;
                    else
                        EXPECT_FALSE(insideOnPlane(outlines[c], xy, tol)) << res << " " << p.lon << " " << p.lat;
                }
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 12000);
}

TEST(HexGrid, NeighbouringOutlinesShareTheirCornersExactly) {
    // The east-north neighbour (q+1, r) touches corners 0 and 1 of the cell
    // with its corners 4 and 3; the north neighbour (q, r+1) touches 1 and 2
    // with its 5 and 4.
    for (int res : {0, 7, 12}) {
        for (double lat : {0.0, 39.9, -60.0, 84.0}) {
            Axial a = latLonToAxial(lat, 116.4, res);
            auto cell = cellOutline(packCellId(a.q, a.r, res));
            auto east = cellOutline(packCellId(a.q + 1, a.r, res));
            auto north = cellOutline(packCellId(a.q, a.r + 1, res));
            EXPECT_EQ(cell[0].lon, east[4].lon);
            EXPECT_EQ(cell[0].lat, east[4].lat);
            EXPECT_EQ(cell[1].lon, east[3].lon);
            EXPECT_EQ(cell[1].lat, east[3].lat);
            EXPECT_EQ(cell[1].lat, north[5].lat);
            EXPECT_EQ(cell[2].lon, north[4].lon);
            EXPECT_EQ(cell[2].lat, north[4].lat);
        }
    }
}

TEST(HexGrid, OutlineStartsDueEastAndRunsCounterClockwise) {
    CellId id = makeCellId(39.9, 116.4, 7);
    CellParts p = splitCellId(id);
    LonLat c = cellCentre(p.q, p.r, 7);
    auto ring = cellOutline(id);
    ASSERT_EQ(ring.size(), 6u);
    EXPECT_NEAR(ring[0].lat, c.lat, 1e-9);
    EXPECT_GT(ring[0].lon, c.lon);
    EXPECT_GT(ring[1].lat, c.lat);
    EXPECT_LT(ring[2].lon, ring[1].lon);
    // Beijing's station sits inside its own cell's outline in plain degrees too.
    double lon = 116.4, lat = 39.9;
    bool inside = true;
    for (int i = 0; i < 6; ++i) {
        const LonLat& a = ring[i];
        const LonLat& b = ring[(i + 1) % 6];
        inside = inside && (b.lon - a.lon) * (lat - a.lat) - (b.lat - a.lat) * (lon - a.lon) > 0;
    }
    EXPECT_TRUE(inside);
}
