#include "ScriptedDialogs.h"

Dialogs::Answer ScriptedDialogs::message(const QString &text, const QString &title, Icon icon, Buttons buttons)
{
    messages.append(Message{text, title, icon, buttons});
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<QString> ScriptedDialogs::openFile(const FileRequest &request)
{
    fileDialogs.append(FileDialog{false, request});
    return files.isEmpty() ? std::nullopt : files.dequeue();
}

std::optional<QString> ScriptedDialogs::saveFile(const FileRequest &request)
{
    fileDialogs.append(FileDialog{true, request});
    return files.isEmpty() ? std::nullopt : files.dequeue();
}

std::optional<QString> ScriptedDialogs::password(const QString &text, const QString &title)
{
    passwordPrompts.append(Message{text, title, Icon::None, Buttons::OkCancel});
    return passwords.isEmpty() ? std::nullopt : passwords.dequeue();
}
