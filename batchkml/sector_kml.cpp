#include "batchkml/sector_kml.h"

#include <climits>
#include <cmath>

#include "batchkml/data_table.h"
#include "batchkml/drivetest_kml.h"
#include "core/format.h"
#include "core/number_parse.h"

namespace kit {

namespace {

double cellOr(const CellRow& row, int col, double fallback) {
    const auto cell = cellAt(row, col);
    if (!cell) return fallback;
    auto v = parseLeadingDouble(*cell);
    return v && std::isfinite(*v) ? *v : fallback;
}

// A C cast to int for the description, kept defined for any value.
long long cutToInteger(double v) {
    if (!(v > -9.2e18 && v < 9.2e18)) return 0;
    return static_cast<long long>(v);
}

void appendPoint(std::string& out, const LonLat& p) {
    appendFixed(out, p.lon, 6);
    out += ',';
    appendFixed(out, p.lat, 6);
    out += ",0";
}

void appendRegion(std::string& out, int minPixels) {
    out += "    <Region>\n      <Lod>\n        <minLodPixels>";
    appendInt(out, minPixels);
    out += "</minLodPixels>\n        <maxLodPixels>-1</maxLodPixels>\n      </Lod>\n    </Region>\n";
}

}  // namespace

std::string sectorColorText(uint32_t color, int opacityPercent) {
    long long alpha = static_cast<long long>(opacityPercent) * 255 / 100;
    alpha = alpha < 0 ? 0 : alpha > 255 ? 255 : alpha;
    return format("%02x%02x%02x%02x", static_cast<int>(alpha), static_cast<int>((color >> 16) & 255),
                  static_cast<int>((color >> 8) & 255), static_cast<int>(color & 255));
}

int minLodPixels(double lodKm) {
    if (!(lodKm > 0)) lodKm = 5;
    double pixels = 5 / lodKm * 128;
    return pixels < INT_MAX ? static_cast<int>(pixels) : INT_MAX;
}

bool writeSectorKml(std::string_view sourcePath, const DataTable& table, const SectorKmlParams& p,
                    const TextSink& sink) {
    const std::string color = sectorColorText(p.color, p.opacityPercent);
    const int lodPixels = minLodPixels(p.lodKm);
    std::string iconHref = xmlEscaped(std::string(kIconHostBase) + "/mapfiles/kml/shapes/info.png");

    KmlPieces pieces(sink);
    std::string& out = pieces.text();
    appendKmlHead(out, sourcePath);
    for (const auto& row : table.rows) {
        // A row without its coordinate cells has no place to be drawn.
        if (!cellAt(row, p.lonCol) || !cellAt(row, p.latCol)) continue;
        const LonLat site{cellOr(row, p.lonCol, 0), cellOr(row, p.latCol, 0)};
        const double azimuth = p.azimuthCol == -1 ? p.azimuthFixed : cellOr(row, p.azimuthCol, 0);
        const double beam = p.beamwidthCol == -1 ? p.beamwidthFixed : cellOr(row, p.beamwidthCol, 65);
        const double radius = p.radiusCol == -1 ? p.radiusFixed : cellOr(row, p.radiusCol, 500);
        const auto siteCell = p.siteCol == -1 ? std::nullopt : cellAt(row, p.siteCol);
        const std::string name = xmlEscaped(siteCell.value_or("Site"));

        out += "  <Placemark>\n    <name>";
        out += name;
        out += "</name>\n    <description>方位角:";
        appendInt(out, cutToInteger(azimuth));
        out += "° 波宽:";
        appendInt(out, cutToInteger(beam));
        out += "° 半径:";
        appendInt(out, cutToInteger(radius));
        out += "m</description>\n    <Style>\n      <LineStyle><color>";
        out += color;
        out += "</color><width>1.5</width></LineStyle>\n      <PolyStyle><color>";
        out += color;
        out += "</color></PolyStyle>\n    </Style>\n";
        if (p.lodEnabled) appendRegion(out, lodPixels);
        out += "    <Polygon>\n      <altitudeMode>relativeToGround</altitudeMode>\n      <outerBoundaryIs>\n"
               "        <LinearRing>\n          <coordinates>";
        const SphereDestinations around(site.lon, site.lat, radius);
        appendPoint(out, site);
        out += '\n';
        for (int j = 0; j <= 20; ++j) {
            appendPoint(out, around.at((azimuth - beam / 2 + j * beam / 20) * kDegToRad));
            out += '\n';
        }
        appendPoint(out, site);
        out += "\n</coordinates>\n        </LinearRing>\n      </outerBoundaryIs>\n    </Polygon>\n  </Placemark>\n";

        out += "  <Placemark>\n    <name>";
        out += name;
        out += "</name>\n    <Style>\n      <IconStyle>\n        <Icon><href>";
        out += iconHref;
        out += "</href></Icon>\n        <scale>0.6</scale>\n      </IconStyle>\n"
               "      <LabelStyle><scale>0.8</scale></LabelStyle>\n    </Style>\n";
        if (p.lodEnabled) appendRegion(out, lodPixels);
        out += "    <Point>\n      <coordinates>";
        appendPoint(out, site);
        out += "</coordinates>\n    </Point>\n  </Placemark>\n";
        if (!pieces.flushWhenFull()) return false;
    }
    appendKmlTail(out);
    return pieces.finish();
}

std::string writeSectorKml(std::string_view sourcePath, const DataTable& table, const SectorKmlParams& p) {
    return wholeDocument([&](const TextSink& sink) { return writeSectorKml(sourcePath, table, p, sink); });
}

}  // namespace kit
