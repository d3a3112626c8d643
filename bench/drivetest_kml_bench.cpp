// Writing the drive-test KML of 200 000 measured points (37 ring vertices
// each, about 7.4 million coordinates): building the document, and the
// tab's whole single run (document plus the UTF-8 file).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "batchkml/data_table.h"
#include "batchkml/drivetest_kml.h"
#include "batchkml/quillet_runs.h"
#include "core/format.h"

namespace {

constexpr int kPoints = 200000;

// A drive along a grid of streets around Beijing, RSRP wandering between
// -125 and -65 dBm, as a logger exports it.
const kit::DataTable& driveTable() {
    static const kit::DataTable table = [] {
        std::vector<std::vector<std::string>> rows;
        rows.reserve(kPoints);
        unsigned seed = 2024;
        auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
        for (int i = 0; i < kPoints; ++i) {
            rows.push_back({kit::format("10:%02d:%02d", i / 60 % 60, i % 60), kit::formatFixed(116.2 + (i % 2000) * 0.00012, 6),
                            kit::formatFixed(39.8 + (i / 2000) * 0.0011, 6),
                            kit::formatFixed(-125 + (next() >> 8) % 6000 / 100.0, 1),
                            kit::formatFixed(-5 + (next() >> 8) % 300 / 10.0, 1)});
        }
        return kit::DataTable{{"时间", "经度", "纬度", "RSRP", "SINR"}, rows, "/bench/路测.csv"};
    }();
    return table;
}

kit::DriveTestParams params() {
    kit::DriveTestParams p;
    p.lonCol = 1;
    p.latCol = 2;
    p.valueCol = 3;
    p.ranges = kit::builtinTemplates()[0].ranges;
    return p;
}

void BM_DriveTestDocument(benchmark::State& state) {
    const auto& t = driveTable();
    size_t bytes = 0;
    for (auto _ : state) {
        std::string kml = kit::driveTestDocument(t, params());
        bytes = kml.size();
        benchmark::DoNotOptimize(kml.data());
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_DriveTestDocument)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_DriveTestSingleRun(benchmark::State& state) {
    const auto& t = driveTable();
    auto dir = std::filesystem::temp_directory_path() / "kit_drivetest_bench";
    std::filesystem::create_directories(dir);
    const std::string out = (dir / "路测.kml").string();
    for (auto _ : state) {
        auto r = kit::runDriveTestSingle(t, params(), out);
        if (!r.outcome.ok()) state.SkipWithError("write failed");
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(dir / "路测.kml")) / 1e6;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_DriveTestSingleRun)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace
