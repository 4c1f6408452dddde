#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
#   scripts/test.sh            the test suite
#   scripts/test.sh --asan     the same under AddressSanitizer and UBSan
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh"

export QT_QPA_PLATFORM=offscreen
if [ "${1:-}" = "--asan" ]; then
  export BUILD_DIR="$top/build/asan"
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  "$top/scripts/build.sh" -DT6_SANITIZE=ON -DT6_BENCH=OFF
else
  export BUILD_DIR="$top/build/release"
  "$top/scripts/build.sh" -DT6_WERROR=ON
fi
cd "$BUILD_DIR"
# The fault scenarios wait out real time-outs: scripts/faults.sh runs them
# many at a time.
ctest --output-on-failure -j2 --timeout 300 -LE faults
