#pragma once
// Tables of sites for the nearest-site tests and the result text written the
// plain way, cell by cell, to compare the runs' text with.
#include <random>
#include <string>
#include <vector>

#include "core/format.h"
#include "core/number_parse.h"
#include "core/table.h"

namespace kit::test {

struct SiteRow {
    std::string id;
    double lon, lat;
};

inline std::vector<SiteRow> siteRows(const Table& t, const std::string& id = "id", const std::string& lon = "lon",
                                     const std::string& lat = "lat") {
    std::vector<SiteRow> rows;
    for (size_t r = 0; r < t.rowCount(); ++r)
        rows.push_back({std::string(t.cellOr(r, id, "")), toNumberOr(t.cellOr(r, lon, "0"), 0),
                        toNumberOr(t.cellOr(r, lat, "0"), 0)});
    return rows;
}

inline std::string resultHeader(int groups, const std::string& first = "id\tlon\tlat") {
    std::string h = first;
    for (int i = 1; i <= groups; ++i) {
        std::string n = std::to_string(i);
        h += "\t最近的" + n + "个 Id\t最近的" + n + "个经度\t最近的" + n + "个纬度\t最近的" + n + "个距离";
    }
    return h + "\n";
}

inline std::string siteCells(const SiteRow& r) {
    return r.id + "\t" + formatFixed(r.lon, 6) + "\t" + formatFixed(r.lat, 6);
}

// Sites in clusters with many exact duplicates (sectors of one site share a
// place). farShare of the rows are scattered over a continent, and every 97th
// longitude is unreadable when withBadCells is set.
inline std::string randomSiteTable(std::mt19937& rng, int rows, double farShare = 0.1, bool withBadCells = true) {
    std::uniform_real_distribution<double> u(0, 1);
    std::string t = "id\tlon\tlat\n";
    double lon = 116, lat = 40;
    for (int i = 0; i < rows; ++i) {
        double pick = u(rng);
        if (pick < 0.3) {
            // same place as the previous row
        } else if (pick < 1 - farShare) {
            lon = 116 + u(rng) * 0.3;
            lat = 39.8 + u(rng) * 0.3;
        } else {
            lon = 70 + u(rng) * 60;
            lat = 10 + u(rng) * 50;
        }
        std::string lonText = formatFixed(lon, 6);
        if (withBadCells && i % 97 == 5) lonText = "n/a";
        t += "S" + std::to_string(i) + "\t" + lonText + "\t" + formatFixed(lat, 6) + "\n";
    }
    return t;
}

}  // namespace kit::test
