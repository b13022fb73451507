#pragma once
// Resampler: changes the sample rate of interleaved float audio, in pieces,
// for encoders that take only certain rates (Opus wants 48 kHz, the
// recorder writes espeak's 22050 Hz).
//
// A windowed-sinc (Kaiser) interpolator with one coefficient table per
// output phase; the rate ratio is reduced to L/M so that common pairs
// (22050 -> 48000 is 320/147) use exact phases. When the output rate is
// lower, the kernel is widened so the result is free of aliasing. Every phase
// is normalised to a gain of one, so silence stays silence and a constant
// stays that constant.

#include <cstdint>
#include <vector>

class Resampler
{
public:
    Resampler(int inputRate, int outputRate, int channels);

    // Appends the output frames that the input so far determines.
    void push(const float *frames, std::int64_t count, std::vector<float> &out);
    // The input has ended: appends the rest, so that the output lasts as
    // long as the input (rounded up to a whole frame).
    void finish(std::vector<float> &out);

    int inputRate() const { return m_inputRate; }
    int outputRate() const { return m_outputRate; }

private:
    void produce(std::vector<float> &out, bool draining);
    const float *phaseTable(std::int64_t remainder) const;

    int m_inputRate;
    int m_outputRate;
    int m_channels;
    std::int64_t m_up = 1;   // L: output steps per M input steps
    std::int64_t m_down = 1; // M
    int m_halfWidth = 16;    // taps on each side of the output instant
    int m_phases = 1;
    std::vector<float> m_table; // m_phases + 1 rows of 2 * m_halfWidth taps

    std::vector<float> m_buffer; // interleaved input, first frame at index m_base
    std::int64_t m_base = 0;
    std::int64_t m_inputFrames = 0;
    std::int64_t m_nextOutput = 0;
};
