#!/usr/bin/env bash
# Makes the LibreOffice-written test files (lo-*.rtf) from the sources in
# libreoffice-src/. Run it by hand after changing a source; the results are
# committed, so neither building nor testing needs LibreOffice.
#   apt-get install -y libreoffice-writer-nogui
set -euo pipefail
cd "$(dirname "$0")"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for src in libreoffice-src/*; do
  soffice --headless -env:UserInstallation=file://"$out"/profile \
    --convert-to rtf:"Rich Text Format" --outdir "$out" "$src" >/dev/null
done
for f in "$out"/*.rtf; do
  cp "$f" "./$(basename "$f")"
done
ls -l lo-*.rtf
