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
//
// A long text is synthesised in slices, each continuing at a sentence start
// (or, in a text without sentence ends, a word start): a slice ends when its
// sink is full (the loudspeaker holds a minute of unplayed audio; the job
// then waits, parked, until half of it has been played) or when it has run
// for a while and other work is waiting. So a book-length text neither fills
// the memory with hours of audio nor keeps the other instance waiting.
// espeak is given the text a piece at a time (up to PieceLength characters,
// ending at a line end or blank where there is one), so the first audio of
// a long text does not wait for all of it, and the pronunciation dictionary
// is applied to each piece just before it is spoken.

#include "ModeList.h"
#include "Pronouncer.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <future>
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
    // True while the sink takes no more audio for now (the job is parked).
    virtual bool isFull() const { return false; }
    // True when a parked job may go on.
    virtual bool canContinue() const { return true; }
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
        // The dictionaries the text is spoken with; applied to each piece
        // as it is synthesised, word positions mapped back to the text.
        std::shared_ptr<const Pronouncer> pronouncer;
        // Progress of a text synthesised in slices (synthesis thread only).
        int resumeAt = 0;            // QString index where the next slice starts
        qint64 samplesSoFar = 0;     // audio handed to the sink in earlier slices
        bool begun = false;
    };

    static EspeakOwner &instance();
    static constexpr int PieceLength = 32768;
    // Where the piece of text starting at from ends.
    static int pieceEnd(const QString &text, int from);

    // These wait until espeak has been initialised on the synthesis thread;
    // nothing else does, so creating the owner costs the caller nothing.
    bool isAvailable() const { m_ready.wait(); return m_available; }
    int sampleRate() const { m_ready.wait(); return m_sampleRate; }
    const QList<SpeechMode> &modes() const { m_ready.wait(); return m_modes; }

    void enqueue(Job job);
    // True when a job is queued behind the one being synthesised (read by
    // the synthesis callback to end a long slice).
    bool otherWorkWaiting() const;
    // Loads a voice ahead of the next text, so that speaking starts sooner.
    void prepareVoice(const QByteArray &voice);

    ~EspeakOwner();
    EspeakOwner(const EspeakOwner &) = delete;
    EspeakOwner &operator=(const EspeakOwner &) = delete;

private:
    EspeakOwner();
    void run();
    // True when the job is done; false when it stopped after a slice.
    bool synthesise(Job &job);
    void updateWaiting();
    void finish(Job &job, bool completed);
    void selectVoice(const QByteArray &voice);

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    std::deque<Job> m_parked; // waiting for their sink to take audio again
    std::atomic<int> m_waiting{0}; // queued jobs, seen from the callback
    QByteArray m_voiceToPrepare;
    bool m_stopping = false;

    // Written once by the synthesis thread before m_ready is set.
    std::promise<void> m_readyPromise;
    std::shared_future<void> m_ready;
    bool m_available = false;
    int m_sampleRate = 22050;
    QList<SpeechMode> m_modes;

    // Synthesis thread only.
    QByteArray m_currentVoice;
};
