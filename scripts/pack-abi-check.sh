#!/usr/bin/env bash
# Checks that programs and libraries load on Ubuntu 22.04 (and Linux Mint 21, which parties run
# Linux entries on) and anything newer: none may need a symbol version newer than that system's
# own libraries define. scripts/pack.sh runs it on every program and library of a packed show.
#
#   bash scripts/pack-abi-check.sh FILE...
#
# Checked are the versions of the libraries a packed show leaves to the system that matter for
# it: the C library (glibc 2.35 there), the C++ runtime (GCC 12's libstdc++ and libgcc_s),
# zlib (1.2.11) and liblzma (xz 5.2). glibc's own internal versions (GLIBC_PRIVATE,
# GLIBC_ABI_DT_RELR, which needs glibc 2.36) never fit. Prints one line per version too new,
# "FILE: needs GLIBC_2.36 from libc.so.6, Ubuntu 22.04 has up to GLIBC_2.35", and ends with 1;
# ends with 0 when everything fits, with 2 when a file is no program or library.
set -euo pipefail

if [ "$#" -eq 0 ]; then
    echo "usage: bash scripts/pack-abi-check.sh FILE..." >&2
    exit 2
fi

status=0
for file in "$@"; do
    if ! dump=$(LC_ALL=C objdump -p "$file" 2>/dev/null); then
        echo "$file: not a program or library" >&2
        status=2
        continue
    fi
    # "Version References:" lists, per library, the versions the file needs from it:
    #   required from libc.so.6:
    #     0x069691b4 0x00 17 GLIBC_2.34
    too_new=$(awk -v file="$file" '
        # -1, 0 or 1 as dotted number a is below, equal to or above b.
        function compare(a, b,    x, y, n, i, left, right) {
            n = split(a, x, ".")
            if (split(b, y, ".") > n)
                n = length(y)
            for (i = 1; i <= n; i++) {
                left = (i in x) ? x[i] + 0 : 0
                right = (i in y) ? y[i] + 0 : 0
                if (left != right)
                    return left < right ? -1 : 1
            }
            return 0
        }
        BEGIN {
            limit["GLIBC"] = "2.35"
            limit["GLIBCXX"] = "3.4.30"
            limit["CXXABI"] = "1.3.13"
            limit["GCC"] = "12.0.0"
            limit["ZLIB"] = "1.2.11"
            limit["XZ"] = "5.2"
            # Named versions that GCC 12'\''s libstdc++ defines too.
            named["CXXABI_TM_1"] = 1
            named["CXXABI_FLOAT128"] = 1
        }
        /^Version References:/ { inside = 1; next }
        inside && /^[^ \t]/ { inside = 0 }
        inside && /required from/ { from = $3; sub(/:$/, "", from); next }
        inside && $1 ~ /^0x/ {
            version = $NF
            underscore = index(version, "_")
            if (underscore == 0)
                next
            prefix = substr(version, 1, underscore - 1)
            number = substr(version, underscore + 1)
            if (!(prefix in limit) || (version in named))
                next
            if (number !~ /^[0-9]+(\.[0-9]+)*$/ || compare(number, limit[prefix]) > 0)
                printf "%s: needs %s from %s, Ubuntu 22.04 has up to %s_%s\n", file, version,
                       from, prefix, limit[prefix]
        }' <<<"$dump")
    if [ -n "$too_new" ]; then
        echo "$too_new"
        [ "$status" -ne 0 ] || status=1
    fi
done
exit "$status"
