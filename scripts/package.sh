#!/usr/bin/env bash
# Builds the Debian package: build/quenora_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
(cd build && cpack -G DEB)
ls -1 build/quenora_*.deb
