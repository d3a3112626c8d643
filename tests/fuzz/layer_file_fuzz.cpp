// loadLayerFile on a file of each kind: the first byte picks the extension,
// and a Shapefile input holds the .shp and its .dbf.
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

#include "core/file_io.h"
#include "fuzz_support.h"
#include "layers/layer_file.h"

namespace {

namespace fs = std::filesystem;

// One folder for the process's inputs, removed when it ends. It lives in
// memory where the system offers that: rewriting a file on disk thousands of
// times a second costs far more than reading it.
struct Scratch {
    fs::path dir;
    Scratch() {
        std::error_code ec;
        fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        dir = base / ("kit_fuzz_layer_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string file(const char* name) const { return (dir / name).string(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Scratch scratch;
    if (size == 0) return 0;
    std::string_view body = kit::fuzz::asText(data + 1, size - 1);
    std::string path;
    switch (data[0] % 3) {
        case 0:
            path = scratch.file("in.geojson");
            FUZZ_CHECK(kit::writeFileBytes(path, body));
            break;
        case 1:
            path = scratch.file("in.kml");
            FUZZ_CHECK(kit::writeFileBytes(path, body));
            break;
        default: {
            auto [shp, dbf] = kit::fuzz::splitInTwo(body);
            path = scratch.file("in.shp");
            FUZZ_CHECK(kit::writeFileBytes(path, shp));
            FUZZ_CHECK(kit::writeFileBytes(scratch.file("in.dbf"), dbf));
            break;
        }
    }
    kit::Layer layer;
    layer.noteField("before");
    kit::Outcome read = kit::loadLayerFile(path, layer);
    // A failure leaves the layer as it was.
    if (!read.ok()) FUZZ_CHECK(layer.features.empty() && layer.fieldNames.size() == 1);
    return 0;
}
