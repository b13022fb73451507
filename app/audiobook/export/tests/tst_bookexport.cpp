// A book spoken into audiobook files: where sentence and word marks land
// (fake engine, known frames), progress and cancel of the export, and with
// espeak-ng files, chapters, tags and cues that start with the speech.

#include "BookExport.h"
#include "ChapterReceiver.h"
#include "ChapterSynthesizer.h"
#include "EspeakEngine.h"
#include "FakeClock.h"
#include "FakeSpeechEngine.h"
#include "MediaProbe.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <thread>

namespace {

// Keeps what it is told as lines, and the samples (pauses as zeros).
class RecordingReceiver : public ChapterReceiver
{
public:
    static constexpr qint64 Pause = 500;
    QStringList events;
    std::vector<short> audio;
    qint64 failAfter = -1; // refuses samples beyond this many frames

    void beginChapter(const QString &title) override { events << QStringLiteral("Kapitel ") + title; }
    qint64 chapterFrames() const override { return qint64(audio.size()); }
    bool write(const short *samples, qint64 count) override
    {
        audio.insert(audio.end(), samples, samples + count);
        return failAfter < 0 || chapterFrames() <= failAfter;
    }
    bool paragraphBreak() override
    {
        audio.resize(audio.size() + Pause, 0);
        events << QStringLiteral("Pause");
        return true;
    }
    void markSentence(qint64 frame, const QString &text) override { events << QStringLiteral("Satz %1 %2").arg(frame).arg(text); }
    void markWord(qint64 frame, int position) override { events << QStringLiteral("Wort %1 %2").arg(frame).arg(position); }
    int loudest(qint64 from, qint64 to) const
    {
        int level = 0;
        for (qint64 i = std::max<qint64>(0, from); i < std::min(to, chapterFrames()); ++i)
            level = std::max(level, std::abs(int(audio[size_t(i)])));
        return level;
    }
};

BookChapter chapter(const QString &title, const QString &text)
{
    return BookChapter{title, text, 0, true};
}

BookVoice plainVoice()
{
    BookVoice voice;
    voice.dictionaries = BookVoice::Dictionaries::None;
    return voice;
}

QList<qint64> srtCueStartsMs(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    static const QRegularExpression timing(QStringLiteral(R"(^(\d\d):(\d\d):(\d\d),(\d\d\d) --> )"),
                                           QRegularExpression::MultilineOption);
    QList<qint64> starts;
    for (auto it = timing.globalMatch(QString::fromUtf8(file.readAll())); it.hasNext();) {
        const auto m = it.next();
        starts << ((m.captured(1).toLongLong() * 60 + m.captured(2).toLongLong()) * 60 + m.captured(3).toLongLong())
                          * 1000 + m.captured(4).toLongLong();
    }
    return starts;
}

// Where sound above -30 dBFS starts after at least silenceMs without, in ms.
QList<double> onsetsAfterSilence(const std::vector<float> &samples, int rate, int silenceMs)
{
    const qint64 needed = qint64(silenceMs) * rate / 1000;
    QList<double> onsets;
    qint64 quiet = needed;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) < 0.03f) {
            ++quiet;
            continue;
        }
        if (quiet >= needed)
            onsets << 1000.0 * double(i) / rate;
        quiet = 0;
    }
    return onsets;
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
    void chapterIsSpokenOnAThreadOfItsOwn_data();
    void chapterIsSpokenOnAThreadOfItsOwn();
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
    RecordingReceiver receiver;
    QVERIFY(synthesizer.speak(chapter(QStringLiteral("K"), text), receiver));
    QCOMPARE(receiver.events, events);
}

void TestBookExport::exportRunsToItsEndOrStops_data()
{
    QTest::addColumn<QString>("stopWhen");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("files");
    using S = AudiobookWriter::Result::Status;
    QTest::newRow("bis zum Ende") << QString() << int(S::Ok) << 2;
    QTest::newRow("Abbruch im zweiten Kapitel") << QStringLiteral("Kapitel 2") << int(S::Cancelled) << 0;
    QTest::newRow("Abbruch beim Schreiben") << QStringLiteral("Schreiben") << int(S::Cancelled) << 0;
    QTest::newRow("Wörterbuch fehlt") << QStringLiteral("Wörterbuch") << int(S::Failed) << 0;
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
    const auto result = BookExport::speak(book, options, synthesizer, clock, [&](const BookProgress &progress) {
        seen << progress;
        clock.advanceMs(1000);
        return !(stopWhen == QStringLiteral("Kapitel 2") && progress.chapter == 1)
               && !(stopWhen == QStringLiteral("Schreiben") && progress.encoding);
    });
    QCOMPARE(int(result.status), status);
    QCOMPARE(result.files.size(), files);
    QVERIFY(result.ok() == result.message.isEmpty());
    // Only complete files stay, with their playlist and subtitles.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), result.ok() ? 2 * files + 1 : files);
    if (stopWhen == QStringLiteral("Wörterbuch")) {
        QVERIFY(result.message.contains(QStringLiteral("fehlt.dic")));
        QVERIFY(engine.spokenTexts().isEmpty());
    }
    if (!result.ok())
        return;
    QCOMPARE(engine.spokenTexts(), QStringList({"Ein Satz. Noch einer.", "Und mehr.", "Das zweite Kapitel."}));
    QCOMPARE(MediaProbe::of(result.files[1]).tags.value(QStringLiteral("title")), QStringLiteral("Zwei"));
    // Through the chapters, then the encoding, to the end; the time left
    // comes from the clock.
    QCOMPARE(seen.front().chapters, 2);
    QCOMPARE(seen.front().msLeft, -1);
    for (int i = 1; i < seen.size(); ++i) {
        QVERIFY(seen[i].share >= seen[i - 1].share && seen[i].chapter >= seen[i - 1].chapter);
        QVERIFY(!seen[i - 1].encoding || seen[i].encoding);
    }
    QVERIFY(seen.back().share == 1.0 && seen.back().encoding && seen.back().msLeft == 0);
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
    // Titles and paragraphs opening with a stop ("Kapitel", "Tausend")
    // start with silence in the engine's word.
    QTextDocument doc;
    doc.setHtml(QStringLiteral("<h1>Kapitel eins</h1><p>Anna geht in den Garten. Dort blühen die Rosen.</p>"
                               "<p>Tausend Tropfen fallen am Abend. Alle gehen hinein.</p>"
                               "<h1>Die Reise</h1><p>Am Morgen fährt der Zug ab. Er ist voll besetzt.</p>"
                               "<p>In Hamburg steigt Anna aus. Ihr Onkel wartet schon.</p>"
                               "<p>Am Hafen essen sie Fisch. Es ist windig und kalt.</p>"
                               "<h1>Das Ende</h1><p>Im Herbst ist Anna wieder zu Hause. Der Garten ist leer.</p>"
                               "<p>Alles ist wieder still. Und das ist gut so.</p>"));
    const QStringList titles = {"Kapitel eins", "Die Reise", "Das Ende"};
    FakeClock clock;
    const auto result = BookExport::run(Book::fromDocument(doc), options, plainVoice(), {}, clock);
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

    // Each paragraph's speech (the headings' too) starts after a pause; a
    // cue starts within 50 ms of each, to the end of the book.
    QCOMPARE(result.subtitles.size(), result.files.size());
    int paragraphs = 0;
    for (int f = 0; f < result.files.size(); ++f) {
        int rate = 0;
        const std::vector<float> audio = MediaProbe::samples(result.files[f], &rate);
        const QList<qint64> cues = srtCueStartsMs(result.subtitles[f]);
        for (double onset : onsetsAfterSilence(audio, rate, options.paragraphPauseMs - 200)) {
            const auto nearest = std::min_element(cues.begin(), cues.end(), [onset](qint64 a, qint64 b) {
                return std::abs(double(a) - onset) < std::abs(double(b) - onset);
            });
            QVERIFY(nearest != cues.end());
            QVERIFY2(std::abs(double(*nearest) - onset) < 50.0,
                     qPrintable(QStringLiteral("Sprache ab %1 ms, Untertitel ab %2 ms").arg(onset).arg(*nearest)));
            ++paragraphs;
        }
    }
    QCOMPARE(paragraphs, 10);
}

void TestBookExport::chapterIsSpokenOnAThreadOfItsOwn_data()
{
    QTest::addColumn<QString>("stop");
    QTest::newRow("bis zum Ende") << QString();
    QTest::newRow("abgebrochen") << QStringLiteral("Abbruch");
    QTest::newRow("Empfänger nimmt nichts mehr") << QStringLiteral("voll");
}

void TestBookExport::chapterIsSpokenOnAThreadOfItsOwn()
{
    QFETCH(QString, stop);
    if (!EspeakEngine::isAvailable())
        QSKIP("espeak-ng has no voice data here");
    // Made here, spoken on a thread of its own while this one waits and
    // runs no event loop.
    ChapterSynthesizer synthesizer(plainVoice());
    QCOMPARE(synthesizer.problem(), QString());
    const qint64 rate = synthesizer.sampleRate();
    QString text = QStringLiteral("Kapitel drei. Tausend Tropfen.\nPaul kommt.");
    for (int i = 0; !stop.isEmpty() && i < 40; ++i)
        text += QStringLiteral(" Dies ist der Satz Nummer %1 in einem langen Absatz.").arg(i + 1);
    RecordingReceiver receiver;
    receiver.failAfter = stop == QStringLiteral("voll") ? 3 * rate : -1;
    bool spoken = false;
    std::thread([&] {
        spoken = synthesizer.speak(chapter(QStringLiteral("Faden"), text), receiver,
                                   [&stop](double share) { return stop != QStringLiteral("Abbruch") || share < 0.2; });
    }).join();
    QCOMPARE(spoken, stop.isEmpty());
    if (!stop.isEmpty()) {
        // The next chapter is spoken after whatever the engine still did
        // for the stopped one, which has heard nothing more.
        const RecordingReceiver stopped = receiver;
        RecordingReceiver next;
        QVERIFY(synthesizer.speak(chapter(QStringLiteral("Danach"), text), next));
        QCOMPARE(receiver.events, stopped.events);
        QVERIFY(receiver.chapterFrames() == stopped.chapterFrames() && stopped.chapterFrames() < next.chapterFrames() / 2);
        return;
    }
    QCOMPARE(receiver.events.filter(QStringLiteral("Wort ")).size(), 6);
    QCOMPARE(receiver.events.count(QStringLiteral("Pause")), 1);
    // Each sentence opens with a stop, whose first sound the engine makes
    // after some silence: the mark is on that first sound, not before.
    const QStringList sentences = receiver.events.filter(QStringLiteral("Satz "));
    QCOMPARE(sentences.size(), 3);
    for (const QString &sentence : sentences) {
        const qint64 frame = sentence.section(u' ', 1, 1).toLongLong();
        QVERIFY2(receiver.loudest(frame - rate / 100, frame) < 1000 && receiver.loudest(frame, frame + rate / 100) >= 1000,
                 qPrintable(sentence));
    }
}

QTEST_GUILESS_MAIN(TestBookExport)
#include "tst_bookexport.moc"
