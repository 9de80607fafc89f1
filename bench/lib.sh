# Shared by the benchmark scripts; sourced, not run.

# Prints the path of Debian's lcl.chm (lazarus-doc-2.2, about 20,000 topics) in bench/data/,
# fetching the package and taking the file out of it the first time.
bench_large_chm() {
    data=$1
    if [ ! -f "$data/lcl.chm" ]; then
        mkdir -p "$data"
        (cd "$data" && apt-get download lazarus-doc-2.2 >/dev/null)
        deb=$(ls "$data"/lazarus-doc-2.2_*.deb | head -n 1)
        rm -rf "$data/x"
        dpkg-deb -x "$deb" "$data/x"
        found=$(find "$data/x" -name lcl.chm | head -n 1)
        [ -n "$found" ] || { echo "lcl.chm not found in $deb" >&2; exit 2; }
        cp "$found" "$data/lcl.chm"
    fi
    echo "$data/lcl.chm"
}

# Prints a fresh folder for the runs to write to: in WORK when it is set, else on /dev/shm when
# there is one. On a disk the kernel's inode bookkeeping after many deletions swamps both programs.
bench_work_dir() {
    name=$1
    if [ -n "${WORK:-}" ]; then
        mkdir -p "$WORK"
        mktemp -d "$WORK/$name.XXXXXX"
    elif [ -d /dev/shm ] && [ -w /dev/shm ]; then
        mktemp -d "/dev/shm/$name.XXXXXX"
    else
        mktemp -d
    fi
}
