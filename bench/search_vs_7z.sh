#!/bin/sh
# The whole conversion of a large compiled help file, search data included, side by side with 7z
# merely unpacking it, then the harvest alone (pages per second, peak memory). Prints figures only.
#
#   bench/search_vs_7z.sh [FILE.chm] [ROUNDS]
#
# WORK selects the folder the runs write to. Without FILE.chm it takes Debian's lcl.chm from bench/data/, fetching it there first:
#   apt-get download lazarus-doc-2.2 && dpkg-deb -x lazarus-doc-2.2_*.deb x
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=${BUILD:-$HERE/../build}
CHM=${1:-}
ROUNDS=${2:-3}
if [ -z "$CHM" ]; then
    CHM=$(find "$HERE/data" -name lcl.chm 2>/dev/null | head -n 1)
    if [ -z "$CHM" ]; then
        mkdir -p "$HERE/data"
        (cd "$HERE/data" && apt-get download lazarus-doc-2.2 >/dev/null && dpkg-deb -x lazarus-doc-2.2_*.deb x)
        CHM=$(find "$HERE/data" -name lcl.chm | head -n 1)
    fi
fi
[ -f "$CHM" ] || { echo "no compiled help file: $CHM" >&2; exit 2; }
# On a tmpfs when there is one (or in WORK): on a disk the kernel's inode bookkeeping after many
# deletions swamps both programs.
if [ -n "${WORK:-}" ]; then
    mkdir -p "$WORK"
    OUT=$(mktemp -d "$WORK/search_vs_7z.XXXXXX")
elif [ -d /dev/shm ] && [ -w /dev/shm ]; then
    OUT=$(mktemp -d /dev/shm/search_vs_7z.XXXXXX)
else
    OUT=$(mktemp -d)
fi
trap 'rm -rf "$OUT"' EXIT
echo "file: $CHM ($(du -h "$CHM" | cut -f1)), $(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"
i=1
while [ "$i" -le "$ROUNDS" ]; do
    rm -rf "$OUT/7z" "$OUT/site"
    /usr/bin/time -f "round $i  7z x:            %e s wall  %U s user  %S s sys  %M KB peak" \
        7z x -y -o"$OUT/7z" "$CHM" >/dev/null
    /usr/bin/time -f "round $i  webhelp convert: %e s wall  %U s user  %S s sys  %M KB peak" \
        "$BUILD/webhelp" convert "$CHM" -q -o "$OUT/site"
    i=$((i + 1))
done
echo "searchdata.js: $(wc -c <"$OUT/site/whfiles/searchdata.js") bytes"
"$BUILD/search_bench" "$CHM" 34 "$OUT/searchdata.js"
