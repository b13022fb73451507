#pragma once
// EspeakOwner: the one owner of espeak-ng in the process.
//
// espeak-ng keeps process-wide state: two syntheses at once corrupt each
// other, and initialising it a second time makes its shutdown hang. So this
// owner initialises it exactly once (synchronous mode) and makes every espeak
// call on its own synthesis thread; every EspeakEngine queues its work here.
// Work is done in order. A job is cancelled by bumping its channel's
// generation: the synthesis callback sees that and tells espeak to stop
// (espeak_Cancel does nothing in synchronous mode), and queued jobs of an old
// generation are dropped unseen.

#include "ModeList.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

// What a job's audio goes to. Called on the synthesis thread.
class SynthesisSink
{
public:
    virtual ~SynthesisSink() = default;
    virtual void begin() {}
    // False stops the synthesis.
    virtual bool audio(const short *samples, int count) = 0;
    // A word starts `sample` samples after the beginning of this job's audio;
    // position and length in QString units of the job's text.
    virtual void word(qint64 sample, int position, int length)
    {
        Q_UNUSED(sample);
        Q_UNUSED(position);
        Q_UNUSED(length);
    }
    // completed: the whole text was synthesised and not cancelled.
    // moreFollow: another job of the same channel and generation is queued.
    virtual void end(bool completed, bool moreFollow) = 0;
};

// One engine instance as the owner sees it.
struct SynthesisChannel {
    std::atomic<quint64> generation{0};
};

class EspeakOwner
{
public:
    struct Job {
        std::shared_ptr<SynthesisChannel> channel;
        quint64 generation = 0;
        QString text;
        QByteArray voice; // espeak voice name, e.g. "gmw/de+f3"
        int rate = 175;   // words per minute
        int pitch = 50;
        int volume = 100;
        std::shared_ptr<SynthesisSink> sink;
    };

    static EspeakOwner &instance();

    bool isAvailable() const { return m_available; }
    int sampleRate() const { return m_sampleRate; }
    const QList<SpeechMode> &modes() const { return m_modes; }

    void enqueue(Job job);
    // Loads a voice ahead of the next text, so that speaking starts sooner.
    void prepareVoice(const QByteArray &voice);

    ~EspeakOwner();
    EspeakOwner(const EspeakOwner &) = delete;
    EspeakOwner &operator=(const EspeakOwner &) = delete;

private:
    EspeakOwner();
    void run();
    void synthesise(Job &job);
    void selectVoice(const QByteArray &voice);

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    QByteArray m_voiceToPrepare;
    bool m_stopping = false;

    // Written once by the synthesis thread before the constructor returns.
    bool m_available = false;
    int m_sampleRate = 22050;
    QList<SpeechMode> m_modes;

    // Synthesis thread only.
    QByteArray m_currentVoice;
};
