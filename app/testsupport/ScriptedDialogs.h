#pragma once
// ScriptedDialogs: Dialogs for tests. Records every message and file dialog
// that was asked for, and answers from queues the test fills beforehand.
// An empty queue answers Cancel (messages) or cancels (file dialogs), so a
// question nobody expected never blocks a test.

#include "Dialogs.h"

#include <QList>
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

    Answer message(const QString &text, const QString &title, Icon icon, Buttons buttons) override;
    std::optional<QString> openFile(const FileRequest &request) override;
    std::optional<QString> saveFile(const FileRequest &request) override;
    std::optional<QString> password(const QString &text, const QString &title) override;
};
