#include "DocumentOpener.h"

#include "Dialogs.h"
#include "ImportMessages.h"
#include "WindowTexts.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>

DocumentOpener::DocumentOpener(Dialogs &dialogs, QWidget *dialogParent, QObject *parent)
    : QObject(parent), m_dialogs(dialogs), m_dialogParent(dialogParent)
{
}

void DocumentOpener::cancel()
{
    m_cancel = true;
}

std::optional<QString> DocumentOpener::askPassword(bool again)
{
    return m_dialogs.password(again ? ImportMessages::PasswordWrong : ImportMessages::PasswordPrompt,
                              ImportMessages::PasswordTitle);
}

PreparedDocument DocumentOpener::prepare(const QString &path, const QString &password)
{
    m_cancel = false;
    PreparedDocument prepared;
    QPointer<DocumentOpener> self(this);
    ImportControl control;
    control.password = password;
    control.cancel = &m_cancel;
    control.progress = [self](int percent) {
        QMetaObject::invokeMethod(
            self, [self, percent] { if (self) emit self->progressed(percent); }, Qt::QueuedConnection);
    };

    QProgressDialog progress(ImportMessages::ProgressText, ImportMessages::ProgressCancel, 0, 100, m_dialogParent);
    progress.setWindowTitle(ImportMessages::ProgressCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(m_progressDelay);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    const QMetaObject::Connection toDialog =
        connect(this, &DocumentOpener::progressed, &progress, &QProgressDialog::setValue);
    connect(&progress, &QProgressDialog::canceled, this, &DocumentOpener::cancel);

    bool finished = false;
    QThread *worker = QThread::create([&prepared, path, control] { prepared = DocumentIO::prepareFile(path, control); });
    connect(worker, &QThread::finished, this, [&finished] { finished = true; });
    worker->start();
    while (!finished) {
        // Paint and timers run all along; clicks and keys wait until the
        // modal progress dialog is there to take them.
        const QEventLoop::ProcessEventsFlags flags =
            progress.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
        QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
    }
    worker->wait();
    delete worker;
    disconnect(toDialog);
    // Progress reports still queued belong to this read only.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    return prepared;
}

DocumentLoadResult DocumentOpener::open(const QString &path, QTextDocument *doc, bool tellFailures)
{
    if (m_busy) {
        DocumentLoadResult busy;
        busy.importStatus = ImportStatus::Cancelled;
        return busy;
    }
    m_busy = true;
    QString password;
    bool again = false;
    DocumentLoadResult result;
    for (;;) {
        const PreparedDocument prepared = prepare(path, password);
        result = prepared.result;
        // A cancel that came as the read finished still keeps the old document.
        if (m_cancel) {
            result.ok = false;
            result.importStatus = ImportStatus::Cancelled;
            break;
        }
        if (prepared.needsPassword()) {
            const std::optional<QString> answer = askPassword(again || !password.isEmpty());
            if (!answer) {
                result.importStatus = ImportStatus::Cancelled;
                break;
            }
            password = *answer;
            again = true;
            continue;
        }
        if (result.ok)
            result = DocumentIO::applyPrepared(prepared, doc);
        else if (tellFailures && result.imported() && result.importStatus == ImportStatus::Failed)
            m_dialogs.message(result.message, WindowTexts::TitleError, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
        break;
    }
    m_busy = false;
    return result;
}
