#pragma once
// LoudnessMeter: integrated loudness and true peak of mono audio after EBU
// R 128 (libebur128), and the one gain that brings a book to a target
// loudness without its true peak passing a ceiling.

#include <QtGlobal>

#include <memory>

class LoudnessMeter
{
public:
    explicit LoudnessMeter(int sampleRate);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter &) = delete;
    LoudnessMeter &operator=(const LoudnessMeter &) = delete;

    void add(const short *samples, qint64 count);
    void add(const float *samples, qint64 count);
    // LUFS; minus infinity for silence.
    double integrated() const;
    // dBTP; minus infinity for silence.
    double truePeak() const;

    // The gain in dB for the target, lowered where the true peak would pass
    // the ceiling; 0 for silence.
    static double gainFor(double integrated, double truePeak, double targetLufs, double ceilingDbtp);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
