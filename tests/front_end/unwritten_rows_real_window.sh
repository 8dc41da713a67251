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
# shellcheck source-path=SCRIPTDIR source=real_window_lib.sh
source "$(dirname "$(realpath "$0")")/real_window_lib.sh"
real_window_session unwritten "$@"

# Waits until file $1 differs from $2.
wait_changed() { wait_until "$1 was not written" not cmp -s "$1" "$2"; }
# The colour of the screen at $1,$2 as "(r,g,b)".
screen_colour() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | awk 'NR == 2 { print $2 }'; }
is_white() { [ "$(screen_colour "$1" "$2")" = "(255,255,255)" ]; }
# How many of the 400 pixels of the screen below $1,$2 show the colour of the
# last of them, the work area's background: fewer when an editor above it
# grows.
background_below() {
  import -window root -crop "1x400+$1+$2" -depth 8 txt:- |
    awk 'NR > 1 { colour[NR] = $2 } END { n = 0; for (i = 2; i <= NR; ++i) n += colour[i] == colour[NR]; print n }'
}
background_below_less_than() { [ "$(background_below "$1" "$2")" -lt "$3" ]; }

# ---- 1. pile cap side soil, empty geometry file ----
for ext in vtd vtm vtt; do cp "$examples/project-pile.$ext" "$work/pilecap.$ext"; done
sed -i 's/^1 0.6 140 17.5 0.3 0.05\r$/1 0.6 0 17.5 0.3 0.05\r/' "$work/pilecap.vtd"
grep -q '^1 0.6 0 17.5' "$work/pilecap.vtd" || fail "no side layer to spoil"
: > "$work/pilecap.vtt"
cp "$work/pilecap.vtd" "$work/pilecap.vtd.orig"
start_program pilecap.vtd
answer '^VORT-N$' unwritten_1_empty_geometry_file.png
keys_to 'VORT-N 3.0.12 - Pilecap' ctrl+s
answer '^VORT-N$' unwritten_2_save_question.png
cmp "$work/pilecap.vtd.orig" "$work/pilecap.vtd" || fail "the cancelled save wrote the project file"
[ -s "$work/pilecap.vtt" ] && fail "the cancelled save wrote the geometry file"
keys_to 'VORT-N 3.0.12 - Pilecap' ctrl+s
answer '^VORT-N$' unwritten_3_save_question_yes.png alt+y
wait_changed "$work/pilecap.vtd" "$work/pilecap.vtd.orig"
grep -q EMBEDDED "$work/pilecap.vtd" && fail "the side soil was written"
[ -s "$work/pilecap.vtt" ] || fail "the save left the geometry file empty"
stop_program

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
start_program column.vtd
# Data > Side Soil of Fondation: the adjacent soil layers; Insert Row.
# (Up from the first item wraps to the last: Control Options, Harmonic
# Loading Data, Soil Column Layer, Side Soil of Fondation; the items between
# are disabled.) In the editor, a cell of the first row, then Insert Row.
menu_item 'VORT-N 3.0.12 - Column' alt+d Up Up Up Up Return
main=$(wait_window 'VORT-N 3.0.12 - Column')
# The editor sits at the top left of the window's work area: its first cell
# (positions from the window's top left corner), white once it is shown.
xdotool mousemove --window "$main" --sync 80 95
read -r cell_x cell_y < <(xdotool getmouselocation | sed 's/^x:\([0-9]*\) y:\([0-9]*\).*/\1 \2/')
wait_until "the editor did not open" is_white "$cell_x" "$cell_y"
below=$(background_below "$cell_x" "$cell_y")
xdotool click 1 key --clearmodifiers alt+i
# The inserted row makes the editor a row taller.
wait_until "no row was inserted" background_below_less_than "$cell_x" "$cell_y" "$below"
shot unwritten_4_inserted_soil_layer.png
# The Data menu, clicked in the menu bar (the keys go to the editor): the
# question on the soil-column layer; the default keeps it. The menu opens
# once the question is answered; Escape shuts it.
windows=$(program_windows)
xdotool mousemove --window "$main" --sync 58 10 click 1
answer '^VORT-N$' unwritten_5_data_menu_question.png
wait_until "the Data menu did not open" more_windows_than "$windows"
xdotool key Escape
wait_until "the Data menu stays open" not more_windows_than "$windows"
keys_to 'VORT-N 3.0.12 - Column' ctrl+s
answer '^VORT-N$' unwritten_6_save_names_soil_column.png
cmp "$work/column.vtd.orig" "$work/column.vtd" || fail "the cancelled save wrote the multilayer project"
stop_program

# ---- 3. a refused run ----
for ext in vtd vtm vtt; do cp "$examples/project-half-space.$ext" "$work/refused.$ext"; done
sed -i 's/^251.2 12.56 12.56 \r$/251.2 0.0628 0.0628 \r/' "$work/refused.vtd"
grep -q '^251.2 0.0628 0.0628' "$work/refused.vtd" || fail "no frequency line to spoil"
start_program refused.vtd
menu_item 'VORT-N 3.0.12 - Refused' alt+c r
answer '^VORT-N$' unwritten_7_refused_run.png
[ -e "$work/refused.vtp" ] && fail "the refused run left a plot-data file"
grep -q 'NUMBER OF FREQUENCY POINTS ( *4000) MUST LIE BETWEEN 1 AND 1024' "$work/refused.vto" ||
  fail "the report does not say why"
# The Graphics menu has nothing to show.
menu_item 'VORT-N 3.0.12 - Refused' alt+g
shot unwritten_8_graphics_menu.png
xdotool key Escape
stop_program
echo "the rows left out were named, the cancelled saves kept the files, the refused run showed no results"
