#!/usr/bin/env bash
# Installs into a DESTDIR staging folder and uses the installed programs from
# there: run paths point inside the install, the desktop files validate, the
# manual pages render, and the installed editor opens its window.
set -euo pipefail
build=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
stage=$work/stage
prefix=/opt/quenora-test

fail() { echo "FEHLER: $*" >&2; exit 1; }

DESTDIR=$stage cmake --install "$build" --prefix "$prefix" >/dev/null
root=$stage$prefix
bin=$root/bin

for p in quenora quenora-speak qnreg plugdesk; do
  [ -x "$bin/$p" ] || fail "$p fehlt im Installationsbaum"
done
[ -e "$bin/panelkit-demo" ] && fail "panelkit-demo darf nicht installiert werden"
ls "$root"/lib*/quenora/libpanelkit.so.1 >/dev/null 2>&1 || ls "$root"/lib/*/quenora/libpanelkit.so.1 >/dev/null 2>&1 \
  || fail "libpanelkit.so.1 liegt nicht im privaten Bibliotheksordner"

# Run paths: relative to the program, never into the build tree.
for p in "$bin"/*; do
  rp=$(readelf -d "$p" | sed -n 's/.*(RUNPATH).*\[\(.*\)\].*/\1/p; s/.*(RPATH).*\[\(.*\)\].*/\1/p')
  case "$rp" in *"$build"*) fail "$p: Laufzeitpfad zeigt in den Build-Ordner: $rp";; esac
  if [ "$(basename "$p")" = quenora ]; then
    case "$rp" in '$ORIGIN/'*) ;; *) fail "quenora: kein relativer Laufzeitpfad ($rp)";; esac
  fi
done

# The programs run from the staging tree alone: no library path, another
# working folder, a home of their own.
export QUENORA_HOME=$work/home
unset LD_LIBRARY_PATH QUENORA_DATA_DIR || true
cd "$work"
# --help and --version of every program, without a display.
for p in quenora qnreg plugdesk; do
  version=$(env -u DISPLAY "$bin/$p" --version) || fail "$p --version endet mit Fehler"
  [[ "$version" == "$p "[0-9]* ]] || fail "$p --version: $version"
  help=$(env -u DISPLAY "$bin/$p" --help) || fail "$p --help endet mit Fehler"
  [[ "$help" == *Aufruf* ]] || fail "$p --help: $help"
done
[ ! -e "$QUENORA_HOME/registry.db" ] || fail "--help oder --version hat die Registrierung angelegt"
out=$("$bin/quenora-speak" --dry-run "Guten Tag")
[[ "$out" == *"Guten Tag"* ]] || fail "quenora-speak --dry-run: $out"
"$bin/qnreg" set 'HKCU\Software\Test' Wert hallo
[ "$("$bin/qnreg" get 'HKCU\Software\Test' Wert)" = hallo ] || fail "qnreg get"
linked=$(ldd "$bin/quenora" | grep panelkit || true)
[[ "$linked" == *"=> $root/"* ]] || fail "quenora findet libpanelkit nicht im Installationsbaum: $linked"

# The installed editor starts and shows its window (on the virtual display
# the test runs on).
[ -n "${DISPLAY:-}" ] || fail "kein X-Display (der Test läuft unter xvfb-run)"
QT_QPA_PLATFORM=xcb timeout -s KILL 60 "$bin/quenora" /t > "$work/quenora.log" 2>&1 &
pid=$!
shown=
for _ in $(seq 1 300); do
  kill -0 $pid 2>/dev/null || fail "das installierte quenora endete sofort: $(cat "$work/quenora.log")"
  if xdotool search --onlyvisible --pid $pid --name Quenora >/dev/null 2>&1; then shown=1; break; fi
  sleep 0.1
done
kill $pid 2>/dev/null; wait $pid 2>/dev/null || true
[ -n "$shown" ] || fail "das installierte quenora zeigt kein Fenster: $(cat "$work/quenora.log")"

# Its first start registered the shipped extensions with this install's
# libraries, although the files were written for another prefix.
for id in Bavarize.Dialect Mailhook.clsLaunchMail; do
  lib=$("$bin/qnreg" get "HKCR\\$id\\InprocServer32" @) || fail "$id nicht registriert"
  case "$lib" in "$root"/lib*/quenora/extensions/*.so) ;; *) fail "$id zeigt auf $lib";; esac
  [ -f "$lib" ] || fail "$id: $lib fehlt"
done
"$bin/plugdesk" --list | grep -q 'aktiv' || fail "plugdesk --list zeigt die Erweiterungen nicht"

# The plug-ins run in the extension-host process of the private library
# folder, which the installed programs find from their own place.
host=
for candidate in "$root"/lib*/quenora/quenora-extension-host "$root"/lib/*/quenora/quenora-extension-host; do
  [ -x "$candidate" ] && host=$candidate
done
[ -n "$host" ] || fail "quenora-extension-host fehlt im privaten Bibliotheksordner"
"$bin/qnreg" set 'HKCU\Software\VB and VBA Program Settings\Quenora\Extensions\Bavarize' Active true
out=$("$bin/quenora-speak" --dry-run "Hallo, ich bin da." 2>&1)
[[ "$out" == *servus* ]] || fail "quenora-speak filtert nicht über quenora-extension-host: $out"

# Desktop integration.
share=$root/share
complaints=$(desktop-file-validate "$share/applications/io.github.quenora.Quenora.desktop" 2>&1 | grep -v ': hint: ' || true)
[ -z "$complaints" ] || fail "desktop-file-validate: $complaints"
appstreamcli validate --no-net "$share/metainfo/io.github.quenora.Quenora.metainfo.xml" >/dev/null \
  || fail "appstreamcli validate"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$share/metainfo/io.github.quenora.Quenora.metainfo.xml" \
  || fail "Lizenz fehlt in den AppStream-Daten"
grep -q '^License: GPL-3+$' "$share/doc/quenora/copyright" || fail "Lizenz fehlt in copyright"
[ -f "$share/mime/packages/quenora-vts.xml" ] || fail "MIME-Typ fehlt"
[ -f "$share/icons/hicolor/scalable/apps/io.github.quenora.Quenora.svg" ] || fail "Programmsymbol fehlt"
for size in 16 22 24 32 48 64 128 256; do
  [ -f "$share/icons/hicolor/${size}x${size}/apps/io.github.quenora.Quenora.png" ] || fail "Programmsymbol ${size}x${size} fehlt"
done
[ -d "$share/quenora/hypertext" ] || fail "Datenordner fehlt"

# Manual pages render without warnings.
for p in quenora quenora-speak qnreg plugdesk; do
  page=$share/man/man1/$p.1.gz
  [ -f "$page" ] || fail "Handbuchseite $p.1 fehlt"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "$p.1: $warnings"
  zgrep -q '^\.SH "ÜBERSICHT"' "$page" && zgrep -q '^\.SH BESCHREIBUNG' "$page" \
    || fail "$p.1: keine deutschen Abschnitte ÜBERSICHT und BESCHREIBUNG"
done
echo "Installationsbaum in Ordnung"
