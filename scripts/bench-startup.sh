#!/usr/bin/env bash
# Start-up time of the window to an idle event loop, offscreen: the median of
# RUNS separate starts (default 5). Builds first if needed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
runs="${1:-5}"
export BUILD_DIR="${BUILD_DIR:-$top/build/release}"
"$top/scripts/build.sh" >/dev/null
times=()
for i in $(seq "$runs"); do
  line=$("$BUILD_DIR/bench/bench_startup" "$top/data/trans.dic" 2>/dev/null)
  echo "run $i: $line"
  times+=("$(echo "$line" | sed -E 's/.*loop: ([0-9.]+) ms.*/\1/')")
done
printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "median of %d runs: %.1f ms\n", NR, a[int((NR+1)/2)]}'
