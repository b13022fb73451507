#!/bin/sh
# Builds every fuzz target of fuzz/ with clang's libFuzzer and runs each for
# SECONDS (default 60): the registry import, task scripts, RTF and plain
# text, EPUB, ODT, DOCX and the PDF paragraph assembly; the list comes from
# the build, so a target added with quenora_add_fuzzer is run too. Not part
# of CI: fuzzing for real takes hours.
#
#   ./scripts/fuzz.sh [SECONDS] [BUILD_DIR]
#
# Each target starts from its seed corpus (fuzz/<folder>/corpus) and grows a
# working corpus in BUILD_DIR/corpus/<target>; a crash leaves its input in
# BUILD_DIR/crashes/<target>/ and makes the script exit with status 1. Put
# such an input into the seed corpus once it is fixed: ctest replays it.
set -eu

seconds=${1:-60}
case $seconds in
    ''|*[!0-9]*) echo "Aufruf: $0 [SEKUNDEN] [BAUORDNER]" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build-fuzz}

if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ fehlt (Debian: apt-get install clang libclang-rt-14-dev)." >&2
    exit 2
fi

launcher=
if command -v ccache >/dev/null 2>&1; then
    launcher="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi
# shellcheck disable=SC2086
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUENORA_LIBFUZZER=ON -DQUENORA_BUILD_TESTS=OFF $launcher >/dev/null

# The build lists every target with its binary and seed corpus.
list="$build/fuzz/fuzz-targets.txt"
if [ ! -s "$list" ]; then
    echo "Keine Fuzz-Ziele gefunden ($list fehlt oder ist leer)." >&2
    exit 2
fi
names=$(cut -f1 "$list" | tr '\n' ' ')
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $names

failed=
tab=$(printf '\t')
while IFS="$tab" read -r name binary seeds; do
    [ -n "$name" ] || continue
    work="$build/corpus/$name"
    crashes="$build/crashes/$name"
    mkdir -p "$work" "$crashes"
    echo "== $name: $seconds s"
    if ! "$binary" "$work" "$seeds" -max_total_time="$seconds" -max_len=65536 \
            -artifact_prefix="$crashes/" -print_final_stats=1 </dev/null; then
        failed="$failed $name"
    fi
done < "$list"

if [ -n "$failed" ]; then
    echo "Fehlgeschlagen:$failed (Eingaben in $build/crashes/)" >&2
    exit 1
fi
echo "Alle Fuzz-Ziele liefen $seconds s ohne Befund."
