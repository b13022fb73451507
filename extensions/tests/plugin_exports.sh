#!/usr/bin/env bash
# Every symbol a shipped plug-in defines for others is one of the C ABI's.
set -euo pipefail
for lib in "$@"; do
  # Upper-case types are global: what another library could bind to.
  defined=$(nm -D --defined-only "$lib" | awk '$2 ~ /^[A-Z]$/ {print $3}')
  others=$(grep -v '^qn_' <<<"$defined" || true)
  [ -z "$others" ] || { echo "FEHLER: $lib exportiert mehr als die Einstiegspunkte: $(head -5 <<<"$others")" >&2; exit 1; }
  for entry in qn_abi_version qn_create qn_invoke qn_release qn_free; do
    grep -qx "$entry" <<<"$defined" || { echo "FEHLER: $lib exportiert $entry nicht" >&2; exit 1; }
  done
done
echo "Nur die Einstiegspunkte exportiert: $*"
