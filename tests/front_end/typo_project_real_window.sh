#!/usr/bin/env bash
# End to end in the real program: VortN3 on a virtual X display (xvfb-run,
# xcb, openbox), driven with xdotool as a user would. It opens a project
# whose mass line holds a typo, runs the analysis from the Computation menu,
# keeps the default answer of the question on the partly read file (Save
# As), saves under a new name, and exits. The typo project's .vtd and .vtm
# must keep their bytes; the new project gets the deck and the report.
# Usage: typo_project_real_window.sh VortN3 examples-folder screenshot-folder
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=real_window_lib.sh
source "$(dirname "$(realpath "$0")")/real_window_lib.sh"
real_window_session typo_e2e "$@"

for ext in vtd vtm vtt; do cp "$examples/project-half-space.$ext" "$work/"; done
sed -i 's/^60 90 120 150 0 0 0\r$/60 abc 120 150 0 0 0\r/' "$work/project-half-space.vtd"
grep -q '^60 abc 120' "$work/project-half-space.vtd" || fail "no mass line to spoil"
cp "$work/project-half-space.vtd" "$work/typo.vtd.orig"
cp "$work/project-half-space.vtm" "$work/typo.vtm.orig"
start_program project-half-space.vtd

# The reading error, over the main window.
answer '^VORT-N$' typo_e2e_1_read_error.png
# Computation > Run Analysis: the question on the partly read file; the
# default keeps the file and goes to Save As.
menu_item 'VORT-N 3.0.12 - Project-half-space' alt+c r
answer '^VORT-N$' typo_e2e_2_question.png

# Save As: a new name.
saveas=$(wait_window 'Save Project-half-space As')
xdotool windowactivate --sync "$saveas"
xdotool key ctrl+a
xdotool type --delay 20 "$work/mended.vtd"
shot typo_e2e_3_save_as.png
xdotool key Return

# The run ends with its message; then File > Exit.
answer '^VORT-N$' typo_e2e_4_run_done.png
menu_item 'VORT-N 3.0.12 - Mended' alt+f x
wait_until "the program did not exit" program_ended
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"

cmp "$work/typo.vtd.orig" "$work/project-half-space.vtd" || fail "the typo project's .vtd was rewritten"
cmp "$work/typo.vtm.orig" "$work/project-half-space.vtm" || fail "the typo project's .vtm was rewritten"
[ -f "$work/mended.vtd" ] || fail "no mended.vtd"
head -1 "$work/mended.vtd" | grep -q '^TITLE=Example half-space foundation' || fail "mended.vtd has no title line"
[ -f "$work/mended.vtm" ] || fail "no mended.vtm"
[ -s "$work/mended.vto" ] || fail "no report beside mended.vtd"
echo "typo project kept its bytes; the run went to mended.vtd"
