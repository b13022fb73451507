#!/usr/bin/env python3
"""A German book for the audiobook benchmark, the same on every run.

    make_book.py [--words 100000] [--chapters 30] [--seed 29] OUT_DIR

Writes OUT_DIR/book.md, OUT_DIR/book.epub (made by pandoc, one chapter file
per "#" heading) and OUT_DIR/book.txt (the same chapters as plain text, for
the espeak-ng program); only the dates inside the EPUB archive change from
run to run. The sentences are put together from fixed lists by
a small generator of our own, so the book does not depend on the Python
version; chapter lengths vary between about a third and one and a half
times the mean.
"""

import argparse
import os
import subprocess
import sys


class Numbers:
    """A 64-bit linear congruential generator: the same numbers everywhere."""

    def __init__(self, seed):
        self.state = (seed * 6364136223846793005 + 1442695040888963407) % 2**64

    def below(self, n):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) % 2**64
        return (self.state >> 33) % n

    def share(self):
        return self.below(1_000_000) / 1_000_000

    def pick(self, items):
        return items[self.below(len(items))]


TIMES = [
    "Am frühen Morgen", "Gegen Mittag", "Am späten Abend", "Kurz nach Mitternacht",
    "An einem kalten Wintertag", "Im Frühling des Jahres 1887", "Nach dem langen Regen",
    "Am nächsten Tag", "Um halb acht", "Eine Woche später", "Während des Gewitters",
    "Zwei Stunden vor Sonnenaufgang", "Am ersten Sonntag im Mai", "Bald darauf",
]
SUBJECTS = [
    "die alte Försterin", "der junge Bäcker", "meine Großmutter", "das Mädchen aus dem Nachbarhaus",
    "ein Reisender aus dem Süden", "die Lehrerin", "der Kapitän des kleinen Schiffes", "unser Nachbar",
    "der Bürgermeister", "die Ärztin aus der Stadt", "ein müder Wanderer", "der Schmied",
    "die Tochter des Müllers", "der Briefträger", "eine freundliche Dame mit grünem Hut",
]
VERBS = [
    ("ging", "langsam durch den stillen Wald"), ("las", "einen langen Brief von der Schwester"),
    ("trug", "drei schwere Körbe zum Markt"), ("erzählte", "eine Geschichte von fernen Ländern"),
    ("öffnete", "vorsichtig die Tür zum Keller"), ("sah", "die Schiffe im Hafen"),
    ("fand", "unter der Brücke einen alten Schlüssel"), ("schrieb", "einige Zeilen in das Tagebuch"),
    ("kaufte", "frisches Brot und ein Glas Honig"), ("wartete", "geduldig auf den letzten Zug"),
    ("hörte", "von ferne die Glocken der Kirche"), ("baute", "mit viel Mühe einen Zaun um den Garten"),
    ("suchte", "im ganzen Haus nach der verlorenen Brille"), ("fuhr", "mit dem Fahrrad bis an den See"),
    ("dachte", "lange über die Worte des Fremden nach"), ("pflanzte", "zwölf junge Apfelbäume"),
    ("malte", "ein Bild von den Bergen im Abendlicht"), ("kochte", "eine warme Suppe für alle Gäste"),
    ("zählte", "die Münzen in der kleinen Dose"), ("rief", "laut nach dem Hund"),
]
TAILS = [
    "", "", "", "",
    ", weil niemand sonst Zeit dafür hatte",
    ", obwohl der Wind kalt von Norden wehte",
    ", und aus dem Fenster klang leise ein altes Lied",
    ", bevor die Sonne hinter den Hügeln verschwand",
    ", denn am Abend sollten Gäste kommen",
    ", als ob nichts geschehen wäre",
    ", während die Kinder im Hof spielten",
    ", damit am Sonntag alles bereit war",
]
SAYINGS = [
    "„Das ist eine gute Nachricht“, sagte sie und lächelte.",
    "Niemand wusste, woher der Fremde gekommen war.",
    "Wie viele Jahre waren seitdem vergangen?",
    "Das Dorf lag ruhig im Tal, und nur ein Hund bellte.",
    "Es war der 14. März, und auf den Feldern lag noch Schnee.",
    "Die Uhr am Rathaus schlug zwölfmal.",
    "Der Weg führte über 3 Brücken und an 2 Mühlen vorbei.",
    "„Komm morgen wieder“, rief der Alte ihm nach.",
    "Dann wurde es still im Haus.",
    "Auf dem Tisch standen Kerzen, Teller und eine Schale mit Äpfeln.",
]
TITLES = [
    "Der Aufbruch", "Am Fluss", "Die Mühle", "Ein Brief aus der Stadt", "Der lange Winter",
    "Die Rückkehr", "Im Hafen", "Das Fest", "Die Brücke", "Ein Fremder im Dorf", "Der Schlüssel",
    "Nebel über dem See", "Die Nacht im Wald", "Der Markt", "Das alte Haus", "Frühling",
    "Die Reise nach Norden", "Der Sturm", "Ein Sonntag", "Die Glocken", "Am Bahnhof",
    "Das Geheimnis", "Der Garten", "Die Hochzeit", "Heimweh", "Der Schmied", "Die Karte",
    "Ein Abschied", "Der Sommer", "Das Ende der Reise",
]


def sentence(numbers):
    if numbers.below(6) == 0:
        return numbers.pick(SAYINGS)
    verb, rest = numbers.pick(VERBS)
    return "%s %s %s %s%s." % (numbers.pick(TIMES), verb, numbers.pick(SUBJECTS), rest, numbers.pick(TAILS))


def chapter_words(numbers, words, chapters):
    weights = [0.35 + 1.15 * numbers.share() for _ in range(chapters)]
    total = sum(weights)
    counts = [max(1, round(words * w / total)) for w in weights]
    counts[-1] = max(1, counts[-1] + words - sum(counts))
    return counts


def make_book(words, chapters, seed):
    """The chapters as (title, [paragraph, ...])."""
    numbers = Numbers(seed)
    book = []
    for index, target in enumerate(chapter_words(numbers, words, chapters)):
        title = "Kapitel %d: %s" % (index + 1, TITLES[index % len(TITLES)])
        paragraphs, count = [], len(title.split())
        while count < target:
            paragraph = []
            for _ in range(3 + numbers.below(5)):
                s = sentence(numbers)
                paragraph.append(s)
                count += len(s.split())
                if count >= target:
                    break
            paragraphs.append(" ".join(paragraph))
        book.append((title, paragraphs))
    return book


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--words", type=int, default=100000)
    parser.add_argument("--chapters", type=int, default=30)
    parser.add_argument("--seed", type=int, default=29)
    parser.add_argument("out_dir")
    args = parser.parse_args()
    if args.words < 1 or args.chapters < 1:
        parser.error("--words and --chapters must be at least 1")
    os.makedirs(args.out_dir, exist_ok=True)
    book = make_book(args.words, args.chapters, args.seed)

    md = os.path.join(args.out_dir, "book.md")
    with open(md, "w", encoding="utf-8") as f:
        for title, paragraphs in book:
            f.write("# %s\n\n" % title)
            for p in paragraphs:
                f.write(p + "\n\n")
    with open(os.path.join(args.out_dir, "book.txt"), "w", encoding="utf-8") as f:
        for title, paragraphs in book:
            f.write(title + "\n\n")
            for p in paragraphs:
                f.write(p + "\n\n")
    # A fixed identifier and date: the same book makes the same EPUB.
    env = dict(os.environ, SOURCE_DATE_EPOCH="1767225600")
    subprocess.run(["pandoc", md, "-o", os.path.join(args.out_dir, "book.epub"),
                    "--epub-chapter-level=1",
                    "--metadata", "title=Die lange Reise", "--metadata", "author=Marta Beispiel",
                    "--metadata", "lang=de-DE", "--metadata", "identifier=quenora-bench-%d-%d-%d"
                    % (args.words, args.chapters, args.seed)],
                   check=True, env=env)
    words = sum(len(t.split()) + sum(len(p.split()) for p in ps) for t, ps in book)
    print("%d words in %d chapters (%d to %d words) in %s" % (
        words, len(book), min(sum(len(p.split()) for p in ps) for _, ps in book),
        max(sum(len(p.split()) for p in ps) for _, ps in book), args.out_dir))


if __name__ == "__main__":
    sys.exit(main())
