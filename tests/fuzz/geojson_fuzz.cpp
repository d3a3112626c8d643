// The GeoJSON reader, and the conversion of GeoJSON text to KML that the
// writers share its scanning steps with.
#include "fuzz_support.h"
#include "layers/geojson_reader.h"
#include "layers/kml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = kit::fuzz::asText(data, size);

    // Features are whole objects, in order, never overlapping.
    size_t after = 0;
    for (const auto& [start, end] : kit::scanFeatures(text)) {
        FUZZ_CHECK(start >= after && start < end && end < text.size());
        FUZZ_CHECK(text[start] == '{' && kit::matchBrace(text, start) == end);
        after = end + 1;
    }

    kit::Layer layer;
    kit::readGeoJson(text, layer);
    for (const kit::Feature& f : layer.features) {
        FUZZ_CHECK(f.type == "Point" || f.type == "Polygon");
        FUZZ_CHECK((f.type == "Point") == f.ring.empty());
        // A position takes five bytes at least ("[0,0]"); a ring closed by
        // the reader gains one vertex, but its brackets take two bytes more.
        FUZZ_CHECK(f.ring.size() <= size / 4);
    }
    (void)kit::kmlFromGeoJson(text);
    return 0;
}
