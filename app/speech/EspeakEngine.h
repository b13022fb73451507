#pragma once
// EspeakEngine: a SpeechEngine instance on espeak-ng.
//
// With a sample receiver the instance hands its samples and word starts to
// the receiver on the synthesis thread as espeak makes them, as fast as
// espeak synthesises, and a text ends when its last sample is handed over.
// Otherwise, without an output file name the instance is a speaker: its audio is
// streamed into an AudioOutput while it is synthesised, and a text ends when
// its last sample has been heard. With an output file name it is a recorder:
// the WAV file is written as fast as espeak synthesises, and a text ends when
// the file is complete. All espeak work happens on the EspeakOwner's thread;
// results come back to this object's thread as queued calls, so the GUI
// thread never waits for synthesis or the sound device.

#include "Clock.h"
#include "DiskReserve.h"
#include "SpeechEngine.h"

#include <QList>

#include <memory>

class AudioOutput;
class PronunciationSource;
struct SynthesisChannel;
class EspeakRelay;
struct EspeakRecorderFile;
struct EspeakReceiverGate;

class EspeakEngine : public SpeechEngine
{
    Q_OBJECT
public:
    // The engine's own ranges.
    static constexpr int MinPitch = 0, MaxPitch = 100, DefaultPitch = 50;
    static constexpr int MinSpeed = 80, MaxSpeed = 450, DefaultSpeed = 175;
    static constexpr int MinVolume = 0, MaxVolume = 100;

    explicit EspeakEngine(QObject *parent = nullptr);
    // clock paces speaking on the silent output; it must outlive the engine.
    explicit EspeakEngine(const Clock &clock, QObject *parent = nullptr);
    ~EspeakEngine() override;

    // False when espeak-ng could not be initialised (no voice data); the
    // instance then has no modes and ends every text at once, silently.
    static bool isAvailable();
    static int sampleRate();

    void speak(const QString &text) override;
    void pause() override;
    void resume() override;
    bool isPaused() const override { return m_paused; }
    void reset() override;
    bool isSpeaking() const override { return !m_pending.isEmpty(); }

    bool selectMode(int mode) override;
    int currentMode() const override { return m_mode; }
    int modeCount() const override;
    QString modeName(int mode) const override;
    int language(int mode) const override;
    int gender(int mode) const override;

    int pitch() const override { return m_pitch; }
    void setPitch(int value) override;
    int minPitch() const override { return MinPitch; }
    int maxPitch() const override { return MaxPitch; }
    int speed() const override { return m_speed; }
    void setSpeed(int value) override;
    int minSpeed() const override { return MinSpeed; }
    int maxSpeed() const override { return MaxSpeed; }
    int leftVolume() const override { return m_leftVolume; }
    int rightVolume() const override { return m_rightVolume; }
    void setLeftVolume(int value) override;
    void setRightVolume(int value) override;
    int minVolume() const override { return MinVolume; }
    int maxVolume() const override { return MaxVolume; }

    QString outputFileName() const override { return m_outputFile; }
    void setOutputFileName(const QString &path) override;
    void setOutputWrittenInPlace(bool inPlace) override { m_outputInPlace = inPlace; }

    bool setSampleReceiver(SampleReceiver *receiver) override;

    void setPronunciation(PronunciationSource *source) override { m_pronunciation = source; }
    PronunciationSource *pronunciation() const override { return m_pronunciation; }

    // Where a recorder asks how much space is left; set before it records.
    void setFreeSpaceProbe(DiskReserve::Probe probe);

    // The loudspeaker output, created on first use.
    AudioOutput *audioOutput();

private:
    friend class EspeakRelay;
    void onTextSynthesised(quint64 generation, int textId);
    void onRecordingStopped(quint64 generation, int textId, const QString &reason);
    void onWordMade(quint64 generation, int position, int length);
    void finishText(int textId);
    void releaseHeldEnds();

    std::shared_ptr<SynthesisChannel> m_channel;
    std::shared_ptr<EspeakRelay> m_relay;
    std::shared_ptr<EspeakRecorderFile> m_recorderFile; // used on the synthesis thread
    // Lets the synthesis thread reach the receiver until a reset closes it.
    std::shared_ptr<EspeakReceiverGate> m_receiverGate;
    const Clock *m_clock = nullptr; // none: the system clock
    PronunciationSource *m_pronunciation = nullptr;
    AudioOutput *m_output = nullptr;
    QList<int> m_pending;   // texts spoken and not yet ended, oldest first
    QList<int> m_heldEnds;  // texts that ended while paused
    int m_nextTextId = 1;
    bool m_paused = false;
    int m_mode = 1;
    int m_pitch = DefaultPitch;
    int m_speed = DefaultSpeed;
    int m_leftVolume = MaxVolume;
    int m_rightVolume = MaxVolume;
    QString m_outputFile;
    bool m_outputInPlace = false;
    DiskReserve::Probe m_spaceProbe = DiskReserve::systemProbe();
    quint64 m_stopReported = ~quint64(0);
};
