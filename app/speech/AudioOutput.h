#pragma once
// AudioOutput: plays what the speaker instance synthesises.
//
// With a working sound device a QAudioSink pulls 16-bit stereo from a
// PcmStream. Without one (no device, a format it refuses, a sink that fails
// on or after start, or QUENORA_AUDIO=null) the samples are taken away at the
// pace of the monotonic time of a Clock instead (the system clock unless one
// is passed; tests pass a FakeClock and advance it), so speaking, pausing,
// resuming and resetting behave the same with and without a sound card. The fallback is
// announced with one line on stderr per process. Lives on the GUI thread and
// never blocks it: the queue is filled by the synthesis thread.

#include "Clock.h"
#include "PcmQueue.h"

#include <QAudio>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

Q_DECLARE_METATYPE(PcmQueue::Mark)

class PcmStream;
class QAudioSink;

class AudioOutput : public QObject
{
    Q_OBJECT
public:
    explicit AudioOutput(int sampleRate, QObject *parent = nullptr);
    // clock paces the null output and must outlive this object.
    AudioOutput(int sampleRate, const Clock &clock, QObject *parent = nullptr);
    ~AudioOutput() override;

    std::shared_ptr<PcmQueue> queue() const { return m_queue; }
    int sampleRate() const { return m_sampleRate; }

    // 0.0 .. 1.0 per channel.
    void setChannelGains(double left, double right);

    // Starts taking audio from the queue (no-op while running).
    void start();
    // Holds playback and, for the null output, its clock.
    void pause();
    void resume();
    bool isPaused() const { return m_paused; }
    // Stops at once; what is still queued stays there until the queue is
    // cleared.
    void halt();
    bool isRunning() const { return m_running; }

    // True when sound goes to the clock-paced null output.
    bool isNull() const { return m_null; }
    // Frames heard so far (counted like PcmQueue positions).
    qint64 playedFrames() const { return m_played; }

signals:
    // A mark of the queue has been reached by playback.
    void markReached(const PcmQueue::Mark &mark);
    // The device is missing or failed and sound goes to the null output
    // from now on (not sent when QUENORA_AUDIO=null asked for it). Queued.
    void deviceUnavailable(const QString &message);

private:
    void tick();
    void startDevice();
    void fallBackToNull(const QString &reason);
    void restartNullClock();
    void onSinkStateChanged(QAudio::State state);

    const Clock &m_time;
    int m_sampleRate;
    std::shared_ptr<PcmQueue> m_queue;
    PcmStream *m_stream = nullptr;
    QAudioSink *m_sink = nullptr;
    QTimer m_timer;
    qint64 m_clockStartNs = 0;
    QElapsedTimer m_progress; // since the device last took audio
    qint64 m_lastRead = 0;
    qint64 m_clockBase = 0;
    qint64 m_played = 0;
    int m_idleTicks = 0;
    bool m_null = false;
    bool m_running = false;
    bool m_paused = false;
    double m_leftGain = 1.0;
    double m_rightGain = 1.0;
};
