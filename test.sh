#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
#   ./test.sh             normal build in build/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build_dir=build
cmake_opts=()
case "${1:-}" in
  "") ;;
  --sanitize) build_dir=build-sanitize; cmake_opts+=(-DQUENORA_SANITIZE=ON) ;;
  *) echo "Aufruf: ./test.sh [--sanitize]" >&2; exit 2 ;;
esac

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cmake_opts[@]}"
cmake --build "$build_dir"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
