#pragma once
// sector_templates.json: named settings of the sector tab.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kit {

// Texts are what the combos show: a header name or a typed number.
struct SectorTemplate {
    std::string name;
    std::string siteCol, lonCol, latCol;
    std::string azimuthCol, beamwidthCol, radiusCol;
    std::string azimuthFixed, beamwidthFixed, radiusFixed;
    int64_t color = 0;  // 0x00BBGGRR
    int64_t opacity = 0;
    bool lodEnabled = false;
    double lodKm = 0;
    bool operator==(const SectorTemplate&) const = default;
};

std::string sectorTemplatesPath(std::string_view exeFolder);

std::string formatSectorTemplates(const std::vector<SectorTemplate>& list);
// Every object holding a "name" key yields one template, in file order (names
// may repeat or be empty); a key is looked for only inside its own object.
std::vector<SectorTemplate> parseSectorTemplates(std::string_view text);

// A missing file gives an empty list.
std::vector<SectorTemplate> loadSectorTemplates(const std::string& path);
bool saveSectorTemplates(const std::string& path, const std::vector<SectorTemplate>& list);

// Replaces the template of the same exact name or appends; returns its index
// (-1 and no change for an empty name).
int storeSectorTemplate(std::vector<SectorTemplate>& list, SectorTemplate t);

}  // namespace kit
