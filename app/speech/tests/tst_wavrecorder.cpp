#include "EspeakEngine.h"
#include "SpeakCommand.h"
#include "WavAnalysis.h"
#include "WavRecorder.h"

#include <QtTest>

#include <cstdio>
#include <vector>

// The recorder's file: valid at every length, and never the reason a disk
// runs full.
class tst_WavRecorder : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void smallRecordingIsRiffWaveWithRoomForLargeSizes();
    void usersFileIsReplacedOnlyWhenComplete_data();
    void usersFileIsReplacedOnlyWhenComplete();
    void keepsTheReserveFree_data();
    void keepsTheReserveFree();
    void recorderEngineStopsForSpaceOnce();
    void speakCommandKeepsTheOldFileAndFails_data();
    void speakCommandKeepsTheOldFileAndFails();
    void standardInputIsLimited();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

constexpr qint64 MiB = qint64(1) << 20;
constexpr qint64 GiB = qint64(1) << 30;

// A volume whose free space shrinks by what the recording has written.
DiskReserve::Probe shrinkingVolume(qint64 total, qint64 availableAtStart)
{
    return [=](const QString &path) -> std::optional<DiskReserve::Space> {
        return DiskReserve::Space{availableAtStart - QFileInfo(path).size(), total};
    };
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString readStream(std::FILE *f)
{
    std::rewind(f);
    QByteArray bytes;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, qsizetype(n));
    return QString::fromUtf8(bytes);
}

} // namespace

void tst_WavRecorder::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_WavRecorder::smallRecordingIsRiffWaveWithRoomForLargeSizes()
{
    const QString path = m_dir->filePath(QStringLiteral("klein.wav"));
    WavRecorder recorder(22050, {});
    QVERIFY(recorder.open(path));
    const std::vector<short> second(22050, 1000);
    QVERIFY(recorder.write(second.data(), qint64(second.size())));

    // Read while still open: a copy taken mid-write is a complete file.
    const QByteArray bytes = readFile(path);
    QCOMPARE(bytes.left(4), QByteArray("RIFF"));
    QCOMPARE(bytes.mid(8, 4), QByteArray("WAVE"));
    // The room the 64-bit sizes take over once the file passes 4 GiB;
    // a plain WAV has its format here and wraps its sizes instead.
    QCOMPARE(bytes.mid(12, 4), QByteArray("JUNK"));
    const WavAnalysis open = WavAnalysis::read(path);
    QVERIFY(open.valid && open.headerMatchesSize);
    QCOMPARE(open.frames, 22050LL);

    recorder.close();
    const WavAnalysis closed = WavAnalysis::read(path);
    QVERIFY(closed.valid && closed.headerMatchesSize);
    QCOMPARE(closed.frames, 22050LL);
}

void tst_WavRecorder::usersFileIsReplacedOnlyWhenComplete_data()
{
    QTest::addColumn<bool>("complete");
    QTest::newRow("complete recording") << true;
    QTest::newRow("cut short") << false;
}

// A script's export over an existing recording: while it is written, and
// when it is cut short, the old file is what the name holds.
void tst_WavRecorder::usersFileIsReplacedOnlyWhenComplete()
{
    QFETCH(bool, complete);
    const QString path = m_dir->filePath(QStringLiteral("alt.wav"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("die alte Aufnahme");
    }
    WavRecorder recorder(22050, {});
    QVERIFY(recorder.open(path, WavRecorder::Placement::ReplaceWhenComplete));
    const std::vector<short> second(22050, 1000);
    QVERIFY(recorder.write(second.data(), qint64(second.size())));
    QCOMPARE(readFile(path), QByteArray("die alte Aufnahme"));
    QVERIFY(recorder.close(complete));
    QVERIFY(!recorder.failed());
    if (complete)
        QCOMPARE(WavAnalysis::read(path).frames, 22050LL);
    else
        QCOMPARE(readFile(path), QByteArray("die alte Aufnahme"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("alt.wav")});
}

void tst_WavRecorder::keepsTheReserveFree_data()
{
    QTest::addColumn<qint64>("total");
    QTest::addColumn<qint64>("available");
    QTest::addColumn<bool>("probeAnswers");
    QTest::addColumn<bool>("stops");
    QTest::addColumn<qint64>("maxBytes"); // written at most before stopping

    const qint64 toWrite = 32 * MiB;
    QTest::newRow("plenty of room") << 100 * GiB << 50 * GiB << true << false << toWrite;
    QTest::newRow("5 % of 10 GiB gone before the start") << 10 * GiB << 500 * MiB << true << true << qint64(0);
    QTest::newRow("5 % of 10 GiB reached while writing") << 10 * GiB << 512 * MiB + 12 * MiB << true << true
                                                         << 12 * MiB;
    // The reserve grows with the volume up to 1 GiB, and no further.
    QTest::newRow("1 GiB of a large volume") << 1000 * GiB << GiB + 10 * MiB << true << true << 10 * MiB;
    QTest::newRow("a large volume keeps no more than 1 GiB") << 1000 * GiB << GiB + 100 * MiB << true << false
                                                             << toWrite;
    // A small stick keeps 5 %, and never less than 64 MiB.
    QTest::newRow("a 4 GiB stick with 300 MiB free") << 4 * GiB << 300 * MiB << true << false << toWrite;
    QTest::newRow("a 4 GiB stick keeps 5 %") << 4 * GiB << 205 * MiB + 8 * MiB << true << true << 8 * MiB;
    QTest::newRow("a 512 MiB stick keeps 64 MiB") << 512 * MiB << 64 * MiB + 10 * MiB << true << true << 10 * MiB;
    QTest::newRow("free space unknown") << qint64(0) << qint64(0) << false << false << toWrite;
}

void tst_WavRecorder::keepsTheReserveFree()
{
    QFETCH(qint64, total);
    QFETCH(qint64, available);
    QFETCH(bool, probeAnswers);
    QFETCH(bool, stops);
    QFETCH(qint64, maxBytes);

    const QString path = m_dir->filePath(QStringLiteral("aufnahme.wav"));
    DiskReserve::Probe probe = shrinkingVolume(total, available);
    if (!probeAnswers)
        probe = [](const QString &) { return std::optional<DiskReserve::Space>(); };
    WavRecorder recorder(22050, probe);
    QVERIFY(recorder.open(path));

    const std::vector<short> chunk(256 * 1024, 500); // 512 KiB
    bool refused = false;
    for (int i = 0; i < 64 && !refused; ++i)
        refused = !recorder.write(chunk.data(), qint64(chunk.size()));
    QCOMPARE(refused, stops);
    QCOMPARE(recorder.stoppedForSpace(), stops);
    const qint64 written = recorder.framesWritten() * 2;
    QVERIFY2(written <= maxBytes, qPrintable(QString::number(written)));
    if (stops) {
        QVERIFY(recorder.errorString().contains(QStringLiteral("angehalten")));
        // Stopped for good: nothing more is written until the next open.
        QVERIFY(!recorder.write(chunk.data(), qint64(chunk.size())));
        QCOMPARE(recorder.framesWritten() * 2, written);
    }
    recorder.close();
    const WavAnalysis wav = WavAnalysis::read(path);
    QVERIFY(wav.valid && wav.headerMatchesSize);
    QCOMPARE(wav.frames, recorder.framesWritten());
}

void tst_WavRecorder::recorderEngineStopsForSpaceOnce()
{
    if (!EspeakEngine::isAvailable())
        QSKIP("espeak-ng ist hier nicht eingerichtet.");
    const QString path = m_dir->filePath(QStringLiteral("voice2.wav"));
    EspeakEngine recorder;
    // The reserve and the room for one span between two asks, and not one
    // chunk of speech more.
    recorder.setFreeSpaceProbe(shrinkingVolume(10 * GiB, 512 * MiB + WavRecorder::CheckEveryBytes + 100));
    recorder.setOutputWrittenInPlace(true); // as the temporary recordings are
    recorder.setOutputFileName(path);
    QSignalSpy stopped(&recorder, &SpeechEngine::recordingStopped);
    QSignalSpy ended(&recorder, &SpeechEngine::textEnded);
    const QString sentence = QStringLiteral("Das ist ein Satz zum Vorlesen. ").repeated(20);
    recorder.speak(sentence);
    recorder.speak(sentence); // queued behind it: the same recording, told once
    QTRY_VERIFY(!recorder.isSpeaking());
    QCOMPARE(stopped.count(), 1);
    QVERIFY(stopped.at(0).at(0).toString().contains(QStringLiteral("angehalten")));
    QCOMPARE(ended.count(), 0);
    const WavAnalysis wav = WavAnalysis::read(path);
    QVERIFY(wav.valid && wav.headerMatchesSize);
    QCOMPARE(wav.frames, 0LL);

    // The next speak with room records the whole text again.
    recorder.reset();
    recorder.setFreeSpaceProbe(shrinkingVolume(10 * GiB, 9 * GiB));
    recorder.speak(QStringLiteral("Jetzt ist wieder Platz."));
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(stopped.count(), 1);
    QVERIFY(WavAnalysis::read(path).valid);
}

void tst_WavRecorder::speakCommandKeepsTheOldFileAndFails_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("old"); // empty: no file before
    QTest::newRow("over an old WAV") << "alt.wav" << QByteArray("die alte Aufnahme");
    QTest::newRow("a new MP3") << "neu.mp3" << QByteArray();
}

// A recording cut short by the reserve is no complete recording: the old
// file stays, and no new one appears.
void tst_WavRecorder::speakCommandKeepsTheOldFileAndFails()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, old);
    if (!EspeakEngine::isAvailable())
        QSKIP("espeak-ng ist hier nicht eingerichtet.");
    qputenv("QUENORA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("home"))));
    const QString target = m_dir->filePath(name);
    if (!old.isEmpty()) {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
    }
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    SpeakCommand::Limits limits;
    limits.freeSpace = shrinkingVolume(10 * GiB, 512 * MiB + 4 * MiB + 40000);
    const int code = SpeakCommand::run(
        {QStringLiteral("--wav"), target, QStringLiteral("Das ist ein Satz zum Vorlesen. ").repeated(50)},
        nullptr, out, err, limits);
    const QString errors = readStream(err);
    std::fclose(out);
    std::fclose(err);
    QCOMPARE(code, 1);
    QCOMPARE(errors.count(QLatin1Char('\n')), 1);
    QVERIFY2(errors.startsWith(QStringLiteral("quenora-speak: Aufnahme angehalten")), qPrintable(errors));
    QCOMPARE(readFile(target), old);
    QCOMPARE(QFileInfo::exists(target), !old.isEmpty());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             old.isEmpty() ? QStringList() : QStringList{name});
}

void tst_WavRecorder::standardInputIsLimited()
{
    qputenv("QUENORA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("home"))));
    std::FILE *zero = std::fopen("/dev/zero", "rb");
    QVERIFY(zero);
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    SpeakCommand::Limits limits;
    limits.inputBytes = MiB; // the real limit is 512 MiB, as for --file
    const int code = SpeakCommand::run({QStringLiteral("--dry-run")}, zero, out, err, limits);
    const QString errors = readStream(err);
    std::fclose(zero);
    std::fclose(out);
    std::fclose(err);
    QCOMPARE(code, 1);
    QVERIFY2(errors.contains(QStringLiteral("größer als 1 MB")), qPrintable(errors));
}

QTEST_GUILESS_MAIN(tst_WavRecorder)
#include "tst_wavrecorder.moc"
