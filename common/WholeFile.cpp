#include "WholeFile.h"

#include "Ansi.h"
#include "FileErrors.h"
#include "ReplacingFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace WholeFile {

namespace {

Result failure(int number)
{
    Result r;
    r.errorNumber = number;
    r.errorDescription = FileErrors::description(number);
    return r;
}

Result openFailure(const QString &path, int error)
{
    if (error == ENOENT) {
        const QFileInfo info(path);
        return failure(QFileInfo(info.absolutePath()).isDir() ? FileErrors::kFileNotFound
                                                              : FileErrors::kPathNotFound);
    }
    return failure(FileErrors::numberForErrno(error, FileErrors::kPathFileAccessError));
}

} // namespace

Result readBytes(const QString &path, QByteArray *bytes)
{
    if (path.contains(QChar(0))) {
        Result refused = failure(FileErrors::kPathFileAccessError);
        refused.errorDescription = FileErrors::pathWithNul();
        return refused;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return openFailure(path, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const mode_t mode = st.st_mode;
        ::close(fd);
        Result refused = failure(FileErrors::kPathFileAccessError);
        if (mode != 0)
            refused.errorDescription = FileErrors::notRegularFile(mode);
        return refused;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failure(FileErrors::kPathFileAccessError);
    }
    if (file.size() > kMaxFileSize) {
        // Error 7 as always, but with the cause the user can act on.
        Result tooLarge = failure(FileErrors::kOutOfMemory);
        tooLarge.errorDescription = FileErrors::tooLarge(kMaxFileSize / (1024 * 1024));
        return tooLarge;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failure(FileErrors::kDeviceIoError);
    Result ok;
    ok.ok = true;
    return ok;
}

Result writeBytes(const QString &path, const QByteArray &bytes)
{
    ReplacingFile file(path);
    if (!file.open() || !file.write(bytes) || !file.commit()) {
        Result failed;
        failed.errorNumber = file.errorNumber();
        failed.errorDescription = file.errorDescription();
        return failed;
    }
    Result ok;
    ok.ok = true;
    return ok;
}

bool FileExists(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    // Asked of the name, never by opening: opening a pipe waits for a writer.
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

QString NotAFileReason(const QString &path)
{
    struct stat st {};
    if (path.isEmpty() || path.contains(QChar(0)) || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    return FileErrors::notRegularFile(st.st_mode);
}

QString ReadWholeFile(const QString &path)
{
    QByteArray bytes;
    if (!readBytes(path, &bytes).ok)
        return QString();
    return Ansi::decode(bytes);
}

int WriteWholeFile(const QString &path, const QString &data, QString *description)
{
    const Result r = writeBytes(path, Ansi::encode(data));
    if (description)
        *description = r.errorDescription;
    return r.ok ? 0 : (r.errorNumber ? r.errorNumber : FileErrors::kPathFileAccessError);
}

} // namespace WholeFile
