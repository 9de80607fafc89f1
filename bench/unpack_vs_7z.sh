#!/bin/sh
# Times `webhelp convert` on Debian's lcl.chm (lazarus-doc-2.2, about 20,000 topics) against
# `7z x` on the same file, and checks that every user file webhelp unpacks is byte-identical to
# what 7z unpacks. Not a test: it prints figures.
#
#   bench/unpack_vs_7z.sh [path/to/file.chm]
#
# BUILD selects the build folder (default: build). The package is fetched once into bench/data/.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${BUILD:-$root/build}
data=$here/data
webhelp=$build/webhelp

if [ ! -x "$webhelp" ]; then
    echo "no $webhelp: build first (cmake -S . -B build -G Ninja && ninja -C build)" >&2
    exit 2
fi
command -v 7z >/dev/null || { echo "7z is missing (apt-get install p7zip-full)" >&2; exit 2; }

if [ $# -ge 1 ]; then
    chm=$1
else
    chm=$data/lcl.chm
    if [ ! -f "$chm" ]; then
        mkdir -p "$data"
        (cd "$data" && apt-get download lazarus-doc-2.2)
        deb=$(ls "$data"/lazarus-doc-2.2_*.deb | head -n 1)
        rm -rf "$data/x"
        dpkg-deb -x "$deb" "$data/x"
        found=$(find "$data/x" -name lcl.chm | head -n 1)
        [ -n "$found" ] || { echo "lcl.chm not found in $deb" >&2; exit 2; }
        cp "$found" "$chm"
    fi
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }

# Warm the page cache so neither run pays for the first read of the file.
cat "$chm" >/dev/null

t0=$(now)
"$webhelp" convert "$chm" -o "$work/site" -q
t1=$(now)
7z x -y -o"$work/7z" "$chm" >/dev/null
t2=$(now)

# 7z also unpacks the compiler's own entries (/#…, /$…); the site holds the user files only.
rm -rf "$work/7z"/'#'* "$work/7z"/'$'*
webhelp_files=$(find "$work/site/source" -type f | wc -l)
sevenzip_files=$(find "$work/7z" -type f | wc -l)
if diff -r "$work/site/source" "$work/7z" >"$work/diff.txt" 2>&1; then
    identical=yes
else
    identical=no
fi

awk -v a="$t0" -v b="$t1" -v c="$t2" -v f="$(basename "$chm")" -v nw="$webhelp_files" -v n7="$sevenzip_files" \
    -v same="$identical" 'BEGIN {
    w = b - a; s = c - b;
    printf "file:            %s\n", f;
    printf "webhelp convert: %.2f s (%d topic files)\n", w, nw;
    printf "7z x:            %.2f s (%d user files)\n", s, n7;
    printf "ratio 7z/webhelp: %.2f\n", (w > 0 ? s / w : 0);
    printf "byte-identical:  %s\n", same;
}'
# The reader alone, step by step (built with the project as build/reader_bench).
if [ -x "$build/reader_bench" ]; then
    echo "reader alone:"
    "$build/reader_bench" "$chm" "$work/reader" | sed 's/^/  /'
fi
if [ "$identical" = no ]; then
    head -n 20 "$work/diff.txt"
    exit 1
fi
