#!/usr/bin/env bash
# Configures and builds into BUILD_DIR (default build/release); extra
# arguments go to CMake's configure step.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD_DIR:-$top/build/release}"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
