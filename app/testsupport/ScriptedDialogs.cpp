#include "ScriptedDialogs.h"

namespace {

class RecordedProgress : public Dialogs::Progress
{
public:
    RecordedProgress(ScriptedDialogs &dialogs, qsizetype index, int cancelAfter, std::function<void()> cancel)
        : m_dialogs(dialogs), m_index(index), m_cancelAfter(cancelAfter), m_cancel(std::move(cancel))
    {
        if (m_cancelAfter == 0)
            m_cancel();
    }
    ~RecordedProgress() override { m_dialogs.progressWindows[m_index].closed = true; }

    void setValue(int permille) override
    {
        QList<int> &values = m_dialogs.progressWindows[m_index].values;
        values.append(permille);
        if (values.size() == m_cancelAfter)
            m_cancel();
    }
    void setLabel(const QString &label) override { m_dialogs.progressWindows[m_index].labels.append(label); }
    bool isShown() const override { return false; }

private:
    ScriptedDialogs &m_dialogs;
    qsizetype m_index;
    int m_cancelAfter;
    std::function<void()> m_cancel;
};

} // namespace

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

std::unique_ptr<Dialogs::Progress> ScriptedDialogs::progress(const ProgressRequest &request,
                                                             std::function<void()> cancel)
{
    progressWindows.append(ProgressWindow{request, {}, false});
    return std::make_unique<RecordedProgress>(*this, progressWindows.size() - 1, cancelProgressAfter,
                                              std::move(cancel));
}

std::optional<QString> ScriptedDialogs::chooseFolder(const FileRequest &request)
{
    fileDialogs.append(FileDialog{false, request});
    if (files.isEmpty())
        return std::nullopt;
    return files.dequeue();
}
