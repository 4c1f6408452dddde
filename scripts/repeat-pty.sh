#!/usr/bin/env bash
# Runs every test that talks over a real pseudo-terminal (the simulated device,
# the command-line program, the port adapter) TIMES times in a row (default
# 50), stopping at the first failure, and prints how long it took.
#   scripts/repeat-pty.sh [TIMES] [--asan]
# Uses the test build of scripts/test.sh (build/release, or build/asan).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
times="${1:-50}"
build="$top/build/release"
[ "${2:-}" = "--asan" ] && build="$top/build/asan"
[ -d "$build" ] || { echo "repeat-pty.sh: build $build first (scripts/test.sh)" >&2; exit 2; }
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
# The pty tests by their suites. They mostly wait on the line and on time-outs,
# so more of them run at once than there are cores.
pty='^(Cli[A-Za-z]*Test|FirstRunTest|DeviceOverPty|ConfigChainOverPty|QtSerialPortTest|DeviceProgram|DeviceChainWindowTest|EnrolmentWindowTest)\.'
cd "$build"
count=$(ctest -N -R "$pty" | sed -n 's/^Total Tests: //p')
echo "$count pty tests, $times times each"
start=$(date +%s)
# The whole output stays in repeat-pty.log beside the build: a failure's own
# output is there.
log="$build/repeat-pty.log"
status=0
ctest -R "$pty" --repeat until-fail:"$times" -j4 --timeout 300 --output-on-failure >"$log" 2>&1 ||
  status=$?
tail -n 4 "$log"
if [ "$status" -ne 0 ]; then
  echo "failed after $(($(date +%s) - start)) s; the output is in $log"
  exit "$status"
fi
echo "passed $times times in a row in $(($(date +%s) - start)) s"
