#include "AudioExport.h"

#include "Dialogs.h"
#include "ExportTexts.h"
#include "ExtensionHost.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QProgressDialog>
#include <QThread>

QtExportProgress::~QtExportProgress()
{
    delete m_dialog;
}

void QtExportProgress::begin(std::function<void()> cancel)
{
    delete m_dialog;
    m_dialog = new QProgressDialog(ExportTexts::ProgressLabel, ExportTexts::ProgressCancel, 0, 1000, m_parent);
    m_dialog->setWindowTitle(ExportTexts::ProgressTitle);
    m_dialog->setWindowModality(Qt::WindowModal);
    // Short recordings are done before the window would even appear.
    m_dialog->setMinimumDuration(400);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    QObject::connect(m_dialog, &QProgressDialog::canceled, m_dialog, [cancel = std::move(cancel)] { cancel(); });
    m_dialog->setValue(0);
}

void QtExportProgress::setValue(int permille)
{
    if (m_dialog && !m_dialog->wasCanceled())
        m_dialog->setValue(permille);
}

void QtExportProgress::end()
{
    // Deleted at once: a window the extensions open next runs its own event
    // loop, in which a later deletion would not happen and the dialog's
    // show timer could still bring it back.
    delete m_dialog;
    m_dialog = nullptr;
}

AudioExport::AudioExport(ExportHost &host, Dialogs &dialogs, ExtensionHost &extensions, ExportProgress &progress,
                         QObject *parent)
    : QObject(parent), m_host(host), m_dialogs(dialogs), m_extensions(extensions), m_progress(progress),
      m_probe(&AudioConverter::availableFormats)
{
}

AudioExport::~AudioExport()
{
    // The worker reads and writes files the caller named; it must not
    // outlive the export that started it.
    if (m_worker) {
        m_cancel = true;
        m_worker->wait();
        delete m_worker;
    }
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
    if (m_worker)
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
    m_cancel = false;
    const int run = ++m_run;
    std::atomic<int> shown{-1};
    AudioConverter::Result result;

    const auto progress = [this, run, &shown](double done) {
        const int permille = int(done * 1000.0);
        if (shown.exchange(permille) != permille) {
            QMetaObject::invokeMethod(
                this,
                [this, run, permille] {
                    if (m_worker && run == m_run)
                        m_progress.setValue(permille);
                },
                Qt::QueuedConnection);
        }
        return !m_cancel.load();
    };

    QEventLoop loop;
    m_worker = QThread::create([&] { result = AudioConverter::convert(source, target, format, progress); });
    connect(m_worker, &QThread::finished, &loop, &QEventLoop::quit);
    m_progress.begin([this] { m_cancel = true; });
    m_worker->start();
    // The window keeps painting and the progress window answers while the
    // worker runs; finished() is queued here, so an early end is not lost.
    QPointer<AudioExport> alive(this);
    loop.exec();
    if (!alive) {
        result.status = AudioConverter::Result::Status::Cancelled;
        return result;
    }
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    m_progress.end();
    return result;
}
