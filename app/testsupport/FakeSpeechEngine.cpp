#include "FakeSpeechEngine.h"

#include "SampleReceiver.h"
#include "SpeechTexts.h"

#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

// The words of text as (position, length): runs of letters or digits.
template<typename Visit>
void forEachWord(const QString &text, Visit visit)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        if (!text.at(i).isLetterOrNumber()) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < n && text.at(i).isLetterOrNumber())
            ++i;
        visit(start, i - start);
    }
}

} // namespace

FakeSpeechEngine::FakeSpeechEngine(QObject *parent)
    : SpeechEngine(parent), m_modes(defaultModes())
{
}

QList<SpeechMode> FakeSpeechEngine::defaultModes()
{
    return {
        {QStringLiteral("Deutsch (männlich)"), "gmw/de", 1031, Male},
        {QStringLiteral("Deutsch (weiblich)"), "gmw/de+f3", 1031, Female},
        {QStringLiteral("Englisch (männlich)"), "gmw/en-US", 1033, Male},
        {QStringLiteral("Englisch (weiblich)"), "gmw/en-US+f3", 1033, Female},
    };
}

void FakeSpeechEngine::setModes(const QList<SpeechMode> &modes)
{
    m_modes = modes;
    m_mode = std::clamp(m_mode, 1, std::max(1, int(modes.size())));
}

bool FakeSpeechEngine::finishText()
{
    if (m_queue.size() <= m_heldEnds)
        return false;
    ++m_heldEnds; // counted as ended but not yet delivered
    if (!m_paused) {
        const quint64 generation = m_generation;
        QTimer::singleShot(0, this, [this, generation] { deliverEnd(generation); });
    }
    return true;
}

void FakeSpeechEngine::deliverEnd(quint64 generation)
{
    if (generation != m_generation || m_paused || m_heldEnds == 0 || m_queue.isEmpty())
        return;
    --m_heldEnds;
    const QString text = m_queue.takeFirst();
    if (m_receiver && !speakInto(text)) {
        emit recordingStopped(SpeechTexts::receiverRefused());
    } else {
        emit textEnded();
    }
    scheduleAutoFinish();
}

bool FakeSpeechEngine::setSampleReceiver(SampleReceiver *receiver)
{
    m_receiver = receiver;
    return true;
}

qint64 FakeSpeechEngine::framesOf(const QString &text)
{
    qint64 frames = WordGap;
    forEachWord(text, [&frames](int, int length) { frames += WordGap + qint64(length) * FramesPerChar; });
    return frames;
}

bool FakeSpeechEngine::speakInto(const QString &text)
{
    const std::vector<short> gap(WordGap, 0);
    qint64 frame = 0;
    bool ok = true;
    forEachWord(text, [&](int position, int length) {
        if (!ok)
            return;
        const std::vector<short> word(size_t(length) * FramesPerChar, Level);
        ok = m_receiver->samples(gap.data(), WordGap);
        frame += WordGap;
        if (!ok)
            return;
        m_receiver->word(frame, position, length);
        emit wordReached(position, length);
        ok = m_receiver->samples(word.data(), int(word.size()));
        frame += qint64(word.size());
    });
    return ok && m_receiver->samples(gap.data(), WordGap);
}

void FakeSpeechEngine::setAutoFinishMs(int ms)
{
    m_autoFinishMs = ms;
    scheduleAutoFinish();
}

void FakeSpeechEngine::scheduleAutoFinish()
{
    if (m_autoFinishMs < 0 || m_autoFinishScheduled || m_queue.size() <= m_heldEnds)
        return;
    m_autoFinishScheduled = true;
    const quint64 generation = m_generation;
    QTimer::singleShot(m_autoFinishMs, this, [this, generation] {
        m_autoFinishScheduled = false;
        if (generation != m_generation)
            return scheduleAutoFinish();
        if (m_paused)
            return; // resume() schedules again
        finishText();
    });
}

void FakeSpeechEngine::emitWord(int position, int length)
{
    if (!m_queue.isEmpty() && !m_paused)
        emit wordReached(position, length);
}

void FakeSpeechEngine::speak(const QString &text)
{
    m_calls.append(QStringLiteral("speak:") + text);
    m_spoken.append(text);
    m_queue.append(text);
    scheduleAutoFinish();
}

void FakeSpeechEngine::pause()
{
    m_calls.append(QStringLiteral("pause"));
    m_paused = true;
}

void FakeSpeechEngine::resume()
{
    m_calls.append(QStringLiteral("resume"));
    if (!m_paused)
        return;
    m_paused = false;
    const quint64 generation = m_generation;
    for (int i = 0; i < m_heldEnds; ++i)
        QTimer::singleShot(0, this, [this, generation] { deliverEnd(generation); });
    scheduleAutoFinish();
}

void FakeSpeechEngine::reset()
{
    m_calls.append(QStringLiteral("reset"));
    ++m_generation;
    m_queue.clear();
    m_heldEnds = 0;
    m_paused = false;
}

bool FakeSpeechEngine::selectMode(int mode)
{
    m_calls.append(QStringLiteral("selectMode:%1").arg(mode));
    if (mode < 1 || mode > m_modes.size())
        return false;
    m_mode = mode;
    return true;
}

QString FakeSpeechEngine::modeName(int mode) const
{
    return mode >= 1 && mode <= m_modes.size() ? m_modes.at(mode - 1).name : QString();
}

int FakeSpeechEngine::language(int mode) const
{
    return mode >= 1 && mode <= m_modes.size() ? m_modes.at(mode - 1).languageId : 0;
}

int FakeSpeechEngine::gender(int mode) const
{
    return mode >= 1 && mode <= m_modes.size() ? m_modes.at(mode - 1).gender : 0;
}

void FakeSpeechEngine::setPitch(int value)
{
    m_calls.append(QStringLiteral("setPitch:%1").arg(value));
    m_pitch = std::clamp(value, minPitch(), maxPitch());
}

void FakeSpeechEngine::setSpeed(int value)
{
    m_calls.append(QStringLiteral("setSpeed:%1").arg(value));
    m_speed = std::clamp(value, minSpeed(), maxSpeed());
}

void FakeSpeechEngine::setLeftVolume(int value)
{
    m_calls.append(QStringLiteral("setLeftVolume:%1").arg(value));
    m_leftVolume = std::clamp(value, minVolume(), maxVolume());
}

void FakeSpeechEngine::setRightVolume(int value)
{
    m_calls.append(QStringLiteral("setRightVolume:%1").arg(value));
    m_rightVolume = std::clamp(value, minVolume(), maxVolume());
}

void FakeSpeechEngine::setOutputFileName(const QString &path)
{
    m_calls.append(QStringLiteral("setOutputFileName:") + path);
    m_outputFile = path;
}
