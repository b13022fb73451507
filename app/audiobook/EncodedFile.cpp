#include "EncodedFile.h"

#include "AudiobookTexts.h"
#include "FileErrors.h"
#include "ReplacingFile.h"

#include <QFileInfo>
#include <QtEndian>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kIoBufferSize = 1 << 16;

// FFmpeg's own log lines are English notes for its developers (a warning
// about the .m4b suffix, the encoder's statistics); every failure comes
// back as a code and is told in German.
void quietLibraries()
{
    static const bool quiet = [] {
        av_log_set_level(AV_LOG_QUIET);
        return true;
    }();
    Q_UNUSED(quiet);
}

const char *muxerName(AudiobookFormat format)
{
    switch (format) {
    case AudiobookFormat::M4b: return "ipod";
    case AudiobookFormat::Mp3: return "mp3";
    case AudiobookFormat::Opus: return "opus";
    }
    return "";
}

int bitRate(AudiobookFormat format)
{
    switch (format) {
    case AudiobookFormat::M4b: return 64000;
    case AudiobookFormat::Mp3: return 64000;
    case AudiobookFormat::Opus: return 32000;
    }
    return 64000;
}

// The rate nearest above the input that the encoder takes.
int chooseRate(const AVCodec *codec, int inputRate)
{
    if (!codec->supported_samplerates)
        return inputRate;
    int best = 0;
    int highest = 0;
    for (const int *r = codec->supported_samplerates; *r; ++r) {
        highest = std::max(highest, *r);
        if (*r >= inputRate && (best == 0 || *r < best))
            best = *r;
    }
    return best ? best : highest;
}

// An Ogg cover: the FLAC picture block, base64, as Vorbis comment.
QByteArray flacPictureBlock(const QByteArray &image)
{
    const QByteArray mime = image.startsWith("\x89PNG") ? QByteArrayLiteral("image/png") : QByteArrayLiteral("image/jpeg");
    QByteArray block;
    auto put32 = [&block](quint32 v) {
        char bytes[4];
        qToBigEndian(v, bytes);
        block.append(bytes, 4);
    };
    put32(3); // front cover
    put32(quint32(mime.size()));
    block += mime;
    put32(0); // no description
    put32(0); // width, height, depth, colours: unknown
    put32(0);
    put32(0);
    put32(0);
    put32(quint32(image.size()));
    block += image;
    return block.toBase64();
}

// The size of a cover, from decoding it; nothing for bytes that are no
// JPEG or PNG picture (such a cover is left out rather than written broken).
std::optional<std::pair<int, int>> pictureSize(const QByteArray &image, AVCodecID id)
{
    const AVCodec *decoder = avcodec_find_decoder(id);
    AVCodecContext *context = decoder ? avcodec_alloc_context3(decoder) : nullptr;
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    std::optional<std::pair<int, int>> size;
    if (context && packet && frame && avcodec_open2(context, decoder, nullptr) >= 0
        && av_new_packet(packet, int(image.size())) >= 0) {
        std::copy(image.cbegin(), image.cend(), packet->data);
        if (avcodec_send_packet(context, packet) >= 0 && avcodec_receive_frame(context, frame) >= 0
            && frame->width > 0 && frame->height > 0)
            size = std::make_pair(frame->width, frame->height);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&context);
    return size;
}

} // namespace

struct EncodedFile::State {
    std::unique_ptr<ReplacingFile> file;
    int ioError = 0;
    AVIOContext *io = nullptr;
    AVFormatContext *format = nullptr;
    AVCodecContext *codec = nullptr;
    AVStream *stream = nullptr;
    SwrContext *swr = nullptr;
    AVAudioFifo *fifo = nullptr;
    AVFrame *frame = nullptr;
    AVPacket *packet = nullptr;
    int frameSize = 1024;
    qint64 pts = 0;
    bool headerWritten = false;

    ~State()
    {
        av_packet_free(&packet);
        av_frame_free(&frame);
        if (fifo)
            av_audio_fifo_free(fifo);
        swr_free(&swr);
        avcodec_free_context(&codec);
        if (format)
            avformat_free_context(format);
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }

    static int writePacket(void *opaque, uint8_t *data, int size)
    {
        auto *self = static_cast<State *>(opaque);
        int left = size;
        while (left > 0) {
            const ssize_t n = ::write(self->file->handle(), data, size_t(left));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                self->ioError = errno;
                return AVERROR(errno);
            }
            data += n;
            left -= int(n);
        }
        return size;
    }

    static int64_t seek(void *opaque, int64_t offset, int whence)
    {
        auto *self = static_cast<State *>(opaque);
        const int fd = self->file->handle();
        if (whence & AVSEEK_SIZE) {
            struct stat st {};
            return fstat(fd, &st) == 0 ? int64_t(st.st_size) : AVERROR(errno);
        }
        const off_t at = lseek(fd, off_t(offset), whence & ~AVSEEK_FORCE);
        return at < 0 ? AVERROR(errno) : int64_t(at);
    }
};

EncodedFile::EncodedFile(AudiobookFormat format, int inputRate) : m_format(format), m_inputRate(std::max(1, inputRate))
{
    quietLibraries();
}

EncodedFile::~EncodedFile()
{
    discard();
}

bool EncodedFile::available(AudiobookFormat format)
{
    return avcodec_find_encoder_by_name(AudiobookFormats::encoderName(format).toLatin1().constData())
        && av_guess_format(muxerName(format), nullptr, nullptr);
}

int EncodedFile::outputRate() const
{
    return m_state && m_state->codec ? m_state->codec->sample_rate : 0;
}

bool EncodedFile::fail(const QString &reason)
{
    m_error = AudiobookTexts::fileNotWritten(QFileInfo(m_path).fileName(), reason);
    m_state.reset();
    return false;
}

bool EncodedFile::open(const QString &path, const FileTags &tags, const QList<ChapterMark> &chapters)
{
    m_state.reset();
    m_path = path;
    m_error.clear();
    const QByteArray encoderName = AudiobookFormats::encoderName(m_format).toLatin1();
    const AVCodec *encoder = avcodec_find_encoder_by_name(encoderName.constData());
    const AVOutputFormat *muxer = av_guess_format(muxerName(m_format), nullptr, nullptr);
    if (!encoder || !muxer) {
        m_error = AudiobookTexts::encoderMissing(AudiobookFormats::displayName(m_format), QString::fromLatin1(encoderName));
        return false;
    }

    auto state = std::make_unique<State>();
    state->file = std::make_unique<ReplacingFile>(path);
    if (!state->file->open()) {
        m_error = AudiobookTexts::fileNotWritten(QFileInfo(path).fileName(), state->file->errorDescription());
        return false;
    }
    m_state = std::move(state);
    State &s = *m_state;

    auto *buffer = static_cast<unsigned char *>(av_malloc(kIoBufferSize));
    s.io = avio_alloc_context(buffer, kIoBufferSize, 1, &s, nullptr, &State::writePacket, &State::seek);
    if (!s.io) {
        av_free(buffer);
        return fail(FileErrors::description(FileErrors::kOutOfMemory));
    }
    if (avformat_alloc_output_context2(&s.format, muxer, nullptr, nullptr) < 0)
        return fail(FileErrors::description(FileErrors::kOutOfMemory));
    s.format->pb = s.io;
    s.format->flags |= AVFMT_FLAG_CUSTOM_IO;

    s.codec = avcodec_alloc_context3(encoder);
    s.codec->sample_rate = chooseRate(encoder, m_inputRate);
    s.codec->sample_fmt = encoder->sample_fmts ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    av_channel_layout_default(&s.codec->ch_layout, 1);
    s.codec->bit_rate = bitRate(m_format);
    s.codec->time_base = AVRational{1, s.codec->sample_rate};
    if (muxer->flags & AVFMT_GLOBALHEADER)
        s.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(s.codec, encoder, nullptr) < 0)
        return fail(AudiobookTexts::encoderFailed());
    s.frameSize = s.codec->frame_size > 0 ? s.codec->frame_size : 1024;

    s.stream = avformat_new_stream(s.format, nullptr);
    s.stream->time_base = s.codec->time_base;
    avcodec_parameters_from_context(s.stream->codecpar, s.codec);

    // Tags, in FFmpeg's generic names; each muxer writes its own kind.
    auto tag = [&s](const char *key, const QString &value) {
        if (!value.isEmpty())
            av_dict_set(&s.format->metadata, key, value.toUtf8().constData(), 0);
    };
    tag("title", tags.title);
    tag("album", tags.album);
    tag("artist", tags.artist);
    tag("date", tags.year);
    if (tags.track > 0)
        tag("track", tags.trackTotal > 0 ? QStringLiteral("%1/%2").arg(tags.track).arg(tags.trackTotal)
                                         : QString::number(tags.track));
    if (m_format == AudiobookFormat::M4b)
        tag("genre", QStringLiteral("Audiobook"));

    AVStream *picture = nullptr;
    if (!tags.cover.isEmpty()) {
        const AVCodecID id = tags.cover.startsWith("\x89PNG") ? AV_CODEC_ID_PNG : AV_CODEC_ID_MJPEG;
        const auto size = pictureSize(tags.cover, id);
        if (size && m_format == AudiobookFormat::Opus) {
            tag("METADATA_BLOCK_PICTURE", QString::fromLatin1(flacPictureBlock(tags.cover)));
        } else if (size) {
            picture = avformat_new_stream(s.format, nullptr);
            picture->disposition = AV_DISPOSITION_ATTACHED_PIC;
            picture->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
            picture->codecpar->codec_id = id;
            picture->codecpar->width = size->first;
            picture->codecpar->height = size->second;
            picture->time_base = AVRational{1, 90000};
        }
    }

    // Chapters in the input's frames; the container rescales them.
    for (int i = 0; i < chapters.size(); ++i) {
        auto *chapter = static_cast<AVChapter *>(av_mallocz(sizeof(AVChapter)));
        chapter->id = i + 1;
        chapter->time_base = AVRational{1, m_inputRate};
        chapter->start = chapters[i].start;
        chapter->end = std::max(chapters[i].end, chapters[i].start);
        av_dict_set(&chapter->metadata, "title", chapters[i].title.toUtf8().constData(), 0);
        av_dynarray_add(&s.format->chapters, reinterpret_cast<int *>(&s.format->nb_chapters), chapter);
    }

    AVDictionary *options = nullptr;
    if (m_format == AudiobookFormat::Mp3)
        av_dict_set(&options, "id3v2_version", "4", 0);
    const int header = avformat_write_header(s.format, &options);
    av_dict_free(&options);
    if (header < 0)
        return fail(s.ioError ? FileErrors::description(FileErrors::numberForErrno(s.ioError, FileErrors::kDeviceIoError))
                              : AudiobookTexts::encoderFailed());
    s.headerWritten = true;

    if (picture) {
        AVPacket *packet = av_packet_alloc();
        av_new_packet(packet, int(tags.cover.size()));
        std::copy(tags.cover.cbegin(), tags.cover.cend(), packet->data);
        packet->stream_index = picture->index;
        packet->pts = packet->dts = 0;
        packet->flags |= AV_PKT_FLAG_KEY;
        const int written = av_interleaved_write_frame(s.format, packet);
        av_packet_free(&packet);
        if (written < 0)
            return fail(AudiobookTexts::encoderFailed());
    }

    AVChannelLayout mono;
    av_channel_layout_default(&mono, 1);
    swr_alloc_set_opts2(&s.swr, &mono, s.codec->sample_fmt, s.codec->sample_rate, &mono, AV_SAMPLE_FMT_FLT,
                        m_inputRate, 0, nullptr);
    av_channel_layout_uninit(&mono);
    if (!s.swr || swr_init(s.swr) < 0)
        return fail(AudiobookTexts::encoderFailed());
    s.fifo = av_audio_fifo_alloc(s.codec->sample_fmt, 1, s.frameSize * 4);
    s.frame = av_frame_alloc();
    s.packet = av_packet_alloc();
    return s.fifo && s.frame && s.packet ? true : fail(FileErrors::description(FileErrors::kOutOfMemory));
}

bool EncodedFile::write(const float *samples, qint64 count)
{
    if (!m_state)
        return false;
    State &s = *m_state;
    constexpr qint64 kPiece = 1 << 16;
    std::vector<uint8_t> converted;
    while (count > 0) {
        const int piece = int(std::min(count, kPiece));
        const int room = swr_get_out_samples(s.swr, piece);
        converted.resize(size_t(std::max(room, 0)) * size_t(av_get_bytes_per_sample(s.codec->sample_fmt)));
        uint8_t *out = converted.data();
        const auto *in = reinterpret_cast<const uint8_t *>(samples);
        const int got = swr_convert(s.swr, &out, room, samples ? &in : nullptr, samples ? piece : 0);
        if (got < 0)
            return fail(AudiobookTexts::encoderFailed());
        void *planes[1] = {out};
        av_audio_fifo_write(s.fifo, planes, got);
        if (!encodeAvailable(false))
            return false;
        if (!samples)
            break;
        samples += piece;
        count -= piece;
    }
    return true;
}

bool EncodedFile::writeSilence(qint64 count)
{
    const std::vector<float> zeros(size_t(std::min<qint64>(count, 1 << 16)), 0.0f);
    while (count > 0) {
        const qint64 piece = std::min<qint64>(count, qint64(zeros.size()));
        if (!write(zeros.data(), piece))
            return false;
        count -= piece;
    }
    return true;
}

bool EncodedFile::encodeAvailable(bool flush)
{
    State &s = *m_state;
    auto drain = [this, &s]() {
        for (;;) {
            const int r = avcodec_receive_packet(s.codec, s.packet);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return true;
            if (r < 0)
                return fail(AudiobookTexts::encoderFailed());
            av_packet_rescale_ts(s.packet, s.codec->time_base, s.stream->time_base);
            s.packet->stream_index = s.stream->index;
            if (av_interleaved_write_frame(s.format, s.packet) < 0)
                return fail(s.ioError ? FileErrors::description(
                                            FileErrors::numberForErrno(s.ioError, FileErrors::kDeviceIoError))
                                      : AudiobookTexts::encoderFailed());
        }
    };
    const bool smallLast = s.codec->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
    while (av_audio_fifo_size(s.fifo) >= s.frameSize || (flush && av_audio_fifo_size(s.fifo) > 0)) {
        const int available = std::min(av_audio_fifo_size(s.fifo), s.frameSize);
        av_frame_unref(s.frame);
        s.frame->nb_samples = smallLast ? available : s.frameSize;
        s.frame->format = s.codec->sample_fmt;
        s.frame->sample_rate = s.codec->sample_rate;
        av_channel_layout_copy(&s.frame->ch_layout, &s.codec->ch_layout);
        if (av_frame_get_buffer(s.frame, 0) < 0)
            return fail(FileErrors::description(FileErrors::kOutOfMemory));
        av_samples_set_silence(s.frame->data, 0, s.frame->nb_samples, 1, s.codec->sample_fmt);
        av_audio_fifo_read(s.fifo, reinterpret_cast<void **>(s.frame->data), available);
        s.frame->pts = s.pts;
        s.pts += s.frame->nb_samples;
        if (avcodec_send_frame(s.codec, s.frame) < 0)
            return fail(AudiobookTexts::encoderFailed());
        if (!drain())
            return false;
    }
    if (flush) {
        avcodec_send_frame(s.codec, nullptr);
        return drain();
    }
    return true;
}

bool EncodedFile::finish()
{
    if (!m_state)
        return false;
    if (!write(nullptr, 1)) // what the resampler still holds
        return false;
    if (!encodeAvailable(true))
        return false;
    State &s = *m_state;
    if (av_write_trailer(s.format) < 0 || s.ioError)
        return fail(FileErrors::description(FileErrors::numberForErrno(s.ioError, FileErrors::kDeviceIoError)));
    avio_flush(s.io);
    if (s.ioError)
        return fail(FileErrors::description(FileErrors::numberForErrno(s.ioError, FileErrors::kDeviceIoError)));
    if (!s.file->commit())
        return fail(s.file->errorDescription());
    m_state.reset();
    return true;
}

void EncodedFile::discard()
{
    m_state.reset(); // the ReplacingFile throws the unnamed file away
}
