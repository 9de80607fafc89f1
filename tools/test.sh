#!/usr/bin/env bash
# Installs what the tests need, builds webhelp twice (plain, and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test in both builds; then builds the test programs
# whose tests start threads with ThreadSanitizer and runs those tests only.
set -euo pipefail
cd "$(dirname "$0")/.."
SUDO=$([ "$(id -u)" = 0 ] || echo sudo)
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq g++ cmake ninja-build pkg-config fp-utils \
    libmspack-dev libgumbo-dev libcpp-httplib-dev libwxgtk3.2-dev \
    googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev \
    nodejs chromium firefox-esr xvfb xauth >/dev/null
# Debian's nodejs comes without npm (other builds of nodejs carry it).
command -v npm >/dev/null || $SUDO apt-get install -y -qq npm >/dev/null
if [ -f package-lock.json ]; then npm ci --no-audit --no-fund --loglevel=error; fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
ctest --test-dir build --output-on-failure -j2

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWEBHELP_SANITIZE=ON
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j2 -LE browser

# Each fuzz target for a bounded time (clang, libFuzzer): a finding fails the run.
tools/fuzz.sh 25

# Only the programs whose tests start threads, and only those tests (label "threads").
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWEBHELP_TSAN=ON -DWEBHELP_WIZARD=OFF
cmake --build build-tsan --target libs_tests webhelp_tests search_tests host_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest --test-dir build-tsan --output-on-failure -j2 -L threads
