#!/usr/bin/env bash
# Builds the bundled show's data folder from the project's own material: the script from
# show/, pictures drawn with ImageMagick, music synthesized by orv-make-music, 3D models
# written by orv-make-models.
#
#   make-show.sh <source dir> <output data dir> <orv-make-music program> <orv-make-models program>
set -euo pipefail
src=$1
out=$2
music_maker=$3
model_maker=$4
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
mkdir -p "$out"

cp "$src/show/script.txt" "$src/show/plasma.shader" "$out/"
# 36 bars at 120 bpm: the script's "@36 end".
"$music_maker" "$out/music.ogg" 120 36
"$model_maker" "$out"

# The start-up screen: its rows of settings are drawn by the engine at y 260, 290 and 320
# from x 50; a click right of x 480 below y 260 starts the show. The top-left corner stays
# light, since the version text is drawn there in black.
convert -size 640x400 gradient:'#0b1020-#27345c' \
    -fill '#c8d0e0' -draw "rectangle 0,0 200,15" \
    -fill '#00000080' -draw "roundrectangle 36,250 372,350 8,8" \
    -fill '#ffcc00' -draw "roundrectangle 492,268 624,352 12,12" \
    -font "$bold" -pointsize 26 -fill '#1a1a1a' -annotate +514+320 'START' \
    -font "$bold" -pointsize 72 -fill white -annotate +110+150 'ORVANTA' \
    -font "$font" -pointsize 16 -fill '#a8b8d8' \
    -annotate +112+185 'w / r / a or click to change, Return to start' \
    -quality 92 "$out/splash.jpg"

convert -size 320x120 gradient:'#1c2440-#0b1020' \
    -font "$bold" -pointsize 30 -fill white -gravity center -annotate +0+0 'Loading' \
    -quality 92 "$out/loading.jpg"

# The logo, on a transparent background, for the fade, zoom and glow scenes.
convert -size 512x128 xc:none \
    -font "$bold" -pointsize 92 -fill '#00000090' -annotate +28+106 'ORVANTA' \
    -fill white -annotate +22+100 'ORVANTA' \
    "PNG32:$out/logo.png"

# Four frames of a spinner: a ring with a bright dot a quarter turn further each frame.
for i in 0 1 2 3; do
    read -r x y < <(awk -v i="$i" 'BEGIN { a = i * 3.14159265 / 2; printf "%d %d\n", 128 + 88 * cos(a), 128 + 88 * sin(a) }')
    convert -size 256x256 xc:none \
        -fill none -stroke '#4060c0' -strokewidth 18 -draw "circle 128,128 128,40" \
        -fill '#ffd040' -stroke none -draw "circle $x,$y $((x + 24)),$y" \
        "PNG32:$out/spinner$((i + 1)).png"
done

# A soft disc for the blend-mode showcase: bright in the middle, fading out at the edge.
convert -size 192x192 radial-gradient:'#ffffffff-#ff800000' "PNG32:$out/disc.png"

# The floor's tiles for the 3D scene: a two-by-two checker with light joints, repeated.
convert -size 256x256 xc:'#2c3454' \
    -fill '#4a5482' -draw "rectangle 0,0 127,127" -draw "rectangle 128,128 255,255" \
    -fill none -stroke '#b8c4e8' -strokewidth 4 \
    -draw "rectangle 2,2 253,253" -draw "line 128,0 128,255" -draw "line 0,128 255,128" \
    "PNG24:$out/tiles.png"
