#!/bin/sh
# Times `webhelp convert` on Debian's lcl.chm (lazarus-doc-2.2, about 20,000 topics) against
# `7z x` on the same file, and checks that every user file webhelp unpacks is byte-identical to
# what 7z unpacks. Not a test: it prints figures.
#
#   bench/unpack_vs_7z.sh [path/to/file.chm] [ROUNDS]
#
# BUILD selects the build folder (default: build). WORK selects the folder the runs write to
# (default: a fresh folder on /dev/shm when there is one, else in $TMPDIR): on a disk the kernel's
# inode bookkeeping after many deletions swamps both programs. The two programs alternate for
# ROUNDS rounds (default 3) and the best time of each is compared. The package is fetched once
# into bench/data/.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
root=$(cd "$here/.." && pwd)
build=${BUILD:-$root/build}
data=$here/data
webhelp=$build/webhelp
rounds=${2:-3}

if [ ! -x "$webhelp" ]; then
    echo "no $webhelp: build first (cmake -S . -B build -G Ninja && ninja -C build)" >&2
    exit 2
fi
command -v 7z >/dev/null || { echo "7z is missing (apt-get install p7zip-full)" >&2; exit 2; }

if [ -n "${1:-}" ]; then
    chm=$1
else
    chm=$(bench_large_chm "$data")
fi
chm=$(cd "$(dirname "$chm")" && pwd)/$(basename "$chm")

work=$(bench_work_dir unpack_vs_7z)
trap 'rm -rf "$work"' EXIT
fs=$(df -PT "$work" 2>/dev/null | awk 'NR == 2 { print $2 }')

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

# Warm the page cache so no run pays for the first read of the file.
cat "$chm" >/dev/null

echo "file: $(basename "$chm") ($(du -h "$chm" | cut -f1)), work folder on ${fs:-?} ($work)," \
    "$(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
best_w=
best_s=
i=1
while [ "$i" -le "$rounds" ]; do
    rm -rf "$work/site" "$work/7z"
    t0=$(now)
    "$webhelp" convert "$chm" -o "$work/site" -q
    t1=$(now)
    7z x -y -o"$work/7z" "$chm" >/dev/null
    t2=$(now)
    w=$(elapsed "$t0" "$t1")
    s=$(elapsed "$t1" "$t2")
    echo "round $i: webhelp convert $w s, 7z x $s s"
    best_w=$(best "$best_w" "$w")
    best_s=$(best "$best_s" "$s")
    i=$((i + 1))
done

# 7z also unpacks the compiler's own entries (/#…, /$…); the site holds the user files only.
rm -rf "$work/7z"/'#'* "$work/7z"/'$'*
webhelp_files=$(find "$work/site/source" -type f | wc -l)
sevenzip_files=$(find "$work/7z" -type f | wc -l)
if diff -r "$work/site/source" "$work/7z" >"$work/diff.txt" 2>&1; then
    identical=yes
else
    identical=no
fi

awk -v w="$best_w" -v s="$best_s" -v nw="$webhelp_files" -v n7="$sevenzip_files" -v same="$identical" \
    -v r="$rounds" 'BEGIN {
    printf "best of %d:\n", r;
    printf "  webhelp convert: %.2f s (%d topic files)\n", w, nw;
    printf "  7z x:            %.2f s (%d user files)\n", s, n7;
    printf "  ratio 7z/webhelp: %.2f\n", (w > 0 ? s / w : 0);
    printf "  ratio webhelp/7z: %.2f (the goal: at most 1.00)\n", (s > 0 ? w / s : 0);
    printf "  byte-identical:  %s\n", same;
}'

# One more conversion with its progress texts, each stamped when it completes: a line ends when
# its step is done, so the gap to the line before is that step's time. Two steps run beside
# others from the start, so their lines show only what is left of them when they are waited for:
# the topic files are unpacked on a second thread, beside the sitemaps, and each is handed to the
# search data, gathered on a third (the unpacking reads pages for it too while it lags).
echo "webhelp convert, step by step (lines of steps that ran beside others show the wait for them):"
rm -rf "$work/site"
start=$(now)
prev=$start
"$webhelp" convert "$chm" -o "$work/site" | while IFS= read -r line; do
    t=$(now)
    [ -n "$line" ] && printf '  %7s s  %s\n' "$(elapsed "$prev" "$t")" "$line"
    prev=$t
done
echo "  $(elapsed "$start" "$(now)") s in all"

# Peak resident memory of one more conversion (GNU time's maximum resident set size).
if [ -x /usr/bin/time ]; then
    rm -rf "$work/site"
    kb=$(/usr/bin/time -f %M "$webhelp" convert "$chm" -o "$work/site" -q 2>&1 >/dev/null | tail -n 1)
    echo "peak resident memory of webhelp convert: $((kb / 1024)) MiB"
fi

# The reader alone, step by step (built with the project as build/reader_bench).
if [ -x "$build/reader_bench" ]; then
    echo "reader alone:"
    "$build/reader_bench" "$chm" "$work/reader" | sed 's/^/  /'
fi
if [ "$identical" = no ]; then
    head -n 20 "$work/diff.txt"
    exit 1
fi
