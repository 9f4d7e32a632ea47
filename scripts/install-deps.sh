#!/usr/bin/env bash
# Installs every Debian 12 package that building and running Orvandel needs;
# with --tests, also what its tests, fuzz targets and benchmarks need. Quick
# when everything is already present.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-image-formats-plugins
  zlib1g-dev libmspack-dev libjpeg62-turbo-dev libgif-dev libexif-dev
  qt6-svg-dev libemf2svg-dev libwmf-dev fonts-urw-base35 # metafiles (libwmf needs the URW fonts)
  fonts-wine fonts-liberation2 fonts-dejavu-core
  xvfb xauth
)
if [ "${1:-}" = "--tests" ]; then
  packages+=(
    libgtest-dev libgmock-dev libbenchmark-dev
    cabextract # reads our cabinets as an independent oracle
    clang libclang-rt-14-dev # fuzz targets (libFuzzer, sanitizers)
    gcab # the cabinet benchmark compares with gcab -c
    imagemagick-6.q16 # the hue benchmark compares with its HSL histogram
    libjpeg-turbo-progs # the chooser benchmark compares with djpeg
    x11-utils # the title-bar test reads window names with xwininfo
  )
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
