#pragma once
// Measurements of a WAV file for the audio tests: espeak's output differs by
// a few samples from run to run, so tests compare durations, loudness and
// pitch with tolerances, never bytes.

#include <QString>

#include <vector>

struct WavAnalysis {
    bool valid = false;      // libsndfile reads it as 16-bit PCM WAV
    bool headerMatchesSize = false; // RIFF and data sizes agree with the file's length
    int sampleRate = 0;
    int channels = 0;
    long long frames = 0;
    std::vector<short> samples;

    double seconds() const { return sampleRate > 0 ? double(frames) / sampleRate : 0.0; }
    double rms() const;
    int peak() const;
    // Median fundamental frequency in Hz over the voiced parts (0 if none).
    double medianPitch() const;

    static WavAnalysis read(const QString &path);
};
