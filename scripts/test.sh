#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test with CTest inside a virtual X display
# (the GL and end-to-end tests need one; -noreset keeps it alive between test programs).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_BUILD_TESTS=ON
cmake --build build -j"$(nproc)"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --test-dir build --output-on-failure -j"$(nproc)" "$@"
