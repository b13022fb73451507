#pragma once
// Test support: fakes of Quenora's outside dependencies, linked by tests.
//
// FakeSpeechEngine stands in for a speech engine instance. It records every
// call, speaks nothing, and lets the test decide when a text has been spoken
// (finishText), or ends each text by itself after a delay. It keeps the
// engine's contract: texts queue, end of text comes once per finished text
// and always from the event loop, a reset discards everything without an end
// of text, a paused instance holds its ends until it is resumed.

#include "SpeechEngine.h"
#include "SpeechMode.h"

#include <QList>
#include <QStringList>

class FakeSpeechEngine : public SpeechEngine
{
    Q_OBJECT
public:
    explicit FakeSpeechEngine(QObject *parent = nullptr);

    // The modes offered; by default German and English, male then female,
    // like the real mode list starts.
    void setModes(const QList<SpeechMode> &modes);
    static QList<SpeechMode> defaultModes();

    // Every call so far, one entry each: "speak:<text>", "pause", "resume",
    // "reset", "selectMode:<n>", "setPitch:<v>", "setSpeed:<v>",
    // "setLeftVolume:<v>", "setRightVolume:<v>", "setOutputFileName:<path>".
    // Queries are not recorded.
    QStringList calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
    // Every text given to speak(), in order, and the ones still queued.
    QStringList spokenTexts() const { return m_spoken; }
    QStringList queuedTexts() const { return m_queue; }

    // Ends the oldest queued text (delivered from the event loop, held while
    // paused). False when nothing is queued.
    bool finishText();
    // When >= 0, every text ends by itself this many ms after it became the
    // oldest one (while not paused). -1 (the default): only finishText().
    void setAutoFinishMs(int ms);
    // Announces a word of the oldest queued text, as the loudspeaker does.
    void emitWord(int position, int length);

    void speak(const QString &text) override;
    void pause() override;
    void resume() override;
    bool isPaused() const override { return m_paused; }
    void reset() override;
    bool isSpeaking() const override { return !m_queue.isEmpty(); }

    bool selectMode(int mode) override;
    int currentMode() const override { return m_mode; }
    int modeCount() const override { return int(m_modes.size()); }
    QString modeName(int mode) const override;
    int language(int mode) const override;
    int gender(int mode) const override;

    // The real engine's ranges, so percent mapping gives the same values.
    int pitch() const override { return m_pitch; }
    void setPitch(int value) override;
    int minPitch() const override { return 0; }
    int maxPitch() const override { return 100; }
    int speed() const override { return m_speed; }
    void setSpeed(int value) override;
    int minSpeed() const override { return 80; }
    int maxSpeed() const override { return 450; }
    int leftVolume() const override { return m_leftVolume; }
    int rightVolume() const override { return m_rightVolume; }
    void setLeftVolume(int value) override;
    void setRightVolume(int value) override;
    int minVolume() const override { return 0; }
    int maxVolume() const override { return 100; }

    QString outputFileName() const override { return m_outputFile; }
    void setOutputFileName(const QString &path) override;

    // With a sample receiver a text's speech is made when the text ends,
    // the same for the same text: for each word (a run of letters or
    // digits) WordGap frames of silence, then FramesPerChar samples of
    // Level per character, the word told (and wordReached) at its first
    // sample; WordGap frames of silence close the text. A receiver that
    // refuses samples stops the text with recordingStopped.
    static constexpr int WordGap = 100;
    static constexpr int FramesPerChar = 10;
    static constexpr short Level = 1000;
    bool setSampleReceiver(SampleReceiver *receiver) override;
    // The frames the fake makes of text.
    static qint64 framesOf(const QString &text);

private:
    bool speakInto(const QString &text);

    void deliverEnd(quint64 generation);
    void scheduleAutoFinish();

    QList<SpeechMode> m_modes;
    QStringList m_calls;
    QStringList m_spoken;
    QStringList m_queue;
    int m_heldEnds = 0;
    int m_autoFinishMs = -1;
    bool m_autoFinishScheduled = false;
    quint64 m_generation = 0;
    bool m_paused = false;
    int m_mode = 1;
    int m_pitch = 50;
    int m_speed = 175;
    int m_leftVolume = 100;
    int m_rightVolume = 100;
    QString m_outputFile;
    SampleReceiver *m_receiver = nullptr;
};
