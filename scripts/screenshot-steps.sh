#!/usr/bin/env bash
# Runs inside the virtual display that scripts/screenshots.sh starts: drives
# the real window with the keyboard and the mouse, once per language, against
# a freshly started simulated device, and saves the pictures into T6_OUT.
# Every step that ends in a message box waits for that box, and a step whose
# box does not come ends the run with an error, so a run either makes every
# picture or fails.
#
# The window has a fixed layout, the same in both languages; the places
# clicked below are points of the window (x y from its top left corner).
set -euo pipefail
: "${T6_APP:?}" "${T6_SIM:?}" "${T6_OUT:?}" "${T6_WORK:?}"

# Bottom bar buttons.
BTN_WRITE="387 667"
BTN_READ="640 667"
BTN_CONNECT="893 667"
# First tab (its caption starts at the left edge in both languages).
TAB_FIRST="40 33"
# "Основные настройки": telephone 3, "Дата и время. Синхронизация с ПК".
PHONE3="200 121"
CLOCK_SYNC="21 204"
# Wired zone 3: "Активировать", "Сообщение", "Тип входа", "Контроль 24 часа",
# row 1 box and minutes, telephone 3.
Z3_ACTIVE="373 265"
Z3_MESSAGE="446 320"
Z3_TYPE="446 359"
Z3_24H="373 285"
Z3_ROW1="374 415"
Z3_ROW1_MIN="384 436"
Z3_PHONE3="435 600"
# Somewhere neutral for the pointer while a picture is taken (the status bar).
IDLE="700 692"

app=
sim=
main=
known=()

log() { echo "screenshots: $*" >&2; }
die() {
  log "$*"
  exit 1
}

cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null && wait "$app" 2>/dev/null
  [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
  true
}
trap cleanup EXIT

# The program's visible windows that are not yet known: the newest box.
new_window() {
  local w k seen
  for _ in $(seq 100); do
    for w in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null || true); do
      seen=0
      for k in "${known[@]}"; do [ "$k" = "$w" ] && seen=1; done
      if [ "$seen" -eq 0 ]; then
        echo "$w"
        return 0
      fi
    done
    sleep 0.2
  done
  return 1
}

# Waits until the window has gone (a box answered, a dialog accepted).
gone() {
  for _ in $(seq 50); do
    xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
    xdotool search --onlyvisible --pid "$app" 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.2
  done
  die "a window of the program did not close"
}

click() { # x y
  xdotool mousemove --window "$main" "$1" "$2" click 1
  sleep 0.4
}

keys() {
  xdotool windowfocus --sync "$main" 2>/dev/null || true
  xdotool key --clearmodifiers --delay 60 "$@"
  sleep 0.3
}

type_text() {
  xdotool type --clearmodifiers --delay 60 "$1"
  sleep 0.3
}

# Opens the menu bar's menu number m (counted from 1) and triggers its item
# number n, with the keyboard from the first menu on, as the captions (and so
# the menus' places) differ between the languages. The first menu, opened by
# the mouse, has no item marked; a menu reached with the arrow key has its
# first item marked.
menu() { # m n
  xdotool mousemove --window "$main" 15 8 click 1
  sleep 0.5
  local k downs=$2
  for ((k = 1; k < $1; k++)); do xdotool key Right; done
  [ "$1" -gt 1 ] && downs=$(($2 - 1))
  for ((k = 0; k < downs; k++)); do xdotool key Down; done
  xdotool key Return
  sleep 0.5
}

# The main window as it is on the screen, with any box standing over it.
shoot_main() { # file
  sleep 0.6
  xdotool mousemove --window "$main" $IDLE
  sleep 0.3
  eval "$(xdotool getwindowgeometry --shell "$main")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$T6_OUT/$1"
}

# Waits for the box a step ends with, takes the picture when a file is
# named, answers the box.
box_step() { # what [file]
  local box
  box=$(new_window) || die "$1: no message box came"
  [ -n "${2:-}" ] && shoot_main "$2"
  xdotool windowfocus --sync "$box" 2>/dev/null || true
  xdotool key Return
  gone "$box"
  sleep 0.5
}

run_language() { # ru | en
  local lang=$1
  local folder="$T6_WORK/$lang"
  mkdir -p "$folder/home"
  cp "$(dirname "$0")/../data/trans.dic" "$folder/"
  # The status bar shows this name; the simulated device removes it at exit.
  local port="$T6_WORK/ttyUSB0"

  "$T6_SIM" --link "$port" >"$folder/sim.out" 2>&1 &
  sim=$!
  for _ in $(seq 50); do
    [ -e "$port" ] && break
    sleep 0.1
  done
  [ -e "$port" ] || die "the simulated device made no terminal"

  # Only the simulated device's port is searched; the user's folders are the
  # run's own, so that nothing of the computer's shows in the pictures.
  (cd "$folder" && exec env -u TORVEL6_EXTRA_PORTS TORVEL6_PORTS="$port" HOME="$folder/home" \
    XDG_CONFIG_HOME="$folder/home/.config" XDG_DATA_HOME="$folder/home/.local/share" \
    "$T6_APP") >"$folder/app.out" 2>&1 &
  app=$!
  main=$(timeout 30 xdotool search --sync --onlyvisible --pid "$app" --name "." | head -n1) ||
    die "the window did not open"
  known=("$main")
  sleep 1.5
  xdotool windowfocus --sync "$main" 2>/dev/null || true

  if [ "$lang" = en ]; then
    menu 4 2 # "Выбор Языка" → "Английский"
    sleep 0.5
  fi

  # The four tabs at start-up.
  local tab
  for tab in 1 2 3 4; do
    [ "$tab" -gt 1 ] && keys ctrl+Tab
    shoot_main "tab$tab-$lang.png"
  done
  click $TAB_FIRST

  # 1. "Соединить": the search finds the device and says so.
  click $BTN_CONNECT
  box_step "connect" "step1-connect-$lang.png"

  # 2. "Чтение настроек из памяти прибора": the device's settings in the window.
  click $BTN_READ
  box_step "read" "step2-read-$lang.png"

  # 3. Telephone 3 entered; the device's clock to be set from the computer's at
  #    the write.
  click $PHONE3
  keys End
  type_text "9262718281"
  click $CLOCK_SYNC
  shoot_main "step3-phones-$lang.png"

  # 4. Wired zone 3 put to use: a message, a normally closed input, the siren
  #    for 2 minutes when it triggers, an SMS to telephone 3.
  click $Z3_ACTIVE
  click $Z3_MESSAGE
  if [ "$lang" = ru ]; then type_text "Гараж"; else type_text "Garage"; fi
  click $Z3_TYPE
  xdotool key Down Return
  sleep 0.4
  click $Z3_ROW1
  click $Z3_ROW1_MIN
  keys ctrl+a
  type_text "2"
  keys Tab
  click $Z3_PHONE3
  shoot_main "step4-zone-$lang.png"

  # 5. "Сравнить с прибором": what the write would change, in a window of its
  #    own, moved beside the main window.
  menu 2 5
  local compare
  compare=$(new_window) || die "compare: the comparison window did not open"
  known+=("$compare")
  eval "$(xdotool getwindowgeometry --shell "$main")"
  xdotool windowmove --sync "$compare" $((X + WIDTH + 20)) 0 2>/dev/null || true
  sleep 0.8
  import -window "$compare" "$T6_OUT/step5-compare-$lang.png"

  # 6. "Запись настроек в память прибора".
  click $BTN_WRITE
  box_step "write" "step6-write-$lang.png"

  # 7. "Файл" → "Лист настроек (PDF)…": the sheet saved, its first page shown.
  local sheet="$folder/sheet.pdf"
  menu 1 5
  local dialog
  dialog=$(new_window) || die "sheet: no file dialog"
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  xdotool key ctrl+a
  xdotool type --delay 20 "$sheet"
  xdotool key Return
  gone "$dialog"
  box_step "sheet"
  [ -s "$sheet" ] || die "sheet: no PDF was written"
  pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$sheet" "$T6_OUT/step7-sheet-$lang"

  cleanup
  app=
  sim=
}

run_language ru
run_language en
