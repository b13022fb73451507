#pragma once
// ScriptedDialogs: Dialogs for tests. Records every message, file dialog and
// progress window that was asked for, and answers from queues the test fills
// beforehand. An empty queue answers Cancel (messages) or cancels (file
// dialogs), so a question nobody expected never blocks a test. Progress
// windows never show; one can press its "Abbrechen" after a given number of
// values.

#include "Dialogs.h"

#include <QList>
#include <QStringList>
#include <QQueue>

class ScriptedDialogs : public Dialogs
{
public:
    struct Message {
        QString text;
        QString title;
        Icon icon;
        Buttons buttons;
    };
    struct FileDialog {
        bool save;
        FileRequest request;
    };

    QQueue<Answer> answers;
    QQueue<std::optional<QString>> files;
    // Answers of password prompts; an empty queue cancels.
    QQueue<std::optional<QString>> passwords;
    QList<Message> passwordPrompts;

    QList<Message> messages;
    QList<FileDialog> fileDialogs;

    struct ProgressWindow {
        ProgressRequest request;
        QList<int> values; // in the order they arrived
        bool closed = false;
        QStringList labels; // set after the request's, in order
    };
    QList<ProgressWindow> progressWindows;
    // The next progress window's "Abbrechen" is pressed once it has had this
    // many values (0: as it opens); -1 never.
    int cancelProgressAfter = -1;

    Answer message(const QString &text, const QString &title, Icon icon, Buttons buttons) override;
    std::optional<QString> openFile(const FileRequest &request) override;
    std::optional<QString> saveFile(const FileRequest &request) override;
    // Recorded with the file dialogs (save false) and answered from files.
    std::optional<QString> chooseFolder(const FileRequest &request) override;
    std::optional<QString> password(const QString &text, const QString &title) override;
    std::unique_ptr<Progress> progress(const ProgressRequest &request, std::function<void()> cancel) override;
};
