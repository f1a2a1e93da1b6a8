#!/usr/bin/env bash
# Installs what is needed, builds, and plays the bundled show from the ready folder
# build/show (Run, bin/libOrvEngine.so, data/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<'MSG'

The show is built in build/show, but there is no display to play it on (DISPLAY and
WAYLAND_DISPLAY are unset). Run this command again from a desktop session (or over `ssh -X`
from a machine with a screen), or copy the folder build/show to a Debian machine with a screen
and start ./Run there. Without a display, build/show/Run --check checks the show and
build/show/Capture --video show.mp4 renders it into a video.
MSG
    exit 1
fi
cd build/show
exec ./Run
