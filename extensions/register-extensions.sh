#!/usr/bin/env bash
# Registers the extensions built into one folder in the user's hive:
#   register-extensions.sh QNREG FOLDER
# Every FOLDER/*.reg is imported with qnreg when its entry in the Extensions
# key is missing. An entry that exists is left as the user has it (Active
# above all); only a library registration that points nowhere is set to the
# library the .reg file names, so a moved build tree keeps working.
set -euo pipefail

qnreg=$1
folder=$2
shopt -s nullglob
status=0

for reg in "$folder"/*.reg; do
  text=$(tr -d '\r' <"$reg")
  entry=$(sed -n 's/^\[\(HKEY_CURRENT_USER\\.*\\Extensions\\[^]]*\)\]$/\1/p' <<<"$text" | head -n 1)
  class=$(sed -n 's/^\[\(HKEY_CLASSES_ROOT\\[^]]*\)\]$/\1/p' <<<"$text" | head -n 1)
  library=$(sed -n 's/^@="\(.*\)"$/\1/p' <<<"$text" | head -n 1)
  if [ -z "$entry" ] || [ -z "$class" ] || [ -z "$library" ]; then
    echo "Registrierungsdatei ohne Erweiterungseintrag übersprungen: $reg" >&2
    status=1
    continue
  fi
  name=${entry##*\\}
  if ! "$qnreg" values "$entry" >/dev/null 2>&1; then
    if "$qnreg" import "$reg"; then
      echo "Erweiterung registriert: $name"
    else
      echo "Die Erweiterung $name konnte nicht registriert werden." >&2
      status=1
    fi
    continue
  fi
  current=$("$qnreg" get "$class" @ 2>/dev/null || true)
  if [ -z "$current" ] || [ ! -e "$current" ]; then
    if "$qnreg" set "$class" @ "$library"; then
      echo "Bibliothek der Erweiterung $name neu eingetragen: $library"
    else
      status=1
    fi
  fi
done
exit "$status"
