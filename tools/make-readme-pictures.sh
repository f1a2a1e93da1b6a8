#!/usr/bin/env bash
# Makes the README's pictures of the bundled show with Capture: one frame of each part of the
# show at 400 x 300 (the show is 4:3), side by side two by two in docs/images/first-light.png.
# Usage (from the repository's top folder, after a build, with a display or under xvfb-run):
#   bash tools/make-readme-pictures.sh [build folder]
set -euo pipefail

build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The logo, the blend modes, the plasma, the glow and the 3D scene twice (seconds into the
# show).
frames=()
for at in 5 21 30 42 52 64; do
  "$build/show/Capture" --fps 1 --size 400x300 --from "$at" --to "$at.5" --out "$work/$at" > /dev/null
  frames+=("$work/$at/frame-000000.png")
done
mkdir -p docs/images
montage "${frames[@]}" -tile 3x2 -geometry +4+4 -background '#202020' docs/images/first-light.png
echo "docs/images/first-light.png"
