// The writers' reading of GeoJSON text: whole geometries (multi types, holes)
// and ordered properties, then the KML and DBF column building on them.
#include <string>

#include "fuzz_support.h"
#include "layers/dbf_fields.h"
#include "layers/geojson_geometry.h"
#include "layers/kml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = kit::fuzz::asText(data, size);

    kit::GeometryParts g = kit::readGeometryParts(text);
    if (g.family == kit::GeometryFamily::None) {
        FUZZ_CHECK(g.positions.empty() && g.pathStarts.empty() && g.memberStarts.empty());
    } else {
        // Members, paths and positions nest in order and stay in range.
        for (size_t m = 0; m < g.memberCount(); ++m) {
            auto [p0, p1] = g.memberPaths(m);
            FUZZ_CHECK(p0 <= p1 && p1 <= g.pathCount());
        }
        for (size_t p = 0; p < g.pathCount(); ++p) {
            auto [a, b] = g.pathPositions(p);
            FUZZ_CHECK(a <= b && b <= g.positions.size());
        }
    }

    std::vector<std::string> taken;
    std::vector<const std::string*> values;
    const auto properties = kit::readPropertyList(text);  // the values' pointers outlive the loop
    for (const auto& [key, value] : properties) {
        std::string name = kit::dbfFieldName(key, taken);
        FUZZ_CHECK(name.size() <= kit::kDbfNameBytes);
        values.push_back(&value);
    }
    kit::FieldDef column = kit::dbfColumn("f", values);
    FUZZ_CHECK(column.width >= 1 && column.width <= 254);
    (void)kit::kmlFromGeoJson(text, 1);
    return 0;
}
