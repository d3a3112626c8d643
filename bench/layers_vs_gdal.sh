#!/usr/bin/env bash
# The layer formats side by side with GDAL on the same files: loading a
# 100 MiB GeoJSON of polygons, and converting 100 000 sector polygons from
# GeoJSON to GeoJSON, KML and Shapefile.
#
#   cmake --preset linux && cmake --build build/linux --target kit_bench
#   bench/layers_vs_gdal.sh [build/linux/bench/kit_bench]
#
# The kit's figures come from Google Benchmark (mean of 3 runs, wall and CPU);
# GDAL's are one timed ogr2ogr run each (wall and user+sys CPU). The input
# files are written by kit_bench on its first run into $KIT_BENCH_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
bench="${1:-build/linux/bench/kit_bench}"
export KIT_BENCH_DIR="${KIT_BENCH_DIR:-${TMPDIR:-/tmp}/kit_layers_bench}"
mkdir -p "$KIT_BENCH_DIR"

echo "=== kit ($bench)"
"$bench" --benchmark_filter='BM_Layers' 2>/dev/null

cd "$KIT_BENCH_DIR"
TIMEFORMAT='%R s wall, %U+%S s CPU'
run() {
  local label="$1"; shift
  rm -f gdal_out.*
  printf '%-28s ' "$label"
  { time "$@" >/dev/null 2>&1; } 2>&1
}
echo "=== GDAL ($(ogr2ogr --version))"
run "load 100 MiB GeoJSON"    ogr2ogr -f Memory mem polygons_100mib.geojson
run "sectors -> GeoJSON"      ogr2ogr -f GeoJSON gdal_out.geojson sectors_100k.geojson
run "sectors -> KML"          ogr2ogr -f KML gdal_out.kml sectors_100k.geojson
run "sectors -> Shapefile"    ogr2ogr -f "ESRI Shapefile" gdal_out.shp sectors_100k.geojson
rm -f gdal_out.*
