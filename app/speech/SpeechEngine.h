#pragma once
// Speech: how Quenora turns text into sound and WAV files.
//
// SpeechEngine is one engine instance with exactly the operations the rest of
// the program uses; the main window holds two, Voice (loudspeaker) and Voice2
// (recorder, it has an output file name). EspeakEngine implements it on the
// espeak-ng library: one process-wide owner (EspeakOwner) makes every espeak
// call on its own synthesis thread, the speaker streams to AudioOutput
// (QAudioSink, or a clock-paced null output without a sound card) and the
// recorder writes its WAV file with WavRecorder (libsndfile). ModeList knows
// the voices ("modes"), TextPreparation and VoiceSetup hold the window-free
// steps of speaking a text. FakeSpeechEngine (app/testsupport) stands in for
// the engine in tests. Used by the main window, the voice dialogs, the script
// commands and the quenora-speak program. No widgets here.

#include <QObject>
#include <QString>

class PronunciationSource;
class SampleReceiver;

class SpeechEngine : public QObject
{
    Q_OBJECT
public:
    enum Gender { Male = 1, Female = 2 };

    explicit SpeechEngine(QObject *parent = nullptr) : QObject(parent) {}
    ~SpeechEngine() override = default;

    // Starts speaking and returns at once; a text given while another is
    // still being spoken is queued behind it. An instance with an output file
    // name writes the audio into that file instead of playing it.
    virtual void speak(const QString &text) = 0;
    // Speech halts where it is / continues. A paused instance stays speaking
    // and sends no end of text until it is resumed.
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual bool isPaused() const = 0;
    // Stops at once and discards queued text, without an end of text; the
    // instance is no longer paused and can speak again immediately.
    virtual void reset() = 0;
    // True from speak() until the last queued text has ended or a reset.
    virtual bool isSpeaking() const = 0;

    // Modes are the installed voices, numbered from 1. selectMode() returns
    // false (and keeps the current mode) for a number out of range.
    virtual bool selectMode(int mode) = 0;
    virtual int currentMode() const = 0;
    virtual int modeCount() const = 0;
    // Display name, Windows language id and Gender of a mode; empty, 0 and 0
    // for a number out of range.
    virtual QString modeName(int mode) const = 0;
    virtual int language(int mode) const = 0;
    virtual int gender(int mode) const = 0;

    // Whole numbers in the engine's own ranges; setters clamp to the range
    // and take effect with the next text.
    virtual int pitch() const = 0;
    virtual void setPitch(int value) = 0;
    virtual int minPitch() const = 0;
    virtual int maxPitch() const = 0;
    virtual int speed() const = 0;
    virtual void setSpeed(int value) = 0;
    virtual int minSpeed() const = 0;
    virtual int maxSpeed() const = 0;
    // Two channel values sharing one range.
    virtual int leftVolume() const = 0;
    virtual int rightVolume() const = 0;
    virtual void setLeftVolume(int value) = 0;
    virtual void setRightVolume(int value) = 0;
    virtual int minVolume() const = 0;
    virtual int maxVolume() const = 0;

    // Empty: the instance plays. Otherwise every following text is written
    // to this WAV file.
    virtual QString outputFileName() const = 0;
    virtual void setOutputFileName(const QString &path) = 0;
    // How a recorder writes that file. By default it is a user's file: the
    // file of that name is replaced only by a complete recording. Written
    // in place, the file is a valid WAV at every moment (the program's own
    // temporary recordings, which can be exported while they grow).
    virtual void setOutputWrittenInPlace(bool inPlace) { Q_UNUSED(inPlace) }

    // Neither plays nor records: every following text's samples and word
    // starts go to receiver as they are made (SampleReceiver.h), a text
    // ends when its last sample has been handed over, and a receiver that
    // takes no more stops the text with recordingStopped. Null: the
    // instance plays or records again. The receiver must outlive its use
    // here. False when this engine cannot hand over its samples.
    virtual bool setSampleReceiver(SampleReceiver *receiver)
    {
        Q_UNUSED(receiver)
        return false;
    }

    // The pronunciation dictionaries every following text is spoken with,
    // asked at each speak(); none: texts are spoken as written. The source
    // must outlive its use here.
    virtual void setPronunciation(PronunciationSource *source) { Q_UNUSED(source) }
    virtual PronunciationSource *pronunciation() const { return nullptr; }

signals:
    // Once for every text that was spoken to its end; never for a text that
    // a reset discarded. Always delivered from the event loop, never from
    // inside a call of this interface.
    void textEnded();
    // The word now being heard (with a sample receiver: just made):
    // position and length in the text given to speak(), in QString units.
    void wordReached(int position, int length);
    // The recorder stopped writing its file to keep free space on the disk
    // (a file written in place stays valid), a user's file could not be
    // written, or the sample receiver took no more; once per text or queue
    // of texts, which then end without textEnded. reason is a German
    // sentence for the user.
    void recordingStopped(const QString &reason);
    // The loudspeaker has no sound device (none found, or it failed) and
    // goes on silently; message is a German sentence for the user. Once
    // per engine, delivered from the event loop.
    void soundUnavailable(const QString &message);
};
