// bench_encoding WAV [mp3|m4b|opus] [chapters] [normalize]
// What writing an audiobook costs beside the synthesis: a recording (mono
// 16-bit, as quenora-speak --wav writes it) is handed to the AudiobookWriter
// in pieces as the engine would hand it, cut into equal chapters (default
// 30) with SRT subtitles, then written as one file per chapter. Prints the
// CPU and wall time of the spooling pass and of the encoding pass, each per
// hour of audio, and the peak memory, so that they can be set beside the
// synthesis' CPU time per hour (bench/audiobook/bench_audiobook.py).

#include "AudiobookWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <sndfile.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include <sys/resource.h>

namespace {

struct Moment {
    double cpu = 0;
    double wall = 0;
    static Moment now()
    {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        Moment m;
        m.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        m.wall = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
        return m;
    }
};

double peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

bool parseFormat(const char *name, AudiobookFormat &format)
{
    const struct {
        const char *name;
        AudiobookFormat format;
    } formats[] = {{"mp3", AudiobookFormat::Mp3}, {"m4b", AudiobookFormat::M4b}, {"opus", AudiobookFormat::Opus}};
    for (const auto &f : formats) {
        if (std::strcmp(f.name, name) == 0) {
            format = f.format;
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_encoding WAV [mp3|m4b|opus] [chapters] [normalize]\n");
        return 1;
    }
    AudiobookOptions options;
    if (argc > 2 && !parseFormat(argv[2], options.format)) {
        std::fprintf(stderr, "unknown format %s\n", argv[2]);
        return 1;
    }
    const int chapters = argc > 3 ? std::max(1, std::atoi(argv[3])) : 30;
    options.normalize = argc > 4 && std::strcmp(argv[4], "normalize") == 0;
    options.subtitles = SubtitleFormat::Srt;

    SF_INFO info{};
    SNDFILE *wav = sf_open(argv[1], SFM_READ, &info);
    if (!wav || info.channels != 1) {
        std::fprintf(stderr, "%s: not a mono recording\n", argv[1]);
        return 1;
    }
    QTemporaryDir out(QDir::tempPath() + QStringLiteral("/bench_encoding-XXXXXX"));
    options.folder = out.path();
    options.book.title = QStringLiteral("Die lange Reise");
    AudiobookWriter writer;
    if (!writer.open(options, info.samplerate)) {
        std::fprintf(stderr, "%s\n", qPrintable(writer.error()));
        return 1;
    }

    // The engine hands over about a sentence at a time: 4 s pieces here.
    const sf_count_t perChapter = info.frames / chapters + 1;
    std::vector<short> piece(size_t(info.samplerate) * 4);
    const Moment start = Moment::now();
    sf_count_t done = 0;
    for (int c = 0; c < chapters; ++c) {
        writer.beginChapter(QStringLiteral("Kapitel %1").arg(c + 1));
        for (sf_count_t inChapter = 0; inChapter < perChapter;) {
            const sf_count_t n = sf_read_short(wav, piece.data(),
                                               std::min<sf_count_t>(sf_count_t(piece.size()), perChapter - inChapter));
            if (n <= 0)
                break;
            writer.markSentence(writer.chapterFrames(), QStringLiteral("Ein Satz, der vier Sekunden dauert."));
            if (!writer.write(piece.data(), n)) {
                std::fprintf(stderr, "%s\n", qPrintable(writer.error()));
                return 1;
            }
            inChapter += n;
            done += n;
        }
    }
    sf_close(wav);
    const Moment spooled = Moment::now();
    const AudiobookWriter::Result result = writer.finish();
    const Moment encoded = Moment::now();
    if (!result.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(result.message));
        return 1;
    }

    const double hours = double(done) / info.samplerate / 3600.0;
    std::printf("%.2f h of audio at %d Hz in %d chapters, %s%s\n", hours, info.samplerate, chapters,
                qPrintable(AudiobookFormats::displayName(options.format)), options.normalize ? ", normalised" : "");
    std::printf("spooling (with loudness measure): %.2f s CPU, %.2f s wall = %.2f s CPU per hour of audio\n",
                spooled.cpu - start.cpu, spooled.wall - start.wall, (spooled.cpu - start.cpu) / hours);
    std::printf("encoding: %.2f s CPU, %.2f s wall = %.2f s CPU per hour of audio\n", encoded.cpu - spooled.cpu,
                encoded.wall - spooled.wall, (encoded.cpu - spooled.cpu) / hours);
    std::printf("peak memory %.1f MiB; %lld files\n", peakMiB(), qlonglong(result.files.size()));
    return 0;
}
