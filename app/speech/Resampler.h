#pragma once
// Resampler: changes the sample rate of interleaved float audio, in pieces,
// for encoders that take only certain rates (Opus wants 48 kHz, the
// recorder writes espeak's 22050 Hz).
//
// A thin owner of an FFmpeg libswresample context (its band-limited sinc
// filter, so a lower output rate is free of aliasing). The output lasts as
// long as the input, rounded up to a whole frame, whatever the pieces were.

#include <cstdint>
#include <vector>

struct SwrContext;

class Resampler
{
public:
    Resampler(int inputRate, int outputRate, int channels);
    ~Resampler();
    Resampler(const Resampler &) = delete;
    Resampler &operator=(const Resampler &) = delete;

    // Appends the output frames that the input so far determines.
    void push(const float *frames, std::int64_t count, std::vector<float> &out);
    // The input has ended: appends the rest, so that the output lasts as
    // long as the input (rounded up to a whole frame).
    void finish(std::vector<float> &out);

    int inputRate() const { return m_inputRate; }
    int outputRate() const { return m_outputRate; }

private:
    void convert(const float *frames, std::int64_t count, std::vector<float> &out);

    int m_inputRate;
    int m_outputRate;
    int m_channels;
    SwrContext *m_context = nullptr;
    std::int64_t m_inputFrames = 0;
    std::int64_t m_outputFrames = 0;
};
