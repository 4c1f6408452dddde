#!/usr/bin/env bash
# Builds the fuzz targets like scripts/fuzz.sh and runs each in turn to RUNS
# executions (default 1000000) from its seed corpus, one process at a time,
# under AddressSanitizer and UBSan. Prints one line per target: executions,
# executions per second (over the whole run, start-up included), seconds,
# findings (inputs that crashed, leaked, ran out of time or memory). Fails
# when a target has a finding.
#   scripts/fuzz-long.sh [RUNS] [TARGET...]    e.g. scripts/fuzz-long.sh 1000000 fuzz_framer
# Each run starts from a fresh working corpus in BUILD_DIR (default
# build/fuzz-long); a finding's input is kept in BUILD_DIR/findings/TARGET,
# the whole output in BUILD_DIR/long-TARGET.log.
set -euo pipefail
# The fuzz build lets UBSan go on after a report; stopping at the first one
# makes it a finding with its input kept, like a crash.
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
top=$(cd "$(dirname "$0")/.." && pwd)
runs="${1:-1000000}"
shift || true
"$top/scripts/deps.sh"
BUILD_DIR="${BUILD_DIR:-$top/build/fuzz-long}"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in "$top"/fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$src" .cpp)")
  done
fi
cmake -S "$top" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DT6_FUZZ=ON \
  -DT6_TESTS=OFF -DT6_BENCH=OFF -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target "${targets[@]}" >/dev/null

# The line a target's statistics give: executions and executions per second.
stat() { sed -n "s/^stat::$1: *//p" "$2" | tail -n 1; }

printf '%-20s %12s %8s %9s %9s\n' target executions exec/s seconds findings
failed=0
for name in "${targets[@]}"; do
  corpus="$top/fuzz/corpus/${name#fuzz_}"
  work="$BUILD_DIR/corpus-long-${name#fuzz_}"
  findings="$BUILD_DIR/findings/$name"
  log="$BUILD_DIR/long-$name.log"
  rm -rf "$work"
  mkdir -p "$work" "$findings"
  started=$(date +%s.%N)
  status=0
  "$BUILD_DIR/fuzz/$name" -runs="$runs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$work" "$corpus" >"$log" 2>&1 || status=$?
  ended=$(date +%s.%N)
  found=$(find "$findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
    -o -name 'oom-*' \) -newermt "@$started" | wc -l)
  # A run that stops without writing an input (a fault of the fuzzer itself),
  # or a sanitizer report that did not stop the run, counts too.
  if { [ "$status" -ne 0 ] || grep -q 'runtime error:' "$log"; } && [ "$found" -eq 0 ]; then
    found=1
  fi
  [ "$found" -eq 0 ] || failed=1
  executed=$(stat number_of_executed_units "$log")
  awk -v n="$name" -v e="${executed:-0}" -v a="$started" -v b="$ended" -v f="$found" \
    'BEGIN { s = b - a; printf "%-20s %12d %8.0f %9.1f %9d\n", n, e, (s > 0 ? e / s : 0), s, f }'
done
exit "$failed"
