// The audiobook writer, checked with FFmpeg and libebur128 reading back what
// it wrote: names, playlist, tags, chapter marks, cue times, loudness, and
// what stays after a cancel.

#include "AudiobookWriter.h"
#include "EncodedFile.h"
#include "MediaProbe.h"
#include "SafeFileName.h"
#include "Subtitles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <csignal>
#include <vector>

#include <sys/resource.h>

namespace {

constexpr int kRate = 22050;

// A 440 Hz tone of amplitude (0..1) for frames frames.
std::vector<short> tone(qint64 frames, double amplitude)
{
    std::vector<short> samples(static_cast<size_t>(frames));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = short(std::lround(32767.0 * amplitude * std::sin(2 * M_PI * 440.0 * double(i) / kRate)));
    return samples;
}

AudiobookOptions optionsIn(const QString &folder)
{
    AudiobookOptions options;
    options.folder = folder;
    options.book.title = QStringLiteral("Das Buch");
    options.book.author = QStringLiteral("Erika Muster");
    options.book.year = QStringLiteral("2024");
    return options;
}

QStringList lines(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// A small PNG (1x1), the cover.
QByteArray coverPng()
{
    return QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==");
}

} // namespace

class TestAudiobook : public QObject
{
    Q_OBJECT
private slots:
    void safeNames_data();
    void safeNames();
    void longSentencesSplitIntoTwoLineCues_data();
    void longSentencesSplitIntoTwoLineCues();
    void cueTimesComeFromFramesWithoutDrift_data();
    void cueTimesComeFromFramesWithoutDrift();
    void filePerChapterWithTagsAndPlaylist();
    void oneFileWithChapterMarks_data();
    void oneFileWithChapterMarks();
    void cuesStartAtTheirSentencesInTheWrittenAudio();
    void loudnessReachesTheTargetWithOneGain();
    void cancelKeepsFinishedFilesAndRemovesTheUnfinished();
    void fullDiskKeepsFinishedFilesAndRemovesTheUnfinished_data();
    void fullDiskKeepsFinishedFilesAndRemovesTheUnfinished();
    void filesEncodedAtTheSameTimeAreTheSame();
    void hostileTitlesGiveValidFilesAndPlaylist();
    void thousandsOfHostileChapterMarksInOneFile();
    void refusedBeforeSynthesis_data();
    void refusedBeforeSynthesis();
};

void TestAudiobook::safeNames_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("Der Anfang") << QStringLiteral("Der Anfang");
    QTest::newRow("slashes") << QStringLiteral("Ein/Aus\\Weg") << QStringLiteral("Ein-Aus-Weg");
    QTest::newRow("leading dot") << QStringLiteral("..versteckt") << QStringLiteral("versteckt");
    QTest::newRow("control characters") << QStringLiteral("Zeile\neins\tzwei\x01") << QStringLiteral("Zeile eins zwei");
    QTest::newRow("FAT refuses") << QStringLiteral("Wer? \"Ich\" <du>|*") << QStringLiteral("Wer Ich du");
    QTest::newRow("nothing left") << QStringLiteral(" ./\x02 ") << QStringLiteral("Kapitel 3");
    QTest::newRow("bidi override") << QStringLiteral("abc\u202Egpj.exe") << QStringLiteral("abc gpj.exe");
}

void TestAudiobook::safeNames()
{
    QFETCH(QString, title);
    QFETCH(QString, name);
    QCOMPARE(SafeFileName::fromTitle(title, QStringLiteral("Kapitel 3")), name);
}

void TestAudiobook::longSentencesSplitIntoTwoLineCues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cues");
    QTest::newRow("short") << QStringLiteral("Es war einmal.") << 1;
    QTest::newRow("long") << QStringLiteral(
        "Es war einmal ein König, der hatte drei Töchter, und die jüngste war so schön, dass die Sonne selber, "
        "die doch so vieles gesehen hat, sich verwunderte, sooft sie ihr ins Gesicht schien.")
                          << 4;
    QTest::newRow("one endless word") << QString(200, u'x') << 3;
}

void TestAudiobook::longSentencesSplitIntoTwoLineCues()
{
    QFETCH(QString, text);
    QFETCH(int, cues);
    const QList<Cue> result = Subtitles::cuesFor(SentenceMark{1000, text, {}}, 1000 + 10 * kRate);
    QStringList shown;
    for (const Cue &cue : result)
        shown << cue.lines.join(u'|');
    QVERIFY2(result.size() == cues, qPrintable(shown.join(u'#')));
    QString words;
    for (const Cue &cue : result) {
        QVERIFY(cue.lines.size() <= 2);
        for (const QString &line : cue.lines) {
            QVERIFY2(line.size() <= Subtitles::kLineLength, qPrintable(line));
            words += QString(line).remove(u' ');
        }
        QVERIFY(cue.start < cue.end);
    }
    QCOMPARE(words, QString(text).remove(u' ')); // nothing lost, nothing doubled
    QCOMPARE(result.front().start, 1000);
    QCOMPARE(result.back().end, 1000 + 10 * kRate);
    if (text.contains(u',')) // the first line breaks after a clause
        QVERIFY(result.front().lines.front().endsWith(u','));
}

void TestAudiobook::cueTimesComeFromFramesWithoutDrift_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<qint64>("frame");
    QTest::addColumn<QString>("line");
    const qint64 twoHours = qint64(2) * 3600 * kRate;
    QTest::newRow("srt start") << int(SubtitleFormat::Srt) << qint64(0) << QStringLiteral("00:00:00,000 --> ");
    QTest::newRow("srt after two hours")
        << int(SubtitleFormat::Srt) << twoHours + kRate / 2 << QStringLiteral("02:00:00,500 --> ");
    QTest::newRow("vtt after two hours")
        << int(SubtitleFormat::WebVtt) << twoHours + kRate - 1 << QStringLiteral("02:00:00.999 --> ");
    QTest::newRow("lrc after two hours") << int(SubtitleFormat::Lrc) << twoHours + kRate / 2 << QStringLiteral("[120:00.50]");
}

void TestAudiobook::cueTimesComeFromFramesWithoutDrift()
{
    QFETCH(int, format);
    QFETCH(qint64, frame);
    QFETCH(QString, line);
    const QList<Cue> cues = {Cue{frame, frame + kRate, {QStringLiteral("a --> <b>")}}};
    const QString text = QString::fromUtf8(Subtitles::render(SubtitleFormat(format), cues, kRate, {}));
    QVERIFY2(text.contains(line), qPrintable(text));
    if (SubtitleFormat(format) != SubtitleFormat::Lrc) // text never reads as a time line
        QVERIFY2(!text.contains(QStringLiteral("a -->")), qPrintable(text));
}

void TestAudiobook::filePerChapterWithTagsAndPlaylist()
{
    QTemporaryDir dir;
    AudiobookOptions options = optionsIn(dir.path());
    options.format = AudiobookFormat::Mp3;
    options.book.cover = coverPng();
    AudiobookWriter writer;
    QVERIFY2(writer.open(options, kRate), qPrintable(writer.error()));
    const QStringList titles = {QStringLiteral("Erstes Kapitel"), QStringLiteral("Zweites: Mitte"),
                                QStringLiteral("Drittes")};
    const QList<double> seconds = {1.0, 2.0, 0.5};
    for (int i = 0; i < 3; ++i) {
        writer.beginChapter(titles[i]);
        const std::vector<short> samples = tone(qint64(seconds[i] * kRate), 0.3);
        QVERIFY(writer.write(samples.data(), qint64(samples.size())));
    }
    const AudiobookWriter::Result result = writer.finish();
    QVERIFY2(result.ok(), qPrintable(result.message));

    const QStringList names = {QStringLiteral("01 Erstes Kapitel.mp3"), QStringLiteral("02 Zweites- Mitte.mp3"),
                               QStringLiteral("03 Drittes.mp3")};
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             QStringList(names) << QStringLiteral("Das Buch.m3u8"));
    for (int i = 0; i < 3; ++i) {
        const MediaProbe probe = MediaProbe::of(dir.filePath(names[i]));
        QVERIFY(probe.opened);
        QCOMPARE(probe.codec, QStringLiteral("mp3"));
        QCOMPARE(probe.tags.value(QStringLiteral("title")), titles[i]);
        QCOMPARE(probe.tags.value(QStringLiteral("album")), QStringLiteral("Das Buch"));
        QCOMPARE(probe.tags.value(QStringLiteral("artist")), QStringLiteral("Erika Muster"));
        QCOMPARE(probe.tags.value(QStringLiteral("track")), QStringLiteral("%1/3").arg(i + 1));
        QCOMPARE(probe.tags.value(QStringLiteral("date")), QStringLiteral("2024"));
        QVERIFY(probe.hasPicture);
        // 0.5 s before and 1.5 s after each chapter.
        QVERIFY2(std::abs(probe.duration - (seconds[i] + 2.0)) < 0.1, qPrintable(QString::number(probe.duration)));
    }
    QCOMPARE(lines(result.playlist),
             QStringList({QStringLiteral("#EXTM3U"), QStringLiteral("#EXTINF:3,Erstes Kapitel"), names[0],
                          QStringLiteral("#EXTINF:4,Zweites: Mitte"), names[1], QStringLiteral("#EXTINF:2,Drittes"),
                          names[2]}));
}

void TestAudiobook::oneFileWithChapterMarks_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("codec");
    QTest::newRow("m4b") << int(AudiobookFormat::M4b) << QStringLiteral("aac");
    QTest::newRow("mp3") << int(AudiobookFormat::Mp3) << QStringLiteral("mp3");
    QTest::newRow("opus") << int(AudiobookFormat::Opus) << QStringLiteral("opus");
}

void TestAudiobook::oneFileWithChapterMarks()
{
    QFETCH(int, format);
    QFETCH(QString, codec);
    if (!EncodedFile::available(AudiobookFormat(format)))
        QSKIP("this FFmpeg lacks the encoder");
    QTemporaryDir dir;
    AudiobookOptions options = optionsIn(dir.path());
    options.layout = AudiobookLayout::OneFileWithChapters;
    options.format = AudiobookFormat(format);
    options.file = QStringLiteral("buch.") + AudiobookFormats::suffix(options.format);
    options.book.cover = coverPng();
    AudiobookWriter writer;
    QVERIFY2(writer.open(options, kRate), qPrintable(writer.error()));
    const QStringList titles = {QStringLiteral("Eins"), QStringLiteral("Zwei"), QStringLiteral("Drei")};
    for (const QString &title : titles) {
        writer.beginChapter(title);
        const std::vector<short> samples = tone(kRate, 0.3);
        QVERIFY(writer.write(samples.data(), qint64(samples.size())));
    }
    const AudiobookWriter::Result result = writer.finish();
    QVERIFY2(result.ok(), qPrintable(result.message));
    QCOMPARE(result.files, QStringList{dir.filePath(options.file)});

    const MediaProbe probe = MediaProbe::of(dir.filePath(options.file));
    QVERIFY(probe.opened);
    QCOMPARE(probe.codec, codec);
    QCOMPARE(probe.chapterTitles, titles);
    for (int i = 0; i < 3; ++i) // each chapter: 0.5 + 1 + 1.5 s
        QVERIFY2(std::abs(probe.chapterStarts[i] - 3.0 * i) < 0.05, qPrintable(QString::number(probe.chapterStarts[i])));
    QVERIFY2(std::abs(probe.duration - 9.0) < 0.15, qPrintable(QString::number(probe.duration)));
    QCOMPARE(probe.tags.value(QStringLiteral("title")), QStringLiteral("Das Buch"));
    QCOMPARE(probe.tags.value(QStringLiteral("album")), QStringLiteral("Das Buch"));
    QCOMPARE(probe.tags.value(QStringLiteral("artist")), QStringLiteral("Erika Muster"));
    QVERIFY(probe.hasPicture || probe.tags.contains(QStringLiteral("metadata_block_picture")));
}

void TestAudiobook::cuesStartAtTheirSentencesInTheWrittenAudio()
{
    QTemporaryDir dir;
    AudiobookOptions options = optionsIn(dir.path());
    options.subtitles = SubtitleFormat::Srt;
    options.silenceBeforeMs = 700;
    options.paragraphPauseMs = 300;
    AudiobookWriter writer;
    QVERIFY(writer.open(options, kRate));
    writer.beginChapter(QStringLiteral("Eins"));
    // Sentences start at known frames; a paragraph pause lies between.
    QList<qint64> starts;
    for (int i = 0; i < 4; ++i) {
        if (i == 2)
            QVERIFY(writer.paragraphBreak());
        const std::vector<short> silence(static_cast<size_t>(1234 * (i + 1)), 0);
        QVERIFY(writer.write(silence.data(), qint64(silence.size())));
        starts.append(writer.chapterFrames());
        writer.markSentence(writer.chapterFrames(), QStringLiteral("Satz Nummer %1.").arg(i + 1));
        const std::vector<short> speech = tone(kRate / 3, 0.3);
        QVERIFY(writer.write(speech.data(), qint64(speech.size())));
    }
    const AudiobookWriter::Result result = writer.finish();
    QVERIFY2(result.ok(), qPrintable(result.message));
    QCOMPARE(result.subtitles, QStringList{dir.filePath(QStringLiteral("01 Eins.srt"))});

    const QStringList srt = lines(result.subtitles.front());
    const QRegularExpression timing(QStringLiteral(R"(^(\d\d):(\d\d):(\d\d),(\d\d\d) --> )"));
    QList<qint64> cueMs;
    for (const QString &line : srt) {
        const auto m = timing.match(line);
        if (m.hasMatch())
            cueMs.append(((m.captured(1).toLongLong() * 60 + m.captured(2).toLongLong()) * 60 + m.captured(3).toLongLong())
                             * 1000 + m.captured(4).toLongLong());
    }
    QCOMPARE(cueMs.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const double sentenceMs = 700.0 + 1000.0 * double(starts[i]) / kRate;
        QVERIFY2(std::abs(double(cueMs[i]) - sentenceMs) < 50.0, qPrintable(QString::number(cueMs[i])));
    }
}

void TestAudiobook::loudnessReachesTheTargetWithOneGain()
{
    QTemporaryDir dir;
    AudiobookOptions options = optionsIn(dir.path());
    options.format = AudiobookFormat::M4b;
    options.normalize = true;
    options.silenceBeforeMs = options.silenceAfterMs = 0;
    AudiobookWriter writer;
    QVERIFY(writer.open(options, kRate));
    // A quiet and a louder chapter: they keep their difference of 6 dB.
    const QList<double> amplitudes = {0.02, 0.04};
    for (int i = 0; i < 2; ++i) {
        writer.beginChapter(QStringLiteral("K%1").arg(i + 1));
        const std::vector<short> samples = tone(5 * kRate, amplitudes[i]);
        QVERIFY(writer.write(samples.data(), qint64(samples.size())));
    }
    const AudiobookWriter::Result result = writer.finish();
    QVERIFY2(result.ok(), qPrintable(result.message));
    QCOMPARE(result.files.size(), 2);
    const auto [quiet, quietPeak] = MediaProbe::loudness(result.files[0]);
    const auto [loud, loudPeak] = MediaProbe::loudness(result.files[1]);
    const double book = 10 * std::log10((std::pow(10, quiet / 10) + std::pow(10, loud / 10)) / 2);
    QVERIFY2(std::abs(book - options.targetLufs) < 1.0, qPrintable(QString::number(book)));
    QVERIFY2(std::abs((loud - quiet) - 6.02) < 0.5, qPrintable(QString::number(loud - quiet)));
    QVERIFY(loudPeak <= options.ceilingDbtp + 0.5);
}

void TestAudiobook::cancelKeepsFinishedFilesAndRemovesTheUnfinished()
{
    QTemporaryDir dir;
    AudiobookOptions options = optionsIn(dir.path());
    options.subtitles = SubtitleFormat::WebVtt;
    AudiobookWriter writer;
    QVERIFY(writer.open(options, kRate));
    for (int i = 0; i < 3; ++i) {
        writer.beginChapter(QStringLiteral("Teil %1").arg(i + 1));
        writer.markSentence(0, QStringLiteral("Ein Satz."));
        const std::vector<short> samples = tone(2 * kRate, 0.3);
        QVERIFY(writer.write(samples.data(), qint64(samples.size())));
    }
    // Cancelled in the middle of the second chapter.
    const AudiobookWriter::Result result = writer.finish([](double share) { return share < 0.5; });
    QCOMPARE(int(result.status), int(AudiobookWriter::Result::Status::Cancelled));
    QVERIFY(!result.message.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             QStringList({QStringLiteral("01 Teil 1.mp3"), QStringLiteral("01 Teil 1.vtt"),
                          QStringLiteral("Das Buch.m3u8")}));
    QVERIFY(MediaProbe::of(dir.filePath(QStringLiteral("01 Teil 1.mp3"))).duration > 3.9);
    QCOMPARE(lines(result.playlist).size(), 3);
}

void TestAudiobook::fullDiskKeepsFinishedFilesAndRemovesTheUnfinished_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("nacheinander") << 1;
    QTest::newRow("gleichzeitig") << 2;
}

void TestAudiobook::fullDiskKeepsFinishedFilesAndRemovesTheUnfinished()
{
    QFETCH(int, threads);
    QTemporaryDir dir;
    AudiobookOptions options = optionsIn(dir.path());
    options.threads = threads;
    AudiobookWriter writer;
    QVERIFY(writer.open(options, kRate));
    const QList<int> seconds = {1, 12};
    for (int i = 0; i < 2; ++i) {
        writer.beginChapter(QStringLiteral("Teil %1").arg(i + 1));
        const std::vector<short> samples = tone(seconds[i] * kRate, 0.3);
        QVERIFY(writer.write(samples.data(), qint64(samples.size())));
    }
    // Files may not grow past 60 kB: the first chapter fits, the second not.
    signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit = old;
    limit.rlim_cur = 60 * 1024;
    setrlimit(RLIMIT_FSIZE, &limit);
    const AudiobookWriter::Result result = writer.finish();
    setrlimit(RLIMIT_FSIZE, &old);

    QCOMPARE(int(result.status), int(AudiobookWriter::Result::Status::Failed));
    QVERIFY2(result.message.contains(QStringLiteral("Datenträger voll")), qPrintable(result.message));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             QStringList({QStringLiteral("01 Teil 1.mp3"), QStringLiteral("Das Buch.m3u8")}));
    QVERIFY(MediaProbe::of(dir.filePath(QStringLiteral("01 Teil 1.mp3"))).duration > 2.9);
    QCOMPARE(lines(result.playlist).size(), 3);
}

void TestAudiobook::filesEncodedAtTheSameTimeAreTheSame()
{
    // The same book written one file after another and three at a time:
    // the same files, byte for byte, and the same playlist and subtitles.
    QList<QMap<QString, QByteArray>> written;
    for (const int threads : {1, 3}) {
        QTemporaryDir dir;
        AudiobookOptions options = optionsIn(dir.path());
        options.subtitles = SubtitleFormat::Srt;
        options.threads = threads;
        AudiobookWriter writer;
        QVERIFY(writer.open(options, kRate));
        for (int i = 0; i < 7; ++i) {
            writer.beginChapter(QStringLiteral("Kapitel %1").arg(i + 1));
            writer.markSentence(kRate / 4, QStringLiteral("Satz %1.").arg(i + 1));
            const std::vector<short> samples = tone((i % 3 + 1) * kRate / 2, 0.1 * (i + 1));
            QVERIFY(writer.write(samples.data(), qint64(samples.size())));
        }
        const AudiobookWriter::Result result = writer.finish();
        QVERIFY2(result.ok(), qPrintable(result.message));
        QCOMPARE(result.files.size(), 7);
        QCOMPARE(result.subtitles.size(), 7);
        QMap<QString, QByteArray> files;
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)) {
            QFile file(dir.filePath(name));
            file.open(QIODevice::ReadOnly);
            files.insert(name, file.readAll());
        }
        written.append(files);
    }
    QCOMPARE(written[1].keys(), written[0].keys());
    QCOMPARE(written[0].size(), 15);
    for (const QString &name : written[0].keys())
        QVERIFY2(written[1].value(name) == written[0].value(name), qPrintable(name));
}

void TestAudiobook::hostileTitlesGiveValidFilesAndPlaylist()
{
    QTemporaryDir dir;
    AudiobookOptions options = optionsIn(dir.path());
    options.book.title = QString(10000, u'B') + u'\n';
    options.silenceBeforeMs = options.silenceAfterMs = 0;
    AudiobookWriter writer;
    QVERIFY(writer.open(options, kRate));
    const int chapters = 1200;
    const std::vector<short> word = tone(kRate / 20, 0.3);
    for (int i = 0; i < chapters; ++i) {
        writer.beginChapter(i % 2 ? QStringLiteral("\x1b[31m/../Wort\n%1").arg(i) : QString(10000, u'ä'));
        QVERIFY(writer.write(word.data(), qint64(word.size())));
    }
    const AudiobookWriter::Result result = writer.finish();
    QVERIFY2(result.ok(), qPrintable(result.message));
    QCOMPARE(result.files.size(), chapters);
    QCOMPARE(QFileInfo(result.files[1]).fileName(), QStringLiteral("0002 [31m-..-Wort 1.mp3"));
    for (const QString &file : result.files) {
        QCOMPARE(QFileInfo(file).dir().absolutePath(), QDir(dir.path()).absolutePath());
        QVERIFY(QFileInfo(file).fileName().toUtf8().size() <= 255);
    }
    QVERIFY(MediaProbe::of(result.files.back()).opened);
    QCOMPARE(MediaProbe::of(result.files.front()).tags.value(QStringLiteral("title")), QString(10000, u'ä'));
    const QStringList playlist = lines(result.playlist);
    QCOMPARE(playlist.size(), 1 + 2 * chapters);
    for (int i = 0; i < chapters; ++i)
        QCOMPARE(playlist[2 + 2 * i], QFileInfo(result.files[i]).fileName());
}

void TestAudiobook::thousandsOfHostileChapterMarksInOneFile()
{
    QTemporaryDir dir;
    AudiobookOptions options = optionsIn(dir.path());
    options.layout = AudiobookLayout::OneFileWithChapters;
    options.format = AudiobookFormat::M4b;
    options.file = QStringLiteral("buch.m4b");
    options.silenceBeforeMs = options.silenceAfterMs = 0;
    AudiobookWriter writer;
    QVERIFY(writer.open(options, kRate));
    const int chapters = 2000;
    const std::vector<short> word = tone(kRate / 20, 0.3);
    for (int i = 0; i < chapters; ++i) {
        writer.beginChapter(QStringLiteral("\x01\n") + QString(10000, u'\u00e4'));
        QVERIFY(writer.write(word.data(), qint64(word.size())));
    }
    const AudiobookWriter::Result result = writer.finish();
    QVERIFY2(result.ok(), qPrintable(result.message));
    const MediaProbe probe = MediaProbe::of(result.files.front());
    QCOMPARE(probe.chapterTitles.size(), chapters);
    QCOMPARE(probe.chapterTitles.back(), QString(255, u'\u00e4'));
    QVERIFY(std::abs(probe.chapterStarts.back() - (chapters - 1) / 20.0) < 0.05);
}

void TestAudiobook::refusedBeforeSynthesis_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no folder") << QStringLiteral("fehlt") << QString() << QStringLiteral("existiert nicht");
    QTest::newRow("target is a folder") << QString() << QStringLiteral("ordner") << QStringLiteral("konnte nicht geschrieben werden");
}

void TestAudiobook::refusedBeforeSynthesis()
{
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("ordner"));
    AudiobookOptions options = optionsIn(folder.isEmpty() ? dir.path() : dir.filePath(folder));
    if (!file.isEmpty()) {
        options.layout = AudiobookLayout::OneFileWithChapters;
        options.file = file;
    }
    AudiobookWriter writer;
    QVERIFY(!writer.open(options, kRate));
    QVERIFY2(writer.error().contains(reason), qPrintable(writer.error()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("ordner")});
}

QTEST_GUILESS_MAIN(TestAudiobook)
#include "tst_audiobook.moc"
