#!/usr/bin/env bash
# Screenshots of the four tabs, in Russian and in English, taken from the real
# window on a virtual X server, into docs/screenshots (tab1-ru.png ... tab4-en.png).
# Installs what it needs (Xvfb, xdotool, ImageMagick) when missing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" != "--inside" ]; then
  missing=()
  command -v xvfb-run >/dev/null || missing+=(xvfb)
  command -v xauth >/dev/null || missing+=(xauth)
  command -v xdotool >/dev/null || missing+=(xdotool)
  command -v import >/dev/null || missing+=(imagemagick)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root=()
    [ "$(id -u)" -ne 0 ] && as_root=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${as_root[@]}" apt-get update
    "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
  fi
  "$top/scripts/deps.sh"
  build="${BUILD_DIR:-$top/build/release}"
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
  cmake --build "$build" --target torvel6-configurator
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp "$top/data/trans.dic" "$work/"
  mkdir -p "$top/docs/screenshots"
  export T6_APP="$build/src/torvel6-configurator" T6_WORK="$work" T6_OUT="$top/docs/screenshots"
  # A port name of its own, so that no "no ports" box covers the window.
  export TORVEL6_EXTRA_PORTS="${TORVEL6_EXTRA_PORTS:-/dev/ttyUSB0}"
  exec xvfb-run -a -s "-screen 0 1280x900x24" "$0" --inside
fi

# Inside the virtual display: one run of the program per language.
shoot() {
  local lang=$1
  (cd "$T6_WORK" && exec "$T6_APP") &
  local app=$!
  local wid
  wid=$(xdotool search --sync --onlyvisible --name "Конфигуратор" | head -n1)
  sleep 1
  xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || xdotool windowfocus "$wid"
  if [ "$lang" = en ]; then
    # "Выбор Языка" is the fourth menu of the bar; "Английский" its second item.
    xdotool mousemove --window "$wid" 320 8 click 1
    sleep 0.5
    xdotool key Down Down Return
    sleep 0.8
  fi
  for tab in 1 2 3 4; do
    [ "$tab" -gt 1 ] && { xdotool key --window "$wid" ctrl+Tab; sleep 0.6; }
    import -window "$wid" "$T6_OUT/tab$tab-$lang.png"
  done
  kill "$app"
  wait "$app" 2>/dev/null || true
}
shoot ru
shoot en
rm -f "$T6_WORK"/*.log
ls -1 "$T6_OUT"
