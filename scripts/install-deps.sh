#!/usr/bin/env bash
# Installs, as root on Debian 12, every package needed to build, run and test Orvanta.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake pkg-config clang-format
  # engine libraries (libdeflate: the PNG files of Capture)
  libsdl1.2-dev libsdl-image1.2-dev libsdl-ttf2.0-dev
  libgl1-mesa-dev libglu1-mesa-dev libglew-dev libgl1-mesa-dri
  lib3ds-dev libsndfile1-dev libsamplerate0-dev libx11-dev libdeflate-dev
  # the music's analysis at load: onsets and tempo (aubio), the spectrum (FFTW)
  libaubio-dev libfftw3-dev
  fonts-dejavu-core
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # headless display, input and screenshots for the GL and end-to-end tests; XFixes shows
  # them the mouse cursor
  xvfb xauth xdotool x11-utils x11-apps imagemagick libxfixes-dev
  # a show's release (scripts/pack.sh): the archive, the libraries' run paths, the video (and
  # Capture's own video test); and the clean Debian root its tests play it in
  zip unzip patchelf ffmpeg mmdebstrap
)

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps.sh: run as root (or with sudo)" >&2
  exit 1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
