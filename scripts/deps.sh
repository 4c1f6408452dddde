#!/usr/bin/env bash
# Installs the Debian packages the configurator needs to build, run and test,
# when any is missing. Runs apt-get as root, or through sudo.
#   --gui      also what the screenshots need (a virtual X server)
#   --package  also what scripts/package.sh needs to make and check the .deb
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-serialport-dev qt6-translations-l10n libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  clang libclang-rt-dev
  poppler-utils
  bash-completion
)
for option in "$@"; do
  case "$option" in
    --gui) packages+=(xvfb xauth imagemagick) ;;
    --package) packages+=(dpkg-dev desktop-file-utils appstream man-db) ;;
    *) echo "deps.sh: unknown option $option" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
