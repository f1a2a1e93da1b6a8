#!/usr/bin/env bash
# Makes the machine a packed show must play on, as a folder: a minimal Debian 12 root made by
# mmdebstrap from Debian's own packages. It has the base system, Mesa's OpenGL driver (GLX and
# EGL), Xvfb, the X, Wayland, keyboard-map, ALSA and PulseAudio client libraries, as a desktop
# has them; none of the libraries the engine needs beyond those, no fonts and no -dev package. Like a fresh Ubuntu 22.04 it has libGL but not
# libOpenGL (libopengl0). PulseAudio's client brings libsndfile and its codecs along: they are
# taken out again, so the show must read its music with the libraries it carries (Xvfb's own
# libpng and FreeType stay; the tests check the show does not take them). ALSA's default
# device is the null device, which takes sound as a sound card would: with no sound server, the
# show's sound goes through ALSA there. /show is where the tests mount the unpacked archive.
#
#   bash tests/pack/make-clean-root.sh ROOT
#
# ROOT is made anew (whatever was there is removed). When mmdebstrap cannot reach Debian's
# packages, ROOT holds only the file UNREACHABLE saying so, and the script ends with 0: the
# tests that need the root skip with that message. Any other failure ends with 1.
set -euo pipefail
root=$1
rm -rf --one-file-system "$root"
mkdir -p "$root"
log=$(mktemp)
trap 'rm -f "$log"' EXIT

codecs=(libsndfile1 libflac12 libvorbisenc2 libvorbis0a libogg0 libopus0 libmpg123-0 libmp3lame0)
status=0
mmdebstrap --variant=minbase --mode=root \
    --include=libgl1,libglx-mesa0,libgl1-mesa-dri,libegl1,libegl-mesa0,xvfb,libx11-6,libxext6 \
    --include=libxcursor1,libxi6,libxfixes3,libxrandr2,libxrender1,libwayland-client0 \
    --include=libwayland-cursor0,libwayland-egl1,libxkbcommon0,libasound2,libpulse0 \
    --dpkgopt='path-exclude=/usr/share/man/*' --dpkgopt='path-exclude=/usr/share/doc/*' \
    --dpkgopt='path-exclude=/usr/share/locale/*' --dpkgopt=force-unsafe-io \
    --aptopt='Acquire::Languages "none"' \
    --customize-hook="chroot \"\$1\" dpkg --purge --force-depends ${codecs[*]}" \
    --customize-hook='printf "pcm.!default {\n    type null\n}\n" > "$1/etc/asound.conf"' \
    --customize-hook='mkdir "$1/show"' \
    bookworm "$root" > "$log" 2>&1 || status=$?
# What apt says when it cannot reach the mirror (no network, no name service, a dead proxy).
unreachable="Failed to fetch|Temporary failure resolving|Could not resolve|Could not connect"
unreachable+="|Unable to connect|Network is unreachable|Connection timed out"
if [ "$status" -ne 0 ]; then
    if grep -q -E "$unreachable" "$log"; then
        rm -rf --one-file-system "$root"
        mkdir -p "$root"
        reason=$(grep -m 1 -E "$unreachable" "$log" | sed 's/^[[:space:]]*//')
        echo "mmdebstrap cannot reach Debian's packages: $reason" > "$root/UNREACHABLE"
        cat "$root/UNREACHABLE"
        exit 0
    fi
    cat "$log" >&2
    echo "make-clean-root.sh: mmdebstrap failed (above)" >&2
    exit 1
fi

# The root is what the show must do without: none of these may be there.
absent='^(libsdl|libepoxy|lib3ds|libsndfile|libsamplerate|libglu|libopengl|libdecor|fonts-)|-dev$'
present=$(chroot "$root" dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' 2> /dev/null |
    awk '$1 ~ /^.i/ { print $2 }' | grep -E "$absent" || true)
if [ -n "$present" ]; then
    echo "make-clean-root.sh: the root has packages the show must not find there:" $present >&2
    exit 1
fi
echo "make-clean-root.sh: made $root ($(du -sh "$root" | cut -f1))"
