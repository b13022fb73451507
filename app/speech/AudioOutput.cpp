#include "AudioOutput.h"

#include "PcmStream.h"
#include "SpeechTexts.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace {

constexpr int TickMs = 10;
constexpr int BytesPerFrame = 4; // 16-bit stereo
constexpr int StallMs = 2000;

void announceFallback(const QString &reason)
{
    static std::atomic<bool> announced{false};
    if (announced.exchange(true))
        return;
    // Named after the program that runs, quenora or quenora-speak.
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name,
                 SpeechTexts::noAudioDevice(reason).toLocal8Bit().constData());
    std::fflush(stderr);
}

// Qt's sound backend warns on its own when there is no sound server; the
// program says it once, in its own words.
QtMessageHandler g_previousHandler = nullptr;
void quietBackendHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("PulseAudioService:")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

QAudioDevice defaultDevice()
{
    g_previousHandler = qInstallMessageHandler(quietBackendHandler);
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    qInstallMessageHandler(g_previousHandler);
    return device;
}

const Clock &systemClock()
{
    static const SystemClock clock;
    return clock;
}

bool nullForced()
{
    return qEnvironmentVariable("QUENORA_AUDIO").compare(QLatin1String("null"), Qt::CaseInsensitive) == 0;
}

} // namespace

AudioOutput::AudioOutput(int sampleRate, QObject *parent)
    : AudioOutput(sampleRate, systemClock(), parent)
{
}

AudioOutput::AudioOutput(int sampleRate, const Clock &clock, QObject *parent)
    : QObject(parent), m_time(clock), m_sampleRate(sampleRate > 0 ? sampleRate : 22050),
      m_queue(std::make_shared<PcmQueue>())
{
    // A named child, so tests can wait for its ticks instead of for time.
    m_timer.setParent(this);
    m_timer.setObjectName(QStringLiteral("AudioOutputTick"));
    m_timer.setInterval(TickMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AudioOutput::tick);
    m_stream = new PcmStream(m_queue, this);
    m_stream->open(QIODevice::ReadOnly);
    if (nullForced()) {
        m_null = true;
        announceFallback(SpeechTexts::reasonForced());
    }
}

AudioOutput::~AudioOutput()
{
    if (m_sink)
        m_sink->stop();
}

void AudioOutput::setChannelGains(double left, double right)
{
    m_leftGain = left;
    m_rightGain = right;
    m_stream->setGains(left, right);
}

void AudioOutput::start()
{
    if (m_running)
        return;
    m_running = true;
    m_paused = false;
    m_idleTicks = 0;
    if (!m_null)
        startDevice();
    if (m_null)
        restartNullClock();
    m_timer.start();
}

void AudioOutput::startDevice()
{
    if (!m_sink) {
        const QAudioDevice device = defaultDevice();
        if (device.isNull()) {
            fallBackToNull(SpeechTexts::reasonNoDevice());
            return;
        }
        QAudioFormat format;
        format.setSampleRate(m_sampleRate);
        format.setChannelCount(2);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format)) {
            fallBackToNull(SpeechTexts::reasonFormat());
            return;
        }
        m_sink = new QAudioSink(device, format, this);
        // About 100 ms ahead: short enough that a reset is heard at once.
        m_sink->setBufferSize(m_sampleRate / 10 * BytesPerFrame);
        connect(m_sink, &QAudioSink::stateChanged, this, &AudioOutput::onSinkStateChanged);
    }
    m_sink->start(m_stream);
    m_lastRead = m_queue->framesRead();
    m_progress.start();
    if (m_sink->error() != QAudio::NoError || m_sink->state() == QAudio::StoppedState)
        fallBackToNull(SpeechTexts::reasonStartFailed());
}

void AudioOutput::onSinkStateChanged(QAudio::State state)
{
    if (!m_sink || !m_running || state != QAudio::StoppedState)
        return;
    const QAudio::Error error = m_sink->error();
    if (error == QAudio::OpenError || error == QAudio::FatalError || error == QAudio::IOError)
        fallBackToNull(SpeechTexts::reasonDeviceFailed());
}

void AudioOutput::fallBackToNull(const QString &reason)
{
    announceFallback(reason);
    if (!m_null) {
        QMetaObject::invokeMethod(
            this, [this, reason] { emit deviceUnavailable(SpeechTexts::noAudioDevice(reason)); },
            Qt::QueuedConnection);
    }
    m_null = true;
    if (m_sink) {
        QAudioSink *sink = m_sink;
        m_sink = nullptr;
        sink->disconnect(this);
        sink->stop();
        sink->deleteLater();
    }
    // What the device had taken but not played is lost with it; continue
    // from what it had taken.
    m_played = std::max(m_played, m_queue->framesRead());
    if (m_running && !m_paused)
        restartNullClock();
}

void AudioOutput::restartNullClock()
{
    m_clockBase = m_played;
    m_clockStartNs = m_time.monotonicNs();
}

void AudioOutput::pause()
{
    if (!m_running || m_paused)
        return;
    m_paused = true;
    if (m_null) {
        tick(); // account for the time up to now, then hold the clock
        m_timer.stop();
    } else if (m_sink) {
        m_sink->suspend();
    }
}

void AudioOutput::resume()
{
    if (!m_running || !m_paused)
        return;
    m_paused = false;
    if (m_null) {
        restartNullClock();
        m_timer.start();
    } else if (m_sink) {
        m_sink->resume();
    }
}

void AudioOutput::halt()
{
    m_running = false;
    m_paused = false;
    m_timer.stop();
    if (m_sink)
        m_sink->stop();
    m_played = std::max(m_played, m_queue->framesRead());
}

void AudioOutput::tick()
{
    if (!m_running)
        return;
    if (m_null) {
        if (!m_paused) {
            const qint64 due = m_clockBase + (m_time.monotonicNs() - m_clockStartNs) * m_sampleRate / 1000000000;
            const qint64 want = due - m_played;
            if (want > 0) {
                const qint64 got = m_queue->skip(want);
                m_played += got;
                // Nothing synthesised yet for this moment: the clock waits
                // for the audio instead of running ahead of it.
                if (got < want)
                    restartNullClock();
            }
        }
    } else if (m_sink) {
        // A device that stopped by itself, or stopped taking audio, must not
        // keep the text from ending: the rest plays on the silent output.
        const qint64 read = m_queue->framesRead();
        if (read != m_lastRead || m_paused || m_queue->framesAvailable() == 0) {
            m_lastRead = read;
            m_progress.start();
        }
        if (m_sink->state() == QAudio::StoppedState || m_progress.elapsed() > StallMs) {
            fallBackToNull(SpeechTexts::reasonDeviceFailed());
            tick();
            return;
        }
        const qint64 buffered =
            std::max<qint64>(0, m_sink->bufferSize() - m_sink->bytesFree()) / BytesPerFrame;
        m_played = std::max(m_played, m_queue->framesRead() - buffered);
        if (m_sink->state() == QAudio::IdleState && m_queue->framesAvailable() > 0) {
            // The sink ran dry before the next audio arrived; wake it up, and
            // start it again if it does not pull by itself.
            emit m_stream->readyRead();
            if (++m_idleTicks > 5) {
                m_idleTicks = 0;
                m_sink->stop();
                m_sink->start(m_stream);
            }
        } else {
            m_idleTicks = 0;
        }
    }

    const quint64 generation = m_queue->generation();
    const std::vector<PcmQueue::Mark> marks = m_queue->takeMarksUpTo(m_played);
    for (const PcmQueue::Mark &mark : marks) {
        emit markReached(mark);
        // A receiver may have reset the speaker; the other marks are void.
        if (m_queue->generation() != generation || !m_running)
            break;
    }
}
