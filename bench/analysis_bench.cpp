// Layer matching and buffer grouping in memory, at the sizes of the
// side-by-side comparison (analysis_compare.py).
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "analysis/buffer_group.h"
#include "analysis/layer_match.h"
#include "core/format.h"
#include "core/geodesy.h"

namespace {

constexpr double kMetresPerDegree = kit::kMetresPerDegreeArc;

// Star-shaped polygons of 200-800 m and 40 vertices over a 2x2 degree area,
// and points half near their centres, half anywhere.
struct MatchInput {
    kit::Layer layer;
    kit::Table table;
};

MatchInput makeMatchInput(int points, int polygons) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> lonU(115.5, 117.5), latU(39, 41), rU(200, 800), jitter(0.6, 1);
    std::normal_distribution<double> near(0, 0.006);
    MatchInput in;
    std::vector<kit::Position> centres;
    for (int i = 0; i < polygons; ++i) {
        kit::Feature f;
        f.type = "Polygon";
        const double cx = lonU(rng), cy = latU(rng), r = rU(rng);
        for (int k = 0; k < 40; ++k) {
            kit::LonLat p = kit::offsetByMetres(cx, cy, r * jitter(rng), 2 * kit::kPi * k / 40);
            f.ring.push_back({p.lon, p.lat});
        }
        f.ring.push_back(f.ring.front());
        f.properties = {{"name", kit::format("Z%d", i)}, {"code", kit::format("%d", i)}};
        in.layer.noteFields(f);
        in.layer.features.push_back(std::move(f));
        centres.push_back({cx, cy});
    }
    std::string text = "id\tlon\tlat\n";
    for (int i = 0; i < points; ++i) {
        double lon, lat;
        if (i % 2) {
            const kit::Position& c = centres[rng() % centres.size()];
            lon = c.lon + near(rng);
            lat = c.lat + near(rng);
        } else {
            lon = lonU(rng);
            lat = latU(rng);
        }
        text += kit::format("P%d\t%.8f\t%.8f\n", i, lon, lat);
    }
    kit::parseTable(std::move(text), in.table);
    return in;
}

// Clusters of about 100 points spread ~150 m around centres over 2x2 degrees.
std::vector<kit::LonLat> makeClusteredPoints(int count) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> lonU(115.5, 117.5), latU(39, 41);
    std::normal_distribution<double> spread(0, 150);
    std::vector<kit::LonLat> centres(std::max(1, count / 100));
    for (auto& c : centres) c = {lonU(rng), latU(rng)};
    std::vector<kit::LonLat> pts;
    for (int i = 0; i < count; ++i) {
        const kit::LonLat& c = centres[rng() % centres.size()];
        const double lat = c.lat + spread(rng) / kMetresPerDegree;
        pts.push_back({c.lon + spread(rng) / (kMetresPerDegree * std::cos(lat * kit::kDegToRad)), lat});
    }
    return pts;
}

void BM_LayerMatch(benchmark::State& state) {
    static const MatchInput in = makeMatchInput(200000, 10000);
    for (auto _ : state) {
        kit::Outcome o = kit::runLayerMatch(&in.table, {"lon", "lat"}, &in.layer, "100",
                                            static_cast<kit::MatchMethod>(state.range(0)), std::nullopt);
        benchmark::DoNotOptimize(o.text.data());
    }
}
BENCHMARK(BM_LayerMatch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GroupPoints(benchmark::State& state) {
    static const std::vector<kit::LonLat> pts = makeClusteredPoints(200000);
    for (auto _ : state) {
        std::vector<int32_t> labels = kit::groupPoints(pts, 100);
        benchmark::DoNotOptimize(labels.data());
    }
}
BENCHMARK(BM_GroupPoints)->Unit(benchmark::kMillisecond);

}  // namespace
