#pragma once
// AudioExport: the main window's export of what was spoken. Every speak lets
// the recorder write a temporary WAV; ExportDoc asks where to put it and
// writes it there as WAV or, by the chosen name's extension, as FLAC, Ogg
// Vorbis, Opus or MP3 (AudioConverter), then tells the extensions. The
// conversion runs on a worker thread behind a cancellable progress window,
// so a long recording never freezes the window; only a finished export is
// announced.
//
// Window-free: the window is seen through ExportHost, the questions and the
// progress window go through Dialogs (the worker through ProgressRunner), so
// tests drive it without a window. Uses quenora_speech, quenora_platform and
// the extension host; used by frmMain.

#include "AudioConverter.h"
#include "ProgressRunner.h"

#include <QObject>
#include <QString>

#include <functional>

class Dialogs;
class ExtensionHost;

class ExportHost
{
public:
    virtual ~ExportHost() = default;
    virtual QString CurrentRecordingPath() const = 0;
    virtual void showStatus(const QString &text) = 0;
    // While held, the status bar keeps the export's text: what other parts
    // show meanwhile is not put over it. The export releases it when it ends
    // and then says how it ended.
    virtual void holdStatus(bool held) = 0;
};

class AudioExport : public QObject
{
    Q_OBJECT
public:
    AudioExport(ExportHost &host, Dialogs &dialogs, ExtensionHost &extensions, QObject *parent = nullptr);

    void ExportDoc();
    bool isExporting() const { return m_runner.isRunning(); }

    // The dialog's filter: the WAV entry first, then each format offered.
    static QString filterFor(const QList<AudioFormat> &formats);
    // Tests decide which formats "open here".
    void setFormatProbe(std::function<QList<AudioFormat>()> probe) { m_probe = std::move(probe); }

private:
    AudioConverter::Result convertOffThread(const QString &source, const QString &target, AudioFormat format);

    ExportHost &m_host;
    Dialogs &m_dialogs;
    ExtensionHost &m_extensions;
    std::function<QList<AudioFormat>()> m_probe;
    QString m_lastFolder;
    // Last: a window closed while the export runs cancels it and waits for
    // the worker before the rest goes.
    ProgressRunner m_runner;
};
