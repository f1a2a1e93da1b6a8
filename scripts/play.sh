#!/usr/bin/env bash
# Installs what is needed, builds, and plays the bundled show from the ready folder
# build/show (Run, bin/libOrvEngine.so, data/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)"
if [ -z "${DISPLAY:-}" ]; then
    cat >&2 <<'MSG'

The show is built in build/show, but there is no display to play it on (DISPLAY is unset).
Run this command again from a desktop session (or over `ssh -X` from a machine with a
screen), or copy the folder build/show to a Debian machine with a screen and start ./Run there.
MSG
    exit 1
fi
cd build/show
exec ./Run
