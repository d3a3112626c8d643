#!/usr/bin/env bash
# Whole-run benchmark of `plotvane-cli nearest` (read + index + search +
# write) on generated tables, side by side with SciPy's cKDTree doing the
# candidate search alone on the same points. Usage: bench/nearest.sh [sizes...]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/linux/cli/plotvane-cli
[ -x "$cli" ] || { cmake --preset linux >/dev/null && cmake --build --preset linux --target plotvane-cli >/dev/null; }
work="${TMPDIR:-/tmp}/kit-bench-nearest"
mkdir -p "$work"
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(10000 100000 1000000)
printf "%-9s %10s %10s %12s %22s\n" sites kit_wall_s kit_cpu_s kit_peak_MB "scipy build+query cpu_s"
for n in "${sizes[@]}"; do
  table="$work/sites_$n.tsv"
  [ -f "$table" ] || python3 bench/gen_sites.py "$n" "$table"
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$cli" nearest "$table" -n 3 -o "$work/out_$n.tsv" 2>/dev/null
  read -r secs user sys kb < "$work/time"
  cpu="$(echo "$user + $sys" | bc)"
  scipy="$(/usr/bin/python3 bench/scipy_knn.py "$table" 3 2>/dev/null || echo n/a)"
  printf "%-9s %10s %10s %12s %22s\n" "$n" "$secs" "$cpu" "$((kb / 1024))" "$scipy"
done
