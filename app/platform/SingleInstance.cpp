#include "SingleInstance.h"

#include "Paths.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

SingleInstance::SingleInstance(const QString &name)
{
    if (!Paths::ensureRuntimeDir(&m_error)) {
        // Nothing to show a window with yet; the start goes on without the
        // check rather than trusting someone else's folder.
        std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, m_error.toLocal8Bit().constData());
        m_first = true;
        return;
    }
    m_fileName = Paths::runtimeDir() + QLatin1Char('/') + name + QStringLiteral(".lock");
    // O_NOFOLLOW: a link planted in place of the file must not make us
    // create or lock a file elsewhere.
    m_fd = ::open(QFile::encodeName(m_fileName).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) {
        m_error = QStringLiteral("Die Sperrdatei %1 lässt sich nicht öffnen: %2")
                      .arg(m_fileName, QString::fromLocal8Bit(std::strerror(errno)));
        m_first = true;
        return;
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        m_first = true;
        // Only for people looking at the file; the lock itself is what counts.
        const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
        if (::ftruncate(m_fd, 0) == 0 && ::write(m_fd, pid.constData(), size_t(pid.size())) < 0)
            m_error.clear();
        return;
    }
    if (errno == EWOULDBLOCK) {
        m_first = false;
    } else {
        m_error = QStringLiteral("Die Sperrdatei %1 lässt sich nicht sperren: %2")
                      .arg(m_fileName, QString::fromLocal8Bit(std::strerror(errno)));
        m_first = true;
    }
    ::close(m_fd);
    m_fd = -1;
}

SingleInstance::~SingleInstance()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
