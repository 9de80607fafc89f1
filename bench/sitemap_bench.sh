#!/usr/bin/env bash
# Times the contents and index conversion of a large real compiled file (built from a Debian
# documentation package by the shared corpus script when it is not there yet), then of generated
# sitemaps. Usage: bench/sitemap_bench.sh [BUILD_DIR] [FILE.chm]
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=${1:-$HERE/../build}
CHM=${2:-}
ninja -C "$BUILD" sitemap_bench >/dev/null
if [ -z "$CHM" ]; then
    CORPUS=${WEBHELP_CORPUS:-/work/shared/corpus}
    CHM=$(ls "$CORPUS"/large-*.chm 2>/dev/null | head -n1 || true)
    if [ -z "$CHM" ] && [ -x "$CORPUS/make_large.sh" ]; then
        "$CORPUS/make_large.sh" >&2
        CHM=$(ls "$CORPUS"/large-*.chm | head -n1)
    fi
fi
[ -n "$CHM" ] && "$BUILD/sitemap_bench" "$CHM"
"$BUILD/sitemap_bench" --entries 20000
