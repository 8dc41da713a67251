# shellcheck shell=bash
# What the scripts beside it share that drive the real program, VortN3, on a
# virtual X display (xvfb-run, xcb, openbox) with xdotool as a user would.
# A script sources it and starts its session with its own arguments:
#   source "$(dirname "$(realpath "$0")")/real_window_lib.sh"
#   real_window_session NAME "$@"    # VortN3 examples-folder screenshot-folder
# then starts the program with start_program and drives it with the waits
# below: each waits for what it checks, however busy the machine.

# Only a step that never comes to pass waits this long (seconds) and fails.
patience=120

# Re-runs the script on a display of its own (never the user's), makes its
# work folder, and starts openbox. Sets program, examples, shots and work;
# a failure leaves the screen in $shots/NAME_failure.png.
real_window_session() {
  local name=$1
  shift
  if [ -z "${VORTN_VIRTUAL_DISPLAY:-}" ]; then
    # -noreset: a server resetting as a probe of it ends would refuse openbox.
    VORTN_VIRTUAL_DISPLAY=1 exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-noreset -screen 0 1280x1024x24" "$(realpath "$0")" "$@"
  fi
  # shellcheck disable=SC2034 # the scripts use them
  program=$(realpath "$1") examples=$(realpath "$2") shots=$(realpath -m "$3")
  failure_shot=$shots/${name}_failure.png
  mkdir -p "$shots"
  work=$(mktemp -d)
  trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
  export HOME=$work XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb
  # Under the sanitizers the program's exit status tells its leaks, not those of the X session's libraries.
  local here
  here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
  export LSAN_OPTIONS="suppressions=$here/real_window_leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
  openbox >/dev/null 2>&1 &
  wait_until "openbox does not manage the screen" wm_runs
}

fail() {
  echo "FAIL: $*" >&2
  import -window root "$failure_shot" || true
  cat "$work"/*.log >&2 || true
  exit 1
}

# Runs the command "$2..." until it succeeds; fails with $1 when it never does.
wait_until() {
  local what=$1 deadline=$((SECONDS + patience))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "$what"
    sleep 0.1
  done
}

# Succeeds where the command "$@" fails: a wait for something to end.
not() { ! "$@"; }

wm_runs() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# The program on the project $1 of the work folder (its output in $1.log);
# its process id in app.
start_program() {
  (cd "$work" && exec "$program" "$work/$1") > "$work/$1.log" 2>&1 &
  app=$!
}
program_ended() { ! kill -0 "$app" 2>/dev/null; }
stop_program() {
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
}

# The last visible window whose title matches $1, if any.
visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true; }
has_window() { [ -n "$(visible_window "$1")" ]; }
# Waits for a visible window whose title matches $1; prints its id.
wait_window() {
  wait_until "no window \"$1\"" has_window "$1"
  visible_window "$1"
}
# The program's visible windows: its main window, a menu or dialog over it.
program_window_ids() { xdotool search --onlyvisible --pid "$app" 2>/dev/null || true; }
program_windows() { program_window_ids | wc -l; }
window_gone() { ! program_window_ids | grep -qx "$1"; }
more_windows_than() { [ "$(program_windows)" -gt "$1" ]; }

# A screenshot of the screen in $shots/$1 that shows more than a blank screen.
painted_shot() {
  import -window root "$shots/$1" && [ "$(convert "$shots/$1" -format %k info:)" -gt 20 ]
}
shot() { wait_until "$1 shows a blank screen" painted_shot "$1"; }

# A message box or question whose title matches $1: shown, screenshot in
# $2, then answered with the keys $3 (Enter, its default, without them).
answer() {
  local box
  box=$(wait_window "$1")
  shot "$2"
  xdotool windowactivate --sync "$box" key "${3:-Return}"
  wait_until "the box \"$1\" stays open" window_gone "$box"
}
# Keys "$2..." to the main window whose caption matches $1.
keys_to() {
  local main
  main=$(wait_window "$1")
  shift
  xdotool windowactivate --sync "$main" key --clearmodifiers "$@"
}
# A menu of the main window whose caption matches $1, by its keys: $2 opens
# the menu, "$3..." choose the item once the menu is on the screen.
menu_item() {
  local main windows
  main=$(wait_window "$1")
  xdotool windowactivate --sync "$main"
  windows=$(program_windows)
  xdotool key --window "$main" "$2"
  wait_until "no menu opened with $2" more_windows_than "$windows"
  shift 2
  if (($#)); then xdotool key "$@"; fi
}
