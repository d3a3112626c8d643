// The Shapefile and dBASE readers: one input holds a .shp and its .dbf.
#include "core/ansi_text.h"
#include "fuzz_support.h"
#include "layers/shapefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto [shp, dbf] = kit::fuzz::splitInTwo(kit::fuzz::asText(data, size));
    // The .cpg beside it, one of the spellings writers use (or none).
    static constexpr std::string_view kCodePages[] = {"", "UTF-8", "CP936", "BIG5", "ANSI 1252", "8859_5", "LDID/77", "?"};
    auto decoded = kit::decodeShapefile(shp, dbf, kCodePages[shp.size() % 8]);
    if (!decoded) return 0;
    // Nothing is invented beyond what the bytes hold.
    FUZZ_CHECK(decoded->shapes.size() <= shp.size() / 12);
    FUZZ_CHECK(decoded->records.size() <= decoded->shapes.size());
    size_t values = 0;
    for (const kit::AttrRecord& r : decoded->records) {
        values += r.values.size();
        for (const std::string& v : r.values) FUZZ_CHECK(kit::isValidUtf8(v));  // whatever the code page
    }
    FUZZ_CHECK(values <= dbf.size());

    kit::Layer layer;
    kit::appendShapeLayer(*decoded, layer);
    size_t points = 0;
    for (const kit::ShapeRecord& s : decoded->shapes) points += s.xs.size();
    FUZZ_CHECK(layer.features.size() <= points);
    return 0;
}
