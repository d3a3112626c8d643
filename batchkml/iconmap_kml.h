#pragma once
// The icon-map KML: one placemark per row with a shared icon and the row's
// cells as extended data; and iconmap_templates.json.
#include <string>
#include <string_view>
#include <vector>

#include "batchkml/kml_text.h"

namespace kit {

struct DataTable;

// idCol -1 names the points Point1, Point2, ... by row number.
std::string writeIconMapKml(std::string_view sourcePath, const DataTable& table, int lonCol, int latCol, int idCol,
                            std::string_view iconUrl);
// The same document handed to the sink in pieces; false when it refused one.
bool writeIconMapKml(std::string_view sourcePath, const DataTable& table, int lonCol, int latCol, int idCol,
                     std::string_view iconUrl, const TextSink& sink);

struct IconMapTemplate {
    std::string name, lonCol, latCol, idCol, iconUrl, iconName, localFile;
    bool operator==(const IconMapTemplate&) const = default;
};

std::string iconMapTemplatesPath(std::string_view exeFolder);
std::string formatIconMapTemplates(const std::vector<IconMapTemplate>& list);
// Read as the sector templates are: one template per named object.
std::vector<IconMapTemplate> parseIconMapTemplates(std::string_view text);
// A missing or empty file leaves the list as it is.
void loadIconMapTemplates(const std::string& path, std::vector<IconMapTemplate>& list);
bool saveIconMapTemplates(const std::string& path, const std::vector<IconMapTemplate>& list);
int storeIconMapTemplate(std::vector<IconMapTemplate>& list, IconMapTemplate t);

}  // namespace kit
