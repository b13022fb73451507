// bench_export [minutes] : converts a recording of that length (default 60)
// to MP3, FLAC and Ogg Vorbis with the export's converter and with the sox
// program, in the same run, and prints both times and their ratio (goal: at
// most 1.5, since both use the same encoders). The recording is mono 16-bit
// at espeak's 22050 Hz, shaped like speech: voiced syllables, hiss, pauses.

#include "AudioConverter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

bool writeRecording(const QString &path, double minutes)
{
    constexpr int rate = 22050;
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!f)
        return false;
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 1.0);
    const long long total = (long long)(minutes * 60.0 * rate);
    std::vector<short> piece(rate);
    double phase = 0;
    for (long long done = 0; done < total;) {
        const long long n = std::min<long long>(rate, total - done);
        for (long long i = 0; i < n; ++i) {
            const double t = double(done + i) / rate;
            const double syllable = std::fmod(t, 0.23);
            const double pitch = 120.0 + 30.0 * std::sin(t * 1.3);
            phase += 2 * M_PI * pitch / rate;
            double v = 0;
            if (std::fmod(t, 4.0) < 3.4 && syllable < 0.17) {
                const double envelope = std::sin(M_PI * syllable / 0.17);
                for (int h = 1; h <= 10; ++h)
                    v += std::sin(h * phase) / h;
                v = envelope * (v * 0.3 + 0.05 * noise(random));
            }
            piece[size_t(i)] = short(std::lround(std::clamp(v, -1.0, 1.0) * 20000.0));
        }
        sf_write_short(f, piece.data(), n);
        done += n;
    }
    sf_close(f);
    return true;
}

double soxSeconds(const QString &sox, const QString &in, const QString &out)
{
    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.start(sox, {in, out});
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::fprintf(stderr, "sox: %s\n", process.readAllStandardError().constData());
        return -1;
    }
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const double minutes = argc > 1 ? std::max(0.1, std::atof(argv[1])) : 60.0;
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("recording.wav"));
    if (!writeRecording(wav, minutes)) {
        std::fprintf(stderr, "Die Aufnahme lässt sich nicht schreiben.\n");
        return 1;
    }
    std::printf("Aufnahme: %.1f min, %.1f MB\n", minutes, QFileInfo(wav).size() / 1e6);
    const QString sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
    if (sox.isEmpty())
        std::printf("sox fehlt: nur die eigenen Zeiten\n");

    std::printf("%-11s %10s %10s %7s %12s %12s\n", "Format", "Export s", "sox s", "Faktor", "Export MB", "sox MB");
    for (AudioFormat format : {AudioFormat::Mp3, AudioFormat::Flac, AudioFormat::OggVorbis}) {
        if (!AudioConverter::writerOpens(format))
            continue;
        const QString ours = dir.filePath(QStringLiteral("ours.") + AudioConverter::suffix(format));
        QElapsedTimer clock;
        clock.start();
        const auto result = AudioConverter::convert(wav, ours, format);
        const double oursSeconds = clock.nsecsElapsed() / 1e9;
        if (!result.ok()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(AudioConverter::displayName(format)),
                         qPrintable(result.description));
            continue;
        }
        const QString theirs = dir.filePath(QStringLiteral("sox.") + AudioConverter::suffix(format));
        const double soxTime = sox.isEmpty() ? -1 : soxSeconds(sox, wav, theirs);
        std::printf("%-11s %10.2f %10.2f %7.2f %12.1f %12.1f\n", qPrintable(AudioConverter::displayName(format)),
                    oursSeconds, soxTime, soxTime > 0 ? oursSeconds / soxTime : 0.0, QFileInfo(ours).size() / 1e6,
                    QFileInfo(theirs).size() / 1e6);
        QFile::remove(ours);
        QFile::remove(theirs);
    }
    return 0;
}
