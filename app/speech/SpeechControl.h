#pragma once
// SpeechControl: the program's Speaker. speak() takes the text from where
// the request says (a blank text means the whole document), passes it
// through the extension filters, wraps it in prefix and suffix, replaces the
// time variables, configures both engine instances from the stored voice
// settings and lets Voice speak it to the loudspeaker and Voice2 into the
// recording (the temporary one, which the WAV export copies, or a script's
// file). Also pause, stop, reading from the cursor, the end of speech, the
// temporary recordings, and the position of the word being heard in the
// document (for highlighting it).
//
// Window-free: the window is seen through SpeechHost, so the routine is
// tested with fake engines and no window.

#include "Clock.h"
#include "Speaker.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

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
    // The selected part of the document and where it begins.
    struct Selection {
        QString text;
        int start = 0;
    };
    virtual Selection selection() const = 0;
    virtual void setExportButtonEnabled(bool enabled) = 0;
    virtual void showStatus(const QString &text) = 0;
    virtual QString statusText() const = 0;
    // The status bar's resting text: the document's character count.
    virtual void showCharacterCount() = 0;
};

class SpeechControl : public Speaker
{
    Q_OBJECT
public:
    // random: a number in [0, 1); empty for the process's generator.
    // clock: the time variables of speaking ("$Zeit[h]" ...) are read from it.
    SpeechControl(SpeechEngine &voice, SpeechEngine &voice2, SpeechHost &host, ExtensionHost &extensions,
                  Dialogs &dialogs, SettingsStore &settings, const Clock &clock, QObject *parent = nullptr);

    // Nothing is spoken while the window loads. A stored voice setting that
    // is no whole number or that the engine refuses is also shown in the
    // status bar. The word being heard is reported by wordInDocument while
    // the document's own text (or part of it) is spoken unchanged.
    SpeakResult speak(const SpeakRequest &request) override;
    void togglePause() override;
    void stop() override;
    void stopLoudspeaker() override;
    void setRecorderOutput(const QString &path) override;
    QStringList voiceNames() const override;

    // Reads the document from the cursor; cursorPosition counts from 0.
    void ReadFromCursor(int cursorPosition);

    QString CurrentRecordingPath() const;
    void ClearTempFolder();

    bool IsPaused() const { return m_isPaused; }
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
    // The text a request names and where it begins in the document (-1:
    // it is not the document's). The one place where blank means the whole
    // document.
    struct Source {
        QString text;
        int documentOffset = -1;
    };
    Source sourceOf(const SpeakRequest &request) const;
    Source orWholeDocument(const Source &source) const;
    // textToSpeak is asked after the recorder's target is set, as the
    // window always did.
    SpeakResult speakFrom(const SpeakRequest &request, const std::function<Source()> &textToSpeak);
    // Why the stored voice settings cannot be used, or nothing once both
    // instances are configured with them.
    std::optional<QString> configureEngines();
    void onVoiceWord(int position, int length);
    void onRecorderEnded();
    // A reset discards what both instances were saying, a pause with it.
    void resetBoth();
    void setPaused(bool paused);
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

    bool m_isPaused = false;
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
