#!/usr/bin/env bash
# Recording 2000 words of German to WAV: quenora-speak --wav against the
# espeak-ng program on the same text, voice and speed, timed in the same run
# (median of 5 alternating runs each). Goal: a ratio of at most 1.2.
#
#   bench/speech/record_vs_espeak.sh [path/to/quenora-speak]
#
# Needs the espeak-ng program, which Quenora itself does not use; install it
# for the benchmark with: sudo apt-get install espeak-ng
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
speak="${1:-$here/../../build/app/speech/quenora-speak}"
if [ ! -x "$speak" ]; then
  echo "quenora-speak not found at $speak (build first, or pass its path)" >&2
  exit 1
fi
if ! command -v espeak-ng >/dev/null; then
  echo "espeak-ng is not installed: sudo apt-get install espeak-ng" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# An empty settings hive: no prefix or suffix, nothing of the user's.
export QUENORA_HOME="$work/home"
mkdir -p "$QUENORA_HOME"

paragraph="Der Wetterbericht für morgen sagt im Norden Regen und im Süden viel Sonne voraus. \
Am Nachmittag ziehen von Westen her Wolken auf, und der Wind frischt an der Küste deutlich auf. \
In den Alpen fällt oberhalb von zweitausend Metern etwas Schnee, die Pässe bleiben aber befahrbar. \
Wer am Wochenende wandern möchte, sollte eine warme Jacke und festes Schuhwerk mitnehmen."
words=0
: > "$work/text.txt"
while [ "$words" -lt 2000 ]; do
  echo "$paragraph" >> "$work/text.txt"
  words=$(wc -w < "$work/text.txt")
done
words=$(wc -w < "$work/text.txt")

now() { date +%s.%N; }
# Mode 1 (position 0) is espeak-ng's plain German voice; 25 % speed is 172
# words per minute.
run_quenora() { "$speak" --voice 0 --speed 25 --pitch 50 --volume 100 --wav "$work/q.wav" - < "$work/text.txt"; }
run_espeak() { espeak-ng -v de -s 172 -p 50 -a 100 -w "$work/e.wav" -f "$work/text.txt"; }

q=() e=()
for i in 1 2 3 4 5; do
  t0=$(now); run_quenora; t1=$(now); run_espeak; t2=$(now)
  q+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')")
  e+=("$(awk -v a="$t1" -v b="$t2" 'BEGIN { print b - a }')")
done
median() { printf '%s\n' "$@" | sort -g | sed -n 3p; }
mq=$(median "${q[@]}")
me=$(median "${e[@]}")
ratio=$(awk -v a="$mq" -v b="$me" 'BEGIN { print a / b }')
qs=$(stat -c %s "$work/q.wav")
es=$(stat -c %s "$work/e.wav")
printf 'recording %d words: quenora-speak %.3f s, espeak-ng %.3f s, ratio %.3f (goal: at most 1.2)\n' \
  "$words" "$mq" "$me" "$ratio"
printf 'WAV sizes: quenora-speak %d bytes, espeak-ng %d bytes\n' "$qs" "$es"
