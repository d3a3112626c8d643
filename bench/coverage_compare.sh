#!/usr/bin/env bash
# The coverage engine's figures for bench/README.md: the density mode on a
# million stations next to h3-js's latLngToCell over the same points, and the
# coverage prediction for 100 000 stations, in memory and through the CLI.
# h3-js goes into build/bench-h3 (npm), never into the repository.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/linux"
work="$root/build/bench-h3"
mkdir -p "$work"
for tool in node npm; do
  command -v "$tool" >/dev/null || { echo "coverage_compare: needs $tool (Node.js with npm)" >&2; exit 1; }
done

cmake --build "$build" --target kit_bench plotvane-cli >/dev/null
if [ ! -d "$work/node_modules/h3-js" ]; then
  npm install --prefix "$work" --no-audit --no-fund h3-js@4.5.0 >/dev/null
fi

echo "== h3-js $(node -p "require('$work/node_modules/h3-js/package.json').version"), node $(node --version)"
node "$root/bench/coverage_h3.cjs" "$work" 1000000

echo "== kit (Google Benchmark, in memory)"
"$build/bench/kit_bench" --benchmark_filter='Density|Coverage' --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true 2>/dev/null | grep -E '_median|^Benchmark'

echo "== plotvane-cli, whole runs (read table, run, write file)"
node "$root/bench/coverage_points.cjs" 1000000 "$work/points_1m.tsv"
node "$root/bench/coverage_points.cjs" 100000 "$work/points_100k.tsv"
TIMEFORMAT='%R s wall, %U s user + %S s sys'
echo -n "density, 1 000 000 stations, level 9: "
{ time "$build/cli/plotvane-cli" coverage density "$work/points_1m.tsv" --level 9 -o "$work/h3_density.geojson" 2>/dev/null; } 2>&1
echo -n "prediction, 100 000 stations: "
{ time "$build/cli/plotvane-cli" coverage prediction "$work/points_100k.tsv" -o "$work/coverage_prediction.geojson" 2>/dev/null; } 2>&1
ls -l "$work/h3_density.geojson" "$work/coverage_prediction.geojson" | awk '{print $5, $NF}'
