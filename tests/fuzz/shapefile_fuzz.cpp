// The Shapefile and dBASE readers: one input holds a .shp and its .dbf.
#include "fuzz_support.h"
#include "layers/shapefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto [shp, dbf] = kit::fuzz::splitInTwo(kit::fuzz::asText(data, size));
    auto decoded = kit::decodeShapefile(shp, dbf);
    if (!decoded) return 0;
    // Nothing is invented beyond what the bytes hold.
    FUZZ_CHECK(decoded->shapes.size() <= shp.size() / 12);
    FUZZ_CHECK(decoded->records.size() <= decoded->shapes.size());
    size_t values = 0;
    for (const kit::AttrRecord& r : decoded->records) values += r.values.size();
    FUZZ_CHECK(values <= dbf.size());

    kit::Layer layer;
    kit::appendShapeLayer(*decoded, layer);
    size_t points = 0;
    for (const kit::ShapeRecord& s : decoded->shapes) points += s.xs.size();
    FUZZ_CHECK(layer.features.size() <= points);
    return 0;
}
