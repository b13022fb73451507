#include "AudioExport.h"

#include "Dialogs.h"
#include "ExportTexts.h"
#include "ExtensionHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>

AudioExport::AudioExport(ExportHost &host, Dialogs &dialogs, ExtensionHost &extensions, QObject *parent)
    : QObject(parent), m_host(host), m_dialogs(dialogs), m_extensions(extensions),
      m_probe(&AudioConverter::availableFormats), m_runner(dialogs)
{
}

QString AudioExport::filterFor(const QList<AudioFormat> &formats)
{
    QStringList entries{ExportTexts::WavFilter};
    for (AudioFormat f : formats) {
        if (f != AudioFormat::Wav)
            entries << AudioConverter::filterEntry(f);
    }
    return entries.join(QLatin1Char('|'));
}

void AudioExport::ExportDoc()
{
    // The progress window is modal, but the menu's key may still arrive
    // through the events it lets run: one export at a time.
    if (m_runner.isRunning())
        return;

    const QString source = m_host.CurrentRecordingPath();
    m_host.showStatus(ExportTexts::Exporting(source));
    QFile recording(source);
    if (source.isEmpty() || !QFileInfo(source).isFile() || !recording.open(QIODevice::ReadOnly)) {
        m_dialogs.message(ExportTexts::NothingSpoken, ExportTexts::TitleError, Dialogs::Icon::Critical,
                          Dialogs::Buttons::Ok);
        return;
    }
    recording.close();

    // From here on "Exportiere …" stays until the export ends, whatever is
    // spoken or shown meanwhile; the end says how it went.
    m_host.holdStatus(true);
    QPointer<AudioExport> alive(this);
    QString outcome = ExportTexts::ExportCancelled;
    auto release = qScopeGuard([this, &outcome, alive] {
        if (!alive)
            return; // the window went with it
        m_host.holdStatus(false);
        m_host.showStatus(outcome);
    });

    Dialogs::FileRequest request;
    request.title = ExportTexts::DialogTitle;
    request.filter = filterFor(m_probe());
    const QString folder = m_lastFolder.isEmpty() ? QDir::homePath() : m_lastFolder;
    request.initialPath = QDir(folder).filePath(ExportTexts::InitialFileName);
    request.defaultSuffix = QStringLiteral("wav");
    request.confirmOverwrite = true;
    const auto chosen = m_dialogs.saveFile(request);
    if (!alive || !chosen || chosen->isEmpty())
        return;
    const QString target = *chosen;

    const AudioConverter::Result result = convertOffThread(source, target, AudioConverter::formatForPath(target));
    if (!alive)
        return;
    if (result.status == AudioConverter::Result::Status::Cancelled)
        return;
    if (!result.ok()) {
        outcome = ExportTexts::ExportFailedStatus;
        m_dialogs.message(ExportTexts::ExportFailed(result.description),
                          ExportTexts::ExportFailedTitle(result.errorNumber), Dialogs::Icon::Critical,
                          Dialogs::Buttons::Ok);
        return;
    }
    outcome = ExportTexts::ExportFinished(target);
    release.dismiss();
    m_host.holdStatus(false);
    m_host.showStatus(outcome);
    m_lastFolder = QFileInfo(target).absolutePath();
    m_extensions.NotifyExport(target);
}

AudioConverter::Result AudioExport::convertOffThread(const QString &source, const QString &target,
                                                     AudioFormat format)
{
    AudioConverter::Result result;
    const Dialogs::ProgressRequest request{ExportTexts::ProgressTitle, ExportTexts::ProgressLabel,
                                           ExportTexts::ProgressCancel};
    m_runner.run(request, [&](ProgressRunner::Job &job) {
        result = AudioConverter::convert(source, target, format, [&job](double done) {
            job.report(int(done * 1000.0));
            return !job.cancelled();
        });
    });
    return result;
}
