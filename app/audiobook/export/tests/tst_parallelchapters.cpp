// Chapters spoken in worker processes: the chapter spool keeps a chapter's
// calls and refuses damaged files, and the parent hands the workers'
// chapters to the receiver in order, removing every spool on every way out.
// A stand-in worker with synthetic speech plays the workers here.

#include "BookExport.h"
#include "ChapterSpool.h"
#include "FakeClock.h"
#include "ParallelChapters.h"
#include "SyntheticChapter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <vector>

namespace {

constexpr int kPauseMs = 50;
constexpr qint64 kPauseFrames = qint64(kPauseMs) * SyntheticChapter::kRate / 1000;

// Keeps what it is given: the samples, and every other call with its frame.
class Recorder : public ChapterReceiver
{
public:
    void beginChapter(const QString &title) override
    {
        log.append(QStringLiteral("Kapitel %1").arg(title));
        m_frames = 0;
    }
    qint64 chapterFrames() const override { return m_frames; }
    bool write(const short *data, qint64 count) override
    {
        if (failAfter >= 0 && qint64(samples.size()) + count > failAfter)
            return false;
        samples.insert(samples.end(), data, data + count);
        m_frames += count;
        return true;
    }
    bool paragraphBreak() override
    {
        log.append(QStringLiteral("Absatz %1").arg(m_frames));
        samples.insert(samples.end(), size_t(kPauseFrames), short(0));
        m_frames += kPauseFrames;
        return true;
    }
    void markSentence(qint64 frame, const QString &text) override
    {
        log.append(QStringLiteral("Satz %1 %2").arg(frame).arg(text));
    }
    void markWord(qint64 frame, int position) override { log.append(QStringLiteral("Wort %1 %2").arg(frame).arg(position)); }

    QStringList log;
    std::vector<short> samples;
    qint64 failAfter = -1;

private:
    qint64 m_frames = 0;
};

QList<BookChapter> chaptersOf(const QStringList &texts)
{
    QList<BookChapter> chapters;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString &text = texts[i];
        chapters.append(BookChapter{QStringLiteral("Titel %1").arg(i + 1), text,
                                    int(text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts).size()),
                                    true});
    }
    return chapters;
}

// What the receiver gets when the chapters are spoken here, one after another.
Recorder spokenHere(const QList<BookChapter> &chapters)
{
    Recorder recorder;
    for (qsizetype i = 0; i < chapters.size(); ++i)
        SyntheticChapter::speak(int(i), chapters[i].title, chapters[i].text, recorder);
    return recorder;
}

QString words(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list.append(QStringLiteral("Wort%1").arg(i));
    return list.join(u' ');
}

QByteArray spoolBytes(const QString &folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("k.spool"));
    ChapterSpool spool(path, SyntheticChapter::kRate, kPauseFrames);
    spool.open();
    SyntheticChapter::speak(2, QStringLiteral("Der Titel"), QStringLiteral("Ein Satz hier\nNoch einer"), spool);
    spool.close();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QStringList hiddenFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestParallelChapters : public QObject
{
    Q_OBJECT
private slots:
    void spoolReplaysTheSameCalls();
    void damagedSpoolIsRefused_data();
    void damagedSpoolIsRefused();
    void chaptersArriveInOrder_data();
    void chaptersArriveInOrder();
    void faultyWorkerEndsTheExport_data();
    void faultyWorkerEndsTheExport();
    void cancelStopsHangingWorkers();
    void workersOfQuenoraSpeakGiveTheSameFiles();
};

void TestParallelChapters::spoolReplaysTheSameCalls()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("k.spool"));
    const QString text = QStringLiteral("Erster Absatz mit Wörtern\nZweiter\n\nNach einem leeren");
    ChapterSpool spool(path, SyntheticChapter::kRate, kPauseFrames);
    QVERIFY(spool.open());
    QVERIFY(SyntheticChapter::speak(4, QStringLiteral("Ä – Titel"), text, spool));
    QVERIFY2(spool.close(), qPrintable(spool.error()));

    Recorder direct;
    SyntheticChapter::speak(4, QStringLiteral("Ä – Titel"), text, direct);
    Recorder replayed;
    const ChapterSpool::Replay replay = ChapterSpool::replay(path, SyntheticChapter::kRate, replayed);
    QVERIFY2(replay.ok(), qPrintable(replay.error));
    QCOMPARE(replayed.log, direct.log);
    QVERIFY(replayed.samples == direct.samples);

    // A receiver that cannot keep the samples stops the replay.
    Recorder full;
    full.failAfter = 100;
    QCOMPARE(ChapterSpool::replay(path, SyntheticChapter::kRate, full).status,
             ChapterSpool::Replay::Status::ReceiverFailed);
}

void TestParallelChapters::damagedSpoolIsRefused_data()
{
    QTest::addColumn<int>("cutAt");        // keep this many bytes, -1: all
    QTest::addColumn<int>("patchAt");      // overwrite from here, -1: nowhere
    QTest::addColumn<QByteArray>("patch");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QString>("reason");

    const int rate = SyntheticChapter::kRate;
    QTest::newRow("leer") << 0 << -1 << QByteArray() << rate << "endet vorzeitig";
    QTest::newRow("nur Kopf") << 12 << -1 << QByteArray() << rate << "endet vorzeitig";
    QTest::newRow("mitten im Eintrag") << 30 << -1 << QByteArray() << rate << "endet vorzeitig";
    QTest::newRow("ohne Ende") << -3 << -1 << QByteArray() << rate << "endet vorzeitig";
    QTest::newRow("fremde Datei") << -1 << 0 << QByteArray("%PDF") << rate << "keine Zwischendatei";
    QTest::newRow("andere Rate") << -1 << -1 << QByteArray() << 22050 << "16000 Hz statt 22050 Hz";
    QTest::newRow("riesige Länge") << -1 << 13 << QByteArray("\xff\xff\xff\x7f", 4) << rate << "unlesbarer Eintrag";
    QTest::newRow("Länge über das Ende") << -1 << 13 << QByteArray("\x00\x00\x10\x00", 4) << rate << "endet vorzeitig";
    QTest::newRow("unbekannte Art") << -1 << 12 << QByteArray("Z") << rate << "unlesbarer Eintrag";
    QTest::newRow("Daten vor dem Kapitel") << -1 << 12 << QByteArray("S") << rate << "unlesbarer Eintrag";
    QTest::newRow("Anhang nach dem Ende") << -2 << -1 << QByteArray() << rate << "unlesbarer Eintrag";
}

void TestParallelChapters::damagedSpoolIsRefused()
{
    QFETCH(int, cutAt);
    QFETCH(int, patchAt);
    QFETCH(QByteArray, patch);
    QFETCH(int, rate);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QByteArray bytes = spoolBytes(dir.path());
    if (cutAt == -2)
        bytes.append("E\x08\0\0\0", 5).append(8, '\0');
    else if (cutAt == -3)
        bytes.chop(13); // the end record
    else if (cutAt >= 0)
        bytes.truncate(cutAt);
    if (patchAt >= 0)
        bytes.replace(patchAt, patch.size(), patch);
    const QString path = dir.filePath(QStringLiteral("kaputt.spool"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    Recorder recorder;
    const ChapterSpool::Replay replay = ChapterSpool::replay(path, rate, recorder);
    QCOMPARE(replay.status, ChapterSpool::Replay::Status::Damaged);
    QVERIFY2(replay.error.startsWith(QStringLiteral("Die Zwischendatei eines Kapitels ist beschädigt: ")),
             qPrintable(replay.error));
    QVERIFY2(replay.error.contains(reason), qPrintable(replay.error));
}

void TestParallelChapters::chaptersArriveInOrder_data()
{
    QTest::addColumn<int>("jobs");
    QTest::addColumn<QStringList>("texts");

    // The first chapter is the longest, so later ones are done before it.
    const QStringList book{words(2000) + u'\n' + words(500), words(3), QStringLiteral("Kurz\nund\nknapp"),
                           words(700), QString(), words(40)};
    QTest::newRow("zwei Prozesse") << 2 << book;
    QTest::newRow("mehr Prozesse als Kapitel") << 8 << QStringList{words(300), words(5)};
}

void TestParallelChapters::chaptersArriveInOrder()
{
    QFETCH(int, jobs);
    QFETCH(QStringList, texts);

    QTemporaryDir dir;
    const QList<BookChapter> chapters = chaptersOf(texts);
    ParallelChapters::Options options;
    options.program = QStringLiteral(FAKE_WORKER);
    options.jobs = jobs;
    options.folder = dir.path();
    options.voice.paragraphPauseMs = kPauseMs;
    ParallelChapters parallel(options);
    QCOMPARE(parallel.start(chapters), SyntheticChapter::kRate);

    Recorder recorder;
    double lastShare = 0.0;
    bool shareFell = false;
    const ParallelChapters::Status status = parallel.run(recorder, [&](int, double share) {
        shareFell = shareFell || share < lastShare - 1e-9;
        lastShare = share;
        return true;
    });
    QVERIFY2(status == ParallelChapters::Status::Ok, qPrintable(parallel.error()));
    const Recorder expected = spokenHere(chapters);
    QCOMPARE(recorder.log, expected.log);
    QVERIFY(recorder.samples == expected.samples);
    QVERIFY(!shareFell);
    QCOMPARE(hiddenFiles(dir.path()), QStringList());
}

void TestParallelChapters::faultyWorkerEndsTheExport_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");

    const QString fake = QStringLiteral(FAKE_WORKER);
    QTest::newRow("stirbt") << fake << "ABSTURZ" << "Kapitel 3 „Titel 3“: der Hilfsprozess hat sich unerwartet beendet.";
    QTest::newRow("Unsinn") << fake << "UNSINN" << "Kapitel 3 „Titel 3“: der Hilfsprozess antwortet unverständlich.";
    QTest::newRow("meldet Fehler") << fake << "FEHLER" << "Kapitel 3 „Titel 3“: Festplatte voll";
    QTest::newRow("Zwischendatei kaputt")
        << fake << "KAPUTT" << "Kapitel 3 „Titel 3“: Die Zwischendatei eines Kapitels ist beschädigt: sie endet vorzeitig.";
    QTest::newRow("Programm fehlt") << QStringLiteral("/nicht/da/quenora-speak") << "Gut"
                                    << "Der Hilfsprozess „/nicht/da/quenora-speak“ konnte nicht gestartet werden:";
}

void TestParallelChapters::faultyWorkerEndsTheExport()
{
    QFETCH(QString, program);
    QFETCH(QString, fault);
    QFETCH(QString, message);

    QTemporaryDir dir;
    // Chapters after the faulty one are long, so a worker is busy with
    // them when the fault comes.
    const QList<BookChapter> chapters =
        chaptersOf({words(10), words(10), fault, words(3000), words(3000), words(3000)});
    ParallelChapters::Options options;
    options.program = program;
    options.jobs = 2;
    options.folder = dir.path();
    ParallelChapters parallel(options);
    Recorder recorder;
    const bool started = parallel.start(chapters) > 0;
    const ParallelChapters::Status status = started ? parallel.run(recorder) : ParallelChapters::Status::Failed;
    QCOMPARE(status, ParallelChapters::Status::Failed);
    QVERIFY2(parallel.error().startsWith(message), qPrintable(parallel.error()));
    QCOMPARE(hiddenFiles(dir.path()), QStringList());
    // What was complete before the fault has arrived, nothing after it.
    QVERIFY(!recorder.log.contains(QStringLiteral("Kapitel Titel 4")));
}

void TestParallelChapters::cancelStopsHangingWorkers()
{
    QTemporaryDir dir;
    ParallelChapters::Options options;
    options.program = QStringLiteral(FAKE_WORKER);
    options.jobs = 2;
    options.folder = dir.path();
    ParallelChapters parallel(options);
    QVERIFY(parallel.start(chaptersOf({QStringLiteral("HAENGT"), QStringLiteral("HAENGT"), words(5)})) > 0);
    Recorder recorder;
    int calls = 0;
    // Asked again and again while the workers say nothing; the second time
    // the user cancels.
    const ParallelChapters::Status status = parallel.run(recorder, [&](int, double) { return ++calls < 2; });
    QCOMPARE(status, ParallelChapters::Status::Cancelled);
    QCOMPARE(hiddenFiles(dir.path()), QStringList());
    QVERIFY(recorder.log.isEmpty());
}

void TestParallelChapters::workersOfQuenoraSpeakGiveTheSameFiles()
{
    // The export spoken here and by two quenora-speak workers: the same
    // files, cues and playlist. The samples themselves may differ a little:
    // the engine's waveform carries its phase from one chapter to the next,
    // and a worker speaks other chapters before. No spool is left.
    Book book;
    book.info.title = QStringLiteral("Drei Teile");
    const QStringList texts = {QStringLiteral("Der erste Teil ist kurz. Er hat zwei Sätze.\nUnd einen Absatz."),
                               QStringLiteral("Im zweiten Teil steht etwas mehr, damit er länger dauert als die anderen."),
                               QStringLiteral("Ende.")};
    for (qsizetype i = 0; i < texts.size(); ++i)
        book.chapters.append(BookChapter{QStringLiteral("Teil %1").arg(i + 1), texts[i], 0, true});
    BookVoice voice;
    voice.dictionaries = BookVoice::Dictionaries::None;

    QList<QMap<QString, QByteArray>> written;
    for (const int jobs : {1, 2}) {
        QTemporaryDir dir;
        AudiobookOptions options;
        options.folder = dir.path();
        options.book = book.info;
        options.subtitles = SubtitleFormat::Srt;
        options.paragraphPauseMs = 300;
        FakeClock clock;
        const AudiobookWriter::Result result = BookExport::run(
            book, options, voice, BookExport::Workers{jobs, QStringLiteral(QUENORA_SPEAK)}, clock);
        QVERIFY2(result.ok(), qPrintable(result.message));
        QCOMPARE(result.files.size(), 3);
        QMap<QString, QByteArray> files;
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)) {
            QFile file(dir.filePath(name));
            file.open(QIODevice::ReadOnly);
            files.insert(name, file.readAll());
        }
        written.append(files);
    }
    QCOMPARE(written[1].keys(), written[0].keys());
    QCOMPARE(written[0].size(), 7); // three chapters with subtitles, the playlist
    // Within a few samples: the first loud sample a cue moves to, and a
    // chapter's length, may differ by the waveform's phase, so an audio
    // file may differ by a frame and a cue by a few milliseconds.
    const QRegularExpression cueTime(QStringLiteral("(\\d\\d):(\\d\\d):(\\d\\d),(\\d\\d\\d)"));
    const auto times = [&](const QByteArray &srt) {
        QList<int> ms;
        for (auto it = cueTime.globalMatch(QString::fromUtf8(srt)); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            ms.append(((m.captured(1).toInt() * 60 + m.captured(2).toInt()) * 60 + m.captured(3).toInt()) * 1000
                      + m.captured(4).toInt());
        }
        return ms;
    };
    for (const QString &name : written[0].keys()) {
        const QByteArray one = written[0].value(name);
        const QByteArray two = written[1].value(name);
        if (name.endsWith(QLatin1String(".mp3"))) {
            QVERIFY2(std::abs(one.size() - two.size()) <= one.size() / 100, qPrintable(name));
        } else if (name.endsWith(QLatin1String(".srt"))) {
            QCOMPARE(QString::fromUtf8(two).remove(cueTime), QString::fromUtf8(one).remove(cueTime));
            const QList<int> a = times(one), b = times(two);
            QCOMPARE(a.size(), b.size());
            for (qsizetype i = 0; i < a.size(); ++i)
                QVERIFY2(std::abs(a[i] - b[i]) <= 20, qPrintable(name));
        } else {
            QVERIFY2(two == one, qPrintable(name));
        }
    }
}

QTEST_GUILESS_MAIN(TestParallelChapters)
#include "tst_parallelchapters.moc"
