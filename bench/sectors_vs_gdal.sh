#!/usr/bin/env bash
# 100 000 sectors written as GeoJSON, KML and a Shapefile set: plotvane-cli
# end to end (table in, layer out) and, side by side, GDAL's ogr2ogr writing
# the same features from the kit's GeoJSON to each format. Best of RUNS runs
# (default 1: GDAL's KML driver alone takes minutes here).
#   [RUNS=3] bench/sectors_vs_gdal.sh [BUILD_DIR]   (default build/linux)
set -euo pipefail
cd "$(dirname "$0")/.."
bin="${1:-build/linux}/cli/plotvane-cli"
[ -x "$bin" ] || { echo "build plotvane-cli first ($bin)"; exit 1; }
command -v ogr2ogr >/dev/null || { echo "ogr2ogr (gdal-bin) is needed"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Three sectors per site on a grid, azimuth/radius/opening from columns.
awk 'BEGIN { srand(12345); print "站名\t经度\t纬度\t方位角\t半径\t波宽";
  for (i = 0; i < 100000; i++) { s = int(i / 3);
    printf "S%05d_%d\t%.6f\t%.6f\t%d\t%d\t%d\n", s, i % 3 + 1, 115.5 + (s % 300) * 0.005,
      39.5 + int(s / 300) * 0.004, (i % 3) * 120 + int(rand() * 40), 200 + int(rand() * 800), 30 + int(rand() * 60) } }' \
  > "$work/sites.tsv"

# "wall / cpu" seconds (cpu = user + system), the best of RUNS runs by CPU:
# on a shared machine the CPU time is the steadier figure.
best() {
  local all="" t
  for ((i = 0; i < ${RUNS:-1}; i++)); do
    t=$( { TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>&1; } 2>&1 )
    all="$all$t"$'\n'
  done
  echo -n "$all" | awk 'NR == 1 || $2 + $3 < c { w = $1; c = $2 + $3 } END { printf "%.2f / %.2f", w, c }'
}

sectors() { "$bin" sectors "$work/sites.tsv" --azimuth 方位角 --distance 半径 --angle 波宽 -o "$1"; }
sectors "$work/kit.geojson" 2>/dev/null

printf "%-10s %16s %16s\n" format "kit wall/cpu s" "ogr2ogr wall/cpu"
printf "%-10s %16s %16s\n" GeoJSON "$(best sectors "$work/kit.geojson")" \
  "$(best ogr2ogr -overwrite -f GeoJSON "$work/gdal.geojson" "$work/kit.geojson")"
printf "%-10s %16s %16s\n" KML "$(best sectors "$work/kit.kml")" \
  "$(best ogr2ogr -overwrite -f KML "$work/gdal.kml" "$work/kit.geojson")"
printf "%-10s %16s %16s\n" Shapefile "$(best sectors "$work/kit.shp")" \
  "$(best ogr2ogr -overwrite -f "ESRI Shapefile" "$work/gdal.shp" "$work/kit.geojson")"
