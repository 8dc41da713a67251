#!/usr/bin/env bash
# Builds the program, the engine and the command-line runner (the tests are
# the test command's) and starts the front-end VortN3 with an example project
# open. Without a display it says so and runs the engine on that example
# instead, writing the report and plot-data file to build/run/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build > /dev/null
cmake --build build -j "$(nproc)" --target VortN3 Vrt3-comp vortn-run
example=${1:-examples/project-half-space.vtd}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting build/bin/VortN3 with $example"
  exec ./build/bin/VortN3 "$example"
fi
echo "No display is available (neither DISPLAY nor WAYLAND_DISPLAY is set), so VortN3 cannot be shown."
echo "Running the engine on $example instead:"
./build/bin/vortn-run "$example" build/run
