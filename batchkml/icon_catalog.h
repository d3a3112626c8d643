#pragma once
// The fixed catalogue of 67 map icons the icon-map tab offers: a PNG shipped
// under resources/kml_icons and the web address the KML refers to.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kit {

struct IconCatalogEntry {
    std::string_view localFile;  // PNG under resources/kml_icons
    std::string_view path;       // address path on the icon host
    std::string_view group;      // "图钉", "字母", "数字", "符号"
};

inline constexpr size_t kIconCount = 67;
const std::array<IconCatalogEntry, kIconCount>& iconCatalog();

// Icon host base URL + the entry's path.
std::string iconUrl(const IconCatalogEntry& e);
// localFile without its last extension ("ylw-pushpin").
std::string iconNameOf(std::string_view localFile);
// exeFolder + "/resources/kml_icons/" + localFile.
std::string localIconPath(std::string_view exeFolder, std::string_view localFile);

// The tab's starting icon (entry 0).
inline constexpr size_t kDefaultIcon = 0;
// An index "0".."66" or an icon name ("ylw-pushpin", "E"): the entry's index.
std::optional<size_t> findIcon(std::string_view indexOrName);

}  // namespace kit
