#!/usr/bin/env bash
# The pictures of the user guide and the README, taken from the real window on
# a virtual X server with the simulated device on a pseudo-terminal, in Russian
# and in English, into docs/screenshots:
#   tab1-LANG.png ... tab4-LANG.png   the four tabs at start-up
#   step1-connect-LANG.png ... step7-sheet-LANG.png
#                                     the first-setup walk-through of the guide
#                                     (scripts/screenshot-steps.sh drives it)
# Installs what it needs (Xvfb, xdotool, ImageMagick, poppler-utils) when
# missing. T6_APP and T6_SIM name another configurator and simulated device
# (then nothing is built), BUILD_DIR another build, T6_OUT another output
# folder, T6_WORK the folder for the run's temporary files.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

missing=()
command -v xvfb-run >/dev/null || missing+=(xvfb)
command -v xauth >/dev/null || missing+=(xauth)
command -v xdotool >/dev/null || missing+=(xdotool)
command -v import >/dev/null || missing+=(imagemagick)
command -v pdftoppm >/dev/null || missing+=(poppler-utils)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root=()
  [ "$(id -u)" -ne 0 ] && as_root=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update
  "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

if [ -z "${T6_APP:-}" ] || [ -z "${T6_SIM:-}" ]; then
  "$top/scripts/deps.sh"
  build="${BUILD_DIR:-$top/build/release}"
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
  cmake --build "$build" --target torvel6-configurator torvel6-devicesim
  T6_APP="$build/src/torvel6-configurator"
  T6_SIM="$build/tools/devicesim/torvel6-devicesim"
fi
T6_APP=$(realpath "$T6_APP")
T6_SIM=$(realpath "$T6_SIM")
T6_OUT="${T6_OUT:-$top/docs/screenshots}"
mkdir -p "$T6_OUT"
T6_OUT=$(cd "$T6_OUT" && pwd)

# One fixed work folder (under T6_WORK when given), so that the port's name in
# the status bar is the same in every run: the simulated device's terminal is
# linked as ttyUSB0 in it.
T6_WORK="${T6_WORK:-${TMPDIR:-/tmp}}/torvel6-screenshots"
rm -rf "$T6_WORK"
mkdir -p "$T6_WORK"
trap 'rm -rf "$T6_WORK"' EXIT
export T6_APP T6_SIM T6_OUT T6_WORK
# The screen is wider than the window, so that the comparison window can stand
# beside it instead of over it.
xvfb-run -a -s "-screen 0 2200x1000x24" "$top/scripts/screenshot-steps.sh"
# 256 colours are plenty for the window's flat colours and keep the pictures
# to about a third of their size.
for picture in "$T6_OUT"/tab[1-4]-??.png "$T6_OUT"/step[1-7]-*-??.png; do
  convert "$picture" -strip -dither None -colors 256 "PNG8:$picture.tmp"
  mv "$picture.tmp" "$picture"
done
ls -l "$T6_OUT"
