#!/usr/bin/env bash
# End to end in the real program: VortN3 on a virtual X display (xvfb-run,
# xcb, openbox), driven with xdotool as a user would. It opens a project
# whose mass line holds a typo, runs the analysis from the Computation menu,
# keeps the default answer of the question on the partly read file (Save
# As), saves under a new name, and exits. The typo project's .vtd and .vtm
# must keep their bytes; the new project gets the deck and the report.
# Usage: typo_project_real_window.sh VortN3 examples-folder screenshot-folder
set -euo pipefail
program=$(realpath "$1") examples=$(realpath "$2") shots=$(realpath -m "$3")
# Always a display of its own, never the user's.
if [ -z "${VORTN_VIRTUAL_DISPLAY:-}" ]; then
  VORTN_VIRTUAL_DISPLAY=1 exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24" "$0" "$@"
fi
mkdir -p "$shots"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
for ext in vtd vtm vtt; do cp "$examples/project-half-space.$ext" "$work/"; done
sed -i 's/^60 90 120 150 0 0 0\r$/60 abc 120 150 0 0 0\r/' "$work/project-half-space.vtd"
grep -q '^60 abc 120' "$work/project-half-space.vtd"
cp "$work/project-half-space.vtd" "$work/typo.vtd.orig"
cp "$work/project-half-space.vtm" "$work/typo.vtm.orig"

fail() {
  echo "FAIL: $*" >&2
  import -window root "$shots/typo_e2e_failure.png" || true
  cat "$work/program.log" >&2 || true
  exit 1
}
# Each step waits for what it checks, however busy the machine; only a
# step that never comes to pass waits this long (seconds) and fails.
patience=120
# Runs the command "$2..." until it succeeds; fails with $1 when it never does.
wait_until() {
  local what=$1 deadline=$((SECONDS + patience))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "$what"
    sleep 0.1
  done
}
# The last visible window whose title matches $1, if any.
visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true; }
has_window() { [ -n "$(visible_window "$1")" ]; }
# Waits for a visible window whose title matches $1; prints its id.
wait_window() {
  wait_until "no window \"$1\"" has_window "$1"
  visible_window "$1"
}
# A screenshot of the screen in $1 that shows more than a blank screen.
painted_shot() {
  import -window root "$shots/$1" && [ "$(convert "$shots/$1" -format %k info:)" -gt 20 ]
}
shot() { wait_until "$1 shows a blank screen" painted_shot "$1"; }
# The program's visible windows: its main window, a menu or dialog over it.
program_window_ids() { xdotool search --onlyvisible --pid "$app" 2>/dev/null || true; }
program_windows() { program_window_ids | wc -l; }
window_gone() { ! program_window_ids | grep -qx "$1"; }
more_windows_than() { [ "$(program_windows)" -gt "$1" ]; }
wm_runs() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

export HOME=$work XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb
# Under the sanitizers the program's exit status tells its leaks, not those of the X session's libraries.
export LSAN_OPTIONS="suppressions=$(dirname "$(realpath "$0")")/real_window_leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
openbox >/dev/null 2>&1 &
wait_until "openbox does not manage the screen" wm_runs
(cd "$work" && exec "$program" "$work/project-half-space.vtd") > "$work/program.log" 2>&1 &
app=$!

# A message box or question: shown, then answered with Enter (its default).
answer() {
  local box
  box=$(wait_window "$1")
  shot "$2"
  xdotool windowactivate --sync "$box" key Return
  wait_until "the box \"$1\" stays open" window_gone "$box"
}
# A menu item of the main window whose caption matches $1, by its keys:
# $2 opens the menu, $3 chooses the item once the menu is on the screen.
menu_item() {
  local main windows
  main=$(wait_window "$1")
  xdotool windowactivate --sync "$main"
  windows=$(program_windows)
  xdotool key --window "$main" "$2"
  wait_until "no menu opened with $2" more_windows_than "$windows"
  xdotool key "$3"
}

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
program_ended() { ! kill -0 "$app" 2>/dev/null; }
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
