#pragma once
// FirstAudioTimer: how soon the engine hands the first audio buffer to its
// output after speak(), the delay a user hears before Quenora starts
// talking. Watches the engine's output queue from construction on.

#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

class EspeakEngine;

class FirstAudioTimer
{
public:
    explicit FirstAudioTimer(EspeakEngine &engine);
    FirstAudioTimer(const FirstAudioTimer &) = delete;
    FirstAudioTimer &operator=(const FirstAudioTimer &) = delete;

    // Milliseconds from speak(text) to the first audio; the engine is reset
    // after. -1 when nothing came within 10 seconds.
    double once(const QString &text);
    // count times once(text), sorted.
    std::vector<double> runs(const QString &text, int count);
    static double median(const std::vector<double> &sorted);

private:
    EspeakEngine &m_engine;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    bool m_gotAudio = false;
    std::chrono::steady_clock::time_point m_first;
};
