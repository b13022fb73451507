#!/usr/bin/env bash
# Builds the Debian package from the build tree, checks its contents and
# lintian's verdict, unpacks it and runs the programs from there.
set -euo pipefail
build=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
fail() { echo "FEHLER: $*" >&2; exit 1; }

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null)
deb=$(ls "$work"/quenora_*.deb)
[ -f "$deb" ] || fail "kein Paket"
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/quenora ./usr/bin/quenora-speak ./usr/bin/qnreg \
         ./usr/share/applications/io.github.quenora.Quenora.desktop \
         ./usr/share/metainfo/io.github.quenora.Quenora.metainfo.xml \
         ./usr/share/mime/packages/quenora-vts.xml \
         ./usr/share/quenora/hypertext/home.htm \
         ./usr/share/man/man1/quenora.1.gz; do
  grep -q " $f\$" <<<"$contents" || grep -q " $f -> " <<<"$contents" || fail "$f fehlt im Paket"
done
grep -q 'panelkit-demo' <<<"$contents" && fail "panelkit-demo im Paket"
grep -q '/usr/lib/.*quenora/quenora-extension-host$' <<<"$contents" || fail "quenora-extension-host fehlt im Paket"
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *libqt6widgets6* ]] || fail "Abhängigkeiten nicht berechnet: $depends"
[[ "$depends" == *libespeak-ng1* ]] || fail "espeak-ng fehlt in den Abhängigkeiten: $depends"
for p in qt6-qpa-plugins qt6-translations-l10n espeak-ng-data; do
  [[ "$depends" == *"$p"* ]] || fail "$p fehlt in den Abhängigkeiten: $depends"
done

errors=$(lintian --no-tag-display-limit "$deb" 2>&1 | grep '^E:' || true)
[ -z "$errors" ] || fail "lintian: $errors"

dpkg -x "$deb" "$work/root"
export QUENORA_HOME=$work/home
unset LD_LIBRARY_PATH || true
out=$("$work/root/usr/bin/quenora-speak" --dry-run "Hallo Welt")
[[ "$out" == *"Hallo Welt"* ]] || fail "entpacktes quenora-speak: $out"
"$work/root/usr/bin/qnreg" set 'HKCU\Software\Test' Wert hallo || fail "entpacktes qnreg"
[ "$("$work/root/usr/bin/qnreg" get 'HKCU\Software\Test' Wert)" = hallo ] || fail "entpacktes qnreg get"
"$work/root/usr/bin/quenora" --version | grep -q '^quenora ' || fail "entpacktes quenora"
echo "Paket in Ordnung: $(basename "$deb")"
