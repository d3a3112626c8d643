// Generating 100 000 sector polygons and saving them as GeoJSON, KML and a
// Shapefile set: the sector tab's run on a large table, then each writer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "analysis/sector_layer.h"
#include "core/format.h"
#include "layers/layer_file.h"

namespace {

constexpr int kSectors = 100000;

// Three sectors per site on a grid around Beijing, azimuth, radius and
// opening from columns as a planning sheet holds them.
const kit::Table& sitesTable() {
    static const kit::Table table = [] {
        std::string text = "站名\t经度\t纬度\t方位角\t半径\t波宽\n";
        unsigned seed = 12345;
        auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
        for (int i = 0; i < kSectors; ++i) {
            int site = i / 3;
            text += kit::format("S%05d_%d\t%.6f\t%.6f\t%d\t%d\t%d\n", site, i % 3 + 1, 115.5 + (site % 300) * 0.005,
                                39.5 + (site / 300) * 0.004, (i % 3) * 120 + static_cast<int>(next() % 40),
                                200 + static_cast<int>(next() % 800), 30 + static_cast<int>(next() % 60));
        }
        kit::Table t;
        kit::parseTable(std::move(text), t);
        return t;
    }();
    return table;
}

kit::Outcome generate() {
    kit::SectorFields f;
    f.azimuth = "方位角";
    f.distance = "半径";
    f.angle = "波宽";
    return kit::runSectorLayer(&sitesTable(), {"经度", "纬度"}, f);
}

void BM_SectorsGenerate(benchmark::State& state) {
    sitesTable();
    for (auto _ : state) benchmark::DoNotOptimize(generate().text.size());
    state.SetItemsProcessed(state.iterations() * kSectors);
}
BENCHMARK(BM_SectorsGenerate)->Unit(benchmark::kMillisecond);

void saveAs(benchmark::State& state, const char* name) {
    const std::string text = generate().text;
    const auto dir = std::filesystem::temp_directory_path() / "kit_sectors_bench";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / name).string();
    for (auto _ : state) {
        kit::Outcome o = kit::saveLayer(path, text);
        if (!o.ok()) state.SkipWithError(o.message.c_str());
    }
    state.SetItemsProcessed(state.iterations() * kSectors);
    state.counters["MB_in"] = static_cast<double>(text.size()) / 1e6;
    std::filesystem::remove_all(dir);
}

void BM_SectorsSaveGeoJson(benchmark::State& state) { saveAs(state, "sectors.geojson"); }
void BM_SectorsSaveKml(benchmark::State& state) { saveAs(state, "sectors.kml"); }
void BM_SectorsSaveShapefile(benchmark::State& state) { saveAs(state, "sectors.shp"); }
BENCHMARK(BM_SectorsSaveGeoJson)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SectorsSaveKml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SectorsSaveShapefile)->Unit(benchmark::kMillisecond);

}  // namespace
