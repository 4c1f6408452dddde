#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 60)
# from its seed corpus. A crash fails the run and leaves its input in build/fuzz.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds="${1:-60}"
"$top/scripts/deps.sh"
BUILD_DIR="$top/build/fuzz"
targets=()
for src in "$top"/fuzz/fuzz_*.cpp; do
  targets+=("$(basename "$src" .cpp)")
done
cmake -S "$top" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DT6_FUZZ=ON \
  -DT6_TESTS=OFF -DT6_BENCH=OFF -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target "${targets[@]}"
cd "$BUILD_DIR"
# UBSan stops at its first report, which then leaves its input like a crash.
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
for name in "${targets[@]}"; do
  target="fuzz/$name"
  corpus="$top/fuzz/corpus/${name#fuzz_}"
  work="$BUILD_DIR/corpus-${name#fuzz_}"
  mkdir -p "$work"
  echo "== $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$BUILD_DIR/$name-" "$work" "$corpus" 2>&1 | tail -n 3
done
