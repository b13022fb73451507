#pragma once
// DocumentOpener: the window side of opening a document file. The file is
// read and parsed on a worker thread while the window keeps repainting; a
// read that takes longer than a moment shows a progress window
// (ProgressRunner) whose "Abbrechen" stops it and keeps the document as it
// was. An encrypted PDF
// asks for its password (again after a wrong one). Documents of other
// programs that cannot be read say why in a message; RTF and text files
// fail silently, as opening always has.
//
// User input to the window is held back until the progress window is up
// (which is then modal), so nothing can change the document under a read.

#include "DocumentIO.h"
#include "ProgressRunner.h"

#include <QObject>

#include <optional>

class Dialogs;
class QTextDocument;

class DocumentOpener : public QObject
{
    Q_OBJECT
public:
    explicit DocumentOpener(Dialogs &dialogs, QObject *parent = nullptr);

    // The result of loading; the document is changed only when it is ok.
    // A document of another format that cannot be read is told in a message
    // box unless tellFailures is false.
    DocumentLoadResult open(const QString &path, QTextDocument *doc, bool tellFailures = true);

    bool isBusy() const { return m_busy; }

private:
    PreparedDocument prepare(const QString &path, const QString &password, bool *cancelled);
    std::optional<QString> askPassword(bool again);

    Dialogs &m_dialogs;
    ProgressRunner m_runner;
    bool m_busy = false;
};
