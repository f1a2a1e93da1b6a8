#!/usr/bin/env bash
# Installs, as root on Debian 12, every package needed to build, run and test Orvanta.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake pkg-config clang-format
  # engine libraries: SDL2 (windows, input, OpenGL contexts with or without a display, sound,
  # the message box) with its image and font libraries; libepoxy (OpenGL's entry points);
  # Mesa's GLX and EGL (offscreen contexts); libdeflate: the PNG files of Capture
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libepoxy-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libegl1 libegl-mesa0
  lib3ds-dev libsndfile1-dev libsamplerate0-dev libdeflate-dev
  # the music's analysis at load: onsets and tempo (aubio), the spectrum (FFTW)
  libaubio-dev libfftw3-dev
  fonts-dejavu-core
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # headless display, input and screenshots for the GL and end-to-end tests; XFixes shows
  # them the mouse cursor, X-Resource the process of a window that names none (the message
  # box), and the core fonts are what SDL's X11 message box writes with
  xvfb xauth xdotool x11-utils x11-apps imagemagick libx11-dev libxfixes-dev libxres-dev
  xfonts-base
  # a Wayland compositor for the Wayland test (weston's X11 backend inside Xvfb)
  weston
  # a show's release (scripts/pack.sh): the archive, the libraries' run paths, the video (and
  # Capture's own video test); and the clean Debian root its tests play it in
  zip unzip patchelf ffmpeg mmdebstrap
  # Capture in parts on a cluster (scripts/capture-cluster.sh) and its test, which runs a
  # one-machine Slurm of its own (auth/none: no munge); nothing of it runs as a service
  slurm-wlm
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
