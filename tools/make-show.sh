#!/usr/bin/env bash
# Builds the bundled show's data folder from the project's own material: the script and the
# shaders from show/, pictures drawn with ImageMagick, music synthesized by orv-make-music, 3D
# models written by orv-make-models, vector pictures written by orv-make-vectors.
#
#   make-show.sh <source dir> <output data dir> <orv-make-music> <orv-make-models> <orv-make-vectors>
set -euo pipefail
src=$1
out=$2
music_maker=$3
model_maker=$4
vector_maker=$5
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
mkdir -p "$out"

cp "$src/show/script.txt" "$src"/show/*.shader "$out/"
# 64 bars at 128 bpm: the script's "@64 end".
"$music_maker" "$out/music.ogg" 128 64
"$model_maker" "$out"
"$vector_maker" "$out"

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

# The title, its letters spaced wide over a warm glow, and the credits, one line a picture (the
# outro shows them as a sequence). Transparent around, so they can be zoomed and turned.
convert -size 720x160 xc:none -font "$bold" -pointsize 104 -kerning 14 -gravity center \
    \( -clone 0 -fill '#ff9a30' -annotate +0+4 'ORVANTA' -blur 0x10 \) \
    \( -clone 0 -fill white -annotate +0+4 'ORVANTA' \) -delete 0 -compose over -composite \
    "PNG32:$out/title.png"
i=1
for line in "an Orvanta production" "music  synthesized by orv-make-music" \
    "models, vectors and pictures  made at build time" "thanks for watching"; do
    convert -size 760x70 xc:none -font "$font" -pointsize 30 -gravity center \
        \( -clone 0 -fill '#60c0ff' -annotate +0+0 "$line" -blur 0x6 \) \
        \( -clone 0 -fill '#f0f4ff' -annotate +0+0 "$line" \) -delete 0 -compose over -composite \
        "PNG32:$out/credits$i.png"
    i=$((i + 1))
done

# Particles: a soft spark (also the snow) and a petal.
convert -size 64x64 radial-gradient:'#ffffffff-#ffffff00' -channel A -fx 'a*a' "PNG32:$out/spark.png"
convert -size 64x64 xc:none -fill '#ffd0e8' -draw "ellipse 32,32 14,28 0,360" -blur 0x3 \
    "PNG32:$out/petal.png"

# Eight pictures of a sunburst whose sixteen rays flicker: each ray's width and brightness
# follow a wave of its own, a full period over the eight pictures, so the sequence loops.
for f in 0 1 2 3 4 5 6 7; do
    rays=$(awk -v f="$f" 'BEGIN {
        for (i = 0; i < 16; i++) {
            w = 0.12 + 0.07 * sin(i * 2.7 + f * 0.785398)
            a = i * 0.392699
            b = a + w
            g = int(140 + 90 * sin(i * 1.9 + f * 1.570796))
            printf "fill rgb(255,%d,%d) ", g, 180 + g / 4
            printf "polygon 200,150 %d,%d %d,%d\n", 200 + 500 * cos(a), 150 + 500 * sin(a),
                200 + 500 * cos(b), 150 + 500 * sin(b)
        } }')
    convert -size 400x300 xc:black -draw "$rays" -blur 0x5 \
        \( -size 400x300 radial-gradient:'#ffffff-#1a0c2a' \) -compose multiply -composite \
        \( -size 400x300 radial-gradient:'#5a2a80-#0c0618' \) -compose screen -composite \
        "PNG24:$out/rays$((f + 1)).png"
done

# The grid's lines on the ground of the 3D scenes: light blue, opaque in the middle of a line
# and fading out to its sides (grid.3ds lays the picture's width across each line).
convert -size 32x4 xc:'#8cd0ff' \( -size 32x4 xc: -fx 'exp(-pow((i/w-0.5)*4.5,2))' \) \
    -alpha off -compose copy_opacity -composite "PNG32:$out/neon.png"
