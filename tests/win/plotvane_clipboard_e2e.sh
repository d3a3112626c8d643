#!/usr/bin/env bash
# End to end, as the engineer works: a table copied to the X clipboard, the
# real Plotvane.exe under Wine, buttons clicked with the mouse and texts typed.
# After each run the clipboard must hold exactly what the companion prints for
# the same input:
#   tab 0, N typed as 3            -> CLI nearest TABLE -n 3
#   tab 2, LAYER typed into the open dialog, buffer typed as 3000, the
#   second method chosen           -> CLI match TABLE --layer LAYER --buffer 3000 --method merge
#   tab 3, geom column ticked      -> CLI group TABLE --geom
#
#   plotvane_clipboard_e2e.sh PLOTVANE_EXE TABLE LAYER CLI [CLI-PREFIX-ARGS...]
# Needs a display: run under xvfb-run.
set -euo pipefail
exe="$1"
table="$2"
layer="$(realpath "$3")"
shift 3
cli=("$@")
[ -n "${DISPLAY:-}" ] || { echo "e2e: no display; run under xvfb-run" >&2; exit 1; }
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-kit}" WINEARCH=win64 WINEDEBUG=-all

work="$(mktemp -d)"
pid=""
servers=()
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  # The xclip processes this test started to serve the selection; nobody
  # else's.
  [ ${#servers[@]} -gt 0 ] && kill "${servers[@]}" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

wine "$exe" &
pid=$!
win=""
for _ in $(seq 1 120); do
  win="$(xdotool search --onlyvisible --name '^Plotvane$' 2>/dev/null | head -1 || true)"
  [ -n "$win" ] && break
  sleep 0.5
done
[ -n "$win" ] || { echo "e2e: the Plotvane window did not appear" >&2; exit 1; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"
# Panel origin on screen: the one-pixel border, then the panel at 28, 28.
px=$((X + 1 + 28))
py=$((Y + 1 + 28))
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.6; }
tab() { click $((X + 1 + 14)) $((Y + 1 + 28 + 2 + 30 * $1 + 14)); }
# Replaces the text of the edit under the point (at most four characters).
typeInto() {
  xdotool windowfocus "$win"  # no window manager hands it back after a dialog
  click "$1" "$2"
  xdotool key --delay 60 End BackSpace BackSpace BackSpace BackSpace
  xdotool type --delay 60 "$3"
}
putTable() {
  # Kept in the foreground of a background job, so that its process is known;
  # its own output detached, so it does not hold the test runner's pipes open.
  # It ends by itself once another program takes the clipboard.
  xclip -quiet -selection clipboard -t UTF8_STRING -i < "$table" >/dev/null 2>&1 &
  servers+=($!)
  sleep 2
}

# Closes the message box of that title.
closeBox() {
  local box=""
  for _ in $(seq 1 20); do
    box="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)"
    [ -n "$box" ] && break
    sleep 0.5
  done
  [ -n "$box" ] || { echo "e2e: no box titled $1" >&2; exit 1; }
  # Its OK button sits centred near the bottom edge; a click reaches it
  # where a key press may go to whichever window X considers focused.
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$box")"
  click $((X + WIDTH / 2)) $((Y + HEIGHT - 22))
  # Wine may take a few seconds to take it down; clicks before then are lost.
  for _ in $(seq 1 40); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.5
  done
  echo "e2e: the box titled $1 stayed open" >&2
  exit 1
}

# runStep NAME CLICKS CLI-ARGS...: makes the clicks (a function; fetching and
# running are repeatable) and waits for the clipboard to hold what the
# companion printed for the arguments. On a loaded machine Wine may still be
# settling when the first clicks arrive; while the clipboard still holds the
# input table nothing has run, so the clicks are made again.
runStep() {
  local what="$1" clicks="$2"
  shift 2
  "${cli[@]}" "$@" > "$work/expected"
  [ -s "$work/expected" ] || { echo "e2e: the companion printed nothing for $what" >&2; exit 1; }
  local got="" attempt
  for attempt in 1 2 3; do
    "$clicks"
    for _ in $(seq 1 30); do
      xclip -selection clipboard -o -t UTF8_STRING > "$work/got" 2>/dev/null || true
      cmp -s "$work/got" "$work/expected" && { got=1; break; }
      sleep 0.5
    done
    [ -n "$got" ] && break
    cmp -s "$work/got" "$table" || break   # something else is on the clipboard: a real difference
    echo "e2e: $what, attempt $attempt left the table on the clipboard; clicking again" >&2
  done
  if [ -z "$got" ]; then
    echo "e2e: clipboard differs from 'plotvane-cli $what'" >&2
    diff <(head -c 2000 "$work/expected") <(head -c 2000 "$work/got") | head -20 >&2 || true
    exit 1
  fi
  echo "e2e: clipboard matches 'plotvane-cli $what' ($(wc -l < "$work/expected") lines)"
  closeBox 成功
}

nearestClicks() {
  click $((px + 88 + 45)) $((py + 24 + 12))          # 📋 获取数据
  sleep 1
  typeInto $((px + 118 + 30)) $((py + 124 + 11)) 3   # 数量
  click $((px + 66 + 40)) $((py + 150 + 12))         # ▶️ 运行
}
putTable
runStep nearest nearestClicks nearest "$table" -n 3

tab 2
click $((px + 78 + 50)) $((py + 124 + 12))    # 📁 浏览: the open dialog takes the focus
sleep 2
xdotool type --delay 30 "$(winepath -w "$layer" 2>/dev/null)"
xdotool key Return
sleep 2
matchClicks() {
  click $((px + 78 + 50)) $((py + 24 + 12))             # 📋 获取数据
  sleep 1
  typeInto $((px + 58 + 60)) $((py + 200 + 11)) 3000   # 缓冲
  click $((px + 58 + 60)) $((py + 176 + 11))            # 方法: the list opens,
  xdotool key --delay 100 Home Down Return              # 多值合并
  sleep 0.6
  click $((px + 66 + 40)) $((py + 230 + 12))            # ▶️ 匹配
}
putTable
runStep match matchClicks match "$table" --layer "$layer" --buffer 3000 --method merge

tab 3
geomTicked=""
groupClicks() {
  click $((px + 78 + 50)) $((py + 24 + 12))     # 📋 获取数据
  sleep 1
  if [ -z "$geomTicked" ]; then                 # 导出 geom 列 (a second click would clear it)
    click $((px + 58 + 8)) $((py + 148 + 12))
    geomTicked=1
  fi
  click $((px + 66 + 40)) $((py + 178 + 12))    # ▶️ 运行
}
putTable
runStep group groupClicks group "$table" --geom
