#!/usr/bin/env bash
# Installs what is missing, builds, registers the shipped extensions, and
# starts Quenora.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build

# The shipped extensions, registered once; the user's choices stay.
if [ -x build/registry/qnreg ] && [ -d build/plugins ]; then
  extensions/register-extensions.sh build/registry/qnreg build/plugins ||
    echo "Warnung: Die Erweiterungen konnten nicht registriert werden; Quenora startet ohne sie." >&2
fi

if [ -x build/app/quenora ]; then
  exec build/app/quenora "$@"
fi

echo
echo "Quenora's main window is not built yet. Built so far:"
find build -maxdepth 3 -type f -executable \( -name 'qnreg' -o -name 'quenora*' -o -name 'plugdesk' -o -name 'panelkit-demo' \) -printf '  %p\n' | sort
echo
echo "Try: build/registry/qnreg keys HKCU\\Software"
