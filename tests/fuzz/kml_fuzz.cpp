// The KML placemark reader.
#include "fuzz_support.h"
#include "layers/geojson_reader.h"
#include "layers/kml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = kit::fuzz::asText(data, size);
    kit::Layer layer;
    kit::readKml(text, layer);
    // Every placemark yields at most a point and a polygon.
    FUZZ_CHECK(layer.features.size() <= 2 * (size / 10 + 1));
    for (const kit::Feature& f : layer.features) {
        FUZZ_CHECK(f.type == "Point" || f.type == "Polygon");
        FUZZ_CHECK(f.ring.size() <= kit::kMaxScannedPositions + 1);
    }
    FUZZ_CHECK(layer.fieldNames.size() <= 2);
    return 0;
}
