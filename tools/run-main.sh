#!/usr/bin/env bash
# Builds everything and runs the engine on a shipped example deck; the
# report and plot-data file are written to build/run/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build > /dev/null
cmake --build build -j "$(nproc)"
example=${1:-examples/halfspace-harmonic.vtd}
./build/bin/vortn-run "$example" build/run
