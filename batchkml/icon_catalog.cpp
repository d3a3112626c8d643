#include "batchkml/icon_catalog.h"

#include "batchkml/kml_text.h"
#include "core/file_io.h"

namespace kit {

const std::array<IconCatalogEntry, kIconCount>& iconCatalog() {
    // The local PNG names differ from the web names in a few places
    // (blue/blu, purple/purp, hiker/hiking, info-i/info).
    static const std::array<IconCatalogEntry, kIconCount> entries{{
        {"ylw-pushpin.png", "/mapfiles/kml/pushpin/ylw-pushpin.png", "图钉"},
        {"grn-pushpin.png", "/mapfiles/kml/pushpin/grn-pushpin.png", "图钉"},
        {"blue-pushpin.png", "/mapfiles/kml/pushpin/blu-pushpin.png", "图钉"},
        {"red-pushpin.png", "/mapfiles/kml/pushpin/red-pushpin.png", "图钉"},
        {"purple-pushpin.png", "/mapfiles/kml/pushpin/purp-pushpin.png", "图钉"},
        {"pink-pushpin.png", "/mapfiles/kml/pushpin/pink-pushpin.png", "图钉"},
        {"wht-pushpin.png", "/mapfiles/kml/pushpin/wht-pushpin.png", "图钉"},
        {"ltblu-pushpin.png", "/mapfiles/kml/pushpin/ltblu-pushpin.png", "图钉"},
        {"A.png", "/mapfiles/kml/paddle/grn-A.png", "字母"},
        {"B.png", "/mapfiles/kml/paddle/grn-B.png", "字母"},
        {"C.png", "/mapfiles/kml/paddle/grn-C.png", "字母"},
        {"D.png", "/mapfiles/kml/paddle/grn-D.png", "字母"},
        {"E.png", "/mapfiles/kml/paddle/grn-E.png", "字母"},
        {"F.png", "/mapfiles/kml/paddle/grn-F.png", "字母"},
        {"G.png", "/mapfiles/kml/paddle/grn-G.png", "字母"},
        {"H.png", "/mapfiles/kml/paddle/grn-H.png", "字母"},
        {"I.png", "/mapfiles/kml/paddle/grn-I.png", "字母"},
        {"J.png", "/mapfiles/kml/paddle/grn-J.png", "字母"},
        {"K.png", "/mapfiles/kml/paddle/grn-K.png", "字母"},
        {"L.png", "/mapfiles/kml/paddle/grn-L.png", "字母"},
        {"M.png", "/mapfiles/kml/paddle/grn-M.png", "字母"},
        {"N.png", "/mapfiles/kml/paddle/grn-N.png", "字母"},
        {"O.png", "/mapfiles/kml/paddle/grn-O.png", "字母"},
        {"P.png", "/mapfiles/kml/paddle/grn-P.png", "字母"},
        {"Q.png", "/mapfiles/kml/paddle/grn-Q.png", "字母"},
        {"R.png", "/mapfiles/kml/paddle/grn-R.png", "字母"},
        {"S.png", "/mapfiles/kml/paddle/grn-S.png", "字母"},
        {"T.png", "/mapfiles/kml/paddle/grn-T.png", "字母"},
        {"U.png", "/mapfiles/kml/paddle/grn-U.png", "字母"},
        {"V.png", "/mapfiles/kml/paddle/grn-V.png", "字母"},
        {"W.png", "/mapfiles/kml/paddle/grn-W.png", "字母"},
        {"X.png", "/mapfiles/kml/paddle/grn-X.png", "字母"},
        {"Y.png", "/mapfiles/kml/paddle/grn-Y.png", "字母"},
        {"Z.png", "/mapfiles/kml/paddle/grn-Z.png", "字母"},
        {"1.png", "/mapfiles/kml/paddle/grn-1.png", "数字"},
        {"2.png", "/mapfiles/kml/paddle/grn-2.png", "数字"},
        {"3.png", "/mapfiles/kml/paddle/grn-3.png", "数字"},
        {"4.png", "/mapfiles/kml/paddle/grn-4.png", "数字"},
        {"5.png", "/mapfiles/kml/paddle/grn-5.png", "数字"},
        {"6.png", "/mapfiles/kml/paddle/grn-6.png", "数字"},
        {"7.png", "/mapfiles/kml/paddle/grn-7.png", "数字"},
        {"8.png", "/mapfiles/kml/paddle/grn-8.png", "数字"},
        {"9.png", "/mapfiles/kml/paddle/grn-9.png", "数字"},
        {"camera.png", "/mapfiles/kml/shapes/camera.png", "符号"},
        {"dining.png", "/mapfiles/kml/shapes/dining.png", "符号"},
        {"earthquake.png", "/mapfiles/kml/shapes/earthquake.png", "符号"},
        {"flag.png", "/mapfiles/kml/shapes/flag.png", "符号"},
        {"forbidden.png", "/mapfiles/kml/shapes/forbidden.png", "符号"},
        {"golf.png", "/mapfiles/kml/shapes/golf.png", "符号"},
        {"hiker.png", "/mapfiles/kml/shapes/hiking.png", "符号"},
        {"homegardenbusiness.png", "/mapfiles/kml/shapes/homegardenbusiness.png", "符号"},
        {"info-i.png", "/mapfiles/kml/shapes/info.png", "符号"},
        {"library_maps.png", "/mapfiles/kml/shapes/library_maps.png", "符号"},
        {"motorcycling.png", "/mapfiles/kml/shapes/motorcycling.png", "符号"},
        {"parking_lot.png", "/mapfiles/kml/shapes/parking_lot.png", "符号"},
        {"partly_cloudy.png", "/mapfiles/kml/shapes/partly_cloudy.png", "符号"},
        {"placemark_circle.png", "/mapfiles/kml/shapes/placemark_circle.png", "符号"},
        {"placemark_square.png", "/mapfiles/kml/shapes/placemark_square.png", "符号"},
        {"police.png", "/mapfiles/kml/shapes/police.png", "符号"},
        {"post_office.png", "/mapfiles/kml/shapes/post_office.png", "符号"},
        {"ranger_station.png", "/mapfiles/kml/shapes/ranger_station.png", "符号"},
        {"schools.png", "/mapfiles/kml/shapes/schools.png", "符号"},
        {"square.png", "/mapfiles/kml/shapes/square.png", "符号"},
        {"sunny.png", "/mapfiles/kml/shapes/sunny.png", "符号"},
        {"trail.png", "/mapfiles/kml/shapes/trail.png", "符号"},
        {"truck.png", "/mapfiles/kml/shapes/truck.png", "符号"},
        {"water.png", "/mapfiles/kml/shapes/water.png", "符号"},
    }};
    return entries;
}

std::string iconUrl(const IconCatalogEntry& e) { return std::string(kIconHostBase) + std::string(e.path); }

std::string iconNameOf(std::string_view localFile) {
    size_t dot = localFile.rfind('.');
    return std::string(dot == std::string_view::npos ? localFile : localFile.substr(0, dot));
}

std::string localIconPath(std::string_view exeFolder, std::string_view localFile) {
    return joinPath(joinPath(joinPath(exeFolder, "resources"), "kml_icons"), localFile);
}

std::optional<size_t> findIcon(std::string_view indexOrName) {
    const auto& all = iconCatalog();
    if (!indexOrName.empty() && indexOrName.size() <= 2 &&
        indexOrName.find_first_not_of("0123456789") == std::string_view::npos) {
        size_t i = 0;
        for (char c : indexOrName) i = i * 10 + static_cast<size_t>(c - '0');
        if (i < all.size()) return i;
        return std::nullopt;
    }
    for (size_t i = 0; i < all.size(); ++i)
        if (iconNameOf(all[i].localFile) == indexOrName) return i;
    return std::nullopt;
}

}  // namespace kit
