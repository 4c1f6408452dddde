#!/usr/bin/env bash
# Installs what is missing, builds, and starts the configurator.
#   scripts/run.sh           with the serial ports of this computer
#   scripts/run.sh --demo    together with the simulated device, which is then
#                            offered among the ports (press "Соединить")
# The program's working directory is build/workdir: it reads trans.dic from
# there and writes its logs (protokol.log, protokol_FF.log, log.log) there.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh"
# Only the two programs: no tests or benchmarks to wait for before the window.
export BUILD_DIR="$top/build/app"
BUILD_TYPE=Release "$top/scripts/build.sh" -DT6_TESTS=OFF -DT6_BENCH=OFF
prefix="$top/build/prefix"
cmake --install "$BUILD_DIR" --prefix "$prefix" --strip >/dev/null

work="$top/build/workdir"
mkdir -p "$work"
# The shipped dictionary; the program adds the keys it misses to this copy.
[ -f "$work/trans.dic" ] || cp "$prefix/share/torvel6/trans.dic" "$work/trans.dic"
cd "$work"

if [ "${1:-}" = "--demo" ]; then
  shift
  pathfile=$(mktemp)
  "$prefix/bin/torvel6-devicesim" "$@" >"$pathfile" &
  sim=$!
  trap 'kill $sim 2>/dev/null; rm -f "$pathfile"' EXIT
  for _ in $(seq 50); do
    [ -s "$pathfile" ] && break
    sleep 0.1
  done
  pty=$(head -n1 "$pathfile")
  [ -n "$pty" ] || { echo "the simulated device did not start" >&2; exit 1; }
  echo "Simulated device on $pty"
  export TORVEL6_EXTRA_PORTS="$pty${TORVEL6_EXTRA_PORTS:+:$TORVEL6_EXTRA_PORTS}"
  "$prefix/bin/torvel6-configurator"
else
  exec "$prefix/bin/torvel6-configurator"
fi
