#include "batchkml/drivetest_kml.h"

#include <algorithm>
#include <cmath>

#include "batchkml/data_table.h"
#include "batchkml/kml_text.h"
#include "core/format.h"
#include "core/number_parse.h"

namespace kit {

namespace {

std::optional<double> cellNumber(const CellRow& row, int col) {
    const auto cell = cellAt(row, col);
    if (!cell) return std::nullopt;
    auto v = parseLeadingDouble(*cell);
    // inf and nan read as numbers but cannot be drawn.
    if (v && !std::isfinite(*v)) return std::nullopt;
    return v;
}

std::string colorText(RangeColor c) {
    return format("ff%02x%02x%02x", colorBlue(c), colorGreen(c), colorRed(c));
}

void appendRing(std::string& out, const std::vector<LonLat>& ring) {
    for (const LonLat& p : ring) {
        out.append(14, ' ');
        appendFixed(out, p.lon, 8);
        out += ',';
        appendFixed(out, p.lat, 8);
        out += ",0\n";
    }
}

}  // namespace

SphereDestinations::SphereDestinations(double lonDeg, double latDeg, double radiusMetres) {
    const double d = radiusMetres / kEarthRadiusM;
    const double phi1 = latDeg * kDegToRad;
    lambda1_ = lonDeg * kDegToRad;
    sinPhi1_ = std::sin(phi1);
    cosPhi1_ = std::cos(phi1);
    sinD_ = std::sin(d);
    cosD_ = std::cos(d);
}

LonLat SphereDestinations::at(double theta) const { return at(std::sin(theta), std::cos(theta)); }

LonLat SphereDestinations::at(double sinTheta, double cosTheta) const {
    const double phi2 = std::asin(sinPhi1_ * cosD_ + cosPhi1_ * sinD_ * cosTheta);
    const double lambda2 = lambda1_ + std::atan2(sinTheta * sinD_ * cosPhi1_, cosD_ - sinPhi1_ * std::sin(phi2));
    return {lambda2 / kDegToRad, phi2 / kDegToRad};
}

namespace {

// The bearings' sines and cosines, the same for every circle of a count.
struct BearingTable {
    int count = 0;
    std::vector<double> sines, cosines;
    explicit BearingTable(int n) : count(n) {
        for (int i = 0; i < n; ++i) {
            const double theta = i * 2 * kPi / n;
            sines.push_back(std::sin(theta));
            cosines.push_back(std::cos(theta));
        }
    }
};

const BearingTable& bearingsFor(int count) {
    static const BearingTable table36(36);
    if (count == 36) return table36;
    thread_local BearingTable other(0);
    if (other.count != count) other = BearingTable(count);
    return other;
}

}  // namespace

void circlePolygon(double lonDeg, double latDeg, double radiusMetres, int count, std::vector<LonLat>& ring) {
    ring.clear();
    if (count <= 0) return;
    const BearingTable& bearings = bearingsFor(count);
    const SphereDestinations around(lonDeg, latDeg, radiusMetres);
    for (int i = 0; i < count; ++i) ring.push_back(around.at(bearings.sines[static_cast<size_t>(i)], bearings.cosines[static_cast<size_t>(i)]));
    ring.push_back(ring.front());
}

std::vector<LonLat> circlePolygon(double lonDeg, double latDeg, double radiusMetres, int count) {
    std::vector<LonLat> ring;
    circlePolygon(lonDeg, latDeg, radiusMetres, count, ring);
    return ring;
}

std::vector<DriveTestPoint> driveTestPoints(const DataTable& table, int lonCol, int latCol, int valueCol,
                                            const std::vector<ColorRange>& ranges) {
    std::vector<DriveTestPoint> points;
    for (const auto& row : table.rows) {
        auto lon = cellNumber(row, lonCol), lat = cellNumber(row, latCol), value = cellNumber(row, valueCol);
        if (!lon || !lat || !value) continue;
        int k = findRange(ranges, *value);
        if (k < 0) continue;
        points.push_back({k, *value, *lat, *lon});
    }
    return points;
}

bool writeDriveTestKml(const DataTable& table, int lonCol, int latCol, int valueCol, const ColorTemplate& tmpl,
                       double sizeMetres, const TextSink& sink) {
    const auto points = driveTestPoints(table, lonCol, latCol, valueCol, tmpl.ranges);
    std::vector<bool> used(tmpl.ranges.size(), false);
    for (const auto& p : points) used[static_cast<size_t>(p.rangeIndex)] = true;

    KmlPieces pieces(sink);
    std::string& out = pieces.text();
    appendKmlHead(out, table.sourcePath);
    for (size_t k = 0; k < used.size(); ++k) {
        if (!used[k]) continue;
        out += "  <Style id=\"style_";
        appendUnsigned(out, k);
        out += "\">\n    <PolyStyle><color>";
        out += colorText(tmpl.ranges[k].color);
        out += "</color></PolyStyle>\n"
               "    <LineStyle><color>00000000</color><width>0</width></LineStyle>\n"
               "  </Style>\n";
    }
    std::vector<LonLat> ring;
    size_t n = 0;
    for (const auto& p : points) {
        const ColorRange& r = tmpl.ranges[static_cast<size_t>(p.rangeIndex)];
        out += "  <Folder>\n    <name>";
        appendFixed(out, r.min, 1);
        out += " ~ ";
        appendFixed(out, r.max, 1);
        out += " dBm</name>\n    <Placemark>\n      <name>";
        appendUnsigned(out, ++n);
        out += "</name>\n      <description>Signal: ";
        appendFixed(out, p.value, 2);
        out += " dBm</description>\n      <styleUrl>#style_";
        appendInt(out, p.rangeIndex);
        out += "</styleUrl>\n"
               "      <Polygon>\n"
               "        <extrude>0</extrude>\n"
               "        <altitudeMode>clampToGround</altitudeMode>\n"
               "        <outerBoundaryIs>\n"
               "          <LinearRing>\n"
               "            <coordinates>\n";
        circlePolygon(p.lon, p.lat, sizeMetres, 36, ring);
        appendRing(out, ring);
        out += "            </coordinates>\n"
               "          </LinearRing>\n"
               "        </outerBoundaryIs>\n"
               "      </Polygon>\n"
               "    </Placemark>\n"
               "  </Folder>\n";
        if (!pieces.flushWhenFull()) return false;
    }
    appendKmlTail(out);
    return pieces.finish();
}

std::string writeDriveTestKml(const DataTable& table, int lonCol, int latCol, int valueCol, const ColorTemplate& tmpl,
                              double sizeMetres) {
    return wholeDocument([&](const TextSink& sink) {
        return writeDriveTestKml(table, lonCol, latCol, valueCol, tmpl, sizeMetres, sink);
    });
}

}  // namespace kit
