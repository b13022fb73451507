#include "MediaProbe.h"

#include "LoudnessMeter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libswresample/swresample.h>
}

#include <functional>
#include <memory>
#include <vector>

MediaProbe MediaProbe::of(const QString &path)
{
    MediaProbe probe;
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, path.toUtf8().constData(), nullptr, nullptr) < 0)
        return probe;
    avformat_find_stream_info(format, nullptr);
    probe.opened = true;
    probe.duration = format->duration > 0 ? double(format->duration) / AV_TIME_BASE : 0;
    auto readTags = [&probe](AVDictionary *dict) {
        const AVDictionaryEntry *e = nullptr;
        while ((e = av_dict_get(dict, "", e, AV_DICT_IGNORE_SUFFIX)))
            probe.tags.insert(QString::fromUtf8(e->key).toLower(), QString::fromUtf8(e->value));
    };
    readTags(format->metadata);
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream *s = format->streams[i];
        if (s->disposition & AV_DISPOSITION_ATTACHED_PIC)
            probe.hasPicture = true;
        else if (s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            probe.codec = QString::fromLatin1(avcodec_get_name(s->codecpar->codec_id));
            readTags(s->metadata); // Ogg keeps its comments on the stream
        }
    }
    for (unsigned i = 0; i < format->nb_chapters; ++i) {
        const AVChapter *c = format->chapters[i];
        const AVDictionaryEntry *title = av_dict_get(c->metadata, "title", nullptr, 0);
        probe.chapterTitles.append(title ? QString::fromUtf8(title->value) : QString());
        probe.chapterStarts.append(double(c->start) * av_q2d(c->time_base));
        probe.chapterEnds.append(double(c->end) * av_q2d(c->time_base));
    }
    avformat_close_input(&format);
    return probe;
}

namespace {

// Decodes the file's audio stream to mono float, block by block; false when
// it cannot be opened.
bool decode(const QString &path, const std::function<void(int rate)> &opened,
            const std::function<void(const float *, int)> &take)
{
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, path.toUtf8().constData(), nullptr, nullptr) < 0)
        return false;
    avformat_find_stream_info(format, nullptr);
    const AVCodec *decoder = nullptr;
    const int stream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream < 0) {
        avformat_close_input(&format);
        return false;
    }
    AVCodecContext *codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(codec, format->streams[stream]->codecpar);
    avcodec_open2(codec, decoder, nullptr);
    opened(codec->sample_rate);
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    SwrContext *swr = nullptr;
    AVChannelLayout mono;
    av_channel_layout_default(&mono, 1);
    swr_alloc_set_opts2(&swr, &mono, AV_SAMPLE_FMT_FLT, codec->sample_rate, &codec->ch_layout, codec->sample_fmt,
                        codec->sample_rate, 0, nullptr);
    swr_init(swr);
    std::vector<float> samples;
    auto receive = [&]() {
        while (avcodec_receive_frame(codec, frame) >= 0) {
            samples.resize(size_t(frame->nb_samples) + 256);
            uint8_t *out = reinterpret_cast<uint8_t *>(samples.data());
            const int got = swr_convert(swr, &out, int(samples.size()), const_cast<const uint8_t **>(frame->extended_data),
                                        frame->nb_samples);
            take(samples.data(), got);
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == stream && avcodec_send_packet(codec, packet) >= 0)
            receive();
        av_packet_unref(packet);
    }
    avcodec_send_packet(codec, nullptr);
    receive();
    swr_free(&swr);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    return true;
}

} // namespace

std::pair<double, double> MediaProbe::loudness(const QString &path)
{
    std::unique_ptr<LoudnessMeter> meter;
    if (!decode(path, [&meter](int rate) { meter = std::make_unique<LoudnessMeter>(rate); },
                [&meter](const float *samples, int count) { meter->add(samples, count); }))
        return {0, 0};
    return {meter->integrated(), meter->truePeak()};
}

std::vector<float> MediaProbe::samples(const QString &path, int *rate)
{
    std::vector<float> all;
    decode(path, [rate](int r) { if (rate) *rate = r; },
           [&all](const float *samples, int count) { all.insert(all.end(), samples, samples + count); });
    return all;
}
