#!/usr/bin/env bash
# tools/fuzz.sh [SECONDS] : builds the libFuzzer programs (clang, in build-fuzz/) and runs each for
# SECONDS (default 60), seeded from the fixtures: the compiled help files of the build, the sitemaps
# and the pages. Prints per target the executions run and what was found; exits non-zero on a finding,
# whose input is kept in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
B=build-fuzz
TARGETS="reader sitemap harvest bomreader scriptliterals"

if [ ! -f $B/CMakeCache.txt ]; then
    launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    CC=clang CXX=clang++ cmake -S . -B $B -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWEBHELP_FUZZ=ON \
        -DWEBHELP_WIZARD=OFF "${launcher[@]}" >/dev/null
fi
cmake --build $B --target chm_fixtures $(for t in $TARGETS; do echo fuzz_$t; done)

# Seeds: the first byte of a sitemap, page or literal input picks the code page (and for a sitemap
# even: contents, odd: index), as the targets read it.
seed() { # DIR NAME PREFIX-BYTE FILE
    { printf "\\x$(printf %02x "$3")"; cat "$4"; } > "$1/$2"
}
rm -rf $B/seeds && mkdir -p $B/seeds $B/corpus $B/findings
for t in $TARGETS; do mkdir -p $B/seeds/$t $B/corpus/$t; done
n=0
while IFS= read -r f; do n=$((n + 1)); cp "$f" $B/seeds/reader/$n.chm; done < <(find $B/chm -name '*.chm' | sort)
while IFS= read -r f; do
    n=$((n + 1))
    case "$f" in *.hhk) kind=1 ;; *) kind=0 ;; esac
    seed $B/seeds/sitemap $n.utf8 $kind "$f"
    seed $B/seeds/sitemap $n.gbk $((kind + 4)) "$f"
done < <(find tests/fixtures guide -name '*.hhc' -o -name '*.hhk' | sort)
while IFS= read -r f; do
    n=$((n + 1))
    for row in 0 1 2 3; do
        seed $B/seeds/harvest $n.$row $row "$f"
        seed $B/seeds/bomreader $n.$row $row "$f"
    done
done < <(find tests/fixtures -name '*.htm' -o -name '*.html' | sort | head -200)
lit=0
for text in 'Getting Started|start.htm' 'a "quoted" \\ title|sub/a b.htm#x?y=1' '@@@see|@@@other' \
    $'line\r\nbreak|C:\\\\help\\\\a.htm' $'\xe4\xb8\xad\xe6\x96\x87|\xe4\xb8\xad.htm' $'\x81\\\\|\xc3\xa9%20.htm'; do
    title=${text%%|*}
    for row in 0 1 2 3; do
        lit=$((lit + 1))
        { printf "\\x$(printf %02x $row)\\x$(printf %02x ${#title})"; printf '%s' "$title" "${text#*|}"; } \
            > $B/seeds/scriptliterals/$lit
    done
done

# The targets' temp files (left behind when a finding aborts a run) stay inside the build folder.
export TMPDIR=$PWD/$B/tmp
rm -rf "$TMPDIR" && mkdir -p "$TMPDIR"
status=0
summary=()
for t in $TARGETS; do
    log=$B/findings/$t.log
    rc=0
    $B/fuzz_$t $B/corpus/$t $B/seeds/$t -max_total_time="$SECONDS_EACH" -timeout=20 -rss_limit_mb=2560 \
        -max_len=262144 -print_final_stats=1 -artifact_prefix=$B/findings/$t- >"$log" 2>&1 || rc=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    found=$(ls $B/findings/ | grep -E "^$t-(crash|leak|timeout|oom|slow-unit)-" || true)
    if [ $rc -ne 0 ] || [ -n "$found" ]; then
        status=1
        summary+=("fuzz_$t: ${execs:-?} executions, FOUND: ${found:-exit $rc} (see $log)")
        grep -m5 -E "ERROR|runtime error|fuzz finding|SUMMARY" "$log" | sed 's/^/    /' || true
    else
        summary+=("fuzz_$t: ${execs:-?} executions, nothing found")
    fi
done
rm -rf "$TMPDIR"
printf '%s\n' "${summary[@]}"
exit $status
