#!/usr/bin/env bash
# Makes the Debian package in build/package and checks it:
#   - the desktop entry and the software-centre entry validate;
#   - the manual pages format without warnings;
#   - the package holds every file an installation needs, and every picture
#     the guides show, and no placeholder (sample contacts, example addresses);
#   - the programs answer --help and --version without a display, run from
#     the package's files unpacked into a temporary root;
#   - its dependencies resolve (apt-get install -s);
#   - lintian, when installed, finds no error (its other findings are shown);
#   - a first start with --user-folder makes the per-user folder with a copy
#     of the dictionary and the exchange log, and writes nothing anywhere else.
# Prints the path of the package at the end. Any failed check fails the run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh" --package

app_id=ru.torvel.Torvel6Configurator
build="$top/build/package"

# Release, without tests or benchmarks; the prefix the package installs to,
# and Debian's compiler and linker hardening (without -g, as the package is
# stripped, and without the folder-dependent file prefix maps, so that ccache
# serves a clone in another folder too).
export DEB_BUILD_MAINT_OPTIONS="hardening=+all reproducible=-fixfilepath,-fixdebugpath"
export DEB_CXXFLAGS_STRIP=-g
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
export BUILD_DIR="$build" BUILD_TYPE=Release
"$top/scripts/build.sh" -DT6_TESTS=OFF -DT6_BENCH=OFF -DT6_FUZZ=OFF -DT6_SANITIZE=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"

rm -f "$build"/torvel6_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/torvel6_*.deb)
[ -f "${debs[0]}" ] || { echo "package.sh: cpack made no .deb" >&2; exit 1; }
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)

failed=0
fail() {
  echo "FAILED: $*" >&2
  failed=$((failed + 1))
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
root="$tmp/root"
dpkg-deb -x "$deb" "$root"

echo "== desktop entry and software-centre entry"
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" ||
  fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "appstreamcli validate"

echo "== manual pages"
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

echo "== contents"
expected=(
  usr/bin/torvel6-configurator
  usr/bin/torvel6
  usr/bin/torvel6-devicesim
  usr/share/torvel6/trans.dic
  usr/share/torvel6/udev/70-torvel6-serial.rules
  usr/share/torvel6/guide/guide.ru.html
  usr/share/torvel6/guide/guide.en.html
  "usr/share/applications/$app_id.desktop"
  "usr/share/metainfo/$app_id.metainfo.xml"
  "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  "usr/share/icons/hicolor/256x256/apps/$app_id.png"
  usr/share/man/man1/torvel6-configurator.1.gz
  usr/share/man/man1/torvel6.1.gz
  usr/share/man/man1/torvel6-devicesim.1.gz
  usr/share/doc/torvel6/copyright
  usr/share/doc/torvel6/changelog.gz
)
listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in "${expected[@]}"; do
  grep -qxF "./$path" <<<"$listing" || fail "the package lacks /$path"
done
# Every picture the guides show, beside them.
for guide in "$root"/usr/share/torvel6/guide/guide.*.html; do
  for picture in $(grep -o 'src="[^"]*"' "$guide" | sed 's/^src="//; s/"$//'); do
    [ -f "$(dirname "$guide")/$picture" ] || fail "$(basename "$guide") shows $picture, which the package lacks"
  done
done

# Nothing installed is a placeholder: no sample contacts, example addresses or
# stand-in pictures, in any file (the programs, the dictionary in
# Windows-1251, the guides, the pages).
echo "== no placeholders"
patterns=(example.com example.org example.net "(образец)" "000-00-00" "(placeholder)" "LOGO")
for p in "${patterns[@]}"; do
  p1251=$(printf '%s' "$p" | iconv -f UTF-8 -t CP1251)
  hits=$(cd "$root" && {
    grep -rlaF -e "$p" -e "$p1251" . || true
    find . -name '*.gz' -exec zgrep -laF -e "$p" -e "$p1251" {} + || true
  } | sort -u)
  [ -z "$hits" ] || fail "the package holds the placeholder \"$p\" in: $hits"
done

# The programs as installed, without a display; from a folder of their own,
# so that nothing they write lands in the unpacked root.
echo "== the programs answer without a display"
mkdir -p "$tmp/cwd"
run_bare() {
  (cd "$tmp/cwd" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    timeout 20 "$root/usr/bin/$1" "${@:2}")
}
expect_output() { # expected-text description program args...
  local want=$1 what=$2 out
  shift 2
  if ! out=$(run_bare "$@" 2>&1); then
    fail "$what: exit status not 0: $out"
  elif ! grep -qF -- "$want" <<<"$out"; then
    fail "$what: no \"$want\" in: $out"
  fi
}
expect_output "Usage: torvel6-configurator" "torvel6-configurator --help" torvel6-configurator --help
expect_output "torvel6-configurator $version" "torvel6-configurator --version" torvel6-configurator --version
expect_output "torvel6 $version" "torvel6 --version" torvel6 --version
expect_output "Usage: torvel6-devicesim" "torvel6-devicesim --help" torvel6-devicesim --help

echo "== dependencies (apt-get install -s)"
if ! out=$(apt-get install -s "$deb" 2>&1); then
  fail "apt-get install -s: $out"
elif ! grep -q "^Inst torvel6 " <<<"$out"; then
  fail "apt-get install -s does not install torvel6: $out"
fi

if command -v lintian >/dev/null; then
  echo "== lintian"
  findings=$(lintian --display-info --pedantic "$deb" 2>&1 | grep -v "running with root privileges" || true)
  [ -z "$findings" ] || echo "$findings"
  ! grep -q "^E: " <<<"$findings" || fail "lintian reports errors"
fi

# First start as from the desktop entry, in an empty home.
echo "== first start with --user-folder"
home="$tmp/home"
data="$tmp/data"
mkdir -p "$home" "$tmp/run"
chmod 700 "$tmp/run"
mkdir -p "$tmp/start"
failed_before=$failed
before=$(cd "$root" && find . -printf '%p %s %T@\n' | sort)
(
  cd "$tmp/start"
  exec env -u DISPLAY -u WAYLAND_DISPLAY -u TORVEL6_EXTRA_PORTS HOME="$home" \
    XDG_DATA_HOME="$data" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$tmp/run" \
    QT_QPA_PLATFORM=offscreen "$root/usr/bin/torvel6-configurator" --user-folder
) >"$tmp/first-run.out" 2>&1 &
pid=$!
sleep 3
if kill -TERM "$pid" 2>/dev/null; then
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    fail "first start: the program did not end on SIGTERM"
  fi
else
  fail "first start: the program had ended before 3 s: $(cat "$tmp/first-run.out")"
fi
wait "$pid" 2>/dev/null || true
user="$data/torvel6"
if [ ! -d "$user" ]; then
  fail "first start: no folder $user"
else
  cmp -s "$root/usr/share/torvel6/trans.dic" "$user/trans.dic" ||
    fail "first start: $user/trans.dic is missing or differs from the installed one"
  [ -f "$user/protokol.log" ] || fail "first start: no $user/protokol.log"
fi
after=$(cd "$root" && find . -printf '%p %s %T@\n' | sort)
[ "$before" = "$after" ] ||
  fail "first start wrote into the installed files: $(diff <(echo "$before") <(echo "$after") | grep '^[<>]')"
[ -z "$(ls -A "$tmp/start")" ] ||
  fail "first start wrote into the folder it was started from: $(ls -A "$tmp/start")"
if [ "$failed" -ne "$failed_before" ]; then
  echo "== what the program printed at its first start" >&2
  cat "$tmp/first-run.out" >&2
fi

if [ "$failed" -ne 0 ]; then
  echo "package.sh: the package $deb fails the checks above" >&2
  exit 1
fi
echo "$deb"
