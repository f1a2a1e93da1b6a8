#!/usr/bin/env bash
# What splitting a capture into parts costs and gains on this machine, in one run:
#   bench-capture-parts.sh [SHOW_FOLDER] [PARTS] [WxH] [SECONDS] [FPS] [4K_FRAMES]
# (defaults: build/show, 4 parts, 480x270, 20 s from the start, 30 fps, and at 4K one frame
# every 8 s of the whole show: 4K_FRAMES 0 leaves that out, any other value keeps it).
# Prints, side by side: the whole capture; each part alone (as on a machine of its own), its
# load time (a capture of one frame) and its frames' time; the last part against the same
# frames captured with --from (what simulating the frames before it costs); all parts run
# two at a time here; the join. Then the frame time at 3840x2160 for the on-paper estimate
# of a cluster. Needs no display; writes into a temporary folder it removes.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
show=$(cd "${1:-$here/build/show}" && pwd)
parts=${2:-4}
size=${3:-480x270}
seconds=${4:-20}
fps=${5:-30}
uhd=${6:-1}
capture=$show/Capture
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY

now() { date +%s.%N; }
# Runs Capture with these options; prints "wall render" in seconds.
timed() {
    local start end line
    start=$(now)
    line=$("$capture" "$@" 2> "$work/errors") || {
        cat "$work/errors" >&2
        exit 1
    }
    end=$(now)
    # "Captured N frames in S s (...)" or "Joined ..."
    local render
    render=$(sed -n 's/.* in \([0-9.]*\) s .*/\1/p' <<< "$line")
    echo "$(echo "$end - $start" | bc -l) ${render:-0}"
}

range=(--size "$size" --fps "$fps" --to "$seconds")
frames=$(( (seconds * fps) ))
printf 'Capture of %s, %s s at %s fps (%s frames), %s parts, on %s cores\n\n' "$show" "$seconds" \
    "$fps" "$frames" "$parts" "$(nproc)"

read -r whole_wall whole_render < <(timed "${range[@]}" --out "$work/whole")
read -r load_wall _ < <(timed --size "$size" --fps "$fps" --to 0.001 --out "$work/one")
printf '%-34s %8s %8s %8s\n' "" "wall s" "frames s" "other s"
printf '%-34s %8.2f %8.2f %8.2f\n' "whole capture" "$whole_wall" "$whole_render" \
    "$(echo "$whole_wall - $whole_render" | bc -l)"
printf '%-34s %8.2f\n' "load alone (a capture of 1 frame)" "$load_wall"

longest=0
sum=0
for ((k = 1; k <= parts; k++)); do
    read -r wall render < <(timed "${range[@]}" --part "$k/$parts" --out "$work/part-$k")
    printf '%-34s %8.2f %8.2f %8.2f\n' "part $k/$parts alone" "$wall" "$render" \
        "$(echo "$wall - $render" | bc -l)"
    sum=$(echo "$sum + $wall" | bc -l)
    longest=$(echo "if ($wall > $longest) $wall else $longest" | bc -l)
done
first=$(sed -n 's/^frames \([0-9]*\) .*/\1/p' "$work/part-$parts/part.txt")
from=$(echo "scale=3; $first / $fps" | bc -l)
read -r late_wall late_render < <(timed --size "$size" --fps "$fps" --from "$from" \
    --to "$seconds" --out "$work/late")
printf '%-34s %8.2f %8.2f %8.2f\n' "its frames with --from $from" "$late_wall" "$late_render" \
    "$(echo "$late_wall - $late_render" | bc -l)"

start=$(now)
seq 1 "$parts" | xargs -P 2 -I K "$capture" "${range[@]}" --part "K/$parts" \
    --out "$work/pair-K" > /dev/null 2>&1
pair_wall=$(echo "$(now) - $start" | bc -l)
printf '%-34s %8.2f\n' "all parts, two at a time here" "$pair_wall"

folders=()
for ((k = 1; k <= parts; k++)); do folders+=("$work/part-$k"); done
read -r join_wall _ < <(timed --join "${folders[@]}" --video "$work/joined.mp4")
read -r video_wall _ < <(timed "${range[@]}" --video "$work/whole.mp4")
printf '%-34s %8.2f\n' "join into a video" "$join_wall"
printf '%-34s %8.2f\n' "whole capture into a video" "$video_wall"
for ((k = 1; k <= parts; k++)); do
    for f in "$work/part-$k"/frame-*.png; do
        cmp -s "$f" "$work/whole/$(basename "$f")" || {
            echo "MISMATCH: $f" >&2
            exit 1
        }
    done
done
echo
printf 'ratios: parts one after another / whole %.2f; longest part / whole %.2f;\n' \
    "$(echo "$sum / $whole_wall" | bc -l)" "$(echo "$longest / $whole_wall" | bc -l)"
printf '        two at a time / whole %.2f; join / whole video %.2f\n' \
    "$(echo "$pair_wall / $whole_wall" | bc -l)" "$(echo "$join_wall / $video_wall" | bc -l)"
printf '        simulating the %s frames before the last part: %.2f s (%.2f ms a frame)\n' \
    "$first" "$(echo "$wall - $late_wall" | bc -l)" \
    "$(echo "($wall - $late_wall) * 1000 / $first" | bc -l)"

if [ "$uhd" != 0 ]; then
    # Frames spread over the whole show, the busy scenes and the quiet ones alike.
    read -r uhd_wall uhd_render < <(timed --size 3840x2160 --fps 1/8 --out "$work/uhd")
    uhd_frames=$(ls "$work/uhd" | grep -c '^frame-')
    printf '\n3840x2160: %s frames, one every 8 s of the show, in %.2f s: %.2f s a frame' \
        "$uhd_frames" "$uhd_render" "$(echo "$uhd_render / $uhd_frames" | bc -l)"
    printf ' (PNG files written); %.2f s load\n' "$(echo "$uhd_wall - $uhd_render" | bc -l)"
fi
