#!/usr/bin/env bash
# Runs a command inside the clean root (make-clean-root.sh), in a mount namespace of its own,
# so whatever it mounts goes away with it: the root's /proc and /dev, and the unpacked show
# read-only at /show. The command starts with an empty environment but for HOME, PATH and the
# NAME=VALUE words in front of it (as env takes them), so nothing of the caller's, such as a
# library path, reaches the show.
#
#   bash tests/pack/in-clean-root.sh ROOT SHOW [NAME=VALUE...] COMMAND [ARGUMENT...]
set -euo pipefail
root=$1
show=$2
shift 2
exec unshare --mount --propagation private -- bash -c '
    set -e
    root=$1
    show=$2
    shift 2
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount --bind "$show" "$root/show"
    mount -o remount,bind,ro "$root/show"
    exec chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/bin:/bin "$@"
' in-clean-root "$root" "$show" "$@"
