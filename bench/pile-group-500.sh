#!/usr/bin/env bash
# End-to-end benchmark of the 500-pile group deck (bench/pile-group-500.vtd)
# through the command-line runner, now and at an earlier commit, one run
# after the other on the same machine:
#   - the default setting (every core),
#   - one thread (VORTN_THREADS=1 now; OPENBLAS_NUM_THREADS=1 before, when
#     LAPACK's own threads were the only ones),
#   - both again while 8 busy loops (started and stopped here) share the
#     machine,
#   - the peak memory of 8 frequency workers (VORTN_THREADS=8).
# Each line gives the wall times of the repetitions, their median, the
# largest peak resident memory and the load average just before.
#
#   bash bench/pile-group-500.sh
#
# builds build/bin/vortn-run (the normal build folder), builds the engine of
# the earlier commit in a temporary worktree (removed at the end) and prints
# a table.  Settings (environment):
#   REPS=3             repetitions of every measurement
#   BEFORE=08e49f2     the earlier commit; BEFORE=none measures only now
#   BEFORE_BUILD=dir   a build folder of the earlier commit to use instead
#   BUSY=8             busy loops of the loaded measurements
#   LIMIT=600          seconds after which a run is stopped (shown as
#                      "> LIMIT"; the earlier commit's default run can take
#                      minutes on a loaded machine)
#   OPENBLAS=serial    every run with Debian's sequential (or OPENBLAS=openmp:
#                      OpenMP) build of OpenBLAS instead of the installed one,
#                      unpacked into build/openblas-builds by
#                      tools/fetch-openblas-builds.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
deck=$root/bench/pile-group-500.vtd
reps=${REPS:-3}
before=${BEFORE:-08e49f2}
busy=${BUSY:-8}
limit=${LIMIT:-600}
work=$(mktemp -d)
if [ -n "${OPENBLAS:-}" ]; then
  bash tools/fetch-openblas-builds.sh build/openblas-builds > /dev/null
  export LD_LIBRARY_PATH=$root/build/openblas-builds/usr/lib/$(gcc -print-multiarch)/openblas-$OPENBLAS
fi
busy_pids=()
before_tree=""

cleanup() {
  for p in "${busy_pids[@]}"; do kill "$p" 2> /dev/null || true; done
  for p in "${busy_pids[@]}"; do wait "$p" 2> /dev/null || true; done
  if [ -n "$before_tree" ]; then git -C "$root" worktree remove --force "$before_tree" > /dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# The runner and engine of this tree.
if [ ! -f build/CMakeCache.txt ]; then cmake -S . -B build "${launcher[@]}" > /dev/null; fi
cmake --build build -j4 --target vortn-run Vrt3-comp > /dev/null
after_bin=$root/build/bin

# The runner and engine of the earlier commit.
before_bin=""
if [ "$before" != none ]; then
  if [ -n "${BEFORE_BUILD:-}" ]; then
    before_bin=$BEFORE_BUILD/bin
  else
    before_tree=$work/before
    git -C "$root" worktree add --detach "$before_tree" "$before" > /dev/null 2>&1
    cmake -S "$before_tree" -B "$before_tree/build" -DVORTN_ENGINE_ONLY=ON "${launcher[@]}" > /dev/null
    cmake --build "$before_tree/build" -j4 --target vortn-run Vrt3-comp > /dev/null
    before_bin=$before_tree/build/bin
  fi
fi

start_busy() {
  for _ in $(seq "$busy"); do
    bash -c 'while :; do :; done' &
    busy_pids+=($!)
  done
  sleep 1
}

stop_busy() {
  for p in "${busy_pids[@]}"; do kill "$p" 2> /dev/null || true; done
  for p in "${busy_pids[@]}"; do wait "$p" 2> /dev/null || true; done
  busy_pids=()
}

# measure LABEL BIN [VAR=VALUE ...]: one table row.
measure() {
  local label=$1 bin=$2
  shift 2
  local load times=() peak=0 t m
  load=$(cut -d' ' -f1-3 /proc/loadavg)
  for r in $(seq "$reps"); do
    rm -rf "$work/out"
    if /usr/bin/time -f "%e %M" -o "$work/time" timeout "$limit" \
      env -u VORTN_THREADS -u OPENBLAS_NUM_THREADS "$@" "$bin/vortn-run" "$deck" "$work/out" > /dev/null; then
      read -r t m < "$work/time"
    else
      t=">$limit"
      m=$(awk 'END {print $2 + 0}' "$work/time")
    fi
    times+=("$t")
    if [ "$m" -gt "$peak" ]; then peak=$m; fi
    if [ "$t" = ">$limit" ]; then break; fi
  done
  local median
  median=$(printf '%s\n' "${times[@]}" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}')
  printf '| %-44s | %-24s | %8s | %7d | %s |\n' "$label" "${times[*]}" "$median" $((peak / 1024)) "$load"
}

echo "machine: $(nproc) hardware threads, $(uname -r); $(date -u '+%F %T') UTC; $reps repetitions; OpenBLAS ${OPENBLAS:-as installed}"
echo
echo "| run | wall times (s) | median (s) | peak MB | load (1, 5, 15 min) before |"
echo "|---|---|---|---|---|"
if [ -n "$before_bin" ]; then
  measure "before ($before): default" "$before_bin"
  measure "before ($before): OPENBLAS_NUM_THREADS=1" "$before_bin" OPENBLAS_NUM_THREADS=1
fi
measure "now: default" "$after_bin"
measure "now: VORTN_THREADS=1" "$after_bin" VORTN_THREADS=1
measure "now: VORTN_THREADS=8" "$after_bin" VORTN_THREADS=8
start_busy
if [ -n "$before_bin" ]; then
  measure "before ($before): default, $busy busy loops" "$before_bin"
  measure "before ($before): OPENBLAS_NUM_THREADS=1, $busy busy loops" "$before_bin" OPENBLAS_NUM_THREADS=1
fi
measure "now: default, $busy busy loops" "$after_bin"
measure "now: VORTN_THREADS=1, $busy busy loops" "$after_bin" VORTN_THREADS=1
stop_busy

# The worker count changes no byte of the results.
rm -rf "$work/one" "$work/all"
VORTN_THREADS=1 "$after_bin/vortn-run" "$deck" "$work/one" > /dev/null
env -u VORTN_THREADS "$after_bin/vortn-run" "$deck" "$work/all" > /dev/null
echo
if cmp -s "$work/one/pile-group-500.vtp" "$work/all/pile-group-500.vtp" &&
  diff -q <(grep -v 'TIME     -' "$work/one/pile-group-500.vto") \
    <(grep -v 'TIME     -' "$work/all/pile-group-500.vto") > /dev/null; then
  echo "report and plot data: the same for VORTN_THREADS=1 and the default"
else
  echo "report and plot data: DIFFERENT for VORTN_THREADS=1 and the default"
  exit 1
fi
