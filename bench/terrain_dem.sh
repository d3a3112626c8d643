#!/usr/bin/env bash
# The terrain profile over real-sized elevation tiles, for bench/README.md: a
# 50 km path across two 1" tiles (3601 x 3601 cells, hilly terrain made here
# with numpy), plain and zipped as distributed, each a whole plotvane-cli run.
# The tiles go into build/bench-dem, never into the repository.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/linux"
work="$root/build/bench-dem"
mkdir -p "$work/plain" "$work/zipped"
cmake --build "$build" --target plotvane-cli >/dev/null

if [ ! -f "$work/zipped/N39E117.SRTMGL1.hgt.zip" ]; then
  /usr/bin/python3 - "$work" <<'PY'
import sys, zipfile, numpy as np
work = sys.argv[1]
side = 3601
for lon0 in (116, 117):
    lat = 40 - np.arange(side) / (side - 1)
    lon = lon0 + np.arange(side) / (side - 1)
    la, lo = np.meshgrid(lat, lon, indexing="ij")
    h = 300 + 200 * np.sin(la * 40) * np.cos(lo * 37) + 80 * np.sin(la * 211 + lo * 173)
    data = h.round().astype(">i2").tobytes()
    name = f"N39E{lon0:03d}.hgt"
    open(f"{work}/plain/{name}", "wb").write(data)
    with zipfile.ZipFile(f"{work}/zipped/N39E{lon0:03d}.SRTMGL1.hgt.zip", "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(name, data)
PY
fi
# 50 km due east along 39.5 N, crossing the tiles' edge at 117 E.
printf 'name\tlon\tlat\nA\t116.71\t39.5\nB\t117.2928\t39.5\n' >"$work/path.tsv"

for kind in plain zipped; do
  "$build/cli/plotvane-cli" coverage terrain "$work/path.tsv" --dem "$work/$kind" -o "$work/profile_$kind.csv" 2>/dev/null
  echo "== $kind tiles: $(grep -c '^[0-9]' "$work/profile_$kind.csv") samples, $(grep '^# Terrain' "$work/profile_$kind.csv")"
  for run in 1 2 3 4 5; do
    /usr/bin/time -f "%e s wall, %U s user + %S s sys, %M KB peak" \
      "$build/cli/plotvane-cli" coverage terrain "$work/path.tsv" --dem "$work/$kind" -o "$work/profile_$kind.csv" 2>&1 |
      grep 'wall'
  done
done
cmp "$work/profile_plain.csv" "$work/profile_zipped.csv" && echo "plain and zipped tiles give the same profile"
