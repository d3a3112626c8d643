// The coverage engine's hot paths: binning a million stations into hexagon
// cells, writing the density map, and writing the coverage prediction.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "coverage/density.h"
#include "coverage/prediction.h"

namespace {

// The points of coverage_points.cjs, so the side-by-side
// with h3-js bins identical coordinates: a 1 x 1 degree box over Beijing.
std::vector<kit::LonLat> beijingPoints(size_t n) {
    std::vector<kit::LonLat> pts(n);
    uint32_t x = 2463534242u;
    auto next = [&x] {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x / 4294967296.0;
    };
    for (kit::LonLat& p : pts) {
        p.lon = 116.0 + next();
        p.lat = 39.5 + next();
    }
    return pts;
}

void BM_DensityBinning(benchmark::State& state) {
    const auto pts = beijingPoints(1000000);
    size_t cells = 0;
    for (auto _ : state) {
        auto counted = kit::aggregateDensity(pts, 9);
        cells = counted.size();
        benchmark::DoNotOptimize(counted);
    }
    state.SetItemsProcessed(state.iterations() * pts.size());
    state.counters["cells"] = static_cast<double>(cells);
}
BENCHMARK(BM_DensityBinning)->Unit(benchmark::kMillisecond);

void BM_DensityMapText(benchmark::State& state) {
    const auto pts = beijingPoints(1000000);
    for (auto _ : state) {
        auto cells = kit::aggregateDensity(pts, 9);
        std::vector<kit::CellId> ids(cells.size());
        std::vector<double> counts(cells.size());
        for (size_t i = 0; i < cells.size(); ++i) {
            ids[i] = cells[i].id;
            counts[i] = cells[i].count;
        }
        benchmark::DoNotOptimize(kit::writeDensityGeoJson(ids, counts));
    }
    state.SetItemsProcessed(state.iterations() * pts.size());
}
BENCHMARK(BM_DensityMapText)->Unit(benchmark::kMillisecond);

void BM_CoveragePredictionText(benchmark::State& state) {
    const auto pts = beijingPoints(100000);
    const kit::LinkParams params = kit::makeLinkParams(1800);
    for (auto _ : state) benchmark::DoNotOptimize(kit::writeCoverageGeoJson(pts, params));
    state.SetItemsProcessed(state.iterations() * pts.size());
}
BENCHMARK(BM_CoveragePredictionText)->Unit(benchmark::kMillisecond);

}  // namespace
