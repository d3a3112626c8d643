#include "analysis/point_layer.h"

#include "layers/geojson_writer.h"
#include "layers/row_properties.h"

namespace kit {

Outcome runPointLayer(const Table* table, const LonLatColumns& cols) {
    if (Outcome checked = checkCentreSelection(table, cols); !checked.ok()) return checked;
    const Table& t = *table;
    const CentreReader centre(t, cols);
    const RowProperties props(t, {*cols.lon, *cols.lat});

    GeoJsonWriter writer;
    std::vector<GeoJsonProperty> row;
    std::string geometry;
    for (size_t r = 0; r < t.rowCount(); ++r) {
        geometry = "\"type\": \"Point\",\n        \"coordinates\": ";
        geometry += formatPosition(centre.lon(r), centre.lat(r));
        props.fill(r, row);
        writer.addFeature(geometry, row);
    }
    return Outcome::success("", writer.finish());
}

}  // namespace kit
