#!/usr/bin/env bash
# Makes the Windows ZIP from the build, checks that it holds every program,
# the resources, the README and the licences, that no program needs a MinGW
# DLL, and that Plotvane.exe unpacked into a folder with a Chinese name opens
# its window under Wine.
#   package_zip_test.sh CPACK_CONFIG SOURCE_DIR OBJDUMP PROGRAM.exe...
# Needs a display: run under xvfb-run.
set -euo pipefail
config="$1"
src="$2"
objdump="$3"
shift 3
programs=("$@")
[ -n "${DISPLAY:-}" ] || { echo "package: no display; run under xvfb-run" >&2; exit 1; }
# Wine turns Unix file names into Windows ones by the locale's character set.
export LC_ALL=C.UTF-8
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-kit}" WINEARCH=win64 WINEDEBUG=-all

work="$(mktemp -d)"
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package: $*" >&2; exit 1; }

cpack --config "$config" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
zips=("$work"/out/*.zip)
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || fail "expected one ZIP, found: ${zips[*]}"
mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "${zips[0]}")
tops=("$work"/unpacked/*)
[ ${#tops[@]} -eq 1 ] && [ -d "${tops[0]}" ] || fail "the ZIP should hold one folder"
# The folder the user unpacks to, under a Chinese name.
dir="$work/规划工具"
mv "${tops[0]}" "$dir"

expected=(README.md licenses/README.md licenses/nanoflann.txt licenses/zlib.txt licenses/mingw-w64-runtime.txt)
expected+=("${programs[@]}")
while IFS= read -r f; do expected+=("resources/${f#"$src"/resources/}"); done < <(find "$src/resources" -type f)
missing=0
for f in "${expected[@]}"; do
  [ -f "$dir/$f" ] || { echo "package: missing $f" >&2; missing=1; }
done
[ $missing -eq 0 ] || fail "files missing from the ZIP"
for p in Plotvane.exe Varnick.exe plotvane-cli.exe varnick-cli.exe; do
  [ -f "$dir/$p" ] || fail "missing $p"
done

# Linked statically: only Windows' own DLLs, none of the compiler's.
for p in "$dir"/*.exe; do
  if "$objdump" -p "$p" | grep -iE 'DLL Name: *(libstdc|libgcc|libwinpthread|zlib|libz)'; then
    fail "$(basename "$p") needs a MinGW DLL"
  fi
done

cd "$dir"
wine Plotvane.exe >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 120); do
  if xdotool search --onlyvisible --name '^Plotvane$' >/dev/null 2>&1; then
    echo "package: ${#expected[@]} files present; Plotvane.exe opened its window from $dir"
    exit 0
  fi
  kill -0 "$pid" 2>/dev/null || fail "Plotvane.exe ended without a window"
  sleep 0.5
done
fail "the Plotvane window did not appear within 60 s"
