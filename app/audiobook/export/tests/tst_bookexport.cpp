// A book spoken into audiobook files: where the marks of sentences and
// words land (fake engine, known frames), progress and cancel of the
// export, and with espeak-ng files, chapters, tags and subtitles whose
// cues start with the speech heard in the written audio.

#include "BookExport.h"
#include "ChapterReceiver.h"
#include "ChapterSynthesizer.h"
#include "EspeakEngine.h"
#include "FakeClock.h"
#include "FakeSpeechEngine.h"
#include "MediaProbe.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <cmath>
#include <thread>

namespace {

// Keeps what a chapter receiver is told, as lines, and counts the frames.
class RecordingReceiver : public ChapterReceiver
{
public:
    static constexpr qint64 Pause = 500;
    QStringList events;
    qint64 frames = 0;
    qint64 failAfter = -1; // refuses samples beyond this many frames
    std::vector<short> audio; // of the last chapter, paragraph pauses as zeros

    void beginChapter(const QString &title) override
    {
        events << QStringLiteral("Kapitel %1").arg(title);
        frames = 0;
        audio.clear();
    }
    qint64 chapterFrames() const override { return frames; }
    bool write(const short *samples, qint64 count) override
    {
        if (frames < 60 * 22050)
            audio.insert(audio.end(), samples, samples + count);
        frames += count;
        return failAfter < 0 || frames <= failAfter;
    }
    bool paragraphBreak() override
    {
        frames += Pause;
        audio.resize(audio.size() + Pause, 0);
        events << QStringLiteral("Pause");
        return true;
    }
    void markSentence(qint64 frame, const QString &text) override
    {
        events << QStringLiteral("Satz %1 %2").arg(frame).arg(text);
    }
    void markWord(qint64 frame, int position) override { events << QStringLiteral("Wort %1 %2").arg(frame).arg(position); }
};

BookChapter chapter(const QString &title, const QString &text)
{
    BookChapter c;
    c.title = title;
    c.text = text;
    return c;
}

BookVoice plainVoice()
{
    BookVoice voice;
    voice.dictionaries = BookVoice::Dictionaries::None;
    return voice;
}

// Cue starts of an SRT file in ms.
QList<qint64> cueStarts(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression timing(QStringLiteral(R"(^(\d\d):(\d\d):(\d\d),(\d\d\d) --> )"),
                                           QRegularExpression::MultilineOption);
    QList<qint64> starts;
    auto it = timing.globalMatch(QString::fromUtf8(file.readAll()));
    while (it.hasNext()) {
        const auto m = it.next();
        starts << ((m.captured(1).toLongLong() * 60 + m.captured(2).toLongLong()) * 60 + m.captured(3).toLongLong())
                          * 1000
                      + m.captured(4).toLongLong();
    }
    return starts;
}

// Where speech starts after at least silenceMs of quiet (below -30 dBFS),
// in ms.
QList<double> onsetsAfterSilence(const std::vector<float> &samples, int rate, int silenceMs)
{
    constexpr float Threshold = 0.03f;
    const qint64 needed = qint64(silenceMs) * rate / 1000;
    QList<double> onsets;
    qint64 quiet = needed; // the file's start counts as silence
    for (size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) < Threshold) {
            ++quiet;
            continue;
        }
        if (quiet >= needed)
            onsets << 1000.0 * double(i) / rate;
        quiet = 0;
    }
    return onsets;
}

// Three chapters, each of paragraphs of two short sentences. Titles and
// paragraphs that open with a stop ("Kapitel", "Tausend") begin with
// silence in the engine's word.
QTextDocument *threeChapters(QObject *parent)
{
    auto *doc = new QTextDocument(parent);
    doc->setHtml(QStringLiteral(
        "<h1>Kapitel eins</h1>"
        "<p>Anna geht in den Garten. Dort blühen die Rosen.</p>"
        "<p>Tausend Tropfen fallen am Abend. Alle gehen hinein.</p>"
        "<h1>Die Reise</h1>"
        "<p>Am Morgen fährt der Zug ab. Er ist voll besetzt.</p>"
        "<p>In Hamburg steigt Anna aus. Ihr Onkel wartet schon.</p>"
        "<p>Am Hafen essen sie Fisch. Es ist windig und kalt.</p>"
        "<h1>Das Ende</h1>"
        "<p>Im Herbst ist Anna wieder zu Hause. Der Garten ist leer.</p>"
        "<p>Alles ist wieder still. Und das ist gut so.</p>"));
    return doc;
}

} // namespace

class TestBookExport : public QObject
{
    Q_OBJECT
private slots:
    void marksFallOnTheFramesOfTheirWords_data();
    void marksFallOnTheFramesOfTheirWords();
    void exportRunsToItsEndOrStops_data();
    void exportRunsToItsEndOrStops();
    void bookBecomesFilesWithCuesOnTheSpeech_data();
    void bookBecomesFilesWithCuesOnTheSpeech();
    void chapterIsSpokenOnAThreadOfItsOwn();
    void stoppedChapterLeavesItsReceiverAlone_data();
    void stoppedChapterLeavesItsReceiverAlone();
};

void TestBookExport::marksFallOnTheFramesOfTheirWords_data()
{
    // The fake makes 100 frames of silence before each word and 10 frames
    // per character; the receiver's paragraph pause is 500 frames.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("zwei Sätze") << QStringLiteral("Ein Satz. Noch mehr.")
                                << QStringList{"Kapitel K", "Satz 100 Ein Satz.", "Wort 100 0", "Wort 230 4",
                                               "Satz 370 Noch mehr.", "Wort 370 0", "Wort 510 5"};
    QTest::newRow("Absätze, leere Zeilen ohne Pause")
        << QStringLiteral("Eins.\n\n  \nZwei.")
        << QStringList{"Kapitel K", "Satz 100 Eins.", "Wort 100 0", "Pause", "Satz 840 Zwei.", "Wort 840 0"};
    QTest::newRow("Blanks und Zeichen vor dem Satz")
        << QStringLiteral("  „Ja“, sagt er.")
        << QStringList{"Kapitel K", "Satz 100 „Ja“, sagt er.", "Wort 100 1", "Wort 220 6", "Wort 360 11"};
    QTest::newRow("leeres Kapitel") << QString() << QStringList{"Kapitel K"};
}

void TestBookExport::marksFallOnTheFramesOfTheirWords()
{
    QFETCH(QString, text);
    QFETCH(QStringList, events);
    FakeSpeechEngine engine;
    engine.setAutoFinishMs(0);
    ChapterSynthesizer synthesizer(plainVoice(), engine, 22050);
    QCOMPARE(synthesizer.problem(), QString());
    RecordingReceiver receiver;
    QVERIFY(synthesizer.speak(chapter(QStringLiteral("K"), text), receiver));
    QCOMPARE(receiver.events, events);
}

void TestBookExport::exportRunsToItsEndOrStops_data()
{
    // stopAt: the progress call that cancels (-1: none); failAt: the
    // chapter whose dictionary file is missing (-1: none).
    QTest::addColumn<QString>("stopWhen");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("files");
    QTest::newRow("bis zum Ende") << QString() << int(AudiobookWriter::Result::Status::Ok) << 2;
    QTest::newRow("Abbruch im zweiten Kapitel")
        << QStringLiteral("Kapitel 2") << int(AudiobookWriter::Result::Status::Cancelled) << 0;
    QTest::newRow("Abbruch beim Schreiben der Dateien")
        << QStringLiteral("Schreiben") << int(AudiobookWriter::Result::Status::Cancelled) << 0;
    QTest::newRow("Wörterbuch fehlt") << QStringLiteral("Wörterbuch") << int(AudiobookWriter::Result::Status::Failed)
                                      << 0;
}

void TestBookExport::exportRunsToItsEndOrStops()
{
    QFETCH(QString, stopWhen);
    QFETCH(int, status);
    QFETCH(int, files);
    QTemporaryDir dir;
    AudiobookOptions options;
    options.folder = dir.path();
    options.subtitles = SubtitleFormat::Srt;
    Book book;
    book.chapters = {chapter(QStringLiteral("Eins"), QStringLiteral("Ein Satz. Noch einer.\nUnd mehr.")),
                     chapter(QStringLiteral("Aus"), QStringLiteral("Nicht gewählt.")),
                     chapter(QStringLiteral("Zwei"), QStringLiteral("Das zweite Kapitel."))};
    book.chapters[1].selected = false;
    BookVoice voice = plainVoice();
    if (stopWhen == QStringLiteral("Wörterbuch")) {
        voice.dictionaries = BookVoice::Dictionaries::Files;
        voice.dictionaryFiles = {dir.filePath(QStringLiteral("fehlt.dic"))};
    }

    FakeSpeechEngine engine;
    engine.setAutoFinishMs(0);
    ChapterSynthesizer synthesizer(voice, engine, 22050);
    FakeClock clock;
    QList<BookProgress> seen;
    const AudiobookWriter::Result result =
        BookExport::speak(book, options, synthesizer, clock, [&](const BookProgress &progress) {
            seen << progress;
            clock.advanceMs(1000);
            if (stopWhen == QStringLiteral("Kapitel 2") && progress.chapter == 1)
                return false;
            return !(stopWhen == QStringLiteral("Schreiben") && progress.encoding);
        });
    QCOMPARE(int(result.status), status);
    QCOMPARE(result.files.size(), files);
    QVERIFY(result.ok() == result.message.isEmpty());
    // Nothing is left in the folder but the complete files and their
    // playlist and subtitles.
    const QStringList left = QDir(dir.path()).entryList(QDir::Files);
    QCOMPARE(left.size(), result.ok() ? 2 * files + 1 : files);
    if (stopWhen == QStringLiteral("Wörterbuch")) {
        QVERIFY(result.message.contains(QStringLiteral("fehlt.dic")));
        QVERIFY(engine.spokenTexts().isEmpty());
        return;
    }
    if (!result.ok())
        return;
    QCOMPARE(engine.spokenTexts(), QStringList({"Ein Satz. Noch einer.", "Und mehr.", "Das zweite Kapitel."}));
    QCOMPARE(MediaProbe::of(result.files[1]).tags.value(QStringLiteral("title")), QStringLiteral("Zwei"));
    // Progress goes through the chapters, then the encoding, to the end;
    // the time left comes from the clock.
    QCOMPARE(seen.front().chapter, 0);
    QCOMPARE(seen.front().chapters, 2);
    QCOMPARE(seen.front().msLeft, -1);
    for (int i = 1; i < seen.size(); ++i) {
        QVERIFY(seen[i].share >= seen[i - 1].share);
        QVERIFY(seen[i].chapter >= seen[i - 1].chapter);
        QVERIFY(!seen[i - 1].encoding || seen[i].encoding);
    }
    QCOMPARE(seen.back().share, 1.0);
    QVERIFY(seen.back().encoding);
    QCOMPARE(seen.back().msLeft, 0);
    const auto half = std::find_if(seen.begin(), seen.end(), [](const BookProgress &p) { return p.share >= 0.5; });
    QVERIFY(half != seen.end() && half->msLeft > 0);
}

void TestBookExport::bookBecomesFilesWithCuesOnTheSpeech_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("format");
    QTest::newRow("MP3 je Kapitel") << int(AudiobookLayout::FilePerChapter) << int(AudiobookFormat::Mp3);
    QTest::newRow("M4B mit Kapitelmarken") << int(AudiobookLayout::OneFileWithChapters) << int(AudiobookFormat::M4b);
}

void TestBookExport::bookBecomesFilesWithCuesOnTheSpeech()
{
    QFETCH(int, layout);
    QFETCH(int, format);
    if (!EspeakEngine::isAvailable())
        QSKIP("espeak-ng has no voice data here");
    QTemporaryDir dir;
    AudiobookOptions options;
    options.layout = AudiobookLayout(layout);
    options.format = AudiobookFormat(format);
    options.folder = dir.path();
    options.file = QStringLiteral("Buch.m4b");
    options.book.title = QStringLiteral("Annas Jahr");
    options.subtitles = SubtitleFormat::Srt;
    options.paragraphPauseMs = 1200;
    const QStringList titles = {"Kapitel eins", "Die Reise", "Das Ende"};

    QObject owner;
    const Book book = Book::fromDocument(*threeChapters(&owner));
    QCOMPARE(book.chapters.size(), 3);
    FakeClock clock;
    const AudiobookWriter::Result result =
        BookExport::run(book, options, plainVoice(), BookExport::Workers{}, clock);
    QVERIFY2(result.ok(), qPrintable(result.message));

    if (options.layout == AudiobookLayout::FilePerChapter) {
        QCOMPARE(result.files.size(), 3);
        QFile playlist(result.playlist);
        QVERIFY(playlist.open(QIODevice::ReadOnly));
        const QString list = QString::fromUtf8(playlist.readAll());
        for (int i = 0; i < 3; ++i) {
            const MediaProbe probe = MediaProbe::of(result.files[i]);
            QCOMPARE(probe.tags.value(QStringLiteral("title")), titles[i]);
            QCOMPARE(probe.tags.value(QStringLiteral("track")), QStringLiteral("%1/3").arg(i + 1));
            QCOMPARE(probe.tags.value(QStringLiteral("album")), options.book.title);
            QVERIFY(list.contains(QFileInfo(result.files[i]).fileName()));
        }
    } else {
        QCOMPARE(result.files.size(), 1);
        QCOMPARE(MediaProbe::of(result.files[0]).chapterTitles, titles);
    }

    // Every paragraph's speech (the heading's too) starts after a pause; a
    // cue starts within 50 ms of each, to the end of the book.
    QCOMPARE(result.subtitles.size(), result.files.size());
    int paragraphs = 0;
    for (int f = 0; f < result.files.size(); ++f) {
        int rate = 0;
        const std::vector<float> audio = MediaProbe::samples(result.files[f], &rate);
        QVERIFY(rate > 0);
        const QList<double> onsets = onsetsAfterSilence(audio, rate, options.paragraphPauseMs - 200);
        const QList<qint64> cues = cueStarts(result.subtitles[f]);
        for (double onset : onsets) {
            const auto nearest = std::min_element(cues.begin(), cues.end(), [onset](qint64 a, qint64 b) {
                return std::abs(double(a) - onset) < std::abs(double(b) - onset);
            });
            QVERIFY(nearest != cues.end());
            QVERIFY2(std::abs(double(*nearest) - onset) < 50.0,
                     qPrintable(QStringLiteral("Sprache ab %1 ms, Untertitel ab %2 ms").arg(onset).arg(*nearest)));
        }
        paragraphs += int(onsets.size());
    }
    QCOMPARE(paragraphs, 10);
}

void TestBookExport::chapterIsSpokenOnAThreadOfItsOwn()
{
    if (!EspeakEngine::isAvailable())
        QSKIP("espeak-ng has no voice data here");
    // Made here, spoken on a thread of its own while this one waits and
    // runs no event loop: the speaking thread needs none but its own.
    RecordingReceiver receiver;
    bool spoken = false;
    ChapterSynthesizer synthesizer(plainVoice());
    const QString problem = synthesizer.problem();
    const int rate = synthesizer.sampleRate();
    std::thread worker([&] {
        spoken = synthesizer.speak(
            chapter(QStringLiteral("Faden"), QStringLiteral("Kapitel drei. Tausend Tropfen.\nPaul kommt.")), receiver);
    });
    worker.join();
    QCOMPARE(problem, QString());
    QVERIFY(spoken);
    QCOMPARE(receiver.events.filter(QStringLiteral("Wort ")).size(), 6);
    QCOMPARE(receiver.events.count(QStringLiteral("Pause")), 1);
    QVERIFY(receiver.frames > rate / 2);
    // Each sentence opens with a stop, whose first sound the engine makes
    // after some silence: the mark is on that first sound, not before.
    const QStringList sentences = receiver.events.filter(QStringLiteral("Satz "));
    QCOMPARE(sentences.size(), 3);
    for (const QString &sentence : sentences) {
        const qint64 frame = sentence.section(u' ', 1, 1).toLongLong();
        QVERIFY2(frame > 0 && frame < qint64(receiver.audio.size()), qPrintable(receiver.events.join(u'|')));
        const auto loudest = [&receiver](qint64 from, qint64 to) {
            int level = 0;
            for (qint64 i = std::max<qint64>(0, from); i < std::min<qint64>(to, receiver.audio.size()); ++i)
                level = std::max(level, std::abs(int(receiver.audio[size_t(i)])));
            return level;
        };
        const qint64 ms10 = rate / 100;
        QVERIFY2(loudest(frame - ms10, frame) < 1000 && loudest(frame, frame + ms10) >= 1000, qPrintable(sentence));
    }
}

void TestBookExport::stoppedChapterLeavesItsReceiverAlone_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("abgebrochen") << true;
    QTest::newRow("Empfänger nimmt nichts mehr") << false;
}

void TestBookExport::stoppedChapterLeavesItsReceiverAlone()
{
    QFETCH(bool, cancel);
    if (!EspeakEngine::isAvailable())
        QSKIP("espeak-ng has no voice data here");
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("Dies ist der Satz Nummer %1 in einem langen Absatz. ").arg(i + 1);
    ChapterSynthesizer synthesizer(plainVoice());
    RecordingReceiver stopped;
    if (!cancel)
        stopped.failAfter = synthesizer.sampleRate();
    QVERIFY(!synthesizer.speak(chapter(QStringLiteral("Lang"), text), stopped,
                               [cancel](double share) { return !cancel || share < 0.2; }));
    const qint64 frames = stopped.frames;
    const QStringList events = stopped.events;
    // The engine speaks the next chapter after whatever it still did for
    // the stopped one; that one's receiver has heard nothing more, and it
    // stopped early.
    RecordingReceiver next;
    QVERIFY(synthesizer.speak(chapter(QStringLiteral("Danach"), text), next));
    QCOMPARE(stopped.frames, frames);
    QCOMPARE(stopped.events, events);
    QVERIFY2(frames < next.frames / 2, qPrintable(QStringLiteral("%1 von %2").arg(frames).arg(next.frames)));
}

QTEST_GUILESS_MAIN(TestBookExport)
#include "tst_bookexport.moc"
