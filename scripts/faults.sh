#!/usr/bin/env bash
# The fault scenarios over a real pseudo-terminal, many at a time (they mostly
# wait out the device's silence), then their table: one line per scenario with
# the operation, the stage, the fault, the time to the idle state and what the
# user was told.
#   scripts/faults.sh                 build and run every scenario the program meets
#   scripts/faults.sh --open          also those it does not meet yet ("OPEN_")
#   scripts/faults.sh -R identify     only the tests whose names match
# BUILD_DIR (default: the test build of scripts/test.sh, build/release) and
# JOBS (default 12) may be set; the table is also left in
# $BUILD_DIR/faults-table.txt.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$top/build/release}")
labels='^faults$'
if [ "${1:-}" = "--open" ]; then
  labels='^faults'
  shift
fi
jobs="${JOBS:-12}"

export QT_QPA_PLATFORM=offscreen
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DT6_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target test_faults torvel6-devicesim -j"$(nproc)"

table="$build/faults-table.txt"
raw="$build/faults-table.raw"
rm -f "$raw"
export T6_FAULTS_TABLE="$raw"
status=0
start=$(date +%s)
(cd "$build" && ctest -L "$labels" -j"$jobs" --output-on-failure "$@") || status=$?
took=$(($(date +%s) - start))

{
  printf '%-44s %-12s %-8s %-12s %8s  %-4s  %s\n' scenario operation stage fault ms ok told
  if [ -f "$raw" ]; then
    sort -t'|' -k3,3 -k4,4 -k5,5 "$raw" |
      awk -F'|' '{
        printf "%-44s %-12s %-8s %-12s %8s  %-4s  %s", $2, $3, $4, $5, $6, $8, $7
        if ($9 != "") printf "  (%s)", $9
        printf "\n"
      }'
  fi
  echo "wall time ${took}s, ctest status ${status}"
} | tee "$table"
exit "$status"
