#include "analysis/polygon_layer.h"

#include <cmath>
#include <limits>

#include "analysis/closed_ring.h"
#include "core/format.h"
#include "core/geodesy.h"
#include "core/number_parse.h"
#include "layers/geojson_writer.h"
#include "layers/layer_numbers.h"
#include "layers/row_properties.h"

namespace kit {

std::vector<Position> regularPolygonRing(double lon, double lat, int sides, double sideMetres, double rotationDeg) {
    std::vector<Position> ring;
    if (sides <= 0) return ring;
    ring.reserve(sides);
    const double circumradius = sideMetres / (2 * std::sin(kPi / sides));
    const double rotation = rotationDeg * kDegToRad;
    for (int i = 0; i < sides; ++i) {
        LonLat p = offsetByMetres(lon, lat, circumradius, i * 2 * kPi / sides + rotation);
        ring.push_back({p.lon, p.lat});
    }
    return ring;
}

std::vector<Position> starRing(double lon, double lat, int points, double radiusMetres, double innerAngleDeg,
                               double rotationDeg) {
    std::vector<Position> ring;
    if (points <= 0) return ring;
    const int vertices = 2 * points;
    ring.reserve(vertices);
    const double t = std::tan(innerAngleDeg * kDegToRad);
    const double innerMetres = t * radiusMetres / (t + 1);
    const double rotation = rotationDeg * kDegToRad;
    for (int i = 0; i < vertices; ++i) {
        LonLat p = offsetByMetres(lon, lat, i % 2 == 0 ? radiusMetres : innerMetres,
                                  i * 2 * kPi / vertices + rotation);
        ring.push_back({p.lon, p.lat});
    }
    return ring;
}

int parsePolygonCount(std::string_view text) {
    if (auto v = parseLeadingInt32(text)) return *v;
    // No integer at all, or one beyond the 32-bit range (strtol saturates).
    size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string_view::npos) return 4;
    bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-') ++i;
    if (i < text.size() && text[i] >= '0' && text[i] <= '9')
        return negative ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    return 4;
}

Outcome runPolygonLayer(const Table* table, const LonLatColumns& cols, const PolygonFields& fields) {
    if (Outcome checked = checkCentreSelection(table, cols); !checked.ok()) return checked;
    const int count = parsePolygonCount(fields.count);
    if (count < 3) return Outcome::warning("边数/角数必须是 >= 3 的整数");
    if (count > kMaxPolygonCount) return Outcome::warning(format("边数/角数不能超过 %d", kMaxPolygonCount));
    const bool star = fields.mode == PolygonMode::Star;
    const double rotation = layerNumberOr(fields.rotation, 0);
    const double innerAngle = layerNumberOr(fields.innerAngle, 30);
    const double size = layerNumberOr(fields.size, 100);

    const Table& t = *table;
    const CentreReader centre(t, cols);
    GeoJsonWriter writer;
    std::string geometry;
    std::vector<GeoJsonProperty> props;
    if (star)
        props = {{"row", "", false},
                 {"type", "star", true},
                 {"points", formatInt(count), false},
                 {"angle", formatNumber(innerAngle), false}};
    else
        props = {{"row", "", false}, {"type", "polygon", true}, {"sides", formatInt(count), false}};
    std::vector<std::string_view> ownKeys;
    for (const GeoJsonProperty& p : props) ownKeys.push_back(p.key);
    const RowProperties cells(t, {}, ownKeys);
    for (size_t r = 0; r < t.rowCount(); ++r) {
        const double lon = centre.lon(r), lat = centre.lat(r);
        geometry.clear();
        appendClosedRingGeometry(geometry, star ? starRing(lon, lat, count, size, innerAngle, rotation)
                                                : regularPolygonRing(lon, lat, count, size, rotation));
        props[0].value = formatInt(static_cast<int>(r));
        cells.fill(r, props);
        writer.addFeature(geometry, props);
    }
    return Outcome::success("", writer.finish());
}

}  // namespace kit
