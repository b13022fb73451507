#pragma once
// Speaker: the one way to have something spoken. The window's speaking
// routine (SpeechControl) implements it; the window, the task scripts, the
// desktop readers and the start page's speak: links receive it as a
// reference. A caller says in a SpeakRequest where the text comes from and
// what happens around it, and gets a SpeakResult back.

#include <QObject>
#include <QString>
#include <QStringList>

struct SpeakRequest {
    // Where the text comes from. A text that is blank (empty or only white
    // space), whatever its source, means the whole document.
    enum class Source { Document, Selection, Text };
    // What the recorder instance writes: its current file on, a fresh
    // temporary recording, or the file recordingFile.
    enum class Recording { KeepFile, NewTemporary, ToFile };

    Source source = Source::Document;
    QString text; // Source::Text only
    bool wait = false; // return only when the loudspeaker has finished
    Recording recording = Recording::NewTemporary;
    QString recordingFile; // Recording::ToFile only
    bool applyFilters = true; // the active extensions' FilterText

    static SpeakRequest document() { return SpeakRequest(); }
    static SpeakRequest ofText(const QString &text)
    {
        SpeakRequest request;
        request.source = Source::Text;
        request.text = text;
        return request;
    }
    SpeakRequest &waiting(bool yes = true)
    {
        wait = yes;
        return *this;
    }
    SpeakRequest &withFilters(bool yes)
    {
        applyFilters = yes;
        return *this;
    }
    SpeakRequest &keepingRecording()
    {
        recording = Recording::KeepFile;
        return *this;
    }
    SpeakRequest &recordingInto(const QString &file)
    {
        recording = file.isEmpty() ? Recording::NewTemporary : Recording::ToFile;
        recordingFile = file;
        return *this;
    }
};

struct SpeakResult {
    // Why nothing was spoken (a stored voice setting the engine cannot
    // take), or, after a wait, why a script's recording file was not
    // written; empty when all went well.
    QString failure;
    // The text as the engines got it (prefix, filtered text, suffix, the
    // time variables replaced); empty when nothing was spoken.
    QString spoken;

    bool ok() const { return failure.isEmpty(); }
};

class Speaker : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Speaker() override = default;

    // Resets both engine instances first, whatever they were saying.
    virtual SpeakResult speak(const SpeakRequest &request) = 0;
    virtual void togglePause() = 0;
    // Both instances reset: what was being said ends, and stopped() tells
    // whoever runs something that speaks (a task script) to end it.
    virtual void stop() = 0;
    // The loudspeaker instance only; a recording goes on.
    virtual void stopLoudspeaker() = 0;
    // Empty: a fresh temporary recording; else the file to write.
    virtual void setRecorderOutput(const QString &path) = 0;
    // The names of the installed voices, in the order of their positions.
    virtual QStringList voiceNames() const = 0;

signals:
    // The user (or a dialog on the user's behalf) stopped speaking.
    void stopped();
};
