#!/bin/sh
# Makes the 256 px PNG icon from the SVG (needs rsvg-convert from the Debian
# package librsvg2-bin). Run it after changing the SVG and commit both files.
set -eu
cd "$(dirname "$0")"
rsvg-convert --width 256 --height 256 --format png \
  --output ru.torvel.Torvel6Configurator.png ru.torvel.Torvel6Configurator.svg
