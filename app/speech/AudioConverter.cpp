#include "AudioConverter.h"

#include "ExportTexts.h"
#include "ReplacingFile.h"
#include "Resampler.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <sndfile.h>

#include <cmath>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Result = AudioConverter::Result;

constexpr sf_count_t kPieceFrames = 16384;

Result failure(int number, const QString &description = QString())
{
    Result r;
    r.status = Result::Status::Failed;
    r.errorNumber = number;
    r.description = description.isEmpty() ? ExportTexts::description(number) : description;
    return r;
}

struct SndfileCloser {
    void operator()(SNDFILE *file) const
    {
        if (file)
            sf_close(file);
    }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

bool isFloatSubtype(int format)
{
    const int subtype = format & SF_FORMAT_SUBMASK;
    return subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
}

// The lossless subtype that keeps the source's resolution.
int pcmSubtype(int sourceFormat, bool allowFloat, bool allow32)
{
    switch (sourceFormat & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_24:
        return SF_FORMAT_PCM_24;
    case SF_FORMAT_PCM_32:
        return allow32 ? SF_FORMAT_PCM_32 : SF_FORMAT_PCM_24;
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
        return allowFloat ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_24;
    default:
        return SF_FORMAT_PCM_16;
    }
}

int bytesPerSample(int subtype)
{
    switch (subtype) {
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
        return 1;
    case SF_FORMAT_PCM_16:
        return 2;
    case SF_FORMAT_PCM_24:
        return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
        return 4;
    default:
        // Compressed encodings are smaller; counting them at the widest
        // keeps the estimate on the safe side.
        return 8;
    }
}

bool formatValid(int format, int channels, int sampleRate)
{
    SF_INFO check{};
    check.channels = channels;
    check.samplerate = sampleRate;
    check.format = format;
    return sf_format_check(&check) != 0;
}

int outputFormat(AudioFormat format, int sourceFormat, int channels, int sampleRate, qint64 frames)
{
    switch (format) {
    case AudioFormat::Wav:
        return AudioConverter::wavFileFormat(sourceFormat, channels, sampleRate, frames);
    case AudioFormat::Flac:
        return SF_FORMAT_FLAC | pcmSubtype(sourceFormat, false, false);
    case AudioFormat::OggVorbis:
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case AudioFormat::Opus:
        return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    case AudioFormat::Mp3:
        return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    }
    return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
}

// Memory file for trying a writer without touching the disk.
struct MemoryFile {
    QByteArray bytes;
    sf_count_t position = 0;
};

SF_VIRTUAL_IO memoryIo()
{
    SF_VIRTUAL_IO io{};
    io.get_filelen = [](void *user) -> sf_count_t { return static_cast<MemoryFile *>(user)->bytes.size(); };
    io.seek = [](sf_count_t offset, int whence, void *user) -> sf_count_t {
        auto *m = static_cast<MemoryFile *>(user);
        sf_count_t base = whence == SEEK_CUR ? m->position : whence == SEEK_END ? m->bytes.size() : 0;
        m->position = std::max<sf_count_t>(0, base + offset);
        return m->position;
    };
    io.read = [](void *ptr, sf_count_t count, void *user) -> sf_count_t {
        auto *m = static_cast<MemoryFile *>(user);
        const sf_count_t n = std::clamp<sf_count_t>(m->bytes.size() - m->position, 0, count);
        if (n > 0)
            std::memcpy(ptr, m->bytes.constData() + m->position, size_t(n));
        m->position += n;
        return n;
    };
    io.write = [](const void *ptr, sf_count_t count, void *user) -> sf_count_t {
        auto *m = static_cast<MemoryFile *>(user);
        if (m->position + count > m->bytes.size())
            m->bytes.resize(qsizetype(m->position + count));
        std::memcpy(m->bytes.data() + m->position, ptr, size_t(count));
        m->position += count;
        return count;
    };
    io.tell = [](void *user) -> sf_count_t { return static_cast<MemoryFile *>(user)->position; };
    return io;
}

} // namespace

QList<AudioFormat> AudioConverter::allFormats()
{
    return {AudioFormat::Wav, AudioFormat::Flac, AudioFormat::OggVorbis, AudioFormat::Opus, AudioFormat::Mp3};
}

int AudioConverter::wavFileFormat(int sourceFormat, int channels, int sampleRate, qint64 frames)
{
    const int type = sourceFormat & SF_FORMAT_TYPEMASK;
    const bool wavSource = type == SF_FORMAT_WAV || type == SF_FORMAT_WAVEX || type == SF_FORMAT_RF64;
    const int subtype = sourceFormat & SF_FORMAT_SUBMASK;
    // The RIFF sizes are 32 bits; the room left is for the header chunks.
    constexpr qint64 kPlainWavLimit = 0xFFFFFFFFLL - 1024 * 1024;
    const qint64 bytesPerFrame =
        qint64(qMax(channels, 1)) * bytesPerSample(wavSource ? subtype : pcmSubtype(sourceFormat, true, true));
    if (frames <= kPlainWavLimit / bytesPerFrame) {
        // A WAV stays in its own encoding; anything else becomes plain PCM.
        if (wavSource && formatValid(SF_FORMAT_WAV | subtype, channels, sampleRate))
            return SF_FORMAT_WAV | subtype;
        return SF_FORMAT_WAV | pcmSubtype(sourceFormat, true, true);
    }
    if (wavSource && formatValid(SF_FORMAT_RF64 | subtype, channels, sampleRate))
        return SF_FORMAT_RF64 | subtype;
    return SF_FORMAT_RF64 | pcmSubtype(sourceFormat, true, true);
}

QList<AudioFormat> AudioConverter::availableFormats()
{
    QList<AudioFormat> formats;
    for (AudioFormat f : allFormats()) {
        if (f == AudioFormat::Wav || writerOpens(f))
            formats.append(f);
    }
    return formats;
}

bool AudioConverter::writerOpens(AudioFormat format)
{
    // The recorder's own format is what is tried: mono 16-bit at espeak's rate.
    constexpr int kProbeRate = 22050;
    MemoryFile memory;
    SF_VIRTUAL_IO io = memoryIo();
    SF_INFO info{};
    info.samplerate = targetSampleRate(format, kProbeRate);
    info.channels = 1;
    info.format = outputFormat(format, SF_FORMAT_WAV | SF_FORMAT_PCM_16, info.channels, info.samplerate,
                               info.samplerate / 10);
    SNDFILE *file = sf_open_virtual(&io, SFM_WRITE, &info, &memory);
    if (!file)
        return false;
    std::vector<float> silence(size_t(info.samplerate / 10), 0.0f);
    const bool wrote = sf_writef_float(file, silence.data(), sf_count_t(silence.size())) == sf_count_t(silence.size());
    const bool closed = sf_close(file) == 0;
    return wrote && closed && !memory.bytes.isEmpty();
}

QString AudioConverter::suffix(AudioFormat format)
{
    switch (format) {
    case AudioFormat::Wav: return QStringLiteral("wav");
    case AudioFormat::Flac: return QStringLiteral("flac");
    case AudioFormat::OggVorbis: return QStringLiteral("ogg");
    case AudioFormat::Opus: return QStringLiteral("opus");
    case AudioFormat::Mp3: return QStringLiteral("mp3");
    }
    return QStringLiteral("wav");
}

QString AudioConverter::displayName(AudioFormat format)
{
    switch (format) {
    case AudioFormat::Wav: return QStringLiteral("WAV");
    case AudioFormat::Flac: return QStringLiteral("FLAC");
    case AudioFormat::OggVorbis: return QStringLiteral("Ogg Vorbis");
    case AudioFormat::Opus: return QStringLiteral("Opus");
    case AudioFormat::Mp3: return QStringLiteral("MP3");
    }
    return QStringLiteral("WAV");
}

QString AudioConverter::filterEntry(AudioFormat format)
{
    if (format == AudioFormat::Wav)
        return ExportTexts::WavFilter;
    const QString pattern = QStringLiteral("*.") + suffix(format);
    return QStringLiteral("%1 Dateien (%2)|%2").arg(displayName(format), pattern);
}

std::optional<AudioFormat> AudioConverter::formatForSuffix(const QString &suffix)
{
    const QString s = suffix.toLower();
    for (AudioFormat f : allFormats()) {
        if (s == AudioConverter::suffix(f))
            return f;
    }
    if (s == QLatin1String("oga"))
        return AudioFormat::OggVorbis;
    return std::nullopt;
}

AudioFormat AudioConverter::formatForPath(const QString &path)
{
    return formatForSuffix(QFileInfo(path).suffix()).value_or(AudioFormat::Wav);
}

int AudioConverter::targetSampleRate(AudioFormat format, int sourceRate)
{
    switch (format) {
    case AudioFormat::Opus:
        return 48000;
    case AudioFormat::Mp3: {
        // The rates of MPEG-1, MPEG-2 and MPEG-2.5 layer III.
        static const int rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
        for (int rate : rates) {
            if (rate >= sourceRate)
                return rate;
        }
        return 48000;
    }
    case AudioFormat::Flac:
        return std::clamp(sourceRate, 1, 655350);
    case AudioFormat::Wav:
    case AudioFormat::OggVorbis:
        break;
    }
    return std::max(1, sourceRate);
}

AudioConverter::Result AudioConverter::convert(const QString &source, const QString &target, AudioFormat format,
                                               const Progress &progress)
{
    // The target first: a wrong place is reported before any work is done.
    if (const ReplacingFile::Refusal refused = ReplacingFile::checkTarget(target))
        return failure(refused.number, refused.description);

    const QFileInfo sourceInfo(source);
    if (!sourceInfo.exists())
        return failure(ExportTexts::kFileNotFound);
    if (!sourceInfo.isFile())
        return failure(ExportTexts::kPathFileAccessError);
    SF_INFO in{};
    SndfilePtr input(sf_open(QFile::encodeName(source).constData(), SFM_READ, &in));
    if (!input) {
        const int error = errno;
        QFile probe(source);
        if (!probe.open(QIODevice::ReadOnly))
            return failure(FileErrors::numberForErrno(error, ExportTexts::kPathFileAccessError));
        return failure(ExportTexts::kBadFileFormat);
    }

    const int rate = targetSampleRate(format, in.samplerate);
    const bool resample = rate != in.samplerate;
    // Whole numbers carry every PCM source through unchanged; floats are
    // needed for resampling and for sources that are floats already.
    const bool floatPath = resample || isFloatSubtype(in.format);

    ReplacingFile replacement(target);
    if (!replacement.open())
        return failure(replacement.errorNumber(), replacement.errorDescription());
    const int fd = replacement.handle();

    SF_INFO out{};
    out.samplerate = rate;
    out.channels = in.channels;
    // Frames after resampling, rounded up: the size the copy will have.
    const qint64 outFrames = in.frames <= 0 ? 0 : qint64(std::ceil(double(in.frames) * rate / in.samplerate)) + 1;
    out.format = outputFormat(format, in.format, out.channels, out.samplerate, outFrames);
    SndfilePtr output(sf_open_fd(fd, SFM_WRITE, &out, SF_FALSE));
    if (!output) {
        return failure(ExportTexts::kPathFileAccessError,
                       ExportTexts::writerRefused(displayName(format)));
    }
    // A resampled peak may go past full scale; it is clipped, not wrapped.
    sf_command(output.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // Should the copy turn out smaller than estimated, it is still written
    // as the plain WAV it fits.
    if ((out.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RF64)
        sf_command(output.get(), SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);

    const sf_count_t total = in.frames;
    sf_count_t done = 0;
    sf_count_t written = 0;
    const auto writeFailure = [&](int error) {
        return failure(FileErrors::numberForErrno(error, ExportTexts::kDeviceIoError));
    };

    std::vector<float> floats;
    std::vector<int> ints;
    std::vector<float> resampled;
    std::unique_ptr<Resampler> resampler;
    if (resample)
        resampler = std::make_unique<Resampler>(in.samplerate, rate, in.channels);
    const auto writeFloats = [&](const std::vector<float> &frames) {
        const sf_count_t count = sf_count_t(frames.size()) / in.channels;
        if (count == 0)
            return true;
        errno = 0;
        const bool ok = sf_writef_float(output.get(), frames.data(), count) == count;
        written += ok ? count : 0;
        return ok;
    };

    for (;;) {
        sf_count_t got = 0;
        errno = 0;
        if (floatPath) {
            floats.resize(size_t(kPieceFrames * in.channels));
            got = sf_readf_float(input.get(), floats.data(), kPieceFrames);
            if (got <= 0)
                break;
            floats.resize(size_t(got * in.channels));
            if (resampler) {
                resampled.clear();
                resampler->push(floats.data(), got, resampled);
                if (!writeFloats(resampled))
                    return writeFailure(errno);
            } else if (!writeFloats(floats)) {
                return writeFailure(errno);
            }
        } else {
            ints.resize(size_t(kPieceFrames * in.channels));
            got = sf_readf_int(input.get(), ints.data(), kPieceFrames);
            if (got <= 0)
                break;
            errno = 0;
            if (sf_writef_int(output.get(), ints.data(), got) != got)
                return writeFailure(errno);
            written += got;
        }
        done += got;
        if (progress && !progress(total > 0 ? std::min(1.0, double(done) / double(total)) : 0.0)) {
            Result r;
            r.status = Result::Status::Cancelled;
            return r;
        }
    }
    if (resampler) {
        resampled.clear();
        resampler->finish(resampled);
        if (!writeFloats(resampled))
            return writeFailure(errno);
    }

    errno = 0;
    if (sf_close(output.release()) != 0)
        return writeFailure(errno);
    if (!replacement.commit())
        return failure(replacement.errorNumber(), replacement.errorDescription());

    Result r;
    r.status = Result::Status::Ok;
    r.framesWritten = written;
    r.sampleRate = rate;
    return r;
}
