#!/usr/bin/env bash
# End to end in the real program: VortN3 on a virtual X display (xvfb-run,
# xcb, openbox), driven with xdotool as a user would.
# 1. A pile project whose geometry file is empty and whose pile-cap side soil
#    has no velocity in its last layer: opening it names the empty file; File
#    Save (Ctrl+S) names the side soil it would not write; the default answer
#    cancels (the files keep their bytes), Yes saves without it.
# 2. A multilayer project with a soil layer inserted in its table editor: the
#    Data menu asks before it cuts the soil-column layer that no longer fits
#    (the default keeps it), and the save names that layer.
# 3. A harmonic range of 4000 points: the run is refused; the window says the
#    analysis did not complete and no plot-data file is left.
# Usage: unwritten_rows_real_window.sh VortN3 examples-folder screenshot-folder
set -euo pipefail
program=$(realpath "$1") examples=$(realpath "$2") shots=$(realpath -m "$3")
# Always a display of its own, never the user's.
if [ -z "${VORTN_VIRTUAL_DISPLAY:-}" ]; then
  VORTN_VIRTUAL_DISPLAY=1 exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24" "$0" "$@"
fi
mkdir -p "$shots"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  import -window root "$shots/unwritten_failure.png" || true
  cat "$work"/*.log >&2 || true
  exit 1
}
# Waits for a visible window whose title matches $1; prints its id.
wait_window() {
  local id
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.2
  done
  fail "no window \"$1\""
}
# Waits until no visible window's title matches $1.
wait_gone() {
  for _ in $(seq 1 100); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  fail "the window \"$1\" stays"
}
shot() { sleep 0.5; import -window root "$shots/$1"; }
check_shot() {
  local colours
  colours=$(convert "$shots/$1" -format %k info:)
  [ "$colours" -gt 20 ] || fail "$1 shows $colours colours"
}
# A message box or question: shown, screenshot, then answered with the keys $3.
answer() {
  local box
  box=$(wait_window '^VORT-N$')
  shot "$1"
  check_shot "$1"
  xdotool windowactivate --sync "$box" key "$2"
  wait_gone '^VORT-N$'
}
# Keys to the main window whose caption matches $1.
keys() {
  local main
  main=$(wait_window "$1")
  xdotool windowactivate --sync "$main"
  sleep 0.5
  shift
  for k in "$@"; do
    xdotool key --clearmodifiers "$k"
    sleep 0.5
  done
}
# Waits until file $1 differs from $2.
wait_changed() {
  for _ in $(seq 1 100); do
    cmp -s "$1" "$2" || return 0
    sleep 0.2
  done
  fail "$1 was not written"
}
start() {
  (cd "$work" && exec "$program" "$work/$1") > "$work/$1.log" 2>&1 &
  app=$!
}
stop() {
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
}

export HOME=$work XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb
export LSAN_OPTIONS="suppressions=$(dirname "$(realpath "$0")")/real_window_leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
openbox >/dev/null 2>&1 &
sleep 1

# ---- 1. pile cap side soil, empty geometry file ----
for ext in vtd vtm vtt; do cp "$examples/project-pile.$ext" "$work/pilecap.$ext"; done
sed -i 's/^1 0.6 140 17.5 0.3 0.05\r$/1 0.6 0 17.5 0.3 0.05\r/' "$work/pilecap.vtd"
grep -q '^1 0.6 0 17.5' "$work/pilecap.vtd" || fail "no side layer to spoil"
: > "$work/pilecap.vtt"
cp "$work/pilecap.vtd" "$work/pilecap.vtd.orig"
start pilecap.vtd
answer unwritten_1_empty_geometry_file.png Return
keys 'VORT-N 3.0.12 - Pilecap' ctrl+s
answer unwritten_2_save_question.png Return
cmp "$work/pilecap.vtd.orig" "$work/pilecap.vtd" || fail "the cancelled save wrote the project file"
[ -s "$work/pilecap.vtt" ] && fail "the cancelled save wrote the geometry file"
keys 'VORT-N 3.0.12 - Pilecap' ctrl+s
answer unwritten_3_save_question_yes.png alt+y
wait_changed "$work/pilecap.vtd" "$work/pilecap.vtd.orig"
grep -q EMBEDDED "$work/pilecap.vtd" && fail "the side soil was written"
[ -s "$work/pilecap.vtt" ] || fail "the save left the geometry file empty"
stop

# ---- 2. soil column cut by the Data menu ----
for ext in vtd vtm vtt; do cp "$examples/project-multilayer.$ext" "$work/column.$ext"; done
# Four foundation layers over two adjacent soil layers: two soil-column layers.
python3 - "$work/column.vtd" <<'EOF'
import sys
p = sys.argv[1]
s = open(p, 'rb').read().decode()
s = s.replace('LAYER=3\r\n', 'LAYER=4\r\n')
s = s.replace('3 1 2 1.5 12 9 16 25\r\n', '3 1 2 1.5 12 9 16 25\r\n4 1 2 1.5 12 9 16 25\r\n')
s = s.replace('3 220 18.5 0.33 0.05 1 1\r\n', '3 220 18.5 0.33 0.05 1 1\r\n4 260 19 0.33 0.05 1 1\r\n')
open(p, 'wb').write(s.encode())
EOF
grep -q '^4 260 19' "$work/column.vtd" || fail "no second soil-column layer"
cp "$work/column.vtd" "$work/column.vtd.orig"
start column.vtd
# Data > Side Soil of Fondation: the adjacent soil layers; Insert Row.
# (Up from the first item wraps to the last: Control Options, Harmonic
# Loading Data, Soil Column Layer, Side Soil of Fondation; the items between
# are disabled.) In the editor, a cell of the first row, then Insert Row.
keys 'VORT-N 3.0.12 - Column' alt+d Up Up Up Up Return
sleep 0.5
main=$(wait_window 'VORT-N 3.0.12 - Column')
# The editor sits at the top left of the window's work area: its first cell
# (positions from the window's top left corner).
xdotool mousemove --window "$main" --sync 80 95 click 1
sleep 0.5
xdotool key --clearmodifiers alt+i
sleep 0.5
shot unwritten_4_inserted_soil_layer.png
check_shot unwritten_4_inserted_soil_layer.png
# The Data menu, clicked in the menu bar (the keys go to the editor): the
# question on the soil-column layer; the default keeps it.
xdotool mousemove --window "$main" --sync 58 10 click 1
answer unwritten_5_data_menu_question.png Return
xdotool key Escape
keys 'VORT-N 3.0.12 - Column' ctrl+s
answer unwritten_6_save_names_soil_column.png Return
cmp "$work/column.vtd.orig" "$work/column.vtd" || fail "the cancelled save wrote the multilayer project"
stop

# ---- 3. a refused run ----
for ext in vtd vtm vtt; do cp "$examples/project-half-space.$ext" "$work/refused.$ext"; done
sed -i 's/^251.2 12.56 12.56 \r$/251.2 0.0628 0.0628 \r/' "$work/refused.vtd"
grep -q '^251.2 0.0628 0.0628' "$work/refused.vtd" || fail "no frequency line to spoil"
start refused.vtd
keys 'VORT-N 3.0.12 - Refused' alt+c r
answer unwritten_7_refused_run.png Return
[ -e "$work/refused.vtp" ] && fail "the refused run left a plot-data file"
grep -q 'NUMBER OF FREQUENCY POINTS ( *4000) MUST LIE BETWEEN 1 AND 1024' "$work/refused.vto" ||
  fail "the report does not say why"
# The Graphics menu has nothing to show.
keys 'VORT-N 3.0.12 - Refused' alt+g
shot unwritten_8_graphics_menu.png
xdotool key Escape
stop
echo "the rows left out were named, the cancelled saves kept the files, the refused run showed no results"
