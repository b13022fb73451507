#include "LoudnessMeter.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>

struct LoudnessMeter::State {
    ebur128_state *meter = nullptr;
    ~State()
    {
        if (meter)
            ebur128_destroy(&meter);
    }
};

LoudnessMeter::LoudnessMeter(int sampleRate) : m_state(std::make_unique<State>())
{
    m_state->meter = ebur128_init(1, unsigned(std::max(1, sampleRate)), EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
}

LoudnessMeter::~LoudnessMeter() = default;

void LoudnessMeter::add(const short *samples, qint64 count)
{
    if (m_state->meter && count > 0)
        ebur128_add_frames_short(m_state->meter, samples, size_t(count));
}

void LoudnessMeter::add(const float *samples, qint64 count)
{
    if (m_state->meter && count > 0)
        ebur128_add_frames_float(m_state->meter, samples, size_t(count));
}

double LoudnessMeter::integrated() const
{
    double lufs = -std::numeric_limits<double>::infinity();
    if (m_state->meter)
        ebur128_loudness_global(m_state->meter, &lufs);
    return lufs;
}

double LoudnessMeter::truePeak() const
{
    double peak = 0.0;
    if (m_state->meter)
        ebur128_true_peak(m_state->meter, 0, &peak);
    return peak > 0.0 ? 20.0 * std::log10(peak) : -std::numeric_limits<double>::infinity();
}

double LoudnessMeter::gainFor(double integrated, double truePeak, double targetLufs, double ceilingDbtp)
{
    if (!std::isfinite(integrated))
        return 0.0;
    double gain = targetLufs - integrated;
    if (std::isfinite(truePeak))
        gain = std::min(gain, ceilingDbtp - truePeak);
    return gain;
}
