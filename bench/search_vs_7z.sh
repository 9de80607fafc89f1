#!/bin/sh
# The whole conversion of a large compiled help file, search data included, side by side with 7z
# merely unpacking it, then the harvest alone (pages per second, peak memory). Prints figures only.
#
#   bench/search_vs_7z.sh [FILE.chm] [ROUNDS]
#
# WORK selects the folder the runs write to (default: on /dev/shm). Without FILE.chm it takes
# Debian's lcl.chm from bench/data/, fetching it there first.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/lib.sh"
BUILD=${BUILD:-$HERE/../build}
CHM=${1:-}
ROUNDS=${2:-3}
[ -n "$CHM" ] || CHM=$(bench_large_chm "$HERE/data")
[ -f "$CHM" ] || { echo "no compiled help file: $CHM" >&2; exit 2; }
OUT=$(bench_work_dir search_vs_7z)
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
