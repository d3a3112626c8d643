// The KML placemark reader.
#include "fuzz_support.h"
#include "layers/kml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = kit::fuzz::asText(data, size);
    kit::Layer layer;
    kit::readKml(text, layer);
    // Every point or polygon takes its tags ("<Point><coordinates>" ...), so
    // a placemark yields no more features than its bytes allow.
    FUZZ_CHECK(layer.features.size() <= size / 16 + 1);
    for (const kit::Feature& f : layer.features) {
        FUZZ_CHECK(f.type == "Point" || f.type == "Polygon");
        // A tuple takes three bytes ("0,0") and a closing vertex a ring's tags.
        FUZZ_CHECK(f.ring.size() <= size / 3 + 1);
    }
    // Name, Description and one name per Data or SimpleData element.
    FUZZ_CHECK(layer.fieldNames.size() <= size / 8 + 2);
    return 0;
}
