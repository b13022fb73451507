// quenora-speak records straight to any format the export offers: the same
// speech as its WAV recording, whichever of --wav and --out names the file.

#include "AudioConverter.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

namespace {

struct Info {
    int major = 0;
    int rate = 0;
    double seconds = 0;
};

Info readInfo(const QString &path)
{
    Info r;
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f)
        return r;
    // Compressed formats may not know their length up front: count it.
    std::vector<float> piece(4096 * size_t(info.channels));
    sf_count_t frames = 0;
    for (sf_count_t got; (got = sf_readf_float(f, piece.data(), 4096)) > 0;)
        frames += got;
    sf_close(f);
    r.major = info.format & SF_FORMAT_TYPEMASK;
    r.rate = info.samplerate;
    r.seconds = info.samplerate ? double(frames) / info.samplerate : 0;
    return r;
}

} // namespace

class TestSpeakFormats : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void recordsEachFormat_data();
    void recordsEachFormat();
    void unwritableTargetFailsInGerman();

private:
    int run(const QStringList &args, QString *err = nullptr);
    QTemporaryDir m_dir;
    double m_wavSeconds = 0;
    const QString m_text = QStringLiteral("Guten Tag. Dies ist eine Aufnahme in einem anderen Format.");
};

int TestSpeakFormats::run(const QStringList &args, QString *err)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUENORA_HOME"), m_dir.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("QUENORA_AUDIO"), QStringLiteral("null"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QUENORA_SPEAK_BINARY), args);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (err)
        *err = QString::fromUtf8(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void TestSpeakFormats::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString wav = m_dir.filePath(QStringLiteral("reference.wav"));
    QString err;
    QCOMPARE(run({QStringLiteral("--wav"), wav, m_text}, &err), 0);
    m_wavSeconds = readInfo(wav).seconds;
    if (m_wavSeconds <= 0)
        QSKIP("espeak-ng produced no audio here");
}

void TestSpeakFormats::recordsEachFormat_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("major");
    QTest::newRow("--out mp3") << "--out" << "rede.mp3" << int(AudioFormat::Mp3) << int(SF_FORMAT_MPEG);
    QTest::newRow("--wav flac") << "--wav" << "rede.flac" << int(AudioFormat::Flac) << int(SF_FORMAT_FLAC);
    QTest::newRow("--out ogg") << "--out" << "rede.ogg" << int(AudioFormat::OggVorbis) << int(SF_FORMAT_OGG);
    QTest::newRow("--out=opus") << "--out=" << "rede.opus" << int(AudioFormat::Opus) << int(SF_FORMAT_OGG);
    QTest::newRow("--out wav") << "--out" << "rede.wav" << int(AudioFormat::Wav) << int(SF_FORMAT_WAV);
}

void TestSpeakFormats::recordsEachFormat()
{
    QFETCH(QString, option);
    QFETCH(QString, name);
    QFETCH(int, format);
    QFETCH(int, major);
    if (!AudioConverter::writerOpens(AudioFormat(format)))
        QSKIP("this libsndfile has no writer for the format");
    QDir out(m_dir.filePath(name + QStringLiteral(".d")));
    QVERIFY(out.mkpath(QStringLiteral(".")));
    const QString target = out.filePath(name);
    const QStringList args = option.endsWith(QLatin1Char('='))
        ? QStringList{option + target, m_text}
        : QStringList{option, target, m_text};
    QString err;
    QCOMPARE(run(args, &err), 0);
    QCOMPARE(err, QString());
    const Info info = readInfo(target);
    // The recorder's own WAV may carry the extensible header.
    QCOMPARE(info.major == SF_FORMAT_WAVEX ? int(SF_FORMAT_WAV) : info.major, major);
    QVERIFY2(std::abs(info.seconds - m_wavSeconds) <= 0.02 * m_wavSeconds,
             qPrintable(QStringLiteral("%1 s against %2 s").arg(info.seconds).arg(m_wavSeconds)));
    // Only the target is left: neither the recording nor the conversion's
    // temporary file.
    QCOMPARE(out.entryList(QDir::Files | QDir::Hidden), QStringList{name});
}

void TestSpeakFormats::unwritableTargetFailsInGerman()
{
    QString err;
    QCOMPARE(run({QStringLiteral("--out"), m_dir.filePath(QStringLiteral("fehlt/rede.mp3")), m_text}, &err), 1);
    QVERIFY2(err.contains(QStringLiteral("lässt sich nicht schreiben")), qPrintable(err));
}

QTEST_GUILESS_MAIN(TestSpeakFormats)
#include "tst_speakformats.moc"
