#include "ExtensionServer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QWidget>
#include <QWindow>

#include <cerrno>

#include <sys/socket.h>
#include <unistd.h>

using namespace ExtensionProtocol;

ExtensionServer::ExtensionServer(int fd)
    : m_fd(fd)
{
    // Plug-in windows are widgets; without a widget application none opens.
    if (QCoreApplication::instance() && QCoreApplication::instance()->inherits("QApplication"))
        QCoreApplication::instance()->installEventFilter(this);
}

bool ExtensionServer::receive(FrameReader::Frame &frame)
{
    for (;;) {
        if (auto ready = m_reader.take()) {
            frame = std::move(*ready);
            return true;
        }
        if (m_reader.broken())
            return false;
        size_t wanted = 0;
        char *to = m_reader.space(wanted);
        const ssize_t n = ::recv(m_fd, to, wanted, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        m_reader.commit(size_t(n));
    }
}

bool ExtensionServer::send(FrameWriter &frame)
{
    if (m_failed)
        return false;
    FrameSending sending(frame);
    while (!sending.done()) {
        const ssize_t n = sending.sendSome(m_fd, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            m_failed = true;
            return false;
        }
    }
    return true;
}

bool ExtensionServer::answerStatus(Status status, const QString &error, qsizetype argc)
{
    const QByteArray errorUtf8 = error.toUtf8();
    FrameWriter w(Kind::Reply);
    w.addU8(quint8(status));
    w.addText(nullptr, 0);
    w.addText(errorUtf8);
    w.addU32(quint32(argc));
    for (qsizetype i = 0; i < argc; ++i)
        w.addU8(0);
    return send(w);
}

bool ExtensionServer::answer(const Call &call)
{
    const QString path = QFile::decodeName(call.library);
    std::shared_ptr<ExtensionLibrary> library = m_libraries.value(path);
    if (!library) {
        ExtensionLibrary::Loaded loaded = ExtensionLibrary::load(path);
        if (!loaded.library)
            return answerStatus(Status::NotLoadable, loaded.errorText, call.args.size());
        library = std::shared_ptr<ExtensionLibrary>(std::move(loaded.library));
        m_libraries.insert(path, library);
    }
    // The texts of the call end in the NUL the frame keeps after each.
    const std::unique_ptr<ExtensionLibrary::Invocation> done =
        library->invoke(call.className.constData(), call.member.constData(), call.args);

    FrameWriter w(Kind::Reply);
    w.addU8(quint8(done->status));
    if (done->status == Status::Ok)
        w.addText(done->result.data, done->result.data ? done->result.size : 0);
    else
        w.addText(nullptr, 0);
    w.addText(nullptr, 0);
    w.addU32(quint32(call.args.size()));
    for (qsizetype i = 0; i < call.args.size(); ++i) {
        const qn_arg &a = done->args.empty() ? qn_arg{} : done->args[size_t(i)];
        if (a.replaced && call.args.at(i).byRef && call.args.at(i).takeBack) {
            w.addU8(1);
            w.addText(a.replaced, a.replaced_size);
        } else {
            w.addU8(0);
        }
    }
    if (!w.fits())
        return answerStatus(Status::Failed, QStringLiteral("Die Antwort der Erweiterung ist zu groß."),
                            call.args.size());
    return send(w);
}

int ExtensionServer::run()
{
    FrameReader::Frame frame;
    while (receive(frame)) {
        const std::optional<Call> call = frame.kind == Kind::Call ? decodeCall(frame.payload) : std::nullopt;
        // The editor speaks only in calls; anything else ends the talk.
        if (!call)
            return 2;
        m_ownerWindow = call->ownerWindow;
        const bool answered = answer(*call);
        delete m_owner;
        m_owner = nullptr;
        m_ownerWindow = 0;
        if (!answered)
            return 1;
        m_windows.clear();
        // What the plug-in left to be done later (deleteLater and the like).
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return 0;
}

void ExtensionServer::windowsChanged(bool open)
{
    FrameWriter w(Kind::Windows);
    w.addU8(open ? 1 : 0);
    send(w);
}

bool ExtensionServer::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->isWindow()) {
        const bool before = !m_windows.isEmpty();
        auto *widget = static_cast<QWidget *>(watched);
        // Sent before the window is mapped: the window manager learns in
        // time whose it is.
        if (type == QEvent::Show && m_ownerWindow != 0 && widget->windowHandle()
            && !widget->windowHandle()->transientParent()) {
            if (!m_owner)
                m_owner = QWindow::fromWinId(WId(m_ownerWindow));
            if (m_owner)
                widget->windowHandle()->setTransientParent(m_owner);
        }
        if (type == QEvent::Show)
            m_windows.insert(watched);
        else
            m_windows.remove(watched);
        const bool after = !m_windows.isEmpty();
        if (before != after)
            windowsChanged(after);
    }
    return QObject::eventFilter(watched, event);
}
