#include "ReplacingFile.h"

#include "FileErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// The permissions a new file of this user gets; read without changing the
// process's umask, which other threads may rely on at this moment.
mode_t newFileMode()
{
    mode_t mask = 022;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint value = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    mask = mode_t(value);
                break;
            }
        }
    }
    return 0666 & ~mask;
}

// The hidden names of new files beside their target: ".name.quenora-XXXXXX".
QString hiddenNameFor(const QString &final)
{
    const QFileInfo info(final);
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString tail;
    for (int i = 0; i < 6; ++i)
        tail += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".quenora-") + tail;
}

// Removes the hidden new files of writers that are gone: their lock is free.
void removeLeftovers(const QString &folder)
{
    static const QRegularExpression pattern(QStringLiteral("^\\..+\\.quenora-[A-Za-z0-9]{6}$"));
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!pattern.match(name).hasMatch())
            continue;
        const QByteArray path = encoded(dir.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened {}, named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode)
            && ::lstat(path.constData(), &named) == 0 && named.st_ino == opened.st_ino
            && named.st_dev == opened.st_dev)
            ::unlink(path.constData());
        ::close(fd);
    }
}

} // namespace

ReplacingFile::ReplacingFile(QString target, NewFile newFile) : m_target(std::move(target)), m_newFile(newFile) {}

ReplacingFile::~ReplacingFile()
{
    discard();
}

ReplacingFile::Refusal ReplacingFile::checkTarget(const QString &target)
{
    const auto refusal = [](int number, const QString &description = QString()) {
        return Refusal{number, description.isEmpty() ? FileErrors::description(number) : description};
    };
    if (target.isEmpty())
        return refusal(FileErrors::kPathFileAccessError);
    if (target.contains(QChar(0)))
        return refusal(FileErrors::kPathFileAccessError, FileErrors::pathWithNul());
    const QByteArray name = encoded(target);
    struct stat st {};
    QString folder;
    if (::stat(name.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return refusal(FileErrors::kPathFileAccessError, FileErrors::notRegularFile(st.st_mode));
        if (::access(name.constData(), W_OK) != 0)
            return refusal(FileErrors::numberForErrno(errno, FileErrors::kPermissionDenied));
        folder = QFileInfo(QFileInfo(target).canonicalFilePath()).absolutePath();
    } else {
        if (errno != ENOENT)
            return refusal(FileErrors::numberForErrno(errno, FileErrors::kPathFileAccessError));
        if (QFileInfo(target).fileName().isEmpty())
            return refusal(FileErrors::kPathFileAccessError);
        folder = QFileInfo(target).absolutePath();
        struct stat folderStatus {};
        if (::stat(encoded(folder).constData(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode))
            return refusal(FileErrors::kPathNotFound);
    }
    // The new file is made in the folder, and takes the old one's place there.
    if (::access(encoded(folder).constData(), W_OK | X_OK) != 0)
        return refusal(FileErrors::numberForErrno(errno, FileErrors::kPermissionDenied));
    return {};
}

bool ReplacingFile::fail(int number, const QString &description)
{
    m_error = Refusal{number, description.isEmpty() ? FileErrors::description(number) : description};
    return false;
}

void ReplacingFile::failWithErrno(int error, int fallback)
{
    fail(FileErrors::numberForErrno(error, fallback));
}

bool ReplacingFile::open()
{
    discard();
    m_error = {};
    if (const Refusal refusal = checkTarget(m_target)) {
        m_error = refusal;
        return false;
    }
    // A link to a file stays a link: the file it points to is replaced.
    const QFileInfo info(m_target);
    m_final = info.isSymLink() && info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QString folder = QFileInfo(m_final).absolutePath();
    if (m_newFile == NewFile::Hidden)
        return openNamed(folder);
    m_fd = ::open(encoded(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (m_fd >= 0)
        return true;
    const int error = errno;
    if (error == EOPNOTSUPP || error == EISDIR || error == EINVAL)
        return openNamed(folder);
    failWithErrno(error, FileErrors::kPathFileAccessError);
    return false;
}

bool ReplacingFile::openNamed(const QString &folder)
{
    removeLeftovers(folder);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = hiddenNameFor(m_final);
        const QByteArray path = encoded(name);
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            failWithErrno(errno, FileErrors::kPathFileAccessError);
            return false;
        }
        // The lock tells the next writer that this file is in use; the name
        // is checked again, since a sweep may have taken it before the lock.
        struct stat opened {}, named {};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0
            && named.st_ino == opened.st_ino && named.st_dev == opened.st_dev) {
            m_fd = fd;
            m_namedPath = name;
            return true;
        }
        ::close(fd);
    }
    return fail(FileErrors::kPathFileAccessError);
}

QString ReplacingFile::readablePath() const
{
    if (m_fd < 0)
        return QString();
    return m_namedPath.isEmpty() ? QStringLiteral("/proc/self/fd/%1").arg(m_fd) : m_namedPath;
}

bool ReplacingFile::write(QByteArrayView bytes)
{
    if (m_fd < 0)
        return fail(FileErrors::kPathFileAccessError);
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failWithErrno(n < 0 ? errno : ENOSPC, FileErrors::kDeviceIoError);
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

bool ReplacingFile::linkIntoPlace()
{
    const QByteArray final = encoded(m_final);
    if (!m_namedPath.isEmpty()) {
        if (::rename(encoded(m_namedPath).constData(), final.constData()) != 0) {
            failWithErrno(errno, FileErrors::kPathFileAccessError);
            return false;
        }
        m_namedPath.clear();
        return true;
    }
    const QByteArray self = QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(m_fd);
    const auto link = [&](const QByteArray &to) {
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        // Without /proc, only a privileged process can give the file a name.
        if (errno == ENOENT && ::linkat(m_fd, "", AT_FDCWD, to.constData(), AT_EMPTY_PATH) == 0)
            return 0;
        return errno;
    };
    // A new name is given at once; an old file is replaced by renaming a
    // second name of the new one over it.
    int error = link(final);
    if (error == 0)
        return true;
    if (error != EEXIST) {
        failWithErrno(error, FileErrors::kPathFileAccessError);
        return false;
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray hidden = encoded(hiddenNameFor(m_final));
        error = link(hidden);
        if (error == EEXIST)
            continue;
        if (error != 0)
            break;
        if (::rename(hidden.constData(), final.constData()) == 0)
            return true;
        error = errno;
        ::unlink(hidden.constData());
        break;
    }
    failWithErrno(error ? error : EEXIST, FileErrors::kPathFileAccessError);
    return false;
}

bool ReplacingFile::commit()
{
    if (m_fd < 0)
        return m_error ? false : fail(FileErrors::kPathFileAccessError);
    if (::fsync(m_fd) != 0) {
        const int error = errno;
        discard();
        failWithErrno(error, FileErrors::kDeviceIoError);
        return false;
    }
    // Checked again: the target may have become a folder or a device since.
    const QByteArray final = encoded(m_final);
    struct stat old {};
    if (::stat(final.constData(), &old) == 0) {
        if (!S_ISREG(old.st_mode)) {
            discard();
            return fail(FileErrors::kPathFileAccessError, FileErrors::notRegularFile(old.st_mode));
        }
        ::fchmod(m_fd, old.st_mode & 07777);
    } else if (!m_namedPath.isEmpty()) {
        // A named new file was made private.
        ::fchmod(m_fd, newFileMode());
    }
    const bool placed = linkIntoPlace();
    if (!placed) {
        const Refusal why = m_error;
        discard();
        m_error = why;
        return false;
    }
    ::close(m_fd);
    m_fd = -1;
    return true;
}

void ReplacingFile::discard()
{
    if (!m_namedPath.isEmpty()) {
        ::unlink(encoded(m_namedPath).constData());
        m_namedPath.clear();
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}
