#!/usr/bin/env python3
"""A whole book to an audiobook with quenora-speak, against espeak-ng.

    bench_audiobook.py [--speak PATH] [--words 100000] [--memory-words 25000]
                       [--runs 3] [--work DIR]

Makes the book with make_book.py (about 30 chapters) and times, in the same
run and in turn, round after round:
  anchor  espeak-ng -w out.wav on the book's plain text, one process;
  jobs 2  quenora-speak --chapters --out-dir D --format mp3 --subtitles srt
          --jobs 2 book.epub (goal: at most 0.6 times the anchor's time);
  jobs 1  the same with --jobs 1 (goal: jobs 2 at least 1.7 times faster).
Then jobs 2 once more on a book of --memory-words words: the peak memory of
the largest process must not grow with the book. Voice, speed, pitch and
volume are the same for both programs (espeak-ng's plain German voice at
172 words per minute), and no settings of the user's are read.

Times come from the kernel's accounting of each finished process with its
workers (wait4): wall, CPU (user + system) and peak resident memory. The
ratios are taken round by round and their median printed, so that a machine
whose speed drifts still compares fairly. Each quenora-speak run writes into
an empty folder, and the files it was asked for are counted.

Needs pandoc (for the EPUB) and the espeak-ng program, which Quenora itself
does not use: sudo apt-get install pandoc espeak-ng
"""

import argparse
import glob
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
VOICE = ["--voice", "0", "--speed", "25", "--pitch", "50", "--volume", "100"]
ESPEAK_VOICE = ["-v", "de", "-s", "172", "-p", "50", "-a", "100"]


class Run:
    def __init__(self, wall, cpu, peak_mib, status, err):
        self.wall, self.cpu, self.peak_mib, self.status, self.err = wall, cpu, peak_mib, status, err


def timed(command, env):
    """One whole process (and the workers it waits for)."""
    err = tempfile.TemporaryFile()
    start = time.monotonic()
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=err, env=env)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.monotonic() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    err.seek(0)
    text = err.read().decode("utf-8", "replace")
    return Run(wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024.0, process.returncode, text)


def make_book(work, words):
    folder = os.path.join(work, "book-%d" % words)
    if not os.path.exists(os.path.join(folder, "book.epub")):
        subprocess.run([sys.executable, os.path.join(HERE, "make_book.py"), "--words", str(words), folder],
                       check=True)
    return folder


def chapters_of(folder):
    with open(os.path.join(folder, "book.md"), encoding="utf-8") as f:
        return sum(1 for line in f if line.startswith("# "))


def speak_book(speak, book, out, jobs, env):
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    run = timed([speak, "--chapters", "--out-dir", out, "--format", "mp3", "--subtitles", "srt",
                 "--jobs", str(jobs)] + VOICE + [os.path.join(book, "book.epub")], env)
    files = glob.glob(os.path.join(out, "**", "*.mp3"), recursive=True)
    subtitles = glob.glob(os.path.join(out, "**", "*.srt"), recursive=True)
    chapters = chapters_of(book)
    if run.status != 0 or len(files) != chapters or len(subtitles) != chapters:
        sys.exit("quenora-speak --jobs %d: exit status %d, %d MP3 and %d SRT files for %d chapters\n%s"
                 % (jobs, run.status, len(files), len(subtitles), chapters, run.err[-2000:]))
    return run


def anchor(book, out, env):
    run = timed(["espeak-ng"] + ESPEAK_VOICE + ["-w", out, "-f", os.path.join(book, "book.txt")], env)
    if run.status != 0:
        sys.exit("espeak-ng: exit status %d\n%s" % (run.status, run.err[-2000:]))
    return run


def row(name, runs, goal=""):
    walls = [r.wall for r in runs]
    cpus = [r.cpu for r in runs]
    print("%-8s wall %8.2f s (%.2f to %.2f)  cpu %8.2f s  peak %7.1f MiB  %s" % (
        name, statistics.median(walls), min(walls), max(walls), statistics.median(cpus),
        max(r.peak_mib for r in runs), goal))


def ratio(name, a, b, goal):
    pairs = [x.wall / y.wall for x, y in zip(a, b)]
    print("%-22s %.3f (rounds: %s)  %s" % (name, statistics.median(pairs),
                                             ", ".join("%.3f" % p for p in pairs), goal))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--speak", default=os.path.join(HERE, "..", "..", "build", "app", "speech", "quenora-speak"))
    parser.add_argument("--words", type=int, default=100000)
    parser.add_argument("--memory-words", type=int, default=25000)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--work", help="where the books and files go (default: a new temporary folder)")
    args = parser.parse_args()
    speak = os.path.abspath(args.speak)
    if not os.access(speak, os.X_OK):
        sys.exit("quenora-speak not found at %s (build first, or pass --speak)" % speak)
    for program in ("espeak-ng", "pandoc"):
        if not shutil.which(program):
            sys.exit("%s is not installed: sudo apt-get install %s" % (program, program))

    work = args.work or tempfile.mkdtemp(prefix="bench_audiobook-")
    os.makedirs(work, exist_ok=True)
    # An empty settings hive: no prefix or suffix, no dictionaries, nothing
    # of the user's.
    home = os.path.join(work, "home")
    shutil.rmtree(home, ignore_errors=True)
    os.makedirs(home)
    env = dict(os.environ, QUENORA_HOME=home)

    book = make_book(work, args.words)
    small = make_book(work, args.memory_words)
    out = os.path.join(work, "out")
    wav = os.path.join(work, "anchor.wav")
    print("machine: %d cores, load %.2f %.2f %.2f" % ((os.cpu_count() or 0,) + os.getloadavg()))
    espeak, two, one = [], [], []
    for round_ in range(args.runs):
        espeak.append(anchor(book, wav, env))
        two.append(speak_book(speak, book, out, 2, env))
        one.append(speak_book(speak, book, out, 1, env))
        print("round %d: anchor %.2f s, jobs 2 %.2f s, jobs 1 %.2f s" % (
            round_ + 1, espeak[-1].wall, two[-1].wall, one[-1].wall), flush=True)
    hours = (os.path.getsize(wav) - 44) / 2 / 22050 / 3600
    smaller = speak_book(speak, small, out, 2, env)

    print("\n%d words, %d chapters, %.2f h of audio; medians of %d rounds" % (
        args.words, chapters_of(book), hours, args.runs))
    row("anchor", espeak, "espeak-ng -w, one process")
    row("jobs 2", two)
    row("jobs 1", one)
    ratio("jobs 2 / anchor", two, espeak, "(goal: at most 0.6)")
    ratio("jobs 1 / jobs 2", one, two, "(goal: at least 1.7)")
    print("CPU per hour of audio: anchor %.1f s, jobs 2 %.1f s, jobs 1 %.1f s" % (
        statistics.median(r.cpu for r in espeak) / hours, statistics.median(r.cpu for r in two) / hours,
        statistics.median(r.cpu for r in one) / hours))
    print("peak memory of the largest process, jobs 2: %.1f MiB at %d words, %.1f MiB at %d words "
          "(goal: the same)" % (smaller.peak_mib, args.memory_words, max(r.peak_mib for r in two), args.words))
    if not args.work:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
