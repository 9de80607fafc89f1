#!/usr/bin/env bash
# Installs what webhelp needs, builds it, and converts the user guide into a site.
set -euo pipefail
cd "$(dirname "$0")/.."
SUDO=$([ "$(id -u)" = 0 ] || echo sudo)
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq g++ cmake ninja-build pkg-config fp-utils \
    libmspack-dev libgumbo-dev libcpp-httplib-dev libwxgtk3.2-dev >/dev/null
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
build/webhelp convert build/webhelp-guide.chm -o build/guide-site
echo
echo "The user guide's WebHelp site is in $(pwd)/build/guide-site: open build/guide-site/index.html in a browser."
