#!/bin/sh
# Takes the pictures of the shipped pages as a user sees them (the start
# page, the about, help and error pages, the about dialog and the text view
# with a document; mainwindow.png is the README's docs/screenshot.png) by
# running the test tst_pagepictures on a virtual X screen, which checks what
# each picture shows and keeps it in FOLDER.
#
#   ./scripts/screenshots.sh [FOLDER] [BUILD_DIR]
#
# FOLDER defaults to BUILD_DIR/screenshots, BUILD_DIR to ./build (configured
# with the tests). Needs xvfb-run.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build}
folder=${1:-$build/screenshots}

if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "xvfb-run fehlt (Debian: apt-get install xvfb)." >&2
    exit 2
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "$build ist kein Bauordner (zuerst: cmake -S . -B build -G Ninja)." >&2
    exit 2
fi
cmake --build "$build" -j 2 --target tst_pagepictures
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
QUENORA_SCREENSHOTS=$folder ctest --test-dir "$build" -R '^tst_pagepictures$' --output-on-failure
echo "Bilder in $folder"
