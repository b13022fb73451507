#!/usr/bin/env bash
# Makes drei-kapitel.epub, a small German book made by another program
# (pandoc) than Quenora: three chapters, title, author, date and a cover
# picture (a 96x128 JPEG from ImageMagick). Run in this folder.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 96x128 gradient:'#1d4f7a-#e8c15a' -gravity center -pointsize 18 -fill white \
  -annotate 0 'Drei' -strip -quality 85 "$work/umschlag.jpg"

cat > "$work/buch.md" <<'TEXT'
---
title: Drei Kapitel über den Fluss
author: Marta Lindqvist
date: 2019-04-23
lang: de-DE
---

# Die Quelle

Hoch in den Bergen entspringt der Fluss aus einer kleinen Quelle. Das Wasser ist kalt und klar.

Im Frühling schmilzt der Schnee, und der Bach wird schnell breiter.

# Die Stadt

Am Ufer liegt eine alte Stadt mit einer steinernen Brücke. Händler bringen ihre Waren auf Booten.

Abends spiegeln sich die Lichter der Häuser im Wasser.

# Das Meer

Nach vielen Kilometern erreicht der Fluss endlich das Meer. Möwen kreisen über der Mündung.

Hier endet die Reise, und ein neuer Kreislauf beginnt.
TEXT

pandoc "$work/buch.md" -o drei-kapitel.epub --epub-cover-image="$work/umschlag.jpg" --toc-depth=1
