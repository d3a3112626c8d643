#include "analysis/sector_layer.h"

#include "analysis/closed_ring.h"
#include "core/edit_text.h"
#include "core/geodesy.h"
#include "core/text.h"
#include "layers/geojson_writer.h"
#include "layers/layer_numbers.h"
#include "layers/row_properties.h"

namespace kit {

namespace {

// One list's text: a number for every row, or a column read per row, falling
// back to the default where the column is unknown, the cell missing or not a
// number.
class Parameter {
public:
    Parameter(const Table& table, std::string_view text, double fallback) : table_(table), fallback_(fallback) {
        text = editText(text);
        if (auto v = parseLayerNumber(text)) {
            fixed_ = *v;
            constant_ = true;
        } else if (!text.empty()) {
            for (std::string_view h : table.headers)
                if (h == text) {
                    column_ = table.column(h);
                    break;
                }
        }
    }

    double at(size_t row) const {
        if (constant_) return fixed_;
        if (column_.empty()) return fallback_;
        return layerNumberOr(table_.cellOr(row, column_, ""), fallback_);
    }

private:
    const Table& table_;
    double fallback_;
    bool constant_ = false;
    double fixed_ = 0;
    ColumnRef column_;
};

}  // namespace

std::vector<Position> sectorRing(double lon, double lat, double azimuth, double radius, double angle,
                                 double inner) {
    if (angle <= 0 || angle > 360) angle = 90;
    if (inner < 0) inner = 0;
    // The ring is drawn in the mathematical frame (0 east, counter-clockwise).
    const double theta = (90 - azimuth) * kDegToRad;
    const double h = angle / 2 * kDegToRad;

    std::vector<Position> ring;
    ring.reserve(kSectorArcSteps + 3);
    auto at = [&](double d, double phi) {
        LonLat p = offsetByMetres(lon, lat, d, phi);
        ring.push_back({p.lon, p.lat});
    };
    if (inner > 0) at(inner, theta - h);
    else ring.push_back({lon, lat});
    for (int i = 0; i <= kSectorArcSteps; ++i) at(radius, theta - h + i * (2 * h) / kSectorArcSteps);
    if (inner > 0) at(inner, theta + h);
    return ring;
}

Outcome runSectorLayer(const Table* table, const LonLatColumns& cols, const SectorFields& fields) {
    if (Outcome checked = checkCentreSelection(table, cols); !checked.ok()) return checked;
    const Table& t = *table;
    const CentreReader centre(t, cols);
    const Parameter azimuth(t, fields.azimuth, 0), distance(t, fields.distance, 100), angle(t, fields.angle, 90),
        inner(t, fields.inner, 0);

    GeoJsonWriter writer;
    std::string geometry;
    std::vector<GeoJsonProperty> props = {{"row", "", false}, {"azimuth", "", false}, {"distance", "", false},
                                          {"angle", "", false}};
    // Every cell, the centre's included: the wedge does not show the site's
    // coordinates as a point layer would.
    const RowProperties cells(t, {}, {"row", "azimuth", "distance", "angle"});
    for (size_t r = 0; r < t.rowCount(); ++r) {
        const double az = azimuth.at(r), dist = distance.at(r), ang = angle.at(r);
        geometry.clear();
        appendClosedRingGeometry(geometry, sectorRing(centre.lon(r), centre.lat(r), az, dist, ang, inner.at(r)));
        props[0].value = formatInt(static_cast<int>(r));
        props[1].value = formatNumber(az);
        props[2].value = formatNumber(dist);
        props[3].value = formatNumber(ang);
        cells.fill(r, props);
        writer.addFeature(geometry, props);
    }
    return Outcome::success("", writer.finish());
}

}  // namespace kit
