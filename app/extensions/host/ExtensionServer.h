#pragma once
// ExtensionServer: the extension-host process's side of the socket. It
// reads one call at a time, loads the library it names (once; a library
// that failed is tried again at its next call), lets the plug-in run and
// answers with the plug-in's texts sent straight from the plug-in's own
// buffers. While a plug-in shows a window of its own (Mailhook's question)
// it tells the editor so, because waiting for the user is no hang, and makes
// it a window of the editor's, so it opens over the editor's window.

#include "ExtensionLibrary.h"
#include "ExtensionProtocol.h"

#include <QHash>
#include <QObject>
#include <QSet>

#include <memory>

class QWindow;

class ExtensionServer : public QObject
{
public:
    // fd: the connected socket, blocking.
    explicit ExtensionServer(int fd);

    // Answers calls until the editor closes its end; the process's exit code.
    int run();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool receive(ExtensionProtocol::FrameReader::Frame &frame);
    bool send(ExtensionProtocol::FrameWriter &frame);
    bool answer(const ExtensionProtocol::Call &call);
    bool answerStatus(ExtensionProtocol::Status status, const QString &error, qsizetype argc);
    void windowsChanged(bool open);

    int m_fd;
    ExtensionProtocol::FrameReader m_reader;
    QHash<QString, std::shared_ptr<ExtensionLibrary>> m_libraries;
    QSet<QObject *> m_windows;
    quint64 m_ownerWindow = 0;
    QWindow *m_owner = nullptr;
    bool m_failed = false;
};
