#pragma once
// QtDialogs: Dialogs shown as real Qt message boxes and file dialogs. Each
// opens over, and modal to, the window the user works in: the open modal
// dialog, else the active window, else the parent window when it is shown.

#include "Dialogs.h"

#include <QPointer>
#include <QWidget>

class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    Answer message(const QString &text, const QString &title, Icon icon, Buttons buttons) override;
    std::optional<QString> openFile(const FileRequest &request) override;
    std::optional<QString> saveFile(const FileRequest &request) override;
    std::optional<QString> chooseFolder(const FileRequest &request) override;
    std::optional<QString> password(const QString &text, const QString &title) override;
    std::unique_ptr<Progress> progress(const ProgressRequest &request, std::function<void()> cancel) override;

    // The window a dialog shown now belongs to; null for none.
    QWidget *owner() const;

private:
    std::optional<QString> runFileDialog(const FileRequest &request, bool save);

    QPointer<QWidget> m_parent;
};
