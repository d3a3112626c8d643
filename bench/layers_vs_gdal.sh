#!/usr/bin/env bash
# The layer formats side by side with GDAL on the same files: loading a
# 100 MiB GeoJSON of polygons, and converting 100 000 sector polygons from
# GeoJSON to GeoJSON, KML and Shapefile. Then 100 000 sectors carrying their
# rows' cells (seven columns): plotvane-cli from the table to SHP and KML,
# against ogr2ogr writing the same features (the kit's GeoJSON of them, every
# cell a property) to the same formats; medians of RUNS runs (default 3).
#
#   cmake --preset linux && cmake --build build/linux --target kit_bench plotvane-cli
#   [RUNS=3] [LIBKML=1] bench/layers_vs_gdal.sh [build/linux/bench/kit_bench [build/linux/cli/plotvane-cli]]
#
# The kit's figures come from Google Benchmark (mean of 3 runs, wall and CPU);
# GDAL's are one timed ogr2ogr run each (wall and user+sys CPU). The input
# files are written by kit_bench on its first run into $KIT_BENCH_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
bench="${1:-build/linux/bench/kit_bench}"
cli="$(realpath "${2:-build/linux/cli/plotvane-cli}")"
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

# --- 100 000 sectors with their cells ---
[ -x "$cli" ] || { echo "no $cli: the sectors-with-cells part needs plotvane-cli"; exit 0; }
awk 'BEGIN { srand(12345); print "站名\t经度\t纬度\t方位角\t半径\t波宽\tCGI";
  for (i = 0; i < 100000; i++) { s = int(i / 3);
    printf "海淀%05d_%d\t%.6f\t%.6f\t%d\t%d\t%d\t460-00-%d-%d\n", s, i % 3 + 1, 115.5 + (s % 300) * 0.005,
      39.5 + int(s / 300) * 0.004, (i % 3) * 120 + int(rand() * 40), 200 + int(rand() * 800),
      30 + int(rand() * 60), 12000 + s, i % 3 + 1 } }' > sites_100k.tsv
sectors() { "$cli" sectors sites_100k.tsv --azimuth 方位角 --distance 半径 --angle 波宽 -o "$1"; }
sectors cells_100k.geojson 2>/dev/null

# "wall cpu" (cpu = user + system) of each run, then the medians.
median() {
  local out=""
  for ((i = 0; i < ${RUNS:-3}; i++)); do
    rm -f gdal_out.* kit_out.*
    out="$out$( { TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>&1; } 2>&1 )"$'\n'
  done
  local m=$(( (${RUNS:-3} + 1) / 2 ))
  printf '%6.2f s wall %6.2f s CPU' \
    "$(echo -n "$out" | awk '{ print $1 }' | sort -g | sed -n "${m}p")" \
    "$(echo -n "$out" | awk '{ print $2 + $3 }' | sort -g | sed -n "${m}p")"
}
echo "=== 100 000 sectors with their cells (medians of ${RUNS:-3})"
printf '%-34s %s\n' "kit table -> Shapefile"  "$(median sectors kit_out.shp)"
printf '%-34s %s\n' "ogr2ogr GeoJSON -> Shapefile" \
  "$(median ogr2ogr -f 'ESRI Shapefile' -lco ENCODING=UTF-8 gdal_out.shp cells_100k.geojson)"
printf '%-34s %s\n' "kit table -> KML"  "$(median sectors kit_out.kml)"
printf '%-34s %s\n' "ogr2ogr GeoJSON -> KML (KML)" "$(median ogr2ogr -f KML gdal_out.kml cells_100k.geojson)"
# GDAL's LIBKML driver takes more than 20 minutes per run here: only on request.
if [ -n "${LIBKML:-}" ]; then
  printf '%-34s %s\n' "ogr2ogr GeoJSON -> KML (LIBKML)" "$(median ogr2ogr -f LIBKML gdal_out.kml cells_100k.geojson)"
fi
rm -f gdal_out.* kit_out.* cells_100k.geojson sites_100k.tsv
