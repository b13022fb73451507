#include "EspeakEngine.h"

#include "AudioOutput.h"
#include "EspeakOwner.h"
#include "PronunciationSource.h"
#include "SampleReceiver.h"
#include "SpeechTexts.h"
#include "WavRecorder.h"

#include <QMetaObject>

#include <algorithm>
#include <functional>
#include <mutex>

// Carries results from the synthesis thread to the engine's thread; once the
// engine is gone, nothing more is delivered.
class EspeakRelay
{
public:
    explicit EspeakRelay(EspeakEngine *engine) : m_engine(engine) {}

    void post(std::function<void(EspeakEngine *)> call)
    {
        std::lock_guard lock(m_mutex);
        if (!m_engine)
            return;
        EspeakEngine *engine = m_engine;
        // Posted events of a destroyed object are discarded by Qt, and the
        // engine cannot be destroyed while this lock is held.
        QMetaObject::invokeMethod(
            engine, [engine, call = std::move(call)] { call(engine); }, Qt::QueuedConnection);
    }

    void textSynthesised(quint64 generation, int textId)
    {
        post([generation, textId](EspeakEngine *engine) { engine->onTextSynthesised(generation, textId); });
    }

    void recordingStopped(quint64 generation, int textId, QString reason)
    {
        post([generation, textId, reason](EspeakEngine *engine) {
            engine->onRecordingStopped(generation, textId, reason);
        });
    }

    void wordMade(quint64 generation, int position, int length)
    {
        post([generation, position, length](EspeakEngine *engine) {
            engine->onWordMade(generation, position, length);
        });
    }

    void detach()
    {
        std::lock_guard lock(m_mutex);
        m_engine = nullptr;
    }

private:
    std::mutex m_mutex;
    EspeakEngine *m_engine;
};

// The recorder's WAV file with the generation of the texts going into it.
struct EspeakRecorderFile {
    EspeakRecorderFile(int rate, DiskReserve::Probe probe) : wav(rate, std::move(probe)) {}
    WavRecorder wav;
    quint64 generation = 0;
};

// The receiver as the synthesis thread sees it. Closing takes the lock, so
// once close() returns no call of the receiver is running or will be made.
struct EspeakReceiverGate {
    explicit EspeakReceiverGate(SampleReceiver *r) : receiver(r) {}
    void close()
    {
        std::lock_guard lock(mutex);
        receiver = nullptr;
    }
    std::mutex mutex;
    SampleReceiver *receiver;
};

namespace {

class SpeakerSink : public SynthesisSink
{
public:
    SpeakerSink(std::shared_ptr<PcmQueue> queue, quint64 generation, int textId, qint64 rate)
        : m_queue(std::move(queue)), m_generation(generation), m_textId(textId), m_rate(rate)
    {
    }
    void begin() override { m_base = m_queue->framesWritten(); }
    bool audio(const short *samples, int count) override
    {
        return m_queue->append(m_generation, samples, count);
    }
    // A minute of audio ahead of the listener is plenty; synthesis goes on
    // when half of it has been heard.
    bool isFull() const override { return m_queue->framesAvailable() > 60 * m_rate; }
    bool canContinue() const override { return m_queue->framesAvailable() < 30 * m_rate; }
    void word(qint64 sample, int position, int length) override
    {
        m_queue->addMark(m_generation, {m_base + sample, PcmQueue::Mark::Word, position, length});
    }
    void end(bool completed, bool) override
    {
        if (completed) {
            m_queue->addMark(m_generation,
                             {m_queue->framesWritten(), PcmQueue::Mark::TextEnd, m_textId, 0});
        }
    }
private:
    std::shared_ptr<PcmQueue> m_queue;
    quint64 m_generation;
    int m_textId;
    qint64 m_rate;
    qint64 m_base = 0;
};

class RecorderSink : public SynthesisSink
{
public:
    RecorderSink(std::shared_ptr<EspeakRecorderFile> file, QString path, WavRecorder::Placement placement,
                 quint64 generation, int textId, std::shared_ptr<EspeakRelay> relay)
        : m_file(std::move(file)), m_path(std::move(path)), m_placement(placement), m_generation(generation),
          m_textId(textId), m_relay(std::move(relay))
    {
    }
    void begin() override
    {
        // Texts queued one after another without a reset go into one file; a
        // file stopped for want of space or failed stays so for them.
        if ((m_file->wav.isOpen() || m_file->wav.stoppedForSpace() || m_file->wav.failed())
            && m_file->wav.path() == m_path && m_file->generation == m_generation)
            return;
        m_file->generation = m_generation;
        // A failure leaves no file; for a user's file it is told at the end.
        m_file->wav.open(m_path, m_placement);
    }
    bool audio(const short *samples, int count) override
    {
        // A full disk ends only the recording; other write errors leave the
        // file short, as they always did.
        return m_file->wav.write(samples, count) || !m_file->wav.stoppedForSpace();
    }
    void end(bool completed, bool moreFollow) override
    {
        const bool ours = m_file->generation == m_generation;
        if (ours && (m_file->wav.stoppedForSpace() || m_file->wav.failed())) {
            m_relay->recordingStopped(m_generation, m_textId, m_file->wav.errorString());
            return;
        }
        // The file may already hold a newer generation's text. A user's
        // file is put in place only by a recording that was completed.
        if (!moreFollow && ours && !m_file->wav.close(completed)) {
            m_relay->recordingStopped(m_generation, m_textId, m_file->wav.errorString());
            return;
        }
        if (completed) {
            m_relay->textSynthesised(m_generation, m_textId);
        }
    }

private:
    std::shared_ptr<EspeakRecorderFile> m_file;
    QString m_path;
    WavRecorder::Placement m_placement;
    quint64 m_generation;
    int m_textId;
    std::shared_ptr<EspeakRelay> m_relay;
};

// Hands the samples and word starts to a SampleReceiver as they are made.
class ReceiverSink : public SynthesisSink
{
public:
    ReceiverSink(std::shared_ptr<EspeakReceiverGate> gate, quint64 generation, int textId,
                 std::shared_ptr<EspeakRelay> relay)
        : m_gate(std::move(gate)), m_generation(generation), m_textId(textId), m_relay(std::move(relay))
    {
    }
    bool audio(const short *samples, int count) override
    {
        std::lock_guard lock(m_gate->mutex);
        if (!m_gate->receiver) {
            m_closed = true;
            return false;
        }
        if (!m_gate->receiver->samples(samples, count))
            m_refused = true;
        return !m_refused;
    }
    void word(qint64 sample, int position, int length) override
    {
        {
            std::lock_guard lock(m_gate->mutex);
            if (!m_gate->receiver)
                return;
            m_gate->receiver->word(sample, position, length);
        }
        m_relay->wordMade(m_generation, position, length);
    }
    void end(bool completed, bool) override
    {
        if (m_refused)
            m_relay->recordingStopped(m_generation, m_textId, SpeechTexts::receiverRefused());
        else if (completed && !m_closed)
            m_relay->textSynthesised(m_generation, m_textId);
    }

private:
    std::shared_ptr<EspeakReceiverGate> m_gate;
    quint64 m_generation;
    int m_textId;
    std::shared_ptr<EspeakRelay> m_relay;
    bool m_refused = false;
    bool m_closed = false; // the receiver was taken away while speaking
};

} // namespace

EspeakEngine::EspeakEngine(QObject *parent)
    : SpeechEngine(parent), m_channel(std::make_shared<SynthesisChannel>()),
      m_relay(std::make_shared<EspeakRelay>(this))
{
    EspeakOwner::instance();
}

EspeakEngine::EspeakEngine(const Clock &clock, QObject *parent) : EspeakEngine(parent)
{
    m_clock = &clock;
}

EspeakEngine::~EspeakEngine()
{
    m_relay->detach();
    m_channel->generation.fetch_add(1); // cancels whatever is still queued for us
    if (m_receiverGate)
        m_receiverGate->close();
}

bool EspeakEngine::isAvailable()
{
    return EspeakOwner::instance().isAvailable();
}

int EspeakEngine::sampleRate()
{
    return EspeakOwner::instance().sampleRate();
}

AudioOutput *EspeakEngine::audioOutput()
{
    if (!m_output) {
        m_output = m_clock ? new AudioOutput(sampleRate(), *m_clock, this) : new AudioOutput(sampleRate(), this);
        m_output->queue()->clear(m_channel->generation.load());
        connect(m_output, &AudioOutput::deviceUnavailable, this, &SpeechEngine::soundUnavailable);
        connect(m_output, &AudioOutput::markReached, this, [this](const PcmQueue::Mark &mark) {
            if (mark.kind == PcmQueue::Mark::TextEnd)
                finishText(mark.position);
            else if (!m_pending.isEmpty())
                emit wordReached(mark.position, mark.length);
        });
    }
    return m_output;
}

void EspeakEngine::speak(const QString &text)
{
    EspeakOwner &owner = EspeakOwner::instance();
    const int id = m_nextTextId++;
    m_pending.append(id);

    EspeakOwner::Job job;
    job.channel = m_channel;
    job.generation = m_channel->generation.load();
    job.text = text;
    if (m_pronunciation)
        job.pronouncer = m_pronunciation->current();
    const QList<SpeechMode> &modes = owner.modes();
    if (m_mode >= 1 && m_mode <= modes.size())
        job.voice = modes.at(m_mode - 1).espeakName;
    job.rate = m_speed;
    job.pitch = m_pitch;
    // espeak has one amplitude; the quieter channel is scaled down on playback.
    const int loudest = std::max(m_leftVolume, m_rightVolume);
    job.volume = loudest;

    if (m_receiverGate) {
        job.sink = std::make_shared<ReceiverSink>(m_receiverGate, job.generation, id, m_relay);
    } else if (m_outputFile.isEmpty()) {
        AudioOutput *output = audioOutput();
        output->setChannelGains(loudest > 0 ? double(m_leftVolume) / loudest : 0.0,
                                loudest > 0 ? double(m_rightVolume) / loudest : 0.0);
        job.sink = std::make_shared<SpeakerSink>(output->queue(), job.generation, id, sampleRate());
        if (!output->isRunning()) {
            output->start();
            if (m_paused)
                output->pause();
        }
    } else {
        if (!m_recorderFile)
            m_recorderFile = std::make_shared<EspeakRecorderFile>(sampleRate(), m_spaceProbe);
        job.sink = std::make_shared<RecorderSink>(
            m_recorderFile, m_outputFile,
            m_outputInPlace ? WavRecorder::Placement::InPlace : WavRecorder::Placement::ReplaceWhenComplete,
            job.generation, id, m_relay);
    }
    owner.enqueue(std::move(job));
}

void EspeakEngine::pause()
{
    m_paused = true;
    if (m_output)
        m_output->pause();
}

void EspeakEngine::resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    if (m_output)
        m_output->resume();
    if (!m_heldEnds.isEmpty()) {
        const quint64 generation = m_channel->generation.load();
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation == m_channel->generation.load())
                    releaseHeldEnds();
            },
            Qt::QueuedConnection);
    }
}

void EspeakEngine::releaseHeldEnds()
{
    while (!m_paused && !m_heldEnds.isEmpty())
        finishText(m_heldEnds.takeFirst());
}

void EspeakEngine::reset()
{
    const quint64 generation = m_channel->generation.fetch_add(1) + 1;
    m_pending.clear();
    m_heldEnds.clear();
    m_paused = false;
    if (m_output) {
        m_output->queue()->clear(generation);
        m_output->halt();
    }
    if (m_receiverGate) {
        SampleReceiver *receiver = m_receiverGate->receiver;
        m_receiverGate->close();
        m_receiverGate = std::make_shared<EspeakReceiverGate>(receiver);
    }
}

bool EspeakEngine::setSampleReceiver(SampleReceiver *receiver)
{
    if (m_receiverGate)
        m_receiverGate->close();
    m_receiverGate = receiver ? std::make_shared<EspeakReceiverGate>(receiver) : nullptr;
    return true;
}

void EspeakEngine::onWordMade(quint64 generation, int position, int length)
{
    if (generation == m_channel->generation.load() && !m_pending.isEmpty())
        emit wordReached(position, length);
}

void EspeakEngine::onTextSynthesised(quint64 generation, int textId)
{
    if (generation == m_channel->generation.load())
        finishText(textId);
}

void EspeakEngine::onRecordingStopped(quint64 generation, int textId, const QString &reason)
{
    if (generation != m_channel->generation.load() || !m_pending.removeOne(textId))
        return;
    if (m_stopReported != generation) {
        m_stopReported = generation;
        emit recordingStopped(reason);
    }
}

void EspeakEngine::setFreeSpaceProbe(DiskReserve::Probe probe)
{
    m_spaceProbe = std::move(probe);
    m_recorderFile.reset();
}

void EspeakEngine::finishText(int textId)
{
    if (!m_pending.contains(textId))
        return;
    if (m_paused) {
        if (!m_heldEnds.contains(textId))
            m_heldEnds.append(textId);
        return;
    }
    m_pending.removeOne(textId);
    if (m_pending.isEmpty() && m_output)
        m_output->halt();
    emit textEnded();
}

bool EspeakEngine::selectMode(int mode)
{
    const QList<SpeechMode> &modes = EspeakOwner::instance().modes();
    if (mode < 1 || mode > modes.size())
        return false;
    m_mode = mode;
    EspeakOwner::instance().prepareVoice(modes.at(mode - 1).espeakName);
    return true;
}

int EspeakEngine::modeCount() const
{
    return int(EspeakOwner::instance().modes().size());
}

QString EspeakEngine::modeName(int mode) const
{
    const QList<SpeechMode> &modes = EspeakOwner::instance().modes();
    return mode >= 1 && mode <= modes.size() ? modes.at(mode - 1).name : QString();
}

int EspeakEngine::language(int mode) const
{
    const QList<SpeechMode> &modes = EspeakOwner::instance().modes();
    return mode >= 1 && mode <= modes.size() ? modes.at(mode - 1).languageId : 0;
}

int EspeakEngine::gender(int mode) const
{
    const QList<SpeechMode> &modes = EspeakOwner::instance().modes();
    return mode >= 1 && mode <= modes.size() ? modes.at(mode - 1).gender : 0;
}

void EspeakEngine::setPitch(int value)
{
    m_pitch = std::clamp(value, MinPitch, MaxPitch);
}

void EspeakEngine::setSpeed(int value)
{
    m_speed = std::clamp(value, MinSpeed, MaxSpeed);
}

void EspeakEngine::setLeftVolume(int value)
{
    m_leftVolume = std::clamp(value, MinVolume, MaxVolume);
}

void EspeakEngine::setRightVolume(int value)
{
    m_rightVolume = std::clamp(value, MinVolume, MaxVolume);
}

void EspeakEngine::setOutputFileName(const QString &path)
{
    m_outputFile = path;
}
