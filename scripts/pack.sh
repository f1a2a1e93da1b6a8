#!/usr/bin/env bash
# Packs a show into one zip archive that plays on another Linux machine as it is: a party's
# machine with none of Orvanta's libraries (Ubuntu 22.04, Linux Mint 21 or newer).
#
#   bash scripts/pack.sh [--show DIR] [--video] OUT.zip
#
# Without --show it installs what is needed and builds the bundled show, as play.sh does, then
# packs build/show. --show DIR packs a ready show folder instead: DIR/Run, DIR/bin/libOrvEngine.so
# with the font DIR/bin/DejaVuSans.ttf, DIR/data/ and, when it is there, DIR/Capture (copy
# build/show and put your own data/ in it).
#
# The archive holds one folder named like the archive: Run, Capture, data/ as the show has it,
# bin/ with the engine (debug information stripped), its font, and every library the programs
# need that scripts/pack-system-libraries.txt does not leave to the system, each found through
# the run path $ORIGIN; licenses/ with the copyright files of what bin/ carries; README.txt for
# the organisers. Before the archive is written the pack checks the show's script (Run --check),
# that every program and library loads from the folder with nothing else but the system's
# libraries of that list, and that none needs a symbol version newer than Ubuntu 22.04 has
# (scripts/pack-abi-check.sh). The archive's size and its split are printed at the end.
#
# --video also renders the show into OUT.mp4 beside the archive, with the packed Capture:
# 1920 x 1080 at 60 frames a second, H.264 at a constant 12 Mbit/s, AAC at 192 kbit/s, as long
# as the show. It needs ffmpeg. Run --check and the video need no display.
set -euo pipefail

usage="usage: bash scripts/pack.sh [--show DIR] [--video] OUT.zip"
fail() {
    echo "pack.sh: $*" >&2
    exit 1
}

show=""
video=0
out=""
while [ "$#" -gt 0 ]; do
    case "$1" in
    --show)
        [ "$#" -ge 2 ] || fail "--show needs a folder; $usage"
        show=$(realpath -m -- "$2")
        shift 2
        ;;
    --video)
        video=1
        shift
        ;;
    -h | --help)
        echo "$usage"
        exit 0
        ;;
    -*) fail "unknown option $1; $usage" ;;
    *)
        [ -z "$out" ] || fail "one archive at a time; $usage"
        out=$(realpath -m -- "$1")
        shift
        ;;
    esac
done
[ -n "$out" ] || fail "$usage"
case "$out" in
*.zip) ;;
*) fail "the archive's name must end in .zip: $out" ;;
esac
[ -d "$(dirname "$out")" ] || fail "no folder $(dirname "$out") for the archive"
name=$(basename "$out" .zip)
[ -n "$name" ] || fail "the archive needs a name before .zip"

cd "$(dirname "$0")/.."
scripts=$PWD/scripts
if [ -z "$show" ]; then
    bash scripts/install-deps.sh
    if [ ! -f build/CMakeCache.txt ]; then
        cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_BUILD_TESTS=OFF
    fi
    cmake --build build -j"$(nproc)" --target Run Capture show_data
    show=$PWD/build/show
fi

for tool in zip patchelf objdump strip ldd dpkg-query; do
    command -v "$tool" > /dev/null ||
        fail "needs $tool: run scripts/install-deps.sh (or apt-get install zip patchelf binutils)"
done
if [ "$video" = 1 ]; then
    command -v ffmpeg > /dev/null || fail "--video needs ffmpeg: apt-get install ffmpeg"
fi
for file in Run bin/libOrvEngine.so bin/DejaVuSans.ttf data/script.txt; do
    [ -f "$show/$file" ] || fail "$show is no show folder: it has no $file"
done
if [ "$video" = 1 ] && [ ! -f "$show/Capture" ]; then
    fail "--video needs Capture in the show folder: $show has none"
fi

# The libraries left to the system: the name patterns of pack-system-libraries.txt.
system_patterns=()
while read -r line; do
    line=${line%%#*}
    line=${line//[[:space:]]/}
    [ -z "$line" ] || system_patterns+=("$line")
done < "$scripts/pack-system-libraries.txt"
left_to_system() {
    local pattern
    for pattern in "${system_patterns[@]}"; do
        # shellcheck disable=SC2053 # the pattern is a wildcard on purpose
        [[ $1 == $pattern ]] && return 0
    done
    return 1
}

# "name path" for every library the files need, as the dynamic loader finds them; the
# loader's own line and the kernel's vdso have no "=>".
needed_libraries() {
    env -u LD_LIBRARY_PATH -u LD_PRELOAD ldd "$@" |
        awk '$2 == "=>" {
            path = $3
            gsub(/\/\.\//, "/", path)
            print $1, (path == "not" ? "-" : path)
        }' | sort -u
}

# The seconds from one `date +%s.%N` to another, to a tenth.
seconds() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'
}

started=$(date +%s.%N)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/$name
mkdir -p "$stage/bin" "$stage/licenses"

# The show: its programs without their debug information (the engine shrinks from about 13 MB
# to under 1 MB; a crash still shows function names, which the symbol table keeps), its font,
# its data as it is.
programs=(Run bin/libOrvEngine.so)
[ -f "$show/Capture" ] && programs+=(Capture)
for file in "${programs[@]}"; do
    strip --strip-debug -o "$stage/$file" "$show/$file"
done
cp "$show/bin/DejaVuSans.ttf" "$stage/bin/"
cp -R "$show/data" "$stage/data"

# Every library the programs need, found on this machine, goes into bin/ under the name the
# loader asks for, with the run path $ORIGIN: its own needs are found beside it.
# libOpenGL.so.0 is neither carried nor left: a fresh Ubuntu 22.04 lacks it (libopengl0), and a
# copy in bin/ would have to match the system's OpenGL dispatch. Debian 12's GLU asks for it for
# plain OpenGL 1 functions, which libGL.so.1 offers as well, so the copies in bin/ ask for that.
carried=()
while read -r library path; do
    # The engine itself (Capture's) is there already; the system's own stay out.
    if [[ $path == "$stage/"* ]] || [ "$library" = libOpenGL.so.0 ] ||
        left_to_system "$library"; then
        continue
    fi
    [ "$path" != - ] || fail "$library, which the show needs, is not installed here"
    case "$library" in
    libasan.so.* | libubsan.so.*) fail "$show is a sanitized build (ORV_SANITIZE), no release" ;;
    esac
    install -m 0644 "$(readlink -f "$path")" "$stage/bin/$library"
    patchelf --set-rpath '$ORIGIN' "$stage/bin/$library"
    if patchelf --print-needed "$stage/bin/$library" | grep -q -x libOpenGL.so.0; then
        patchelf --replace-needed libOpenGL.so.0 libGL.so.1 "$stage/bin/$library"
    fi
    carried+=("$library")
    echo "$library $path" >> "$work/carried.txt"
done < <(cd "$stage" && needed_libraries "${programs[@]/#/./}")

# From the folder, everything loads: each library from bin/, or from the system's on the list.
# Run loads the engine, Capture links it: what they need is what a process of the show holds.
# (A library of bin/ looked at alone may seem to need the system's: PulseAudio's client asks
# for libsndfile, which the engine has loaded from bin/ before.)
(
    cd "$stage"
    needed_libraries "${programs[@]/#/./}"
) | while read -r library path; do
    case "$path" in
    "$stage/bin/"*) ;;
    -) fail "the packed show cannot find $library" ;;
    *) left_to_system "$library" || fail "the packed show takes $library from the system ($path)" ;;
    esac
done

(cd "$stage" && bash "$scripts/pack-abi-check.sh" "${programs[@]}" bin/lib*.so*) ||
    fail "a program or library needs more than Ubuntu 22.04 has (above)"

env -u DISPLAY -u WAYLAND_DISPLAY "$stage/Run" --check || fail "the show's script has errors (above)"

# The copyright files of the packages the libraries and the font come from, and which release.
# One look-up for all of them: Debian 12 records some libraries under /lib, most under /usr/lib.
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
sources=("$font")
while read -r library path; do
    real=$(readlink -f "$path")
    sources+=("$real" "${real#/usr}")
done < "$work/carried.txt"
owners=$(dpkg-query -S "${sources[@]}" 2> /dev/null || true)
# The package that owns the file; empty when none does.
package_of() {
    local real
    real=$(readlink -f "$1")
    awk -F': ' -v a="$real" -v b="${real#/usr}" '
        $2 == a || $2 == b { split($1, owner, /[,:]/); print owner[1]; exit }' <<< "$owners"
}
{
    echo "What bin/ carries, with the Debian 12 package each file comes from; the copyright"
    echo "and licence of each package is in the file of its name beside this one."
    echo
} > "$stage/licenses/packages.txt"
license() {
    local file=$1 package=$2
    echo "$file: $package $(dpkg-query -W -f='${Version}' "$package")" \
        >> "$stage/licenses/packages.txt"
    if [ -f "/usr/share/doc/$package/copyright" ]; then
        cp "/usr/share/doc/$package/copyright" "$stage/licenses/$package.txt"
    else
        echo "pack.sh: warning: $package has no /usr/share/doc/$package/copyright" >&2
    fi
}
while read -r library path; do
    package=$(package_of "$path")
    if [ -n "$package" ]; then
        license "bin/$library" "$package"
    else
        echo "pack.sh: warning: no Debian package owns $path; its licence is not in licenses/" >&2
        echo "bin/$library: $path, from no package" >> "$stage/licenses/packages.txt"
    fi
done < "$work/carried.txt"
font_package=$(package_of "$font")
[ -z "$font_package" ] || license bin/DejaVuSans.ttf "$font_package"

# The show's title from its script's header, for the organisers' text.
title=$(awk '/^[ \t]*title:/ { sub(/^[ \t]*title:[ \t]*/, ""); gsub(/"/, ""); print; exit }' \
    "$stage/data/script.txt")
[ -n "$title" ] || title=$name
cat > "$stage/README.txt" << TEXT
$title
$(printf '%*s' "${#title}" '' | tr ' ' '=')

A real-time demo for Linux on x86-64, made with Orvanta.

Starting it
-----------
Unpack the archive anywhere and start ./Run in the folder $name (a terminal, a file manager
or a full path from elsewhere all do). A small window comes first: full screen or a window, the
resolution and the monitor's shape (keys w, r and a, or click the arrows). Return starts the
show; it ends by itself after its last scene and returns to the desktop. Escape, or closing the
window, ends it at once with exit status 0. The mouse cursor is hidden in full screen.

It runs from a read-only folder and writes nothing beside itself.

What it needs from the machine
------------------------------
- Linux on x86-64 with glibc 2.35 or newer, and GCC 12's C++ runtime (libstdc++6) or newer:
  Ubuntu 22.04, Linux Mint 21 and anything newer have both.
- OpenGL 2.0 through libGL.so.1 (package libgl1, with Mesa's or the vendor's driver), and
  an X11 display (Xorg, or Xwayland on a Wayland desktop); SDL_VIDEODRIVER=wayland ./Run
  plays it on Wayland itself. ./Capture needs no display at all (through EGL, libegl1).
- Sound through PulseAudio (also PipeWire's PulseAudio service, as on current desktops) or,
  without a sound server, ALSA: the client libraries libpulse0 and libasound2 must be there, as
  on every desktop install. It takes PulseAudio when a server answers, else ALSA's default
  device. To choose, start it as SDL_AUDIODRIVER=alsa ./Run or SDL_AUDIODRIVER=pulse ./Run;
  an ALSA device other than the default with AUDIODEV, for example AUDIODEV=hw:0,0.
Everything else it needs is in bin/: no packages to install. licenses/ says where each
library there comes from and under which licence.

The video
---------
./Capture --video show.mp4 renders the show offline into a video (it needs ffmpeg);
./Capture --help lists its options.
TEXT

# The archive: entries in a fixed order, no extra file attributes; written under another name
# first, so a failed pack leaves no half archive.
rm -f "$out.part"
(cd "$work" && find "$name" | LC_ALL=C sort | zip -q -X -@ "$out.part")
mv "$out.part" "$out"
packed=$(date +%s.%N)

# The size split, as stored in the archive (compressed).
unzip -v "$out" | awk -v top="$name/" '
    $8 ~ "^" top {
        path = substr($8, length(top) + 1)
        if (path ~ /^data\//) data += $3
        else if (path ~ /^bin\/lib/ && path != "bin/libOrvEngine.so") libraries += $3
        else if (path ~ /^(Run|Capture|bin\/libOrvEngine.so)$/) programs += $3
        else other += $3
    }
    END {
        printf "pack.sh: %.1f MB in the archive: the show'\''s data %.1f MB, ",
            (data + libraries + programs + other) / 1e6, data / 1e6
        printf "the libraries in bin/ %.1f MB, Run, Capture and the engine %.1f MB, ",
            libraries / 1e6, programs / 1e6
        printf "the font, licences and README %.1f MB\n", other / 1e6
    }'
echo "pack.sh: bin/ carries ${#carried[@]} libraries: ${carried[*]}"
echo "pack.sh: wrote $out in $(seconds "$started" "$packed") s"

if [ "$video" = 1 ]; then
    movie=${out%.zip}.mp4
    env -u DISPLAY -u WAYLAND_DISPLAY "$stage/Capture" --size 1920x1080 --fps 60 --bitrate 12 \
        --video "$movie" ||
        fail "the video could not be made (above)"
    finished=$(date +%s.%N)
    echo "pack.sh: wrote $movie in $(seconds "$packed" "$finished") s"
fi
