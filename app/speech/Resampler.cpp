#include "Resampler.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr int kBaseHalfWidth = 16;   // zero crossings of the sinc on each side
constexpr int kMaxHalfWidth = 512;   // enough for a reduction to 1/32 of the rate
constexpr std::int64_t kMaxPhases = 4096;
constexpr double kKaiserBeta = 8.6;  // about 80 dB of stop-band attenuation

double besselI0(double x)
{
    double sum = 1.0;
    double term = 1.0;
    const double q = x * x / 4.0;
    for (int k = 1; k < 50; ++k) {
        term *= q / (double(k) * k);
        sum += term;
        if (term < sum * 1e-12)
            break;
    }
    return sum;
}

} // namespace

Resampler::Resampler(int inputRate, int outputRate, int channels)
    : m_inputRate(std::max(1, inputRate)), m_outputRate(std::max(1, outputRate)), m_channels(std::max(1, channels))
{
    const std::int64_t g = std::gcd<std::int64_t>(m_inputRate, m_outputRate);
    m_up = m_outputRate / g;
    m_down = m_inputRate / g;

    // Below the input rate the pass band ends at the output's Nyquist
    // frequency, and the kernel grows to keep its zero crossings.
    const double cutoff = std::min(1.0, double(m_up) / double(m_down));
    m_halfWidth = std::min(kMaxHalfWidth, int(std::ceil(kBaseHalfWidth / cutoff)));
    m_phases = int(std::min(m_up, kMaxPhases));

    const int taps = 2 * m_halfWidth;
    const double i0Beta = besselI0(kKaiserBeta);
    m_table.assign(std::size_t(m_phases + 1) * taps, 0.0f);
    for (int p = 0; p <= m_phases; ++p) {
        const double frac = double(p) / m_phases;
        double sum = 0.0;
        std::vector<double> row(taps);
        for (int j = 0; j < taps; ++j) {
            const double u = frac + m_halfWidth - 1 - j; // distance of the tap from the output instant
            const double x = u / m_halfWidth;
            if (std::abs(x) >= 1.0)
                continue;
            const double arg = M_PI * cutoff * u;
            const double sinc = std::abs(arg) < 1e-12 ? 1.0 : std::sin(arg) / arg;
            const double window = besselI0(kKaiserBeta * std::sqrt(1.0 - x * x)) / i0Beta;
            row[j] = cutoff * sinc * window;
            sum += row[j];
        }
        for (int j = 0; j < taps; ++j)
            m_table[std::size_t(p) * taps + j] = float(sum != 0.0 ? row[j] / sum : 0.0);
    }

    // The taps before the first frame read silence.
    m_base = -(m_halfWidth - 1);
    m_buffer.assign(std::size_t(m_halfWidth - 1) * m_channels, 0.0f);
}

const float *Resampler::phaseTable(std::int64_t remainder) const
{
    const std::int64_t row =
        m_phases == m_up ? remainder : (remainder * m_phases + m_up / 2) / m_up; // nearest of the coarser phases
    return m_table.data() + std::size_t(row) * (2 * m_halfWidth);
}

void Resampler::push(const float *frames, std::int64_t count, std::vector<float> &out)
{
    if (count <= 0)
        return;
    m_buffer.insert(m_buffer.end(), frames, frames + count * m_channels);
    m_inputFrames += count;
    produce(out, false);
}

void Resampler::finish(std::vector<float> &out)
{
    m_buffer.insert(m_buffer.end(), std::size_t(m_halfWidth + 1) * m_channels, 0.0f);
    produce(out, true);
}

void Resampler::produce(std::vector<float> &out, bool draining)
{
    const int taps = 2 * m_halfWidth;
    const std::int64_t available = std::int64_t(m_buffer.size()) / m_channels; // frames from m_base
    for (;;) {
        // Output frame n sits at input time n * M / L = i + rem / L.
        const std::int64_t position = m_nextOutput;
        const std::int64_t i = position / m_up * m_down + (position % m_up) * m_down / m_up;
        const std::int64_t rem = ((position % m_up) * m_down) % m_up;
        if (draining ? i >= m_inputFrames : i + m_halfWidth >= m_base + available)
            break;
        const float *coefficients = phaseTable(rem);
        const float *first = m_buffer.data() + std::size_t(i - m_halfWidth + 1 - m_base) * m_channels;
        for (int c = 0; c < m_channels; ++c) {
            float sum = 0.0f;
            const float *sample = first + c;
            for (int j = 0; j < taps; ++j, sample += m_channels)
                sum += coefficients[j] * *sample;
            out.push_back(sum);
        }
        ++m_nextOutput;
    }

    // Frames no later output reaches are dropped, in large steps so the
    // buffer is not moved for every piece.
    const std::int64_t position = m_nextOutput;
    const std::int64_t nextI = position / m_up * m_down + (position % m_up) * m_down / m_up;
    const std::int64_t unused = std::min(nextI - m_halfWidth + 1 - m_base, available);
    if (unused > 65536 || (unused > 0 && unused * 2 > available)) {
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + std::ptrdiff_t(unused * m_channels));
        m_base += unused;
    }
}
