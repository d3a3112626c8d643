#pragma once
// The sector KML: per row a wedge polygon and a labelled site point, one
// colour and opacity for the whole file, optionally behind a level-of-detail
// region.
#include <cstdint>
#include <string>
#include <string_view>

#include "batchkml/kml_text.h"

namespace kit {

struct DataTable;

// Column indices are -1 for "no column": then the fixed value is used (and
// a site column of -1 names every placemark "Site").
struct SectorKmlParams {
    int siteCol = -1;
    int lonCol = -1;
    int latCol = -1;
    int azimuthCol = -1;
    int beamwidthCol = -1;
    int radiusCol = -1;
    double azimuthFixed = 0;
    double beamwidthFixed = 65;
    double radiusFixed = 500;
    uint32_t color = 255;  // 0x00BBGGRR
    int opacityPercent = 100;
    bool lodEnabled = true;
    double lodKm = 5;
};

// "aabbggrr" with alpha = opacity * 255 / 100, clamped.
std::string sectorColorText(uint32_t color, int opacityPercent);
// Integer part of 5 / lodKm * 128 (lodKm <= 0 counts as 5).
int minLodPixels(double lodKm);

// Rows too short for the longitude or latitude column are left out.
std::string writeSectorKml(std::string_view sourcePath, const DataTable& table, const SectorKmlParams& p);
// The same document handed to the sink in pieces (some 2 KB a row), so a
// long site list is never held whole. False when the sink refused a piece.
bool writeSectorKml(std::string_view sourcePath, const DataTable& table, const SectorKmlParams& p,
                    const TextSink& sink);

}  // namespace kit
