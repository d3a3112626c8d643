#!/usr/bin/env bash
# A 200 000-row drive-test workbook written by openpyxl, read by the kit's
# importer and by openpyxl's read-only mode; both print the row count and the
# total bytes of cell text so the reads can be compared. Best of RUNS runs.
#   [ROWS=200000] [RUNS=3] bench/xlsx_vs_openpyxl.sh [BUILD_DIR]   (default build/linux)
set -euo pipefail
cd "$(dirname "$0")/.."
bin="${1:-build/linux}/bench/kit_xlsx_read"
[ -x "$bin" ] || { echo "build kit_xlsx_read first ($bin)"; exit 1; }
/usr/bin/python3 -c "import openpyxl" 2>/dev/null || { echo "python3-openpyxl is needed"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rows=${ROWS:-200000}

/usr/bin/python3 - "$work/drive.xlsx" "$rows" <<'PY'
import random, sys
from openpyxl import Workbook
random.seed(7)
wb = Workbook(write_only=True)
ws = wb.create_sheet()
ws.append(["时间", "Longitude", "Latitude", "RSRP", "SINR", "PCI", "小区"])
for i in range(int(sys.argv[2])):
    ws.append([f"2026-11-02 {i // 3600 % 24:02d}:{i // 60 % 60:02d}:{i % 60:02d}",
               round(116.3 + random.random() * 0.2, 7), round(39.9 + random.random() * 0.2, 7),
               round(-120 + random.random() * 60, 1), round(-5 + random.random() * 30, 1),
               random.choice([101, 102, 233, 456]), f"小区{random.randint(1, 500)}"])
wb.save(sys.argv[1])
PY

cat > "$work/openpyxl_read.py" <<'PY'
import sys
from openpyxl import load_workbook
wb = load_workbook(sys.argv[1], read_only=True)
ws = wb.worksheets[0]
rows = 0
size = 0
for row in ws.iter_rows(values_only=True):
    rows += 1
    for v in row:
        if v is not None:
            size += len(str(v).encode("utf-8"))
print("rows", rows, "cells-bytes", size)
PY

best() {
  local all="" t
  for ((i = 0; i < ${RUNS:-3}; i++)); do
    t=$( { TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>&1; } 2>&1 )
    all="$all$t"$'\n'
  done
  echo -n "$all" | awk 'NR == 1 || $2 + $3 < c { w = $1; c = $2 + $3 } END { printf "%.2f / %.2f", w, c }'
}

echo "workbook: $(du -k "$work/drive.xlsx" | cut -f1) KB, $rows rows + header"
echo "kit:      $("$bin" "$work/drive.xlsx")"
echo "openpyxl: $(/usr/bin/python3 "$work/openpyxl_read.py" "$work/drive.xlsx")"
/usr/bin/time -f "kit peak %M KB" "$bin" "$work/drive.xlsx" >/dev/null
printf "%-10s %16s\n" reader "wall/cpu s"
printf "%-10s %16s\n" kit "$(best "$bin" "$work/drive.xlsx")"
printf "%-10s %16s\n" openpyxl "$(best /usr/bin/python3 "$work/openpyxl_read.py" "$work/drive.xlsx")"
