#pragma once
// DocumentOpener: the window side of opening a document file. The file is
// read and parsed on a worker thread while the window keeps repainting; a
// read that takes longer than a moment shows a progress dialog whose
// "Abbrechen" stops it and keeps the document as it was. An encrypted PDF
// asks for its password (again after a wrong one). Documents of other
// programs that cannot be read say why in a message; RTF and text files
// fail silently, as opening always has.
//
// User input to the window is held back until the progress dialog is up
// (which is then modal), so nothing can change the document under a read.

#include "DocumentIO.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <optional>

class Dialogs;
class QTextDocument;
class QWidget;

class DocumentOpener : public QObject
{
    Q_OBJECT
public:
    DocumentOpener(Dialogs &dialogs, QWidget *dialogParent, QObject *parent = nullptr);

    // The result of loading; the document is changed only when it is ok.
    // A document of another format that cannot be read is told in a message
    // box unless tellFailures is false.
    DocumentLoadResult open(const QString &path, QTextDocument *doc, bool tellFailures = true);

    // How long a read runs before the progress dialog shows.
    void setProgressDelay(int milliseconds) { m_progressDelay = milliseconds; }

    bool isBusy() const { return m_busy; }

public slots:
    // Stops the read under way (the progress dialog's button).
    void cancel();

signals:
    // Percent of the read under way, on the GUI thread.
    void progressed(int percent);

private:
    PreparedDocument prepare(const QString &path, const QString &password);
    std::optional<QString> askPassword(bool again);

    Dialogs &m_dialogs;
    QPointer<QWidget> m_dialogParent;
    int m_progressDelay = 400;
    std::atomic<bool> m_cancel{false};
    bool m_busy = false;
};
