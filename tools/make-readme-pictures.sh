#!/usr/bin/env bash
# Makes the README's pictures of the bundled show with Capture: four of its scenes at 400 x 300
# (the show is 4:3), docs/images/afterglow-<scene>.png.
# Usage (from the repository's top folder, after a build; Capture needs no display):
#   bash tools/make-readme-pictures.sh [build folder]
set -euo pipefail

build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Dawn, the jewels with their fountains, the break and the build-up (seconds into the show).
# Each picture is the last of two seconds captured at 30 frames a second: the snow, the sparks,
# the petals and the trails build up while the show plays, so a capture that started on the
# picture's own frame would show them empty.
mkdir -p docs/images
for scene in dawn:12 jewels:52 break:70 build-up:84; do
  name=${scene%%:*}
  at=${scene##*:}
  "$build/show/Capture" --fps 30 --size 400x300 --from "$((at - 2))" --to "$at" \
    --out "$work/$name" > /dev/null
  cp "$work/$name/frame-000059.png" "docs/images/afterglow-$name.png"
  echo "docs/images/afterglow-$name.png"
done
