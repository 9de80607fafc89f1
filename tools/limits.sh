#!/usr/bin/env bash
# tools/limits.sh [BUILD] [CASE...] : makes the hostile inputs of tools/gen_limits.py in a temp folder
# and converts each with BUILD/webhelp (default build), printing exit status, time and peak memory.
# The .htm cases go through `webhelp searchdata`. Needs about 2 GB of memory or disk.
set -uo pipefail
cd "$(dirname "$0")/.."
B=${1:-build}
shift || true
CASES=("$@")
[ ${#CASES[@]} -gt 0 ] || CASES=(huge-entry.chm huge-chunks.chm million-empty.chm page-500mb.chm
    open-tag-500mb.htm hhc-million.chm hhc-deep.chm)
# On tmpfs where there is one: the figures are the converter's, not the disk's.
tmp=$(mktemp -d -p "$([ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")")
trap 'rm -rf "$tmp"' EXIT
printf '%-20s %5s %8s %8s %8s  %s\n' case exit seconds "cpu s" "peak MB" "last line"
for c in "${CASES[@]}"; do
    python3 tools/gen_limits.py "$tmp/in" "$c"
    case "$c" in
    *.htm) cmd=("$B/webhelp" searchdata -o "$tmp/out.js" "$tmp/in/$c") ;;
    *) cmd=("$B/webhelp" convert "$tmp/in/$c" -o "$tmp/out" --quiet) ;;
    esac
    /usr/bin/time -v -o "$tmp/time" timeout 600 "${cmd[@]}" >"$tmp/log" 2>&1
    rc=$?
    secs=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$tmp/time" | awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }')
    cpu=$(sed -n 's/.*\(User\|System\) time (seconds): //p' "$tmp/time" | awk '{ s += $1 } END { print s }')
    kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$tmp/time")
    printf '%-20s %5s %8s %8s %8s  %s\n' "$c" "$rc" "$secs" "$cpu" "$((kb / 1024))" "$(tail -1 "$tmp/log" | cut -c1-100)"
    rm -rf "$tmp/in" "$tmp/out" "$tmp/out.js"
done
