#include "Resampler.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>

Resampler::Resampler(int inputRate, int outputRate, int channels)
    : m_inputRate(std::max(1, inputRate)), m_outputRate(std::max(1, outputRate)), m_channels(std::max(1, channels))
{
    AVChannelLayout layout;
    av_channel_layout_default(&layout, m_channels);
    if (swr_alloc_set_opts2(&m_context, &layout, AV_SAMPLE_FMT_FLT, m_outputRate, &layout, AV_SAMPLE_FMT_FLT,
                            m_inputRate, 0, nullptr)
        == 0) {
        // A longer filter than the default: about 80 dB below the pass band.
        av_opt_set_int(m_context, "filter_size", 64, 0);
        if (swr_init(m_context) < 0)
            swr_free(&m_context);
    }
    av_channel_layout_uninit(&layout);
}

Resampler::~Resampler()
{
    swr_free(&m_context);
}

void Resampler::convert(const float *frames, std::int64_t count, std::vector<float> &out)
{
    if (!m_context)
        return;
    const int inCount = int(count);
    const int room = swr_get_out_samples(m_context, inCount);
    if (room <= 0)
        return;
    const std::size_t at = out.size();
    out.resize(at + std::size_t(room) * m_channels);
    auto *target = reinterpret_cast<uint8_t *>(out.data() + at);
    const auto *source = reinterpret_cast<const uint8_t *>(frames);
    const int got = swr_convert(m_context, &target, room, frames ? &source : nullptr, inCount);
    out.resize(at + std::size_t(std::max(0, got)) * m_channels);
    m_outputFrames += std::max(0, got);
}

void Resampler::push(const float *frames, std::int64_t count, std::vector<float> &out)
{
    constexpr std::int64_t kPiece = 1 << 20; // swr counts in int
    while (count > 0) {
        const std::int64_t piece = std::min(count, kPiece);
        m_inputFrames += piece;
        convert(frames, piece, out);
        frames += piece * m_channels;
        count -= piece;
    }
}

void Resampler::finish(std::vector<float> &out)
{
    const std::int64_t wanted = (m_inputFrames * m_outputRate + m_inputRate - 1) / m_inputRate;
    convert(nullptr, 0, out);
    // The filter's tail is cut, or a last fraction of a frame padded, so the
    // length is exactly the input's.
    const std::int64_t extra = m_outputFrames - wanted;
    if (extra > 0)
        out.resize(out.size() - std::size_t(std::min<std::int64_t>(extra, std::int64_t(out.size()) / m_channels)) * m_channels);
    else if (extra < 0)
        out.resize(out.size() + std::size_t(-extra) * m_channels, 0.0f);
    m_outputFrames = wanted;
}
