// The pronunciation dictionaries' speed.
//   bench_pronouncer [MB] [entries] [literal]   ("literal": no regular expressions)
// 1. Applying 5 000 entries (the shipped German ones, the rest made-up words,
//    a quarter case-sensitive, a few regular expressions) to 10 MB of German
//    text, whole and in the pieces the engine feeds (goal: 50 MB/s or more).
// 2. The first audio after speak() of a 5 MB text with the shipped
//    dictionary, median of 10 runs (goal: under 20 ms).
#include "EspeakEngine.h"
#include "EspeakOwner.h"
#include "FirstAudioTimer.h"
#include "PronunciationFile.h"
#include "PronunciationSource.h"
#include "Pronouncer.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

#include <time.h>
#include <vector>

using SteadyClock = std::chrono::steady_clock;

namespace {

double msSince(SteadyClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
}

// CPU time of this thread: on a shared machine the wall time says more
// about the neighbours than about the code.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000 + double(t.tv_nsec) / 1e6;
}

QString madeUpWord(std::mt19937 &random)
{
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzäöüß");
    const int length = 4 + int(random() % 7);
    QString word;
    for (int i = 0; i < length; ++i)
        word += letters.at(int(random() % letters.size()));
    word[0] = word.at(0).toUpper();
    return word;
}

class Fixed : public PronunciationSource
{
public:
    explicit Fixed(std::shared_ptr<const Pronouncer> p) : m_p(std::move(p)) {}
    std::shared_ptr<const Pronouncer> current() override { return m_p; }
    QStringList fileProblems() const override { return {}; }

private:
    std::shared_ptr<const Pronouncer> m_p;
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QUENORA_AUDIO", "null");
    QCoreApplication app(argc, argv);
    const int megabytes = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    const int entryCount = argc > 2 ? std::max(1, atoi(argv[2])) : 5000;

    const PronunciationFile shipped =
        PronunciationFile::load(QStringLiteral(QUENORA_SOURCE_DIR "/data/pronunciation/deutsch.txt"));
    std::mt19937 random(28);
    QList<PronunciationEntry> entries = shipped.entries;
    QStringList entryWords;
    for (const PronunciationEntry &e : shipped.entries)
        entryWords.append(e.written);
    const char *regexes[] = {"(\\d+) ?km/h", "§ ?(\\d+)", "(\\d+)\\. Jh\\.", "Kap\\. (\\d+)", "[A-Z]{2,4}-(\\d+)"};
    const bool withRegexes = !(argc > 3 && qstrcmp(argv[3], "literal") == 0);
    for (const char *r : regexes) {
        if (!withRegexes)
            break;
        PronunciationEntry e;
        e.written = QString::fromUtf8(r);
        e.spoken = QStringLiteral("Nummer \\1");
        e.regex = true;
        entries.append(e);
    }
    while (entries.size() < entryCount) {
        PronunciationEntry e;
        e.written = madeUpWord(random);
        e.spoken = QStringLiteral("Ersatz ") + e.written.toLower();
        e.caseSensitive = random() % 4 == 0;
        entries.append(e);
        entryWords.append(e.written);
    }

    // German-looking text: common words, one in 20 a dictionary entry.
    const QStringList common = QStringLiteral(
        "der die das und ist nicht mit auf für von dem den ein eine Haus Stadt Jahr Zeit Menschen "
        "arbeiten gehen sehen Straße Größe über Bücher schön heute morgen 12 2024 Kilometer Wasser")
                                   .split(QLatin1Char(' '));
    QString text;
    const qsizetype target = qsizetype(megabytes) * 1024 * 1024;
    text.reserve(target + 100);
    int inSentence = 0;
    while (text.size() < target) {
        text += random() % 20 == 0 ? entryWords.at(int(random() % entryWords.size()))
                                   : common.at(int(random() % common.size()));
        if (++inSentence == 12) {
            text += random() % 6 == 0 ? QStringLiteral(".\n") : QStringLiteral(". ");
            inSentence = 0;
        } else {
            text += QLatin1Char(' ');
        }
    }
    const double mb = double(text.toUtf8().size()) / (1024 * 1024);

    SteadyClock::time_point start = SteadyClock::now();
    auto pronouncer = std::make_shared<const Pronouncer>(entries);
    const QStringList problems = pronouncer->problems(); // compiles
    std::printf("%lld entries compiled in %.1f ms (%lld skipped)\n", qlonglong(entries.size()), msSince(start),
                qlonglong(problems.size()));
    double best = 1e9, bestCpu = 1e9;
    int replacements = 0;
    for (int round = 0; round < 5; ++round) {
        start = SteadyClock::now();
        const double cpu = cpuMs();
        const Pronouncer::Result r = pronouncer->apply(text);
        bestCpu = std::min(bestCpu, cpuMs() - cpu);
        best = std::min(best, msSince(start));
        replacements = r.map.replacementCount();
    }
    std::printf("whole text: %.1f MB in %.1f ms wall = %.0f MB/s, %.1f ms CPU = %.0f MB/s; %d replacements "
                "(goal: 50 MB/s)\n",
                mb, best, mb / best * 1000, bestCpu, mb / bestCpu * 1000, replacements);
    best = 1e9;
    bestCpu = 1e9;
    for (int round = 0; round < 5; ++round) {
        start = SteadyClock::now();
        const double cpu = cpuMs();
        for (int from = 0; from < text.size();) {
            const int end = EspeakOwner::pieceEnd(text, from);
            pronouncer->apply(QStringView(text).mid(from, end - from));
            from = end;
        }
        bestCpu = std::min(bestCpu, cpuMs() - cpu);
        best = std::min(best, msSince(start));
    }
    std::printf("in the engine's pieces: %.1f ms wall = %.0f MB/s, %.1f ms CPU = %.0f MB/s\n", best,
                mb / best * 1000, bestCpu, mb / bestCpu * 1000);

    // First audio of a 5 MB text with the shipped dictionary.
    if (!EspeakEngine::isAvailable()) {
        std::fprintf(stderr, "espeak-ng has no voice data\n");
        return 1;
    }
    Fixed source(std::make_shared<const Pronouncer>(shipped.entries));
    EspeakEngine engine;
    engine.selectMode(2);
    engine.setPronunciation(&source);
    FirstAudioTimer timer(engine);
    const QString document = text.left(5 * 1024 * 1024);
    const double cold = timer.once(document);
    const std::vector<double> runs = timer.runs(document, 10);
    std::printf("5 MB text, speak to first audio with the shipped dictionary: cold %.2f ms; median %.2f ms, "
                "max %.2f ms (goal: under 20 ms)\n",
                cold, FirstAudioTimer::median(runs), runs.back());
    return 0;
}
