// The converter writes every format so that it reads back as the same
// recording (length and loudness), never leaves a half or private file, and
// the resampler keeps pitch and level while removing what the lower rate
// cannot carry.

#include "AudioConverter.h"
#include "ExportTexts.h"
#include "Resampler.h"
#include "WavAnalysis.h"
#include "WavRecorder.h"

#include <QDir>
#include <QtEndian>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

#include <cmath>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Audio {
    int format = 0;
    int sampleRate = 0;
    int channels = 0;
    std::vector<float> samples; // interleaved

    double seconds() const { return sampleRate && channels ? double(samples.size()) / channels / sampleRate : 0; }
    double rmsDb() const
    {
        double sum = 0;
        for (float s : samples)
            sum += double(s) * s;
        return samples.empty() ? -200.0 : 10.0 * std::log10(sum / double(samples.size()) + 1e-20);
    }
};

Audio readAudio(const QString &path)
{
    Audio a;
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f)
        return a;
    a.format = info.format;
    a.sampleRate = info.samplerate;
    a.channels = info.channels;
    std::vector<float> piece(4096 * size_t(info.channels));
    for (;;) {
        const sf_count_t got = sf_readf_float(f, piece.data(), 4096);
        if (got <= 0)
            break;
        a.samples.insert(a.samples.end(), piece.begin(), piece.begin() + got * info.channels);
    }
    sf_close(f);
    return a;
}

// Syllable-like bursts of a voiced sound with pauses between them, the
// way a recording of speech looks to an encoder.
std::vector<short> speechLike(int rate, int channels, double seconds)
{
    const long frames = long(rate * seconds);
    std::vector<short> out(size_t(frames) * channels);
    for (long i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double syllable = std::fmod(t, 0.25);
        const double envelope = syllable < 0.18 ? std::sin(M_PI * syllable / 0.18) : 0.0;
        double v = 0;
        for (int h = 1; h <= 8; ++h)
            v += std::sin(2 * M_PI * 140.0 * h * t) / h;
        for (int c = 0; c < channels; ++c)
            out[size_t(i) * channels + c] = short(std::lround(9000.0 * envelope * v / 2.7 * (c ? 0.6 : 1.0)));
    }
    return out;
}

bool writeWav(const QString &path, int rate, int channels, const std::vector<short> &samples)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!f)
        return false;
    sf_write_short(f, samples.data(), sf_count_t(samples.size()));
    sf_close(f);
    return true;
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestAudioConverter : public QObject
{
    Q_OBJECT

private slots:
    void formatsReadBack_data();
    void formatsReadBack();
    void losslessFormatsKeepEverySample_data();
    void losslessFormatsKeepEverySample();
    void wavCopyIsPlainWavWhileItFits_data();
    void wavCopyIsPlainWavWhileItFits();
    void wavPastFourGiBIsRf64_data();
    void wavPastFourGiBIsRf64();
    void formatForPath_data();
    void formatForPath();
    void availableFormatsPutWavFirst();
    void failuresLeaveNothingBehind_data();
    void failuresLeaveNothingBehind();
    void cancelLeavesOldTargetAlone();
    void newFileHasTheUsersPermissions();
    void recordingStillBeingWrittenGivesShorterValidWav();
    void resamplerKeepsLevelAndPitch_data();
    void resamplerKeepsLevelAndPitch();
    void resamplerRemovesWhatTheLowerRateCannotCarry();
    void resamplerSameResultInAnyPieces();

private:
    QTemporaryDir m_dir;
};

void TestAudioConverter::formatsReadBack_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("major");
    const struct {
        AudioFormat format;
        const char *name;
        int major;
    } formats[] = {
        {AudioFormat::Wav, "wav", SF_FORMAT_WAV},
        {AudioFormat::Flac, "flac", SF_FORMAT_FLAC},
        {AudioFormat::OggVorbis, "ogg", SF_FORMAT_OGG},
        {AudioFormat::Opus, "opus", SF_FORMAT_OGG},
        {AudioFormat::Mp3, "mp3", SF_FORMAT_MPEG},
    };
    for (const auto &f : formats) {
        QTest::addRow("%s mono 22050", f.name) << int(f.format) << 22050 << 1 << f.major;
        QTest::addRow("%s stereo 44100", f.name) << int(f.format) << 44100 << 2 << f.major;
    }
    QTest::addRow("mp3 mono 96000 (rate it cannot take)") << int(AudioFormat::Mp3) << 96000 << 1 << int(SF_FORMAT_MPEG);
}

void TestAudioConverter::formatsReadBack()
{
    QFETCH(int, format);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, major);
    const auto f = AudioFormat(format);
    if (!AudioConverter::writerOpens(f))
        QSKIP("this libsndfile has no writer for the format");

    const QString source = m_dir.filePath(QStringLiteral("source.wav"));
    QVERIFY(writeWav(source, rate, channels, speechLike(rate, channels, 4.0)));
    const QString target = m_dir.filePath(QStringLiteral("out.") + AudioConverter::suffix(f));
    QFile::remove(target);

    const auto result = AudioConverter::convert(source, target, f);
    QVERIFY2(result.ok(), qPrintable(result.description));

    const Audio in = readAudio(source);
    const Audio out = readAudio(target);
    QCOMPARE(out.format & SF_FORMAT_TYPEMASK, major);
    QCOMPARE(out.channels, channels);
    QCOMPARE(out.sampleRate, AudioConverter::targetSampleRate(f, rate));
    QCOMPARE(result.sampleRate, out.sampleRate);
    QVERIFY2(std::abs(out.seconds() - in.seconds()) <= 0.02 * in.seconds(),
             qPrintable(QStringLiteral("%1 s against %2 s").arg(out.seconds()).arg(in.seconds())));
    QVERIFY2(std::abs(out.rmsDb() - in.rmsDb()) <= 3.0,
             qPrintable(QStringLiteral("%1 dB against %2 dB").arg(out.rmsDb()).arg(in.rmsDb())));
    // Nothing of the work is left beside the target.
    QCOMPARE(QDir(m_dir.path()).entryList(QStringList{QStringLiteral(".*")}, QDir::Files | QDir::Hidden),
             QStringList());
}

void TestAudioConverter::losslessFormatsKeepEverySample_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("wav") << int(AudioFormat::Wav);
    QTest::newRow("flac") << int(AudioFormat::Flac);
}

void TestAudioConverter::losslessFormatsKeepEverySample()
{
    QFETCH(int, format);
    const QString source = m_dir.filePath(QStringLiteral("lossless.wav"));
    std::vector<short> samples = speechLike(22050, 1, 1.0);
    samples[10] = -32768; // both ends of the range survive
    samples[11] = 32767;
    QVERIFY(writeWav(source, 22050, 1, samples));
    const QString target = m_dir.filePath(QStringLiteral("lossless.") + AudioConverter::suffix(AudioFormat(format)));
    QVERIFY(AudioConverter::convert(source, target, AudioFormat(format)).ok());

    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(target).constData(), SFM_READ, &info);
    QVERIFY(f);
    std::vector<short> back(samples.size() + 10);
    const sf_count_t got = sf_read_short(f, back.data(), sf_count_t(back.size()));
    sf_close(f);
    back.resize(size_t(got));
    QCOMPARE(info.format & SF_FORMAT_SUBMASK, int(SF_FORMAT_PCM_16));
    QVERIFY(back == samples);
}

void TestAudioConverter::wavCopyIsPlainWavWhileItFits_data()
{
    QTest::addColumn<int>("sourceFormat");
    QTest::addColumn<int>("expectedSubtype");
    QTest::newRow("wav 16 bit") << int(SF_FORMAT_WAV | SF_FORMAT_PCM_16) << int(SF_FORMAT_PCM_16);
    QTest::newRow("wav float") << int(SF_FORMAT_WAV | SF_FORMAT_FLOAT) << int(SF_FORMAT_FLOAT);
    QTest::newRow("wav u-law") << int(SF_FORMAT_WAV | SF_FORMAT_ULAW) << int(SF_FORMAT_ULAW);
    QTest::newRow("wav ima adpcm") << int(SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM) << int(SF_FORMAT_IMA_ADPCM);
    QTest::newRow("rf64 24 bit") << int(SF_FORMAT_RF64 | SF_FORMAT_PCM_24) << int(SF_FORMAT_PCM_24);
    QTest::newRow("flac 16 bit") << int(SF_FORMAT_FLAC | SF_FORMAT_PCM_16) << int(SF_FORMAT_PCM_16);
}

// A copy that fits a plain WAV is one every player reads, with sizes that
// add up.
void TestAudioConverter::wavCopyIsPlainWavWhileItFits()
{
    QFETCH(int, sourceFormat);
    QFETCH(int, expectedSubtype);
    const QString source = m_dir.filePath(QStringLiteral("fits.src"));
    const std::vector<short> samples = speechLike(22050, 1, 0.5);
    {
        SF_INFO info{};
        info.samplerate = 22050;
        info.channels = 1;
        info.format = sourceFormat;
        SNDFILE *f = sf_open(QFile::encodeName(source).constData(), SFM_WRITE, &info);
        QVERIFY2(f, sf_strerror(nullptr));
        sf_write_short(f, samples.data(), sf_count_t(samples.size()));
        sf_close(f);
    }
    const QString target = m_dir.filePath(QStringLiteral("fits.wav"));
    QFile::remove(target);
    const auto result = AudioConverter::convert(source, target, AudioFormat::Wav);
    QVERIFY2(result.ok(), qPrintable(result.description));

    const QByteArray bytes = readBytes(target);
    QVERIFY(bytes.size() > 44);
    QCOMPARE(bytes.left(4), QByteArray("RIFF"));
    QCOMPARE(bytes.mid(8, 4), QByteArray("WAVE"));
    const quint32 riffSize = qFromLittleEndian<quint32>(bytes.constData() + 4);
    QCOMPARE(qint64(riffSize), qint64(bytes.size()) - 8);
    QVERIFY(!bytes.contains("ds64"));

    const Audio out = readAudio(target);
    QCOMPARE(out.format & SF_FORMAT_TYPEMASK, int(SF_FORMAT_WAV));
    QCOMPARE(out.format & SF_FORMAT_SUBMASK, expectedSubtype);
    QCOMPARE(out.samples.size(), readAudio(source).samples.size());
}

void TestAudioConverter::wavPastFourGiBIsRf64_data()
{
    QTest::addColumn<int>("sourceFormat");
    QTest::addColumn<int>("channels");
    QTest::addColumn<qint64>("frames");
    QTest::addColumn<int>("expected");
    const int wav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    // 4 GiB of 16-bit mono is 2^31 frames.
    QTest::newRow("one hour mono") << wav16 << 1 << qint64(22050) * 3600 << wav16;
    QTest::newRow("just under 4 GiB") << wav16 << 1 << qint64(2146000000) << wav16;
    QTest::newRow("past 4 GiB mono") << wav16 << 1 << qint64(2147483648) << int(SF_FORMAT_RF64 | SF_FORMAT_PCM_16);
    QTest::newRow("past 4 GiB stereo") << wav16 << 2 << qint64(1100000000) << int(SF_FORMAT_RF64 | SF_FORMAT_PCM_16);
    QTest::newRow("float past 4 GiB") << int(SF_FORMAT_WAV | SF_FORMAT_FLOAT) << 1 << qint64(1100000000)
                                     << int(SF_FORMAT_RF64 | SF_FORMAT_FLOAT);
    QTest::newRow("rf64 source that fits") << int(SF_FORMAT_RF64 | SF_FORMAT_PCM_24) << 1 << qint64(1000)
                                          << int(SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    QTest::newRow("flac past 4 GiB") << int(SF_FORMAT_FLAC | SF_FORMAT_PCM_24) << 1 << qint64(1500000000)
                                    << int(SF_FORMAT_RF64 | SF_FORMAT_PCM_24);
    // An encoding RF64 cannot carry is decoded to whole numbers.
    QTest::newRow("adpcm past 4 GiB") << int(SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM) << 1 << qint64(3000000000)
                                     << int(SF_FORMAT_RF64 | SF_FORMAT_PCM_16);
    QTest::newRow("absurd length") << wav16 << 8 << std::numeric_limits<qint64>::max()
                                  << int(SF_FORMAT_RF64 | SF_FORMAT_PCM_16);
}

void TestAudioConverter::wavPastFourGiBIsRf64()
{
    QFETCH(int, sourceFormat);
    QFETCH(int, channels);
    QFETCH(qint64, frames);
    QFETCH(int, expected);
    QCOMPARE(AudioConverter::wavFileFormat(sourceFormat, channels, 22050, frames), expected);
}

void TestAudioConverter::formatForPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("format");
    QTest::newRow("wav") << "/a/Sprachausgabe.wav" << int(AudioFormat::Wav);
    QTest::newRow("upper case") << "/a/b.MP3" << int(AudioFormat::Mp3);
    QTest::newRow("flac") << "b.flac" << int(AudioFormat::Flac);
    QTest::newRow("ogg") << "b.ogg" << int(AudioFormat::OggVorbis);
    QTest::newRow("oga") << "b.oga" << int(AudioFormat::OggVorbis);
    QTest::newRow("opus") << "b.opus" << int(AudioFormat::Opus);
    QTest::newRow("no suffix") << "/a/b" << int(AudioFormat::Wav);
    QTest::newRow("unknown suffix") << "/a/b.txt" << int(AudioFormat::Wav);
    QTest::newRow("dot in folder only") << "/a.mp3/b" << int(AudioFormat::Wav);
}

void TestAudioConverter::formatForPath()
{
    QFETCH(QString, path);
    QFETCH(int, format);
    QCOMPARE(int(AudioConverter::formatForPath(path)), format);
}

void TestAudioConverter::availableFormatsPutWavFirst()
{
    const QList<AudioFormat> formats = AudioConverter::availableFormats();
    QVERIFY(!formats.isEmpty());
    QCOMPARE(formats.first(), AudioFormat::Wav);
    for (AudioFormat f : AudioConverter::allFormats())
        QCOMPARE(formats.contains(f), f == AudioFormat::Wav || AudioConverter::writerOpens(f));
}

void TestAudioConverter::failuresLeaveNothingBehind_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("number");
    QTest::newRow("target is a folder") << "folder" << ExportTexts::kPathFileAccessError;
    QTest::newRow("folder missing") << "missing folder" << ExportTexts::kPathNotFound;
    QTest::newRow("folder read-only") << "read-only" << ExportTexts::kPermissionDenied;
    QTest::newRow("recording gone") << "no source" << ExportTexts::kFileNotFound;
    QTest::newRow("recording no audio") << "garbage source" << ExportTexts::kBadFileFormat;
}

void TestAudioConverter::failuresLeaveNothingBehind()
{
    QFETCH(QString, situation);
    QFETCH(int, number);
    QTemporaryDir dir;
    QString source = dir.filePath(QStringLiteral("rec.wav"));
    QVERIFY(writeWav(source, 22050, 1, speechLike(22050, 1, 0.5)));
    QDir(dir.path()).mkdir(QStringLiteral("out"));
    QString folder = dir.filePath(QStringLiteral("out"));
    QString target = QDir(folder).filePath(QStringLiteral("x.mp3"));

    if (situation == QLatin1String("folder")) {
        QDir(folder).mkdir(QStringLiteral("x.mp3"));
    } else if (situation == QLatin1String("missing folder")) {
        target = dir.filePath(QStringLiteral("nowhere/x.mp3"));
    } else if (situation == QLatin1String("read-only")) {
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        // Permissions do not stop root; a kernel folder does.
        if (::geteuid() == 0)
            folder = QStringLiteral("/sys");
        target = QDir(folder).filePath(QStringLiteral("x.mp3"));
    } else if (situation == QLatin1String("no source")) {
        source = dir.filePath(QStringLiteral("gone.wav"));
    } else {
        QFile garbage(source);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("this is not a recording at all, just words");
    }

    const auto result = AudioConverter::convert(source, target, AudioFormat::Mp3);
    QCOMPARE(result.status, AudioConverter::Result::Status::Failed);
    QCOMPARE(result.errorNumber, number);
    QCOMPARE(result.description, situation == QLatin1String("folder")
                                     ? QStringLiteral("Der Pfad ist ein Ordner, keine Datei")
                                     : ExportTexts::description(number));
    QVERIFY(!QFileInfo(target).isFile());
    if (situation != QLatin1String("read-only") || ::geteuid() != 0) {
        const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left, QStringList());
    }
    QFile::setPermissions(dir.filePath(QStringLiteral("out")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestAudioConverter::cancelLeavesOldTargetAlone()
{
    const QString source = m_dir.filePath(QStringLiteral("long.wav"));
    QVERIFY(writeWav(source, 22050, 1, speechLike(22050, 1, 10.0)));
    const QString target = m_dir.filePath(QStringLiteral("kept.flac"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("the user's earlier file");
    old.close();

    QList<double> seen;
    const auto result = AudioConverter::convert(source, target, AudioFormat::Flac, [&](double done) {
        seen << done;
        return seen.size() < 3;
    });
    QCOMPARE(result.status, AudioConverter::Result::Status::Cancelled);
    QCOMPARE(seen.size(), 3);
    QVERIFY(seen.at(0) > 0.0 && seen.at(0) < seen.at(2) && seen.at(2) < 1.0);
    QCOMPARE(readBytes(target), QByteArray("the user's earlier file"));
    QCOMPARE(QDir(m_dir.path()).entryList(QStringList{QStringLiteral(".kept*")}, QDir::Files | QDir::Hidden),
             QStringList());
}

void TestAudioConverter::newFileHasTheUsersPermissions()
{
    const QString source = m_dir.filePath(QStringLiteral("perm.wav"));
    QVERIFY(writeWav(source, 22050, 1, speechLike(22050, 1, 0.2)));
    const QString target = m_dir.filePath(QStringLiteral("perm-out.wav"));
    QFile::remove(target);
    const mode_t mask = ::umask(022);
    const bool ok = AudioConverter::convert(source, target, AudioFormat::Wav).ok();
    ::umask(mask);
    QVERIFY(ok);
    // Not the private mode of a temporary file.
    QCOMPARE(QFileInfo(target).permissions() & (QFile::ReadGroup | QFile::ReadOther),
             QFile::ReadGroup | QFile::ReadOther);

    // A replaced file keeps the mode it had.
    QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(AudioConverter::convert(source, target, AudioFormat::Wav).ok());
    QCOMPARE(QFileInfo(target).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
}

void TestAudioConverter::recordingStillBeingWrittenGivesShorterValidWav()
{
    const QString source = m_dir.filePath(QStringLiteral("growing.wav"));
    WavRecorder recorder(22050);
    QVERIFY(recorder.open(source));
    const std::vector<short> second = speechLike(22050, 1, 1.0);
    QVERIFY(recorder.write(second.data(), static_cast<long long>(second.size())));

    const QString target = m_dir.filePath(QStringLiteral("snapshot.wav"));
    QVERIFY(AudioConverter::convert(source, target, AudioFormat::Wav).ok());
    QVERIFY(recorder.write(second.data(), static_cast<long long>(second.size())));
    recorder.close();

    const WavAnalysis snapshot = WavAnalysis::read(target);
    QVERIFY(snapshot.valid);
    QVERIFY(snapshot.headerMatchesSize);
    QCOMPARE(snapshot.frames, 22050LL);
    QCOMPARE(WavAnalysis::read(source).frames, 44100LL);
}

void TestAudioConverter::resamplerKeepsLevelAndPitch_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("espeak to opus") << 22050 << 48000;
    QTest::newRow("cd to dvd") << 44100 << 48000;
    QTest::newRow("down by three") << 48000 << 16000;
    QTest::newRow("odd rates") << 22051 << 48000;
}

void TestAudioConverter::resamplerKeepsLevelAndPitch()
{
    QFETCH(int, from);
    QFETCH(int, to);
    const double seconds = 1.0;
    const double frequency = 440.0;
    std::vector<float> in(size_t(from * seconds));
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = float(0.5 * std::sin(2 * M_PI * frequency * double(i) / from));
    Resampler r(from, to, 1);
    std::vector<float> out;
    r.push(in.data(), std::int64_t(in.size()), out);
    r.finish(out);

    QCOMPARE(std::int64_t(out.size()), std::int64_t(std::ceil(double(in.size()) * to / from)));
    // Away from the edges: the same amplitude, the same number of crossings.
    const size_t edge = size_t(to / 20);
    double peak = 0;
    int crossings = 0;
    for (size_t i = edge; i + 1 < out.size() - edge; ++i) {
        peak = std::max(peak, double(std::abs(out[i])));
        if ((out[i] < 0) != (out[i + 1] < 0))
            ++crossings;
    }
    QVERIFY2(std::abs(peak - 0.5) < 0.01, qPrintable(QString::number(peak)));
    const double measured = crossings / 2.0 / (double(out.size() - 2 * edge) / to);
    QVERIFY2(std::abs(measured - frequency) < 2.0, qPrintable(QString::number(measured)));
}

void TestAudioConverter::resamplerRemovesWhatTheLowerRateCannotCarry()
{
    // 6 kHz cannot exist at 8 kHz; kept, it would fold back to 2 kHz.
    const int from = 48000;
    std::vector<float> in(static_cast<size_t>(from));
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = float(0.5 * std::sin(2 * M_PI * 6000.0 * double(i) / from));
    Resampler r(from, 8000, 1);
    std::vector<float> out;
    r.push(in.data(), std::int64_t(in.size()), out);
    r.finish(out);
    double peak = 0;
    for (size_t i = 400; i + 400 < out.size(); ++i)
        peak = std::max(peak, double(std::abs(out[i])));
    QVERIFY2(peak < 0.005, qPrintable(QString::number(peak)));
}

void TestAudioConverter::resamplerSameResultInAnyPieces()
{
    std::vector<float> in(2 * 5000);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = float(std::sin(double(i) * 0.01) * (i % 2 ? 0.3 : -0.7));
    Resampler whole(22050, 48000, 2);
    std::vector<float> a;
    whole.push(in.data(), 5000, a);
    whole.finish(a);

    Resampler pieces(22050, 48000, 2);
    std::vector<float> b;
    for (std::int64_t at = 0, step = 1; at < 5000; at += step, step = step * 3 % 997 + 1)
        pieces.push(in.data() + at * 2, std::min<std::int64_t>(step, 5000 - at), b);
    pieces.finish(b);
    QCOMPARE(b.size(), a.size());
    for (size_t i = 0; i < a.size(); ++i)
        QVERIFY(std::abs(a[i] - b[i]) < 1e-6f);
}

QTEST_GUILESS_MAIN(TestAudioConverter)
#include "tst_audioconverter.moc"
