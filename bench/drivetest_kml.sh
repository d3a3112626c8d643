#!/usr/bin/env bash
# quillet-cli drivetest on a generated 200 000-point drive (CSV), the whole
# run timed: read, build the KML (37 vertices a point), write it.
# Usage: bench/drivetest_kml.sh [POINTS] (default 200000)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${CLI:-$here/../build/linux/cli/quillet-cli}
n=${1:-200000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$n" > "$work/路测.csv" <<'PY'
import random, sys
n = int(sys.argv[1])
random.seed(2024)
print("时间,经度,纬度,RSRP,SINR")
for i in range(n):
    print("10:%02d:%02d,%.6f,%.6f,%.1f,%.1f" % (i // 60 % 60, i % 60, 116.2 + (i % 2000) * 0.00012,
          39.8 + (i // 2000) * 0.0011, random.uniform(-125, -65), random.uniform(-5, 25)))
PY
/usr/bin/time -f "wall %e s, user %U s, sys %S s, peak %M KB" "$cli" drivetest "$work/路测.csv" -o "$work/路测.kml"
ls -l "$work/路测.kml" | awk '{printf "KML: %.1f MB\n", $5 / 1e6}'
grep -c '^              ' "$work/路测.kml" | awk '{print "coordinates:", $1}'
