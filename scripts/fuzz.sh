#!/bin/sh
# Builds every fuzz target of fuzz/ with clang's libFuzzer and runs each for
# SECONDS (default 60). Not part of CI: fuzzing for real takes hours.
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

# Every target is declared as quenora_add_fuzzer(<name> ...) in its folder.
targets=
for list in "$root"/fuzz/*/CMakeLists.txt; do
    folder=$(dirname "$list")
    for name in $(sed -n 's/^[[:space:]]*quenora_add_fuzzer([[:space:]]*\([A-Za-z0-9_]*\).*/\1/p' "$list"); do
        targets="$targets $name:$folder"
    done
done
if [ -z "$targets" ]; then
    echo "Keine Fuzz-Ziele unter $root/fuzz gefunden." >&2
    exit 2
fi

names=
for entry in $targets; do names="$names ${entry%%:*}"; done
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $names

failed=
for entry in $targets; do
    name=${entry%%:*}
    folder=${entry#*:}
    binary=$(find "$build/fuzz" -type f -name "$name" -perm -u+x | head -n 1)
    if [ -z "$binary" ]; then
        echo "$name: Programm nicht gebaut" >&2
        failed="$failed $name"
        continue
    fi
    work="$build/corpus/$name"
    crashes="$build/crashes/$name"
    mkdir -p "$work" "$crashes"
    echo "== $name: $seconds s"
    if ! "$binary" "$work" "$folder/corpus" -max_total_time="$seconds" -max_len=65536 \
            -artifact_prefix="$crashes/" -print_final_stats=1; then
        failed="$failed $name"
    fi
done

if [ -n "$failed" ]; then
    echo "Fehlgeschlagen:$failed (Eingaben in $build/crashes/)" >&2
    exit 1
fi
echo "Alle Fuzz-Ziele liefen $seconds s ohne Befund."
