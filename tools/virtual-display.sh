#!/usr/bin/env bash
# Runs a command on a virtual X display of its own with the xcb platform, so
# that OpenGL gets a real (software) context; a missing context then fails
# the OpenGL tests instead of skipping them. Several test runs share this
# machine: each looks for a free display from a random number on, so that
# two runs starting together do not race for the same one. The screen is
# 1280x1024 unless VORTN_SCREEN_SIZE gives another (WIDTHxHEIGHT). The server
# never resets: by default it does when its last client leaves, and a client
# connecting meanwhile (a window manager starting while a probe of it ends)
# is refused.
set -euo pipefail
exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-noreset -screen 0 ${VORTN_SCREEN_SIZE:-1280x1024}x24" \
  env QT_QPA_PLATFORM=xcb VORTN_REQUIRE_GL=1 "$@"
