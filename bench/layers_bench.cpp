// Layer formats at full size: loading a 100 MiB GeoJSON of polygons, and
// saving 100 000 sector polygons as GeoJSON, KML and Shapefile. The input
// files are generated once into $KIT_BENCH_DIR (default: the temporary
// folder's kit_layers_bench), where bench/layers_vs_gdal.sh hands the same
// files to ogr2ogr.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>

#include "core/file_io.h"
#include "layers/geojson_writer.h"
#include "layers/layer_file.h"

namespace {

std::string benchDir() {
    static const std::string dir = [] {
        const char* env = std::getenv("KIT_BENCH_DIR");
        std::string d = env && *env ? env : (std::filesystem::temp_directory_path() / "kit_layers_bench").string();
        kit::createDirectories(d);
        return d;
    }();
    return dir;
}

// One sector as the sectors tool writes it: the centre, 33 arc points and
// the centre again, with its four unquoted properties.
void addSector(kit::GeoJsonWriter& w, int row) {
    const double lon = 116.0 + (row % 1000) * 0.001, lat = 39.5 + (row / 1000) * 0.001;
    const double azimuth = (row * 37) % 360, radius = 300, angle = 65;
    const double r = radius / 6371000 * 180 / std::numbers::pi, k = std::cos(lat * std::numbers::pi / 180);
    const double theta = azimuth * std::numbers::pi / 180, h = angle * std::numbers::pi / 360;
    std::string g = "\"type\": \"Polygon\",\n        \"coordinates\": [[" + kit::formatPosition(lon, lat);
    for (int i = 0; i <= 32; ++i) {
        double phi = theta - h + i * 2 * h / 32;
        g += ',';
        g += kit::formatPosition(lon + r / k * std::cos(phi), lat + r * std::sin(phi));
    }
    g += ',';
    g += kit::formatPosition(lon, lat);
    g += "]]";
    w.addFeature(g, {{"row", kit::formatInt(row), false},
                     {"azimuth", kit::formatNumber(azimuth), false},
                     {"distance", kit::formatNumber(radius), false},
                     {"angle", kit::formatNumber(angle), false}});
}

std::string sectorsText(int count) {
    kit::GeoJsonWriter w;
    for (int i = 0; i < count; ++i) addSector(w, i);
    return w.finish();
}

// 100 000 sectors (about 100 MB of text).
const std::string& sectorsFile() {
    static const std::string path = [] {
        std::string p = kit::joinPath(benchDir(), "sectors_100k.geojson");
        if (!kit::fileExists(p)) kit::writeFileBytes(p, sectorsText(100000));
        return p;
    }();
    return path;
}

// As many sectors as fit in 100 MiB, padded to the limit exactly.
const std::string& polygons100MiB() {
    static const std::string path = [] {
        std::string p = kit::joinPath(benchDir(), "polygons_100mib.geojson");
        if (!kit::fileExists(p)) {
            const size_t perFeature = sectorsText(1000).size() / 1000 + 1;
            int count = static_cast<int>((kit::kMaxLayerFileBytes - 100000) / perFeature);
            std::string text = sectorsText(count);
            while (text.size() > kit::kMaxLayerFileBytes) text = sectorsText(count -= count / 100);
            text.append(kit::kMaxLayerFileBytes - text.size(), '\n');
            kit::writeFileBytes(p, text);
        }
        return p;
    }();
    return path;
}

void BM_LayersLoadGeoJson100MiB(benchmark::State& state) {
    const std::string& path = polygons100MiB();
    size_t features = 0;
    for (auto _ : state) {
        kit::Layer layer;
        kit::Outcome read = kit::loadLayerFile(path, layer);
        if (!read.ok()) state.SkipWithError(read.message.c_str());
        features = layer.features.size();
        benchmark::DoNotOptimize(layer);
    }
    state.counters["features"] = static_cast<double>(features);
}
BENCHMARK(BM_LayersLoadGeoJson100MiB)->Unit(benchmark::kMillisecond)->Iterations(3);

// Reading the GeoJSON file and saving it: the same work as ogr2ogr's.
void saveSectors(benchmark::State& state, const char* outName) {
    const std::string& in = sectorsFile();
    const std::string out = kit::joinPath(benchDir(), outName);
    for (auto _ : state) {
        auto text = kit::readFileBytes(in);
        if (!text) state.SkipWithError("cannot read the sectors file");
        auto res = kit::saveLayer(out, *text);
        if (!res.ok()) state.SkipWithError(res.message.c_str());
    }
}

void BM_LayersSaveSectorsGeoJson(benchmark::State& state) { saveSectors(state, "kit_sectors.geojson"); }
void BM_LayersSaveSectorsKml(benchmark::State& state) { saveSectors(state, "kit_sectors.kml"); }
void BM_LayersSaveSectorsShapefile(benchmark::State& state) { saveSectors(state, "kit_sectors.shp"); }
BENCHMARK(BM_LayersSaveSectorsGeoJson)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LayersSaveSectorsKml)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LayersSaveSectorsShapefile)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
