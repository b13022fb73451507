#include "FirstAudioTimer.h"

#include "AudioOutput.h"
#include "EspeakEngine.h"

#include <QCoreApplication>

#include <algorithm>

FirstAudioTimer::FirstAudioTimer(EspeakEngine &engine) : m_engine(engine)
{
    m_engine.audioOutput()->queue()->setAppendObserver([this](qint64) {
        std::lock_guard lock(m_mutex);
        if (!m_gotAudio) {
            m_gotAudio = true;
            m_first = std::chrono::steady_clock::now();
            m_arrived.notify_all();
        }
    });
}

double FirstAudioTimer::once(const QString &text)
{
    {
        std::lock_guard lock(m_mutex);
        m_gotAudio = false;
    }
    const auto start = std::chrono::steady_clock::now();
    m_engine.speak(text);
    std::unique_lock lock(m_mutex);
    if (!m_arrived.wait_for(lock, std::chrono::seconds(10), [&] { return m_gotAudio; }))
        return -1.0;
    const double ms = std::chrono::duration<double, std::milli>(m_first - start).count();
    lock.unlock();
    m_engine.reset();
    QCoreApplication::processEvents();
    return ms;
}

std::vector<double> FirstAudioTimer::runs(const QString &text, int count)
{
    std::vector<double> times;
    for (int i = 0; i < count; ++i)
        times.push_back(once(text));
    std::sort(times.begin(), times.end());
    return times;
}

double FirstAudioTimer::median(const std::vector<double> &sorted)
{
    const size_t n = sorted.size();
    if (n == 0)
        return -1.0;
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}
