#!/usr/bin/env bash
# Builds everything and runs every test: first builds the engine alone
# (without Qt), then the whole tree under AddressSanitizer and
# UndefinedBehaviorSanitizer (engine, components and front-end tests, the
# GUI tests on the offscreen platform) and the front-end's fuzz drivers
# under the same sanitizers, then the whole suite in a normal build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
# One job per hardware thread: a sanitizer compile takes at most about
# 0.7 GB and a sanitizer test about 0.5 GB, and the OpenGL tests take the
# virtual display one at a time (their CTest resource lock).
jobs=$(nproc)

# The engine alone, with no Qt found: a Qt include or a Qt target linked
# into the engine stops this build, whatever order the full build finds its
# packages in. (Its tests run in the full builds below.)
cmake -S . -B build-engine -DVORTN_WERROR=ON -DVORTN_ENGINE_ONLY=ON > /dev/null
cmake --build build-engine -j "$jobs"

cmake -S . -B build-asan -DVORTN_WERROR=ON -DVORTN_ENGINE_ONLY=OFF -DVORTN_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug > /dev/null
cmake --build build-asan -j "$jobs"
# The OpenGL tests run in the normal pass only: Mesa's software driver leaks
# under LeakSanitizer in code that is not ours.
(cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j "$jobs" -LE opengl)

# The fuzz drivers of the front-end's readers under the same sanitizers: a
# short, repeatable run of each (its seeds, then a few thousand mutants).
cmake -S . -B build-fuzz -DVORTN_WERROR=ON -DVORTN_FUZZ=ON -DVORTN_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug > /dev/null
cmake --build build-fuzz -j "$jobs" --target fuzz_drivers
(cd build-fuzz && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
   ctest -L fuzz --output-on-failure -j "$jobs")

cmake -S . -B build -DVORTN_WERROR=ON > /dev/null
cmake --build build -j "$jobs"
cd build
# The widget tests set the offscreen platform themselves; the OpenGL tests
# start their own virtual X display (xvfb-run, xcb) through CTest.
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs"
