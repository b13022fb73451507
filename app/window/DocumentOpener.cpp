#include "DocumentOpener.h"

#include "Dialogs.h"
#include "ImportMessages.h"
#include "WindowTexts.h"

#include <QPointer>

DocumentOpener::DocumentOpener(Dialogs &dialogs, QObject *parent)
    : QObject(parent), m_dialogs(dialogs), m_runner(dialogs)
{
}

std::optional<QString> DocumentOpener::askPassword(bool again)
{
    return m_dialogs.password(again ? ImportMessages::PasswordWrong : ImportMessages::PasswordPrompt,
                              ImportMessages::PasswordTitle);
}

PreparedDocument DocumentOpener::prepare(const QString &path, const QString &password, bool *cancelled)
{
    PreparedDocument prepared;
    const Dialogs::ProgressRequest request{ImportMessages::ProgressCaption, ImportMessages::ProgressText,
                                           ImportMessages::ProgressCancel};
    *cancelled = m_runner.run(request, [&prepared, &path, &password](ProgressRunner::Job &job) {
        ImportControl control;
        control.password = password;
        control.cancel = &job.cancelFlag();
        control.progress = [&job](int percent) { job.report(percent * 10); };
        prepared = DocumentIO::prepareFile(path, control);
    });
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
    QPointer<DocumentOpener> alive(this);
    QString password;
    bool again = false;
    DocumentLoadResult result;
    for (;;) {
        bool cancelled = false;
        const PreparedDocument prepared = prepare(path, password, &cancelled);
        if (!alive) {
            // The window went while the file was read.
            result.importStatus = ImportStatus::Cancelled;
            return result;
        }
        result = prepared.result;
        // A cancel that came as the read finished still keeps the old document.
        if (cancelled) {
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
