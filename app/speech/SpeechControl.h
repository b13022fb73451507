#pragma once
// SpeechControl: the main window's side of speaking. SpeakText prepares a
// text (extension filters, prefix and suffix, time variables), configures
// both engine instances from the stored voice settings and lets Voice speak
// it to the loudspeaker and Voice2 into the temporary recording (which the
// WAV export copies). Also pause, stop, reading from the cursor, the end of
// speech, the temporary recordings, and the position of the word being heard
// in the document (for highlighting it).
//
// Window-free: the window is seen through SpeechHost, so the routine is
// tested with fake engines and no window.

#include "Clock.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

class Dialogs;
class ExtensionHost;
class SettingsStore;
class SpeechEngine;

class SpeechHost
{
public:
    virtual ~SpeechHost() = default;
    virtual bool IsLoading() const = 0;
    virtual QString documentText() const = 0;
    virtual void setExportButtonEnabled(bool enabled) = 0;
    virtual void showStatus(const QString &text) = 0;
    virtual QString statusText() const = 0;
    // The status bar's resting text: the document's character count.
    virtual void showCharacterCount() = 0;
    virtual void clearScriptRunning() = 0;
};

class SpeechControl : public QObject
{
    Q_OBJECT
public:
    // random: a number in [0, 1); empty for the process's generator.
    // clock: the time variables of speaking ("$Zeit[h]" ...) are read from it.
    SpeechControl(SpeechEngine &voice, SpeechEngine &voice2, SpeechHost &host, ExtensionHost &extensions,
                  Dialogs &dialogs, SettingsStore &settings, const Clock &clock, QObject *parent = nullptr);

    // text is rewritten with the prepared text. recordingTarget: "-1" keeps
    // the recorder's file, empty starts a fresh temporary recording, else the
    // WAV file to write. documentOffset: where text begins in the document
    // when it is (part of) the document text, else -1; only then is the word
    // being heard reported by wordInDocument.
    //
    // Returns why nothing was spoken when a stored voice setting is no whole
    // number or the engine refuses it (also shown in the status bar), or,
    // waiting, why a script's recording file was not written; else an empty
    // text.
    QString SpeakText(QString &text, bool waitUntilDone, const QString &recordingTarget, bool applyFilters,
                      int documentOffset = -1);
    void TogglePause();
    // Stop: both instances reset, the running script ended.
    void Stop();
    // Reads the document from the cursor; cursorPosition counts from 0.
    void ReadFromCursor(int cursorPosition);

    void SetRecorderOutput(const QString &path);
    QString CurrentRecordingPath() const;
    void ClearTempFolder();

    int IsPaused() const { return m_isPaused; }
    int RecordingNumber() const { return m_recordingNumber; }

    // The waits let window events run; this ends them early (the program is
    // closing).
    void abortWaits() { m_aborted = true; }

signals:
    // The word Voice is speaking, as a position and length in the document.
    void wordInDocument(int position, int length);
    // Speaking stopped, was reset or ended: no word is being heard any more.
    void speakingStopped();
    void pausedChanged(bool paused);

private:
    void onVoiceWord(int position, int length);
    void onRecorderEnded();
    // A reset discards what both instances were saying, a pause with it.
    void resetBoth();
    void setPaused(int paused);
    // A stopped recording is as good to export as a finished one.
    void enableExportIfRecorded();
    static void letEventsRun();

    SpeechEngine &m_voice;
    SpeechEngine &m_voice2;
    SpeechHost &m_host;
    ExtensionHost &m_extensions;
    Dialogs &m_dialogs;
    SettingsStore &m_settings;
    std::function<double()> m_random;
    const Clock &m_clock;

    int m_isPaused = 0;
    int m_recordingNumber = 0;
    bool m_aborted = false;
    bool m_finishPending = false; // the recorder ended, the loudspeaker still speaks
    bool m_recordingUserFile = false; // the recorder writes a script's file, not a temporary one
    QString m_recordingFailure;       // why the recording of the last speak stopped

    // Where the document text sits in the text Voice is speaking.
    struct Mapping {
        bool active = false;
        int spokenStart = 0;
        int length = 0;
        int documentOffset = 0;
    } m_mapping;
};
