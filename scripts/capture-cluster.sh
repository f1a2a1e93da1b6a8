#!/usr/bin/env bash
# Captures a show on a Slurm cluster: a job array of N tasks, each rendering one part of the
# capture (Capture --part K/N) with no display server into its own folder, and a join job
# that runs once every task has ended well (--dependency=afterok) and makes the video
# (Capture --join). The show folder and OUT's folder must be on a file system that every
# node sees; the parts go to OUT.parts/part-K, the tasks' logs beside them.
#
#   capture-cluster.sh [--parts N] [--partition P] [--only K] [--bitrate M] [--wait]
#                      SHOW_FOLDER OUT.mp4 [-- CAPTURE_OPTIONS...]
#
#   --parts N      tasks, default 8; every part of one capture must use the same N
#   --partition P  the Slurm partition, default the cluster's default
#   --only K       submits part K again alone (after its task failed), then the join
#   --bitrate M    the video at a constant M Mbit/s (Capture --bitrate)
#   --wait         returns when the join has ended, with its exit status (sbatch --wait)
#   CAPTURE_OPTIONS  --fps, --size, --from, --to, the same for every part
#
# Prints the job ids. Needs sbatch on the PATH; the Slurm configuration is the one sbatch
# finds (SLURM_CONF or the system's).
set -euo pipefail

usage() {
    sed -n '8,17p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

fail() {
    echo "capture-cluster.sh: $*" >&2
    exit 1
}

whole_number() {
    [[ "$1" =~ ^[1-9][0-9]{0,5}$ ]]
}

parts=8
partition=
only=
bitrate=
wait=
while [ $# -gt 0 ]; do
    case "$1" in
    --parts) [ $# -ge 2 ] || usage; parts=$2; shift 2 ;;
    --partition) [ $# -ge 2 ] || usage; partition=$2; shift 2 ;;
    --only) [ $# -ge 2 ] || usage; only=$2; shift 2 ;;
    --bitrate) [ $# -ge 2 ] || usage; bitrate=$2; shift 2 ;;
    --wait) wait=1; shift ;;
    --help | -h) usage ;;
    --) break ;;
    -*) fail "unknown option $1 (--help lists them)" ;;
    *) break ;;
    esac
done
[ $# -ge 2 ] || usage
show=$1
out=$2
shift 2
if [ $# -gt 0 ]; then
    [ "$1" = "--" ] || fail "unexpected $1: Capture's options come after --"
    shift
fi
capture_options=("$@")
for option in "${capture_options[@]}"; do
    case "$option" in
    --out* | --video* | --part* | --join* | --bitrate*)
        fail "$option is the script's to give: leave it out of the Capture options" ;;
    esac
done

whole_number "$parts" || fail "bad value \"$parts\" for --parts: expected 1 to 100000 tasks"
[ "$parts" -le 100000 ] || fail "bad value \"$parts\" for --parts: expected 1 to 100000 tasks"
if [ -n "$only" ]; then
    whole_number "$only" && [ "$only" -le "$parts" ] ||
        fail "bad value \"$only\" for --only: expected a part from 1 to $parts"
fi
command -v sbatch > /dev/null || fail "sbatch is not on the PATH: this needs a Slurm cluster"

show=$(cd "$show" 2> /dev/null && pwd) || fail "no show folder $show"
[ -x "$show/Capture" ] || fail "$show has no Capture program: give the built show's folder"
out_folder=$(cd "$(dirname "$out")" 2> /dev/null && pwd) ||
    fail "the folder of $out does not exist"
out=$out_folder/$(basename "$out")
part_root=$out.parts
mkdir -p "$part_root"
# A video under OUT's name is this submission's: the join writes it whole or not at all.
rm -f "$out"

common=(--parsable)
[ -n "$partition" ] && common+=(--partition "$partition")

# Each task renders its part with no display server (offscreen OpenGL through EGL).
q=
[ ${#capture_options[@]} -gt 0 ] && q=$(printf '%q ' "${capture_options[@]}")
task_script="#!/bin/bash
part=\$SLURM_ARRAY_TASK_ID
exec env -u DISPLAY -u WAYLAND_DISPLAY $(printf '%q' "$show/Capture") --part \"\$part/$parts\" \\
    --out $(printf '%q' "$part_root")/part-\"\$part\" $q
"
array=${only:-1-$parts}
array_job=$(sbatch "${common[@]}" --job-name orv-capture --array "$array" \
    --output "$part_root/part-%a.log" <<< "$task_script") ||
    fail "sbatch refused the capture tasks"
array_job=${array_job%%;*}

folders=()
for ((k = 1; k <= parts; k++)); do
    folders+=("$part_root/part-$k")
done
join_options=(--join "${folders[@]}" --video "$out")
[ -n "$bitrate" ] && join_options+=(--bitrate "$bitrate")
join_script="#!/bin/bash
exec $(printf '%q' "$show/Capture") $(printf '%q ' "${join_options[@]}")
"
echo "capture tasks: job $array_job (array $array), parts in $part_root"
join_flags=(--job-name orv-join --dependency "afterok:$array_job" --kill-on-invalid-dep=yes
    --output "$part_root/join.log")
if [ -n "$wait" ]; then
    echo "join: waiting for it (log $part_root/join.log)"
    status=0
    sbatch "${common[@]}" "${join_flags[@]}" --wait <<< "$join_script" > /dev/null || status=$?
    # A join cancelled because a task failed ends "well" for sbatch: the video tells.
    [ "$status" -eq 0 ] && [ -f "$out" ] ||
        fail "no video: the join failed (status $status) or was cancelled because a task" \
            "failed; see $part_root/*.log and resubmit a failed part with --only K"
    echo "written: $out"
else
    join_job=$(sbatch "${common[@]}" "${join_flags[@]}" <<< "$join_script") ||
        fail "sbatch refused the join"
    echo "join: job ${join_job%%;*}, writes $out once every task ended well"
fi
