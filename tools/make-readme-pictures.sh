#!/usr/bin/env bash
# Makes the README's pictures of the bundled show with Capture: one frame of six of its
# scenes at 400 x 300 (the show is 4:3), three by two in docs/images/first-light.png.
# Usage (from the repository's top folder, after a build, with a display or under xvfb-run):
#   bash tools/make-readme-pictures.sh [build folder]
set -euo pipefail

build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Dawn, the tunnel, the jewels with their fountains, the break, the build-up and the drop
# (seconds into the show). Each picture is the last of two seconds captured at 30 frames a
# second: the snow, the sparks, the petals and the trails build up while the show plays, so a
# capture that started on the picture's own frame would show them empty.
frames=()
for at in 12 22 52 70 84 96; do
  "$build/show/Capture" --fps 30 --size 400x300 --from "$((at - 2))" --to "$at" \
    --out "$work/$at" > /dev/null
  frames+=("$work/$at/frame-000059.png")
done
mkdir -p docs/images
montage "${frames[@]}" -tile 3x2 -geometry +4+4 -background '#202020' docs/images/first-light.png
echo "docs/images/first-light.png"
